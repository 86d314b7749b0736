#include "gui/popup_escape.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace proxcred::gui {

bool PopupEscape::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride) return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    QWidget* popup = QApplication::activePopupWidget();
    if (key->key() != Qt::Key_Escape || key->modifiers() != Qt::NoModifier || popup == nullptr)
        return false;
    popup->close();
    key->accept();  // no shortcut for this key
    return true;
}

}  // namespace proxcred::gui
