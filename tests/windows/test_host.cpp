// A host application as Windows hosts start proxcred: it puts the preset on
// the clipboard, starts the program with CreateProcess, waits for it, then
// prints the clipboard's text. It waits pumping its own messages, or with
// --no-pump as many hosts do, blocked in WaitForSingleObject (under Wine such
// a host was measured to stall a child's clipboard read; the window must not
// depend on it).
// Usage: test_host [--no-pump] PRESET PROGRAM
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

constexpr DWORD kLongestRunMs = 60000;

bool putOnClipboard(const wchar_t* text) {
    const std::size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(data), text, bytes);
    GlobalUnlock(data);
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    const bool put = SetClipboardData(CF_UNICODETEXT, data) != nullptr;
    CloseClipboard();
    return put;
}

std::string clipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) return "(clipboard busy)";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        const auto* chars = static_cast<const wchar_t*>(GlobalLock(data));
        const int length = WideCharToMultiByte(CP_UTF8, 0, chars, -1, nullptr, 0, nullptr, nullptr);
        text.resize(static_cast<std::size_t>(length > 0 ? length - 1 : 0));
        WideCharToMultiByte(CP_UTF8, 0, chars, -1, text.data(), length, nullptr, nullptr);
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bool pump = !(argc == 4 && std::wcscmp(argv[1], L"--no-pump") == 0);
    if (!pump) ++argv, --argc;
    if (argc != 3) {
        std::fputs("usage: test_host [--no-pump] PRESET PROGRAM\n", stderr);
        return 2;
    }
    if (!putOnClipboard(argv[1])) return 3;
    std::wstring command = L"\"" + std::wstring(argv[2]) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return 4;
    const ULONGLONG deadline = GetTickCount64() + kLongestRunMs;
    if (!pump) WaitForSingleObject(process.hProcess, kLongestRunMs);
    while (pump) {
        const DWORD left = static_cast<DWORD>(deadline - GetTickCount64());
        const DWORD woke =
            MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, left, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0 || woke == WAIT_TIMEOUT || GetTickCount64() >= deadline) break;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    DWORD status = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &status);
    std::printf("%s\n", clipboardText().c_str());
    return status == STILL_ACTIVE ? 5 : 0;
}
