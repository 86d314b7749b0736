#pragma once

#include <windows.h>
// The form has a MessageBox interface of its own: Win32's macro of that name
// must not rename it.
#undef MessageBox

#include <string>
#include <string_view>

#include "platform/platform.h"
#include "win32_text/unicode.h"
#include "window_layout/window_trace.h"

// The form's outside world as Win32 gives it: message boxes, the clipboard,
// the keyboard, and the trace the tests read.
namespace proxcred::win32 {

// When PROXCRED_TRACE names a file, every message shown, every clipboard
// write, every text box change and every button caption is appended to it,
// in the lines the Linux window writes ("message: TEXT", "clipboard: TEXT",
// NAME.text="TEXT", NAME.caption="TEXT"). A support log, and what the tests
// under Wine read.

class DialogMessageBox final : public MessageBox {
  public:
    explicit DialogMessageBox(const layout::WindowTrace& trace) : trace_(trace) {}
    void setOwner(HWND owner) { owner_ = owner; }
    void show(std::string_view text, std::string_view title) override;

  private:
    const layout::WindowTrace& trace_;
    HWND owner_ = nullptr;
};

// Unicode text on the clipboard. Windows keeps it after the program ends.
class SystemClipboard final : public Clipboard {
  public:
    explicit SystemClipboard(const layout::WindowTrace& trace) : trace_(trace) {}
    void setOwner(HWND owner) { owner_ = owner; }
    std::string text() override;
    void setText(std::string_view text) override;

  private:
    const layout::WindowTrace& trace_;
    HWND owner_ = nullptr;
};

class KeyboardModifiers final : public ModifierKeys {
  public:
    bool ctrlHeld() override { return (GetKeyState(VK_CONTROL) & 0x8000) != 0; }
    bool shiftHeld() override { return (GetKeyState(VK_SHIFT) & 0x8000) != 0; }
};

}  // namespace proxcred::win32
