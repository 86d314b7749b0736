#pragma once

#include <QPointer>
#include <QWidget>

#include "form/platform.h"

// The form's outside world as Qt gives it: modal message boxes, the system
// clipboard and the keyboard.
namespace proxcred::gui {

class QtMessageBox final : public MessageBox {
  public:
    void setParent(QWidget* parent) { parent_ = parent; }
    void show(std::string_view text, std::string_view title) override;

  private:
    QPointer<QWidget> parent_;
};

class QtClipboard final : public Clipboard {
  public:
    std::string text() override;
    void setText(std::string_view text) override;
};

class QtModifierKeys final : public ModifierKeys {
  public:
    bool ctrlHeld() override;
    bool shiftHeld() override;
};

}  // namespace proxcred::gui
