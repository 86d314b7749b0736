#pragma once

#include <windows.h>
// The form has a MessageBox interface of its own: Win32's macro of that name
// must not rename it.
#undef MessageBox

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "form/frm_corvel.h"
#include "win32_gui/win32_platform.h"
#include "window_layout/window_layout.h"

// The translator's window on Windows: a dialog (so that Windows' own dialog
// keyboard handling does Tab, mnemonics and the focus after a message box)
// with one native control per form control, placed by the shared layout. It
// mirrors the form model both ways and decides nothing itself.
namespace proxcred::win32 {

class FormDialog final : private ControlObserver {
  public:
    FormDialog(frmCorvel& form, const layout::WindowTrace& trace);
    ~FormDialog() override;
    FormDialog(const FormDialog&) = delete;
    FormDialog& operator=(const FormDialog&) = delete;

    // Creates the dialog and its controls, showing the form as it is.
    HWND create(HINSTANCE instance);
    HWND window() const { return dialog_; }
    // The native window of a form control, by the control's name.
    HWND windowOf(std::string_view control) const;
    // Names the device behind each port number in the port list's tooltip.
    void setPortDevices(std::function<std::string(int port)> deviceOf);
    // Handles a message of the message loop the dialog way; true when it was
    // taken (the caller then neither translates nor dispatches it).
    bool preTranslate(MSG& message);
    // Tells the form where the keyboard focus went.
    void noteFocus();
    // Waits at most `milliseconds` during a lock read: paints, drops other
    // input, and answers true when Escape cancelled the read.
    bool pauseForRead(unsigned long milliseconds);

  private:
    static INT_PTR CALLBACK dialogProcedure(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    void initialise();
    INT_PTR staticColour(HDC context, HWND window) const;
    void dpiChanged(int dpi, const RECT& suggested);
    void fitClientArea();

    struct NativeKind {
        const wchar_t* windowClass;
        DWORD style;
        DWORD extendedStyle;
    };
    NativeKind nativeKind(const Control& control, const layout::Place& place) const;
    void createControls();
    HWND createControl(const Control& control, const layout::Place& place);
    void addNameLabel(const Control& control);
    void placeControls();
    void setLogo(HWND window, const RECT& at);
    void setCopyIcon(HWND button);
    void setTabOrder();
    void addToolTips();
    void setToolTip(HWND window, const std::string& text);
    void command(int id, int notification);
    bool listIsOpen() const;
    bool moveAmongOptions(MSG& message);
    void widenCaret(HWND edit) const;
    void operatorEdited(TextBox& box, HWND edit);

    // Mirroring the model.
    void controlChanged(const Control& control) override;
    void focusChanged(const Control& focused) override;
    void mirror(const Control& control);
    void mirrorText(const TextBox& box, HWND edit);
    void mirrorCaption(const CaptionedControl& control, HWND window) const;
    void mirrorCheckBox(const CheckBox& box, HWND window) const;
    void mirrorComboBox(const ComboBox& combo, HWND window);
    void showPage(int page);

    RECT pixels(const layout::Place& place) const;
    Control* controlOf(HWND window) const;

    frmCorvel& form_;
    const layout::WindowTrace& trace_;
    HWND dialog_ = nullptr;
    HWND tabs_ = nullptr;
    HWND toolTips_ = nullptr;
    std::function<std::string(int port)> deviceOf_;
    HFONT font_ = nullptr;  // the dialog's, or ownFont_ after a DPI change
    HFONT ownFont_ = nullptr;
    HICON logo_ = nullptr;
    HICON copy_ = nullptr;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    bool mirroring_ = false;
    std::unordered_map<const Control*, HWND> windows_;
    std::unordered_map<HWND, Control*> controls_;
    std::unordered_map<int, Control*> ids_;
    std::unordered_map<const Control*, layout::Page> pages_;
    // The window ahead of each control that names it for a screen reader:
    // its label, or a hidden one of its own.
    std::unordered_map<const Control*, HWND> labels_;
};

}  // namespace proxcred::win32
