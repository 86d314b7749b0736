#include "form/form_dump.h"

#include <algorithm>

#include "json_text/json_text.h"

namespace proxcred {
namespace {

std::string quoted(const std::string& text) {
    return jsonText(text);
}

std::string flag(bool value) {
    return value ? "True" : "False";
}

void dumpControl(const Control& control, std::vector<std::string>& lines) {
    const std::string& name = control.name();
    const auto line = [&](std::string_view property, const std::string& value) {
        lines.push_back(name + "." + std::string(property) + "=" + value);
    };
    switch (control.kind()) {
        case ControlKind::TextBox:
            line("text", quoted(static_cast<const TextBox&>(control).text()));
            break;
        case ControlKind::Label:
        case ControlKind::Frame:
        case ControlKind::CommandButton:
            line("caption", quoted(static_cast<const CaptionedControl&>(control).caption()));
            break;
        case ControlKind::OptionButton:
            line("value", static_cast<const OptionButton&>(control).value() ? "1" : "0");
            break;
        case ControlKind::CheckBox:
            line("value", std::to_string(static_cast<const CheckBox&>(control).value()));
            break;
        case ControlKind::ComboBox: {
            const auto& combo = static_cast<const ComboBox&>(control);
            line("entries", jsonText(combo.entries()));
            line("text", quoted(combo.text()));
            return;
        }
        case ControlKind::TabControl:
            line("page", std::to_string(static_cast<const TabControl&>(control).page()));
            return;
        case ControlKind::PictureBox:
            return;
    }
    line("enabled", control.enabled() ? "1" : "0");
}

}  // namespace

std::vector<std::string> dumpForm(const frmCorvel& form) {
    std::vector<std::string> lines;
    for (const Control* control : form.controls()) dumpControl(*control, lines);
    const auto variable = [&lines](std::string_view name, const std::string& value) {
        lines.push_back("form." + std::string(name) + "=" + value);
    };
    variable("focus", form.focus() != nullptr ? form.focus()->name() : "");
    variable("lFacilityCode", std::to_string(form.lFacilityCode));
    variable("sCardFormat", quoted(form.sCardFormat));
    variable("vZELFlag", form.vZELFlag ? flag(*form.vZELFlag) : "Empty");
    variable("bDataOnlyReply", flag(form.bDataOnlyReply));
    for (const VerdictFlag& verdict : kVerdictFlags)
        variable(verdict.name, flag(form.*verdict.flag));
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::optional<std::string> changeTraceLine(const Control& control) {
    if (control.kind() == ControlKind::TextBox)
        return control.name() + ".text=" + jsonText(static_cast<const TextBox&>(control).text());
    if (control.kind() == ControlKind::CommandButton)
        return control.name() +
               ".caption=" + jsonText(static_cast<const CommandButton&>(control).caption());
    if (control.kind() == ControlKind::ComboBox)
        return control.name() + ".text=" + jsonText(static_cast<const ComboBox&>(control).text());
    return std::nullopt;
}

}  // namespace proxcred
