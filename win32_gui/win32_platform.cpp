#include "win32_gui/win32_platform.h"

#include <cstdio>
#include <cwchar>

namespace proxcred::win32 {
namespace {

// The clipboard may be held by another program for a moment.
constexpr int kOpenAttempts = 20;
constexpr DWORD kOpenRetryMs = 10;

bool openClipboard(HWND owner) {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (OpenClipboard(owner)) return true;
        Sleep(kOpenRetryMs);
    }
    return false;
}

}  // namespace

void DialogMessageBox::show(std::string_view text, std::string_view title) {
    trace_.write("message", text);
    // A message box shows its text as it is: no markup is interpreted.
    MessageBoxW(owner_, utf16Of(text).c_str(), utf16Of(title).c_str(), MB_OK);
}

std::string SystemClipboard::text() {
    if (!openClipboard(owner_)) return {};
    std::string text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = utf8Of(std::wstring_view(chars, std::wcslen(chars)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void SystemClipboard::setText(std::string_view text) {
    trace_.write("clipboard", text);
    const std::wstring wide = utf16Of(text);
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
    if (data == nullptr) return;
    auto* chars = static_cast<wchar_t*>(GlobalLock(data));
    std::wmemcpy(chars, wide.c_str(), wide.size() + 1);
    GlobalUnlock(data);
    if (!openClipboard(owner_)) {
        GlobalFree(data);
        return;
    }
    EmptyClipboard();
    if (SetClipboardData(CF_UNICODETEXT, data) == nullptr) GlobalFree(data);
    CloseClipboard();
}

}  // namespace proxcred::win32
