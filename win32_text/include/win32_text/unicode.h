#pragma once

#include <windows.h>
// The form has a MessageBox interface of its own: Win32's macro of that name
// must not rename it.
#undef MessageBox

#include <string>
#include <string_view>

// UTF-8, as the program keeps its texts, to and from UTF-16, as Windows takes
// and gives them.
namespace proxcred::win32 {

inline std::wstring utf16Of(std::string_view text) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring converted(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), converted.data(),
                        length);
    return converted;
}

inline std::string utf8Of(std::wstring_view text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string converted(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), converted.data(),
                        length, nullptr, nullptr);
    return converted;
}

}  // namespace proxcred::win32
