#include "win32_gui/form_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <unordered_set>

#include "form/form_dump.h"
#include "window_layout/accessible_names.h"

namespace proxcred::win32 {
namespace {

bool isArrowKey(WPARAM key) {
    return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
}

// Control ids: this plus the place's index in the layout.
constexpr int kFirstId = 1000;
constexpr int kDropDownHeight = 200;
constexpr int kDialogFontPoints = 8;
// The bit of a key message's lParam that says the key was already down.
constexpr LPARAM kKeyWasDown = LPARAM{1} << 30;

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// An empty dialog with a caption, the system menu and the dialog font; the
// controls are created when it initialises, at the layout's places.
std::vector<WORD> dialogTemplate(std::wstring_view title) {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
    header->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_SETFONT |
                    DS_MODALFRAME | DS_CENTER;
    words.push_back(0);  // no menu
    words.push_back(0);  // the dialog class
    words.insert(words.end(), title.begin(), title.end());
    words.push_back(0);
    words.push_back(kDialogFontPoints);
    for (const wchar_t c : std::wstring_view(L"MS Shell Dlg")) words.push_back(c);
    words.push_back(0);
    return words;
}

bool isInput(const MSG& message) {
    return (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) ||
           (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST) ||
           (message.message >= WM_NCMOUSEMOVE && message.message <= WM_NCMBUTTONDBLCLK);
}

}  // namespace

FormDialog::FormDialog(frmCorvel& form, const layout::WindowTrace& trace)
    : form_(form), trace_(trace) {}

FormDialog::~FormDialog() {
    form_.setObserver(nullptr);
    if (logo_ != nullptr) DestroyIcon(logo_);
    if (copy_ != nullptr) DestroyIcon(copy_);
    if (ownFont_ != nullptr) DeleteObject(ownFont_);
}

HWND FormDialog::create(HINSTANCE instance) {
    const std::vector<WORD> words = dialogTemplate(utf16Of(kApplicationTitle));
    CreateDialogIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(words.data()),
                               nullptr, dialogProcedure, reinterpret_cast<LPARAM>(this));
    return dialog_;
}

INT_PTR CALLBACK FormDialog::dialogProcedure(HWND dialog, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
        reinterpret_cast<FormDialog*>(lParam)->dialog_ = dialog;
    }
    auto* self = reinterpret_cast<FormDialog*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
    return self != nullptr ? self->handle(message, wParam, lParam) : FALSE;
}

INT_PTR FormDialog::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            initialise();
            return FALSE;  // the form puts the focus where it wants it
        case WM_COMMAND:
            command(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_NOTIFY: {
            const auto* notice = reinterpret_cast<const NMHDR*>(lParam);
            if (notice->hwndFrom == tabs_ && notice->code == TCN_SELCHANGE)
                form_.showPage(TabCtrl_GetCurSel(tabs_));
            return TRUE;
        }
        case WM_CTLCOLORSTATIC:
            return staticColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_DPICHANGED:
            dpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return TRUE;
        case WM_CLOSE:
            // Closing the window other than by OK or Exit writes nothing.
            form_.close();
            return TRUE;
        default:
            return FALSE;
    }
}

void FormDialog::initialise() {
    // The monitor's own DPI: the manifest declares the window aware of it.
    dpi_ = static_cast<int>(GetDpiForWindow(dialog_));
    font_ = reinterpret_cast<HFONT>(SendMessageW(dialog_, WM_GETFONT, 0, 0));
    fitClientArea();
    createControls();
    for (const Control* control : form_.controls()) mirror(*control);
    form_.setObserver(this);
}

// The client area the layout needs at the window's DPI, whatever frame the
// system draws around it (Wine's frame does not follow the suggested
// rectangle's DPI).
void FormDialog::fitClientArea() {
    RECT client{};
    RECT frame{};
    GetClientRect(dialog_, &client);
    GetWindowRect(dialog_, &frame);
    const int width = MulDiv(layout::kClientSize.width, dpi_, USER_DEFAULT_SCREEN_DPI);
    const int height = MulDiv(layout::kClientSize.height, dpi_, USER_DEFAULT_SCREEN_DPI);
    if (client.right == width && client.bottom == height) return;
    SetWindowPos(dialog_, nullptr, 0, 0, frame.right - frame.left + width - client.right,
                 frame.bottom - frame.top + height - client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Captions on a page stand on the page's background (the window colour the
// tab control fills its body with); read-only boxes and what is outside the
// pages keep theirs.
INT_PTR FormDialog::staticColour(HDC context, HWND window) const {
    const Control* control = controlOf(window);
    if (control == nullptr || control->kind() == ControlKind::TextBox ||
        pages_.at(control) == layout::Page::Window)
        return FALSE;
    SetBkColor(context, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
}

// The window moved to a monitor of another DPI, or the DPI setting changed:
// the window takes the size Windows suggests, and every control, font and
// image is scaled anew.
void FormDialog::dpiChanged(int dpi, const RECT& suggested) {
    LOGFONTW look{};
    GetObjectW(font_, sizeof look, &look);
    look.lfHeight = MulDiv(look.lfHeight, dpi, dpi_);
    HFONT scaled = CreateFontIndirectW(&look);
    dpi_ = dpi;
    font_ = scaled;
    if (ownFont_ != nullptr) DeleteObject(ownFont_);
    ownFont_ = scaled;
    SetWindowPos(dialog_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    fitClientArea();
    SendMessageW(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    for (const auto& [control, window] : windows_)
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    placeControls();
}

RECT FormDialog::pixels(const layout::Place& place) const {
    layout::Rect rect = place.rect;
    if (place.page != layout::Page::Window) {
        rect.x += layout::kTabs.x + layout::kPageOrigin.width;
        rect.y += layout::kTabs.y + layout::kPageOrigin.height;
    }
    const auto scaled = [this](int value) { return MulDiv(value, dpi_, USER_DEFAULT_SCREEN_DPI); };
    return {scaled(rect.x), scaled(rect.y), scaled(rect.width), scaled(rect.height)};
}

void FormDialog::createControls() {
    tabs_ = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0,
                            0, 0, dialog_, nullptr, nullptr, nullptr);
    SendMessageW(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    for (std::size_t page = 0; page < form_.SSTab1.pageCaptions().size(); ++page) {
        std::wstring caption = utf16Of(form_.SSTab1.pageCaptions()[page]);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        SendMessageW(tabs_, TCM_INSERTITEMW, page, reinterpret_cast<LPARAM>(&item));
    }
    windows_[&form_.SSTab1] = tabs_;
    for (std::size_t index = 0; index < layout::kPlaces.size(); ++index) {
        const layout::Place& place = layout::kPlaces[index];
        Control& control = *form_.findControl(place.control);
        HWND window = createControl(control, place);
        SetWindowLongPtrW(window, GWLP_ID, static_cast<LONG_PTR>(kFirstId + index));
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
        windows_[&control] = window;
        controls_[window] = &control;
        ids_[kFirstId + static_cast<int>(index)] = &control;
        pages_[&control] = place.page;
    }
    for (const layout::Place& place : layout::kPlaces)
        addNameLabel(*form_.findControl(place.control));
    placeControls();
    setTabOrder();
    addToolTips();
}

// Every control at its place, at the window's DPI, with its image drawn at
// that size.
void FormDialog::placeControls() {
    const RECT tabs = pixels({"SSTab1", layout::Page::Window, layout::kTabs});
    MoveWindow(tabs_, tabs.left, tabs.top, tabs.right, tabs.bottom, TRUE);
    for (const layout::Place& place : layout::kPlaces) {
        const Control* control = form_.findControl(place.control);
        RECT at = pixels(place);
        // A drop-down list's height includes its open list.
        if (control->kind() == ControlKind::ComboBox)
            at.bottom = MulDiv(kDropDownHeight, dpi_, USER_DEFAULT_SCREEN_DPI);
        HWND window = windows_.at(control);
        MoveWindow(window, at.left, at.top, at.right, at.bottom, TRUE);
        if (control->kind() == ControlKind::PictureBox) setLogo(window, at);
    }
    setCopyIcon(windows_.at(&form_.cmdCopyToCB));
}

void FormDialog::setLogo(HWND window, const RECT& at) {
    if (logo_ != nullptr) DestroyIcon(logo_);
    logo_ = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), L"APPICON", IMAGE_ICON, at.right, at.bottom, 0));
    SendMessageW(window, STM_SETICON, reinterpret_cast<WPARAM>(logo_), 0);
}

void FormDialog::setCopyIcon(HWND button) {
    constexpr int kIconSide = 16;
    const int side = MulDiv(kIconSide, dpi_, USER_DEFAULT_SCREEN_DPI);
    if (copy_ != nullptr) DestroyIcon(copy_);
    copy_ = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), L"COPYICON", IMAGE_ICON, side, side, 0));
    SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(copy_));
}

// The command buttons' tooltips, and the port list's (the chosen port's device).
void FormDialog::addToolTips() {
    toolTips_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                dialog_, nullptr, nullptr, nullptr);
    for (const auto& [control, window] : windows_) {
        if (control->kind() == ControlKind::CommandButton)
            setToolTip(window, static_cast<const CommandButton*>(control)->toolTip());
    }
}

void FormDialog::setToolTip(HWND window, const std::string& text) {
    if (toolTips_ == nullptr) return;
    std::wstring wide = utf16Of(text);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog_;
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    tool.lpszText = wide.data();
    SendMessageW(toolTips_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (!text.empty()) SendMessageW(toolTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void FormDialog::setPortDevices(std::function<std::string(int port)> deviceOf) {
    deviceOf_ = std::move(deviceOf);
    mirror(form_.ComboComPort);
}

// The window class and styles of a control's native window.
FormDialog::NativeKind FormDialog::nativeKind(const Control& control,
                                              const layout::Place& place) const {
    const DWORD child = WS_CHILD | WS_VISIBLE;
    const layout::Align align = place.align;
    switch (control.kind()) {
        case ControlKind::TextBox:
            // Instructions wrap at the box's width; a line scrolls instead.
            // A box Tab does not visit (a result) is no tab stop.
            return {WC_EDITW,
                    child | (place.tab > 0 ? DWORD{WS_TABSTOP} : DWORD{0}) |
                        (static_cast<const TextBox&>(control).multiLine()
                             ? DWORD{ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL}
                             : DWORD{ES_AUTOHSCROLL}),
                    WS_EX_CLIENTEDGE};
        case ControlKind::Label:
            return {WC_STATICW,
                    child | SS_CENTERIMAGE |
                        (align == layout::Align::Right    ? SS_RIGHT
                         : align == layout::Align::Center ? SS_CENTER
                                                          : SS_LEFT),
                    0};
        case ControlKind::OptionButton:  // the model keeps the group exclusive
            return {WC_BUTTONW, child | WS_TABSTOP | BS_RADIOBUTTON, 0};
        case ControlKind::CheckBox:
            return {WC_BUTTONW, child | WS_TABSTOP | BS_3STATE, 0};
        case ControlKind::CommandButton:
            return {
                WC_BUTTONW,
                child | WS_TABSTOP | BS_PUSHBUTTON | (&control == &form_.cmdCopyToCB ? BS_ICON : 0),
                0};
        case ControlKind::Frame:
            return {WC_BUTTONW, child | BS_GROUPBOX, 0};
        case ControlKind::ComboBox:
            return {WC_COMBOBOXW, child | WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL, 0};
        case ControlKind::PictureBox:
            return {WC_STATICW, child | SS_ICON | SS_CENTERIMAGE | SS_REALSIZECONTROL, 0};
        case ControlKind::TabControl:
            break;
    }
    return {WC_STATICW, child, 0};
}

HWND FormDialog::createControl(const Control& control, const layout::Place& place) {
    const NativeKind native = nativeKind(control, place);
    return CreateWindowExW(native.extendedStyle, native.windowClass, L"", native.style, 0, 0, 0, 0,
                           dialog_, nullptr, nullptr, nullptr);
}

// The dialog visits its controls in their order among the dialog's
// children: the layout's tab order first, then the rest (labels, frames,
// result boxes, in the layout's order), the tab control last, beneath all.
// Each control's label (or name label) comes right before it: a screen
// reader names an edit box or list by the text just ahead of it. Each tab
// stop starts a group of its own but the format options, which are one: the
// arrow keys move through it, and an option selects as it takes the focus.
void FormDialog::setTabOrder() {
    HWND previous = HWND_TOP;
    std::unordered_set<HWND> placed;
    const auto place = [&](HWND window) {
        if (!placed.insert(window).second) return;
        SetWindowPos(window, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = window;
    };
    const auto placeNamed = [&](const Control* control) {
        if (const auto label = labels_.find(control); label != labels_.end()) place(label->second);
        place(windows_.at(control));
    };
    const Control* before = nullptr;
    for (const std::string_view name : layout::tabOrder()) {
        const Control* control = form_.findControl(name);
        const bool sameGroup = control->kind() == ControlKind::OptionButton && before != nullptr &&
                               before->kind() == ControlKind::OptionButton &&
                               before->container() == control->container();
        HWND window = windows_.at(control);
        const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
        SetWindowLongPtrW(window, GWL_STYLE, sameGroup ? style & ~WS_GROUP : style | WS_GROUP);
        placeNamed(control);
        before = control;
    }
    for (const layout::Place& entry : layout::kPlaces) placeNamed(form_.findControl(entry.control));
    place(tabs_);
}

// The window a screen reader takes an edit box's or list's name from: the
// static text right ahead of it (setTabOrder), the form's label or, where no
// label names it, one of its own.
void FormDialog::addNameLabel(const Control& control) {
    const auto labelled = std::find_if(
        layout::kLabelFor.begin(), layout::kLabelFor.end(),
        [&](const layout::LabelFor& entry) { return entry.control == control.name(); });
    // Windows names by a static text only, not by a frame (a group box).
    if (labelled != layout::kLabelFor.end() &&
        form_.findControl(labelled->label)->kind() == ControlKind::Label) {
        labels_[&control] = windows_.at(form_.findControl(labelled->label));
        return;
    }
    if (control.kind() != ControlKind::TextBox && control.kind() != ControlKind::ComboBox) return;
    // Visible, as a label must be to name, but of no size: never seen.
    labels_[&control] = CreateWindowExW(
        0, WC_STATICW, utf16Of(layout::accessibleName(form_, control.name())).c_str(),
        WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, dialog_, nullptr, nullptr, nullptr);
}

HWND FormDialog::windowOf(std::string_view control) const {
    const Control* found = form_.findControl(control);
    return found == nullptr ? nullptr : windows_.at(found);
}

Control* FormDialog::controlOf(HWND window) const {
    const auto found = controls_.find(window);
    return found == controls_.end() ? nullptr : found->second;
}

// ---- Operator to model ----

void FormDialog::command(int id, int notification) {
    const auto found = ids_.find(id);
    if (found == ids_.end()) return;
    Control& control = *found->second;
    HWND window = windows_.at(&control);
    if (control.kind() == ControlKind::TextBox && notification == EN_SETFOCUS) widenCaret(window);
    if (mirroring_) return;
    switch (control.kind()) {
        case ControlKind::TextBox:
            if (notification == EN_CHANGE) operatorEdited(static_cast<TextBox&>(control), window);
            break;
        case ControlKind::ComboBox:
            if (notification == CBN_SELCHANGE) {
                auto& combo = static_cast<ComboBox&>(control);
                form_.selectComboIndex(combo,
                                       static_cast<int>(SendMessageW(window, CB_GETCURSEL, 0, 0)));
                mirror(combo);
            }
            break;
        case ControlKind::OptionButton:
        case ControlKind::CheckBox:
        case ControlKind::CommandButton:
            if (notification == BN_CLICKED) {
                form_.click(control);
                if (!form_.unloaded()) mirror(control);
            }
            break;
        default:
            break;
    }
}

// An edit box draws a one-pixel caret, which the eye loses in an empty box:
// it gets one two pixels wide at 96 DPI, or the system's width if wider. The
// box made its caret as it took the focus and tells the dialog afterwards.
void FormDialog::widenCaret(HWND edit) const {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    if (GetGUIThreadInfo(GetCurrentThreadId(), &thread) == FALSE || thread.hwndCaret != edit)
        return;
    DWORD systemWidth = 1;
    SystemParametersInfoW(SPI_GETCARETWIDTH, 0, &systemWidth, 0);
    const int width =
        std::max(MulDiv(2, dpi_, USER_DEFAULT_SCREEN_DPI), static_cast<int>(systemWidth));
    const RECT caret = thread.rcCaret;
    if (caret.right - caret.left >= width) return;
    CreateCaret(edit, nullptr, width, caret.bottom - caret.top);
    SetCaretPos(caret.left, caret.top);
    ShowCaret(edit);
}

// Windows reports a change for keys it refused, with the text as it was: only
// a text that differs from the model's is the operator's edit.
void FormDialog::operatorEdited(TextBox& box, HWND edit) {
    const std::string edited = utf8Of(windowText(edit));
    if (edited == box.text()) return;
    form_.operatorEdit(box, edited);
    mirrorText(box, edit);
}

bool FormDialog::preTranslate(MSG& message) {
    if (dialog_ == nullptr || message.message != WM_KEYDOWN) return false;
    // An open list takes Escape (it closes) and Enter (it chooses) itself.
    if ((message.wParam == VK_ESCAPE || message.wParam == VK_RETURN) && listIsOpen()) return false;
    if (message.wParam == VK_ESCAPE) {
        // A held Escape repeats: the first press may cancel a read and the
        // next close its message, but a repeat never ends the program.
        if ((message.lParam & kKeyWasDown) == 0) form_.click(form_.cmdCancel);
        return true;
    }
    if (message.wParam == VK_TAB && (GetKeyState(VK_CONTROL) & 0x8000) != 0) {
        const int pages = static_cast<int>(form_.SSTab1.pageCaptions().size());
        const bool back = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        form_.showPage((form_.SSTab1.page() + (back ? pages - 1 : 1)) % pages);
        return true;
    }
    if (isArrowKey(message.wParam)) return moveAmongOptions(message);
    if (message.wParam == VK_RETURN) {
        // A held Enter acts once: its repeats would move on to OK and press it.
        if ((message.lParam & kKeyWasDown) != 0) return true;
        Control* focused = controlOf(GetFocus());
        if (focused != nullptr && focused->kind() == ControlKind::TextBox) {
            auto& box = static_cast<TextBox&>(*focused);
            if (box.takesEnter()) form_.pressEnter(box);
            return !box.multiLine();
        }
        // Enter presses the focused button; no button is a default one.
        if (focused != nullptr && focused->kind() == ControlKind::CommandButton)
            SendMessageW(windows_.at(focused), BM_CLICK, 0, 0);
        return true;
    }
    return false;
}

// The arrow keys move through the format options and choose as they move,
// as in any group of options. The dialog moves the focus within the group;
// the buttons are not automatic ones (the model keeps the group exclusive),
// so the option reached is clicked here.
bool FormDialog::moveAmongOptions(MSG& message) {
    const Control* from = controlOf(GetFocus());
    if (from == nullptr || from->kind() != ControlKind::OptionButton) return false;
    IsDialogMessageW(dialog_, &message);
    Control* to = controlOf(GetFocus());
    if (to != from && to != nullptr && to->kind() == ControlKind::OptionButton &&
        !static_cast<const OptionButton*>(to)->value())
        SendMessageW(windows_.at(to), BM_CLICK, 0, 0);
    return true;
}

bool FormDialog::listIsOpen() const {
    const Control* focused = controlOf(GetFocus());
    return focused != nullptr && focused->kind() == ControlKind::ComboBox &&
           SendMessageW(windows_.at(focused), CB_GETDROPPEDSTATE, 0, 0) != FALSE;
}

void FormDialog::noteFocus() {
    if (form_.unloaded()) return;
    Control* focused = controlOf(GetFocus());
    if (focused != nullptr && focused != form_.focus()) form_.setFocus(*focused);
}

bool FormDialog::pauseForRead(unsigned long milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return true;
            }
            const bool escape = message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE &&
                                (message.lParam & kKeyWasDown) == 0;
            if (escape) return true;
            if (isInput(message)) continue;  // no click, no key, no closing
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now),
                                  QS_ALLINPUT);
    }
}

// ---- Model to view ----

void FormDialog::controlChanged(const Control& control) {
    mirror(control);
    if (const auto line = changeTraceLine(control)) trace_.writeLine(*line);
}

void FormDialog::focusChanged(const Control& focused) {
    trace_.write("focus", focused.name());
    const auto found = windows_.find(&focused);
    if (found != windows_.end() && GetFocus() != found->second) SetFocus(found->second);
}

void FormDialog::mirrorText(const TextBox& box, HWND edit) {
    const std::wstring text = utf16Of(box.text());
    SendMessageW(edit, EM_SETLIMITTEXT, box.typingLimit(), 0);
    SendMessageW(edit, EM_SETREADONLY, box.readOnly() ? TRUE : FALSE, 0);
    if (windowText(edit) == text) return;
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    mirroring_ = true;
    SetWindowTextW(edit, text.c_str());
    mirroring_ = false;
    // The caret stays where the operator was typing, as far as the text reaches.
    const auto caret = static_cast<WPARAM>(std::min<std::size_t>(end, text.size()));
    SendMessageW(edit, EM_SETSEL, caret, static_cast<LPARAM>(caret));
}

void FormDialog::mirror(const Control& control) {
    const auto found = windows_.find(&control);
    if (found == windows_.end()) return;
    HWND window = found->second;
    const bool wasMirroring = mirroring_;
    mirroring_ = true;
    EnableWindow(window, control.enabled() ? TRUE : FALSE);
    switch (control.kind()) {
        case ControlKind::TextBox:
            mirroring_ = wasMirroring;
            mirrorText(static_cast<const TextBox&>(control), window);
            break;
        case ControlKind::OptionButton:
            SendMessageW(
                window, BM_SETCHECK,
                static_cast<const OptionButton&>(control).value() ? BST_CHECKED : BST_UNCHECKED, 0);
            [[fallthrough]];
        case ControlKind::Label:
        case ControlKind::CommandButton:
        case ControlKind::Frame:
            mirrorCaption(static_cast<const CaptionedControl&>(control), window);
            break;
        case ControlKind::CheckBox:
            mirrorCheckBox(static_cast<const CheckBox&>(control), window);
            break;
        case ControlKind::ComboBox:
            mirrorComboBox(static_cast<const ComboBox&>(control), window);
            break;
        case ControlKind::TabControl:
            showPage(form_.SSTab1.page());
            break;
        case ControlKind::PictureBox:
            break;
    }
    mirroring_ = wasMirroring;
}

// A button that shows an icon (Copy to Clipboard) is named by its text,
// which it does not draw.
void FormDialog::mirrorCaption(const CaptionedControl& control, HWND window) const {
    const std::string& caption = control.caption();
    SetWindowTextW(
        window,
        utf16Of(caption.empty() ? layout::accessibleName(form_, control.name()) : caption).c_str());
}

void FormDialog::mirrorCheckBox(const CheckBox& box, HWND window) const {
    SendMessageW(window, BM_SETCHECK,
                 box.value() == CheckBox::kChecked  ? BST_CHECKED
                 : box.value() == CheckBox::kGrayed ? BST_INDETERMINATE
                                                    : BST_UNCHECKED,
                 0);
    mirrorCaption(box, window);
}

void FormDialog::mirrorComboBox(const ComboBox& combo, HWND window) {
    SendMessageW(window, CB_RESETCONTENT, 0, 0);
    for (const std::string& entry : combo.entries())
        SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(utf16Of(entry).c_str()));
    SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(combo.selectedIndex()), 0);
    if (const std::optional<std::int16_t> port = form_.chosenPort(); deviceOf_ && port)
        setToolTip(window, deviceOf_(*port));
}

// Shows one page's controls and hides the other's. The focus leaves a page
// before it is hidden: a dialog whose focus sits on a hidden control stops
// taking keys.
void FormDialog::showPage(int page) {
    TabCtrl_SetCurSel(tabs_, page);
    const Control* focused = controlOf(GetFocus());
    const bool focusHidden = focused != nullptr && pages_.at(focused) != layout::Page::Window &&
                             static_cast<int>(pages_.at(focused)) != page;
    if (focusHidden) {
        for (const std::string_view name : layout::tabOrder()) {
            const Control* candidate = form_.findControl(name);
            if (static_cast<int>(pages_.at(candidate)) == page && candidate->usable()) {
                SetFocus(windows_.at(candidate));
                break;
            }
        }
    }
    for (const auto& [control, onPage] : pages_) {
        if (onPage == layout::Page::Window) continue;
        ShowWindow(windows_.at(control), static_cast<int>(onPage) == page ? SW_SHOW : SW_HIDE);
    }
    noteFocus();
}

}  // namespace proxcred::win32
