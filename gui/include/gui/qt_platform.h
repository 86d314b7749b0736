#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/platform.h"
#include "window_layout/window_trace.h"

// The form's outside world as Qt gives it: modal message boxes, the system
// clipboard and the keyboard.
namespace proxcred::gui {

// When PROXCRED_TRACE names a file, every message shown and every clipboard
// write is appended to it as "message: TEXT" and "clipboard: TEXT", and every
// text box change as "NAME.text=\"TEXT\"": the lines proxcred-formscript
// prints. A support log, and what end-to-end tests read.

class QtMessageBox final : public MessageBox {
  public:
    void setParent(QWidget* parent) { parent_ = parent; }
    void show(std::string_view text, std::string_view title) override;

  private:
    QPointer<QWidget> parent_;
    layout::WindowTrace trace_;
};

class QtClipboard final : public Clipboard {
  public:
    std::string text() override;
    void setText(std::string_view text) override;

  private:
    layout::WindowTrace trace_;
};

class QtModifierKeys final : public ModifierKeys {
  public:
    bool ctrlHeld() override;
    bool shiftHeld() override;
};

}  // namespace proxcred::gui
