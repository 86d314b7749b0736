#pragma once

#include <optional>
#include <string>
#include <vector>

#include "form/frm_corvel.h"

namespace proxcred {

// The form's state as sorted "NAME.PROPERTY=VALUE" lines: texts, captions and
// the combo's text JSON-quoted; names, numbers, Empty, True and False bare.
std::vector<std::string> dumpForm(const frmCorvel& form);

// The line a view's trace (PROXCRED_TRACE) writes when a control changed: a
// text box's text, a command button's caption (which tells when a lock read
// waits) or the port list's text, JSON-quoted; nothing for other controls.
std::optional<std::string> changeTraceLine(const Control& control);

}  // namespace proxcred
