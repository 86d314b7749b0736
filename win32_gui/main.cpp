// proxcred.exe: the Proximity Credential Translator window on Windows.
#include <windows.h>
// The form has a MessageBox interface of its own: Win32's macro of that name
// must not rename it.
#undef MessageBox

#include <commctrl.h>

#include <iostream>

#include "form/frm_corvel.h"
#include "lock_reader/lock_reader.h"
#include "win32_gui/form_dialog.h"
#include "win32_gui/win32_platform.h"
#include "win32_serial/com_ports.h"
#include "win32_serial/port_control.h"
#include "win32_serial/win32_serial_channel.h"

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

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int show) {
    INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                 ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&classes);
    using namespace proxcred;
    const win32::Trace trace;
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
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!dialog.preTranslate(message) && !IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        dialog.noteFocus();
    }
    return 0;
}
