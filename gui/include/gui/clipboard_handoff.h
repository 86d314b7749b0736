#pragma once

// X11 keeps clipboard text in the program that owns it, so the reply would be
// gone when the program ends unless a clipboard manager takes it over. Before
// it ends, the program hands the text to a detached helper, its own binary in
// a serve mode, which keeps serving it until another program takes the
// clipboard.
namespace proxcred::gui {

inline constexpr const char* kKeepClipboardOption = "--keep-clipboard";
inline constexpr const char* kKeepClipboardVariable = "PROXCRED_CLIPBOARD_TEXT";

// When this program owns the clipboard (on X11), starts the helper and waits
// until it has taken the clipboard over. Returns at once otherwise.
void handClipboardOver(const char* program);

// The helper: serves the text in PROXCRED_CLIPBOARD_TEXT on the clipboard
// until another program takes it. Runs its own application object.
int keepClipboard(int argc, char** argv);

}  // namespace proxcred::gui
