#include "gui/qt_platform.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMessageBox>

#include "gui/qt_text.h"

namespace proxcred::gui {
namespace {}  // namespace

void QtMessageBox::show(std::string_view text, std::string_view title) {
    trace_.write("message", text);
    QMessageBox box(QMessageBox::NoIcon, fromUtf8(title), fromUtf8(text), QMessageBox::Ok, parent_);
    // Texts may come from a lock: markup in them is shown, never rendered.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

std::string QtClipboard::text() {
    // A clipboard without text, or one that cannot be read, is empty text.
    const QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard != nullptr ? clipboard->text(QClipboard::Clipboard).toStdString()
                                : std::string();
}

void QtClipboard::setText(std::string_view text) {
    trace_.write("clipboard", text);
    if (QClipboard* clipboard = QGuiApplication::clipboard()) {
        clipboard->setText(fromUtf8(text), QClipboard::Clipboard);
    }
}

bool QtModifierKeys::ctrlHeld() {
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
}

bool QtModifierKeys::shiftHeld() {
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
}

}  // namespace proxcred::gui
