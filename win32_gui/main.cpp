// proxcred.exe: the Proximity Credential Translator window on Windows.
#include <windows.h>
// The form has a MessageBox interface of its own: Win32's macro of that name
// must not rename it.
#undef MessageBox

#include <commctrl.h>
#include <shellapi.h>

#include <iostream>
#include <string>

#include "form/frm_corvel.h"
#include "lock_reader/lock_reader.h"
#include "win32_gui/form_dialog.h"
#include "win32_gui/win32_platform.h"
#include "win32_serial/com_ports.h"
#include "win32_serial/port_control.h"
#include "win32_serial/win32_serial_channel.h"
#include "window_layout/information_option.h"

namespace {

// Unloading the form ends the program.
class DialogUnloader final : public proxcred::FormUnloader {
  public:
    void unloadForm() override {
        if (dialog != nullptr) DestroyWindow(dialog);
        PostQuitMessage(0);
    }
    HWND dialog = nullptr;
};

// The first argument, when it is plain ASCII as the options are.
std::string firstArgument(int count, LPWSTR* arguments) {
    std::string first;
    if (count < 2) return first;
    for (const wchar_t* character = arguments[1]; *character != L'\0'; ++character) {
        first.push_back(*character < 0x80 ? static_cast<char>(*character) : '?');
    }
    return first;
}

// --help or --version alone is answered on standard output. A program of the
// Windows subsystem is given none when started from a console, so it writes
// to that console unless its output is redirected.
bool answeredInformationOption() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr) return false;
    const std::string first = firstArgument(count, arguments);
    LocalFree(arguments);
    const auto answer = proxcred::layout::informationOptionAnswer(count - 1, first);
    if (!answer) return false;
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if ((output == nullptr || output == INVALID_HANDLE_VALUE) &&
        AttachConsole(ATTACH_PARENT_PROCESS)) {
        output = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                             nullptr);
    }
    if (output != nullptr && output != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(output, answer->data(), static_cast<DWORD>(answer->size()), &written, nullptr);
    }
    return true;
}

// Runs the dialog's messages until the form unloads.
void runMessageLoop(proxcred::win32::FormDialog& dialog, HWND window) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!dialog.preTranslate(message) && !IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        dialog.noteFocus();
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int show) {
    if (answeredInformationOption()) return 0;
    INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                 ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&classes);
    using namespace proxcred;
    const layout::WindowTrace trace;
    win32::DialogMessageBox messageBox(trace);
    win32::SystemClipboard clipboard(trace);
    win32::KeyboardModifiers keys;
    win32::PortControl serialPort;
    win32::FormDialog* view = nullptr;
    win32::ChannelSource channels(
        [&view](unsigned long milliseconds) { return view->pauseForRead(milliseconds); });
    lock::SystemClock clock;
    lock::LockReader cardReader(channels, clock,
                                [&trace](std::string_view text) { trace.write("info", text); });
    DialogUnloader unloader;
    Platform platform{messageBox, clipboard, keys, serialPort, cardReader, unloader};

    frmCorvel form(platform);
    win32::FormDialog dialog(form, trace);
    view = &dialog;
    HWND window = dialog.create(instance);
    dialog.setPortDevices([](int port) { return win32::comPortDevice(port).value_or(""); });
    messageBox.setOwner(window);
    clipboard.setOwner(window);
    unloader.dialog = window;
    SendMessageW(window, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadIconW(instance, L"APPICON")));
    form.Form_Load();
    ShowWindow(window, show);
    SetForegroundWindow(window);
    form.activate();
    runMessageLoop(dialog, window);
    return 0;
}
