// The Windows window as a screen reader and a keyboard user meet it: the
// name Windows' accessibility layer (oleacc) gives each control, the tab
// stops and groups the dialog manager walks, and a caret the eye can find in
// an empty edit box. The form runs on fakes; no resources are linked.
#include <windows.h>
#undef MessageBox

#include <commctrl.h>
#include <oleacc.h>

#include <array>
#include <iostream>
#include <map>
#include <string>

#include "fakes/fake_platform.h"
#include "win32_gui/form_dialog.h"
#include "window_layout/accessible_names.h"

namespace {

namespace layout = proxcred::layout;

// IID_IAccessible, spelt out: MinGW's import library may not carry it.
const IID kAccessibleInterface = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

int failures = 0;

void expect(bool holds, const std::string& what) {
    if (holds) return;
    std::cout << "FAILED: " << what << '\n';
    ++failures;
}

std::string narrow(const std::wstring& wide) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), text.data(), size,
                        nullptr, nullptr);
    return text;
}

// The name a screen reader hears for the window, as oleacc gives it.
std::string accessibleNameOf(HWND window) {
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                          kAccessibleInterface,
                                          reinterpret_cast<void**>(&accessible))) ||
        accessible == nullptr)
        return "(no accessible object)";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::string result;
    if (accessible->get_accName(self, &name) == S_OK && name != nullptr) {
        result = narrow(name);
        SysFreeString(name);
    }
    accessible->Release();
    return result;
}

bool hasStyle(HWND window, LONG_PTR style) {
    return (GetWindowLongPtrW(window, GWL_STYLE) & style) != 0;
}

bool isOption(const proxcred::frmCorvel& form, std::string_view control) {
    return form.findControl(control)->kind() == proxcred::ControlKind::OptionButton;
}

std::wstring classOf(HWND window) {
    std::array<wchar_t, 64> name{};
    GetClassNameW(window, name.data(), static_cast<int>(name.size()));
    return name.data();
}

// Windows names an edit box or a list by the static text right before it.
std::string labelAhead(HWND window) {
    HWND label = GetWindow(window, GW_HWNDPREV);
    if (label == nullptr || classOf(label) != WC_STATICW) return "(no label ahead)";
    std::array<wchar_t, 128> text{};
    GetWindowTextW(label, text.data(), static_cast<int>(text.size()));
    return layout::spokenCaption(narrow(text.data()));
}

// Every control a user reaches has the name the layout gives it, and no two
// share one. A label's colon stays in the name, as Windows gives it; readers
// do not speak it. Wine names a list by its entry, not by its label: the
// list is held to the label ahead of it only.
void checkNames(const proxcred::frmCorvel& form, const proxcred::win32::FormDialog& view) {
    std::map<std::string, std::string_view> named;
    for (const layout::Place& place : layout::kPlaces) {
        const std::string expected = layout::accessibleName(form, place.control);
        if (expected.empty() || place.control == "Picture1") continue;
        HWND window = view.windowOf(place.control);
        const std::wstring windowClass = classOf(window);
        const bool labelled = windowClass == WC_EDITW || windowClass == WC_COMBOBOXW;
        const std::string heard = windowClass == WC_COMBOBOXW
                                      ? labelAhead(window)
                                      : layout::spokenCaption(accessibleNameOf(window));
        expect(heard == expected, std::string(place.control) + " is named \"" + heard +
                                      "\", not \"" + expected + "\"");
        if (labelled)
            expect(labelAhead(window) == expected,
                   std::string(place.control) + " has \"" + labelAhead(window) + "\" ahead");
        const auto [first, added] = named.emplace(heard, place.control);
        expect(added, std::string(place.control) + " and " + std::string(first->second) +
                          " are both named \"" + heard + "\"");
    }
}

// Tab visits the layout's tab stops only; each starts a group but the format
// options, which are one group the arrow keys move through.
void checkTabStops(const proxcred::frmCorvel& form, const proxcred::win32::FormDialog& view) {
    for (const layout::Place& place : layout::kPlaces) {
        HWND window = view.windowOf(place.control);
        const auto kind = form.findControl(place.control)->kind();
        if (kind == proxcred::ControlKind::TextBox)
            expect(hasStyle(window, WS_TABSTOP) == (place.tab > 0),
                   std::string(place.control) +
                       (place.tab > 0 ? " is no tab stop" : " is a tab stop"));
    }
    std::string_view before;
    for (const std::string_view control : layout::tabOrder()) {
        const bool grouped = isOption(form, control) && !before.empty() && isOption(form, before);
        expect(hasStyle(view.windowOf(control), WS_GROUP) != grouped,
               std::string(control) +
                   (grouped ? " starts a group of its own" : " does not start a group"));
        before = control;
    }
}

// The caret in an empty edit box is wider than Windows' one pixel.
void checkCaret(const proxcred::win32::FormDialog& view) {
    HWND edit = view.windowOf("txtBoxSerialNo");
    SetWindowTextW(edit, L"");
    SetFocus(edit);
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetCurrentThreadId(), &thread);
    const LONG width = thread.rcCaret.right - thread.rcCaret.left;
    expect(thread.hwndCaret == edit && width >= 2 && thread.rcCaret.bottom > thread.rcCaret.top,
           "the caret in the empty hotstamp box is " + std::to_string(width) + " pixel(s) wide");
}

}  // namespace

int wmain() {
    CoInitialize(nullptr);
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&classes);
    proxcred::fakes::FakePlatform fakes;
    const layout::WindowTrace trace;
    proxcred::frmCorvel form(fakes.platform);
    proxcred::win32::FormDialog dialog(form, trace);
    HWND window = dialog.create(GetModuleHandleW(nullptr));
    form.Form_Load();
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    checkNames(form, dialog);
    checkTabStops(form, dialog);
    checkCaret(dialog);
    std::cout << (failures == 0 ? "ok" : "failed") << '\n';
    CoUninitialize();
    return failures == 0 ? 0 : 1;
}
