// The encode workflow of the "Data Input" page: the prox data calculation,
// Convert and Copy to Clipboard, the format options, the input boxes and the
// two ZEL boxes. Handlers keep their working values in locals: writes into
// boxes run other handlers nested, and the outermost result stays on display.
#include "form/frm_corvel.h"
#include "formats/numeric_text.h"
#include "formats/prox_data.h"

namespace proxcred {

std::string frmCorvel::CalcProxData(const std::string& sSerialNo, const std::string& sCF,
                                    std::int32_t iFC) {
    const ProxOutcome outcome =
        calcProxData({sSerialNo, sCF, iFC, txtFacilityCode.text(), txtVersion.text()});
    switch (outcome.kind) {
        case ProxOutcome::Kind::Failed:
            throw ConversionError{outcome.failure};
        case ProxOutcome::Kind::Refused: {
            // The message first, then the limit into the offending box; that
            // box's change handler recomputes before this call returns.
            showMessage(outcome.message());
            TextBox* const boxes[] = {&txtBoxSerialNo, &txtFacilityCode, &txtVersion};
            boxes[static_cast<std::size_t>(outcome.refusal->field)]->setText(
                outcome.refusal->correction());
            return outcome.text();
        }
        default:
            if (const std::string message = outcome.message(); !message.empty())
                showMessage(message);
            return outcome.text();
    }
}

std::int32_t frmCorvel::wholeNumberOf(const std::string& text) const {
    const Outcome<std::int32_t> value = textToInt32(text);
    if (!value) throw ConversionError{value.failure()};
    return *value;
}

void frmCorvel::recalculateProxData() {
    txtBoxProxData.setText(CalcProxData(txtBoxSerialNo.text(), sCardFormat, lFacilityCode));
}

void frmCorvel::reportCaughtFailure(const ConversionError& error) {
    showMessage(failureMessage(error.failure));
    txtFacilityCode.setText("");
}

// Handlers outside the three change handlers report a failure with the same
// message and keep running; the prox data box must not show a stale result.
void frmCorvel::reportUncaughtFailure(const ConversionError& error) {
    showMessage(failureMessage(error.failure));
    txtBoxProxData.setText("");
}

// ---- Convert and Copy to Clipboard ----

void frmCorvel::cmdConvert_Click() {
    if (txtFacilityCode.text().empty()) {
        lFacilityCode = 0;
        txtFacilityCode.setText("0");
        return;
    }
    try {
        lFacilityCode = wholeNumberOf(txtFacilityCode.text());
    } catch (const ConversionError& error) {
        reportUncaughtFailure(error);
        cmdOK.setEnabled(false);
        return;
    }
    if (txtVersion.text().empty()) {
        txtVersion.setText("0");
        return;
    }
    calculateForOk();
}

// Convert and Enter: compute and show the prox data; OK may be used unless
// the input was refused.
void frmCorvel::calculateForOk() {
    std::string result;
    try {
        result = CalcProxData(txtBoxSerialNo.text(), sCardFormat, lFacilityCode);
    } catch (const ConversionError& error) {
        reportUncaughtFailure(error);
        cmdOK.setEnabled(false);
        return;
    }
    txtBoxProxData.setText(result);
    if (result != kRefusedProxData) {
        cmdOK.setEnabled(true);
        setFocus(cmdOK);
    } else {
        cmdOK.setEnabled(false);
    }
}

void frmCorvel::cmdCopyToCB_Click() {
    platform_.clipboard.setText(txtBoxProxData.text());
    bDataOnlyReply = true;
}

// ---- Card format options ----

void frmCorvel::cardFormatSelected(CardFormat format) {
    const bool proxif = format == CardFormat::Proxif;
    txtVersion.setEnabled(proxif);
    lblVersion.setEnabled(proxif);
    if (proxif && txtVersion.text().empty()) txtVersion.setText("0");
    sCardFormat = std::string(formatInfo(format).key);
    if (txtBoxSerialNo.text().empty()) return;
    try {
        recalculateProxData();
    } catch (const ConversionError& error) {
        reportUncaughtFailure(error);
    }
}

void frmCorvel::opt26Bit_Click() {
    cardFormatSelected(CardFormat::Bit26);
}
void frmCorvel::opt34Bit_Click() {
    cardFormatSelected(CardFormat::Bit34);
}
void frmCorvel::opt35Bit_Click() {
    cardFormatSelected(CardFormat::Bit35);
}
void frmCorvel::opt35BitX_Click() {
    cardFormatSelected(CardFormat::Bit35X);
}
void frmCorvel::opt36BitX_Click() {
    cardFormatSelected(CardFormat::Bit36X);
}
void frmCorvel::opt37bitX_Click() {
    cardFormatSelected(CardFormat::Bit37X);
}
void frmCorvel::opt37Bit_Click() {
    cardFormatSelected(CardFormat::Bit37);
}
void frmCorvel::optProxif_Click() {
    cardFormatSelected(CardFormat::Proxif);
}
void frmCorvel::optCasi_Click() {
    cardFormatSelected(CardFormat::Casi);
}

// ---- Input boxes ----

void frmCorvel::txtBoxSerialNo_Change() {
    txtBoxProxData.setText("");
    try {
        txtBoxSerialNo.setText(std::string(trimBlanks(txtBoxSerialNo.text())));
        if (txtFacilityCode.text().empty()) {
            lFacilityCode = 0;
            txtFacilityCode.setText("0");
            return;
        }
        lFacilityCode = wholeNumberOf(txtFacilityCode.text());
        if (isNumeric(txtBoxSerialNo.text())) {
            // Taken a second time as the form's design does: the same value, and
            // a failure is already reported by the first.
            lFacilityCode = wholeNumberOf(txtFacilityCode.text());
            recalculateProxData();
        } else if (!txtBoxSerialNo.text().empty()) {
            txtBoxSerialNo.setText("0");
        }
    } catch (const ConversionError& error) {
        reportCaughtFailure(error);
    }
}

// Enter performs the steps of Convert's calculation on key-down and again on key-press.
void frmCorvel::txtBoxSerialNo_KeyDown(int keyCode) {
    if (keyCode == kEnterKey) calculateForOk();
}

void frmCorvel::txtBoxSerialNo_KeyPress(int character) {
    if (character == kEnterKey) calculateForOk();
}

// Trim, then take a number into effect and recompute, or replace a text
// that is no number with "0".
void frmCorvel::tidyFacilityCode() {
    txtFacilityCode.setText(std::string(trimBlanks(txtFacilityCode.text())));
    if (isNumeric(txtFacilityCode.text())) {
        lFacilityCode = wholeNumberOf(txtFacilityCode.text());
        recalculateProxData();
    } else if (!txtFacilityCode.text().empty()) {
        txtFacilityCode.setText("0");
    }
}

void frmCorvel::txtFacilityCode_Change() {
    try {
        tidyFacilityCode();
    } catch (const ConversionError& error) {
        reportCaughtFailure(error);
    }
}

void frmCorvel::txtFacilityCode_LostFocus() {
    try {
        tidyFacilityCode();
    } catch (const ConversionError& error) {
        reportUncaughtFailure(error);
    }
}

void frmCorvel::txtVersion_Change() {
    try {
        txtVersion.setText(std::string(trimBlanks(txtVersion.text())));
        if (isNumeric(txtVersion.text())) {
            lFacilityCode = wholeNumberOf(txtFacilityCode.text());
            recalculateProxData();
        } else if (!txtVersion.text().empty()) {
            txtVersion.setText("0");
        }
    } catch (const ConversionError& error) {
        reportCaughtFailure(error);
    }
}

// ---- Fixed-facility format boxes ----

// Only the 29 box locks the 35-bit Xceed ID option, and neither box the 36-
// and 37-bit Xceed ID options: the options keep the enabled look the design
// gives them, and none can be chosen anyway while the frame is disabled.
void frmCorvel::zelFormatClicked(CheckBox& box, CheckBox& other, int facilityCode,
                                 bool lock35BitX) {
    OptionButton* const locked[] = {
        &opt26Bit, &opt34Bit,  &opt35Bit, lock35BitX ? &opt35BitX : nullptr,
        &opt37Bit, &optProxif, &optCasi};
    const bool ticked = box.value() == CheckBox::kChecked;
    if (ticked) {
        opt37Bit.setValue(true);
        sCardFormat = std::string(formatInfo(CardFormat::Bit37).key);
        txtFacilityCode.setText(std::to_string(facilityCode));
        lFacilityCode = facilityCode;
    }
    vZELFlag = ticked;
    // Ticking disables, unticking enables, in this order; unticking leaves
    // the version label as it is.
    fraCardFormat.setEnabled(!ticked);
    for (OptionButton* option : locked) {
        if (option != nullptr) option->setEnabled(!ticked);
    }
    lblFacilityCode.setEnabled(!ticked);
    txtFacilityCode.setEnabled(!ticked);
    txtVersion.setEnabled(!ticked);
    if (ticked) lblVersion.setEnabled(false);
    other.setEnabled(!ticked);
}

void frmCorvel::chkZELFormat_Click() {
    zelFormatClicked(chkZELFormat, chkZELFormat29, 9, false);
}
void frmCorvel::chkZELFormat29_Click() {
    zelFormatClicked(chkZELFormat29, chkZELFormat, 29, true);
}

}  // namespace proxcred
