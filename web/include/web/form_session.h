#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "form/frm_corvel.h"
#include "web/page_platform.h"

// The translator's form for a web page: the page is a view like the two
// windows, sending the operator's actions to the form's entry points and
// showing what the form holds. Each action answers with the update the page
// mirrors, as JSON: {"page", "focus", "controls": {...}, "events": [...]},
// where controls holds each control changed since the last answer (every
// control in the first) with its "kind", "enabled", "usable", and its
// "text", "caption", "value", "readOnly", "typingLimit", "entries" as the
// kind has them, and events the messages and clipboard writes since then.
// A control name the form does not have is refused with {"error": "..."}.
namespace proxcred::web {

class FormSession final : private ControlObserver {
  public:
    // `clipboard`: the preset a host would have left on the clipboard.
    explicit FormSession(const std::string& clipboard);
    FormSession(const FormSession&) = delete;
    FormSession& operator=(const FormSession&) = delete;

    std::string start();
    std::string edit(const std::string& control, const std::string& text);
    std::string enter(const std::string& control);
    std::string click(const std::string& control, bool ctrl, bool shift);
    std::string focus(const std::string& control);
    std::string showPage(int page);
    // Every control, changed or not, and what happened since the last answer.
    std::string everything();

  private:
    void controlChanged(const Control& control) override;
    std::string update();
    template <class Action>
    std::string act(const std::string& control, Action action);

    PagePlatform page_;
    frmCorvel form_;
    std::vector<const Control*> changed_;
};

}  // namespace proxcred::web
