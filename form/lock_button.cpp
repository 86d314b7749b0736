// "Read Card From Lock": one card read through the card-reader component on
// the chosen port, with Ctrl for the component's information and Shift for a
// test read.
#include "form/frm_corvel.h"
#include "formats/numeric_text.h"
#include "platform/read_outcome.h"

namespace proxcred {
namespace {

constexpr std::string_view kIdleCaption = "Read Card From Lock";
constexpr std::string_view kReadingCaption = "press 'ESC' to cancel";

}  // namespace

void frmCorvel::cmdGetCard_Click() {
    if (platform_.modifierKeys.ctrlHeld()) {
        showReaderInformation();
        return;
    }
    const std::optional<std::int16_t> port = chosenPortThatOpens();
    if (!port) return;
    if (platform_.modifierKeys.shiftHeld()) {
        testReadOnPort(*port);
    } else {
        readCardOnPort(*port);
    }
}

void frmCorvel::showReaderInformation() {
    showMessage(vexor1.InfoText());
    vexor1.InfoAction();
}

std::optional<std::int16_t> frmCorvel::chosenPort() const {
    const Outcome<std::int16_t> port = textToInt16(ComboComPort.text());
    return port ? std::optional<std::int16_t>(*port) : std::nullopt;
}

// The chosen port, once it opens; otherwise the operator is told and the
// list is built anew.
std::optional<std::int16_t> frmCorvel::chosenPortThatOpens() {
    if (ComboComPort.text().empty()) {
        showMessage("No comport selected");
        FillComPortList();
        return std::nullopt;
    }
    const std::optional<std::int16_t> port = chosenPort();
    if (!port || !CheckComPort(*port)) {
        showMessage("Error opening selected comport");
        FillComPortList();
        return std::nullopt;
    }
    return *port;
}

void frmCorvel::testReadOnPort(std::int16_t port) {
    vexor1.setReaderPort(port);
    vexor1.setReadTimeout(kTestReadTimeoutMs);
    const std::int32_t status = vexor1.TestRead();
    if (const auto message = readOutcomeMessage(vexor1, status, ReadKind::Test))
        showMessage(*message);
}

void frmCorvel::readCardOnPort(std::int16_t port) {
    // The caption tells the operator how to cancel before the wait begins.
    cmdGetCard.setCaption(std::string(kReadingCaption));
    txtData.setText("");
    vexor1.setReaderPort(port);
    vexor1.setReadTimeout(kCardReadTimeoutMs);
    const std::int32_t status = vexor1.ReadCard();
    if (status == vexor1.StatusOK()) txtData.setText(vexor1.CardData());
    if (const auto message = readOutcomeMessage(vexor1, status, ReadKind::Card))
        showMessage(*message);
    cmdGetCard.setCaption(std::string(kIdleCaption));
}

}  // namespace proxcred
