#include "form/frm_corvel.h"

#include <algorithm>

namespace proxcred {

frmCorvel::frmCorvel(Platform& platform)
    : MSComm1(platform.serialPort), vexor1(platform.cardReader), platform_(platform) {
    // In the order of kControlNames.
    controls_ = {
        &SSTab1,         &cmdCancel,       &cmdOK,           &Label2,       &lblSerialNo,
        &txtBoxSerialNo, &lblFacilityCode, &txtFacilityCode, &lblVersion,   &txtVersion,
        &fraCardFormat,  &opt26Bit,        &opt34Bit,        &opt35Bit,     &opt35BitX,
        &opt36BitX,      &opt37bitX,       &opt37Bit,        &optProxif,    &optCasi,
        &chkZELFormat,   &chkZELFormat29,  &cmdConvert,      &Label1,       &txtBoxProxData,
        &cmdCopyToCB,    &Text2,           &Picture1,        &Label100,     &Label10,
        &txtData,        &Label7,          &txtBits,         &Text1,        &cmdStart,
        &cmdGetCard,     &Frame1,          &ComboComPort,    &Label40,      &Label50,
        &Label3,         &lbl26Bit,        &Label6,          &lbl35Bit,     &lbl35X,
        &Label4,         &Label5,          &lbl37Bit,        &Label80,      &lblProxif,
        &lblCasi,        &txt26Num,        &txt26Fac,        &txt34Num,     &txt34Fac,
        &txt35Num,       &txt35Fac,        &txt35XNum,       &txt35XFac,    &txt36XNum,
        &txt36XFac,      &txt37XNum,       &txt37XFac,       &txt37Num,     &txt37Fac,
        &txt37Number,    &txtProxifNum,    &txtProxifFac,    &txtProxifVer, &txtCasiNum,
        &txtCasiFac};
    txtVersion.setEnabled(false);
    for (Control* control : controls_) control->setObserver(this);
    connectHandlers();
}

frmCorvel::~frmCorvel() = default;

void frmCorvel::connectHandlers() {
    txtBoxSerialNo.onChange = [this] { txtBoxSerialNo_Change(); };
    txtBoxSerialNo.onKeyDown = [this](int keyCode) { txtBoxSerialNo_KeyDown(keyCode); };
    txtBoxSerialNo.onKeyPress = [this](int character) { txtBoxSerialNo_KeyPress(character); };
    txtFacilityCode.onChange = [this] { txtFacilityCode_Change(); };
    txtFacilityCode.onLostFocus = [this] { txtFacilityCode_LostFocus(); };
    txtVersion.onChange = [this] { txtVersion_Change(); };
    opt26Bit.onClick = [this] { opt26Bit_Click(); };
    opt34Bit.onClick = [this] { opt34Bit_Click(); };
    opt35Bit.onClick = [this] { opt35Bit_Click(); };
    opt35BitX.onClick = [this] { opt35BitX_Click(); };
    opt36BitX.onClick = [this] { opt36BitX_Click(); };
    opt37bitX.onClick = [this] { opt37bitX_Click(); };
    opt37Bit.onClick = [this] { opt37Bit_Click(); };
    optProxif.onClick = [this] { optProxif_Click(); };
    optCasi.onClick = [this] { optCasi_Click(); };
    chkZELFormat.onClick = [this] { chkZELFormat_Click(); };
    chkZELFormat29.onClick = [this] { chkZELFormat29_Click(); };
    cmdConvert.onClick = [this] { cmdConvert_Click(); };
    cmdCopyToCB.onClick = [this] { cmdCopyToCB_Click(); };
    txtData.onChange = [this] { txtData_Change(); };
    cmdStart.onClick = [this] { cmdStart_Click(); };
    cmdGetCard.onClick = [this] { cmdGetCard_Click(); };
    cmdOK.onClick = [this] { cmdOK_Click(); };
    cmdCancel.onClick = [this] { cmdCancel_Click(); };
}

void frmCorvel::controlChanged(const Control& control) {
    if (observer_ != nullptr) observer_->controlChanged(control);
}

Control* frmCorvel::findControl(std::string_view name) const {
    const auto found =
        std::find_if(controls_.begin(), controls_.end(),
                     [name](const Control* control) { return control->name() == name; });
    return found == controls_.end() ? nullptr : *found;
}

// Form_Activate runs when the window becomes the active window at start-up.
void frmCorvel::Form_Activate() {
    SSTab1.setPage(0);
    setFocus(txtBoxSerialNo);
}

void frmCorvel::activate() {
    if (activated_ || unloaded_) return;
    activated_ = true;
    Form_Activate();
}

void frmCorvel::setFocus(Control& control) {
    if (&control == focus_ || !control.usable()) return;
    Control* losing = focus_;
    focus_ = &control;
    if (observer_ != nullptr) observer_->focusChanged(control);
    if (losing != nullptr && losing->kind() == ControlKind::TextBox) {
        auto* box = static_cast<TextBox*>(losing);
        if (box->onLostFocus) box->onLostFocus();
    }
}

void frmCorvel::typeText(TextBox& box, std::string_view text) {
    for (const char character : text) {
        if (unloaded_ || !box.usable() || box.readOnly()) return;
        if (box.maxLength() != 0 && box.text().size() >= box.maxLength()) continue;
        box.setText(box.text() + character);
    }
}

void frmCorvel::pasteText(TextBox& box, std::string_view text) {
    if (unloaded_ || !box.usable() || box.readOnly()) return;
    if (box.maxLength() != 0) text = text.substr(0, box.maxLength());
    box.setText(std::string(text));
}

void frmCorvel::editText(TextBox& box, std::string_view text) {
    if (unloaded_ || !box.usable() || box.readOnly()) return;
    if (box.maxLength() != 0) text = text.substr(0, std::max(box.maxLength(), box.text().size()));
    box.setText(std::string(text));
}

void frmCorvel::pressEnter(TextBox& box) {
    if (unloaded_ || !box.usable()) return;
    if (box.onKeyDown) box.onKeyDown(kEnterKey);
    if (box.onKeyPress) box.onKeyPress(kEnterKey);
}

void frmCorvel::click(Control& control) {
    if (unloaded_ || !control.usable()) return;
    switch (control.kind()) {
        case ControlKind::OptionButton:
            static_cast<OptionButton&>(control).setValue(true);
            break;
        case ControlKind::CheckBox: {
            auto& box = static_cast<CheckBox&>(control);
            box.setValue(box.value() == CheckBox::kChecked ? CheckBox::kUnchecked
                                                           : CheckBox::kChecked);
            break;
        }
        case ControlKind::CommandButton: {
            auto& button = static_cast<CommandButton&>(control);
            if (button.onClick) button.onClick();
            break;
        }
        default:
            break;
    }
}

void frmCorvel::selectComboEntry(ComboBox& combo, std::string_view entry) {
    if (unloaded_ || !combo.usable()) return;
    const auto& entries = combo.entries();
    const auto found = std::find(entries.begin(), entries.end(), entry);
    if (found != entries.end()) combo.setSelectedIndex(static_cast<int>(found - entries.begin()));
}

void frmCorvel::selectComboIndex(ComboBox& combo, int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < combo.entries().size())
        selectComboEntry(combo, combo.entries()[static_cast<std::size_t>(index)]);
}

void frmCorvel::showPage(int page) {
    if (!unloaded_) SSTab1.setPage(page);
}

void frmCorvel::close() {
    unload();
}

void frmCorvel::unload() {
    if (unloaded_) return;
    unloaded_ = true;
    platform_.unloader.unloadForm();
}

void frmCorvel::showMessage(std::string_view text) {
    platform_.messageBox.show(text, kApplicationTitle);
}

}  // namespace proxcred
