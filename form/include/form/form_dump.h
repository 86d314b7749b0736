#pragma once

#include <string>
#include <vector>

#include "form/frm_corvel.h"

namespace proxcred {

// The form's state as sorted "NAME.PROPERTY=VALUE" lines: texts, captions and
// the combo's text JSON-quoted; names, numbers, Empty, True and False bare.
std::vector<std::string> dumpForm(const frmCorvel& form);

}  // namespace proxcred
