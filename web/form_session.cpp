#include "web/form_session.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace proxcred::web {
namespace {

using json = nlohmann::ordered_json;

const char* kindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::TextBox:
            return "text";
        case ControlKind::Label:
            return "label";
        case ControlKind::OptionButton:
            return "option";
        case ControlKind::CheckBox:
            return "check";
        case ControlKind::CommandButton:
            return "button";
        case ControlKind::Frame:
            return "frame";
        case ControlKind::ComboBox:
            return "list";
        case ControlKind::PictureBox:
            return "picture";
        case ControlKind::TabControl:
            return "tabs";
    }
    return "";
}

// What the page shows of one control.
json controlState(const Control& control) {
    json state{{"kind", kindName(control.kind())},
               {"enabled", control.enabled()},
               {"usable", control.usable()}};
    if (const auto* captioned = dynamic_cast<const CaptionedControl*>(&control))
        state["caption"] = captioned->caption();
    switch (control.kind()) {
        case ControlKind::TextBox: {
            const auto& box = static_cast<const TextBox&>(control);
            state["text"] = box.text();
            state["readOnly"] = box.readOnly();
            state["typingLimit"] = box.typingLimit();
            break;
        }
        case ControlKind::OptionButton:
            state["value"] = static_cast<const OptionButton&>(control).value();
            break;
        case ControlKind::CheckBox:
            state["value"] = static_cast<const CheckBox&>(control).value();
            break;
        case ControlKind::ComboBox: {
            const auto& list = static_cast<const ComboBox&>(control);
            state["entries"] = list.entries();
            state["text"] = list.text();
            break;
        }
        default:
            break;
    }
    return state;
}

// Text that is not UTF-8 (a lock's bytes) is shown with replacement marks
// rather than refused.
std::string dumped(const json& value) {
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

}  // namespace

FormSession::FormSession(const std::string& clipboard) : page_(clipboard), form_(page_.platform()) {
    form_.setObserver(this);
}

void FormSession::controlChanged(const Control& control) {
    if (std::find(changed_.begin(), changed_.end(), &control) == changed_.end())
        changed_.push_back(&control);
}

std::string FormSession::start() {
    form_.Form_Load();
    form_.activate();
    return everything();
}

std::string FormSession::everything() {
    changed_.assign(form_.controls().begin(), form_.controls().end());
    return update();
}

std::string FormSession::update() {
    json controls = json::object();
    for (const Control* control : changed_) controls[control->name()] = controlState(*control);
    changed_.clear();
    json events = json::array();
    for (const PageEvent& event : page_.takeEvents())
        events.push_back({{"kind", event.kind}, {"text", event.text}, {"title", event.title}});
    const Control* focused = form_.focus();
    return dumped({{"page", form_.SSTab1.page()},
                   {"focus", focused == nullptr ? "" : focused->name()},
                   {"controls", std::move(controls)},
                   {"events", std::move(events)}});
}

template <class Action>
std::string FormSession::act(const std::string& name, Action action) {
    Control* control = form_.findControl(name);
    if (control == nullptr) return dumped({{"error", "the form has no control " + name}});
    action(*control);
    return update();
}

std::string FormSession::edit(const std::string& name, const std::string& text) {
    return act(name, [&](Control& control) {
        if (control.kind() == ControlKind::TextBox)
            form_.operatorEdit(static_cast<TextBox&>(control), text);
    });
}

std::string FormSession::enter(const std::string& name) {
    return act(name, [&](Control& control) {
        if (control.kind() == ControlKind::TextBox)
            form_.pressEnter(static_cast<TextBox&>(control));
    });
}

std::string FormSession::click(const std::string& name, bool ctrl, bool shift) {
    return act(name, [&](Control& control) {
        page_.setModifiers(ctrl, shift);
        form_.click(control);
        page_.setModifiers(false, false);
    });
}

std::string FormSession::focus(const std::string& name) {
    return act(name, [&](Control& control) { form_.setFocus(control); });
}

std::string FormSession::showPage(int page) {
    if (page >= 0 && page < static_cast<int>(form_.SSTab1.pageCaptions().size()))
        form_.showPage(page);
    return update();
}

}  // namespace proxcred::web
