// What the operator did to a text box, told apart by how the text changed;
// the same for every view of the window.
#include "form/frm_corvel.h"

namespace proxcred {
namespace {

// What an edit did to a text: at `at`, `removed` characters gave way to
// `inserted` new ones.
struct TextEdit {
    std::size_t at = 0;
    std::size_t removed = 0;
    std::size_t inserted = 0;
};

TextEdit textEdit(std::string_view before, std::string_view after) {
    std::size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    return {prefix, before.size() - prefix - suffix, after.size() - prefix - suffix};
}

}  // namespace

void frmCorvel::operatorEdit(TextBox& box, std::string_view edited) {
    const std::string before = box.text();
    const TextEdit edit = textEdit(before, edited);
    // One character typed at the end is a keystroke; several characters put
    // in at once are a paste, whichever way it came (keys, menu, mouse);
    // anything else is a deletion or a keystroke inside the text.
    if (edit.inserted == 1 && edit.removed == 0 && edit.at == before.size()) {
        typeText(box, edited.substr(before.size()));
    } else if (edit.inserted > 1) {
        pasteText(box, edited);
    } else if (edit.inserted != 0 || edit.removed != 0) {
        editText(box, edited);
    }
}

}  // namespace proxcred
