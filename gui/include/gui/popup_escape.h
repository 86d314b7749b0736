#pragma once

#include <QObject>

namespace proxcred::gui {

// Escape in an open list closes the list and nothing more. Qt closes a
// list's popup while it asks whether the key is a shortcut, and then finds
// the window's Escape (Exit) for it: this filter, on the application, takes
// the key first while a popup is open.
class PopupEscape final : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace proxcred::gui
