// "Read Card From Lock": one card read through the card-reader component on
// the chosen port, with Ctrl for the component's information and Shift for a
// test read.
#include "form/frm_corvel.h"
#include "formats/numeric_text.h"

namespace proxcred {
namespace {

constexpr std::string_view kIdleCaption = "Read Card From Lock";
constexpr std::string_view kReadingCaption = "press 'ESC' to cancel";
constexpr std::int16_t kCardReadTimeout = 7500;
constexpr std::int16_t kTestReadTimeout = 5000;
constexpr std::int32_t kPortFailedToOpen = 2;

}  // namespace

void frmCorvel::cmdGetCard_Click() {
    if (platform_.modifierKeys.ctrlHeld()) {
        showMessage(vexor1.InfoText());
        vexor1.InfoAction();
        return;
    }
    if (ComboComPort.text().empty()) {
        showMessage("No comport selected");
        FillComPortList();
        return;
    }
    const Outcome<std::int16_t> port = textToInt16(ComboComPort.text());
    if (!port || !CheckComPort(*port)) {
        showMessage("Error opening selected comport");
        FillComPortList();
        return;
    }

    if (platform_.modifierKeys.shiftHeld()) {
        vexor1.setReaderPort(*port);
        vexor1.setReadTimeout(kTestReadTimeout);
        const std::int32_t status = vexor1.TestRead();
        if (status == vexor1.StatusOK()) {
            showMessage(vexor1.TestResult());
        } else if (status == vexor1.StatusCancelled()) {
            showMessage("Cancelled");
        } else if (status == vexor1.StatusTimeout()) {
            showMessage("Timeout");
        } else if (status == vexor1.StatusError()) {
            showMessage(vexor1.ErrorText());
        }
        return;
    }

    // The caption tells the operator how to cancel before the wait begins.
    cmdGetCard.setCaption(std::string(kReadingCaption));
    txtData.setText("");
    vexor1.setReaderPort(*port);
    vexor1.setReadTimeout(kCardReadTimeout);
    const std::int32_t status = vexor1.ReadCard();
    if (status == vexor1.StatusOK()) {
        txtData.setText(vexor1.CardData());
    } else if (status == vexor1.StatusCancelled()) {
        showMessage("Cancelled");
    } else if (status == vexor1.StatusTimeout()) {
        showMessage("Timeout");
    } else if (status == vexor1.StatusError()) {
        showMessage(vexor1.ErrorCode() == kPortFailedToOpen ? "Error Opening Com Port"
                                                            : vexor1.ErrorText());
    }
    cmdGetCard.setCaption(std::string(kIdleCaption));
}

}  // namespace proxcred
