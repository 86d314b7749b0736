// The Windows window at its monitor's DPI: at start (Wine's DPI setting, the
// LogPixels the test script sets), and after WM_DPICHANGED, which Windows
// sends when the window moves to a monitor of another DPI or the setting
// changes. The client area, the controls' places and the font follow the
// DPI each time. The form runs on fakes; no resources are linked.
// Usage: dialog_dpi_test.exe START_DPI
#include <windows.h>
#undef MessageBox

#include <commctrl.h>

#include <cstdlib>
#include <iostream>
#include <string>

#include "fakes/fake_platform.h"
#include "win32_gui/form_dialog.h"

namespace {

int failures = 0;

void expect(bool holds, const std::string& what) {
    if (holds) return;
    std::cout << "FAILED: " << what << '\n';
    ++failures;
}

int scaled(int value, int dpi) {
    return MulDiv(value, dpi, USER_DEFAULT_SCREEN_DPI);
}

int fontHeight(HWND window) {
    LOGFONTW look{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof look, &look);
    return std::abs(look.lfHeight);
}

// The client area, the OK button and the hotstamp box where the layout puts
// them at this DPI, and the font of the button at about its size.
void checkAt(const proxcred::win32::FormDialog& view, int dpi, int fontAt96) {
    HWND dialog = view.window();
    const std::string at = " at " + std::to_string(dpi) + " DPI";
    RECT client{};
    GetClientRect(dialog, &client);
    expect(
        client.right == scaled(proxcred::layout::kClientSize.width, dpi) &&
            client.bottom == scaled(proxcred::layout::kClientSize.height, dpi),
        "client area " + std::to_string(client.right) + "x" + std::to_string(client.bottom) + at);
    for (const char* name : {"cmdOK", "txtBoxSerialNo"}) {
        const proxcred::layout::Place place = *proxcred::layout::placeOf(name);
        const int left =
            place.rect.x + (place.page == proxcred::layout::Page::Window
                                ? 0
                                : proxcred::layout::kTabs.x + proxcred::layout::kPageOrigin.width);
        HWND control = view.windowOf(name);
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        expect(rect.left == scaled(left, dpi) &&
                   rect.right - rect.left == scaled(place.rect.width, dpi),
               std::string(name) + " at x " + std::to_string(rect.left) + ", width " +
                   std::to_string(rect.right - rect.left) + at);
        const int height = fontHeight(control);
        expect(std::abs(height - scaled(fontAt96, dpi)) <= 1,
               std::string(name) + "'s font " + std::to_string(height) + " px high" + at);
    }
}

// What Windows sends: the new DPI, and the window rectangle it suggests.
void changeDpi(HWND dialog, int dpi) {
    RECT frame{0, 0, scaled(proxcred::layout::kClientSize.width, dpi),
               scaled(proxcred::layout::kClientSize.height, dpi)};
    AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)),
                             static_cast<UINT>(dpi));
    OffsetRect(&frame, 10 - frame.left, 10 - frame.top);
    SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&frame));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    const int startDpi = std::wcstol(argv[1], nullptr, 10);
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&classes);
    proxcred::fakes::FakePlatform fakes;
    const proxcred::layout::WindowTrace trace;
    proxcred::frmCorvel form(fakes.platform);
    proxcred::win32::FormDialog dialog(form, trace);
    HWND window = dialog.create(GetModuleHandleW(nullptr));
    form.Form_Load();
    const int fontAt96 =
        MulDiv(fontHeight(dialog.windowOf("cmdOK")), USER_DEFAULT_SCREEN_DPI, startDpi);
    expect(static_cast<int>(GetDpiForWindow(window)) == startDpi,
           "the window starts at " + std::to_string(GetDpiForWindow(window)) + " DPI");
    checkAt(dialog, startDpi, fontAt96);
    for (const int dpi : {144, 192, startDpi}) {
        changeDpi(window, dpi);
        checkAt(dialog, dpi, fontAt96);
    }
    std::cout << (failures == 0 ? "ok" : "failed") << '\n';
    return failures == 0 ? 0 : 1;
}
