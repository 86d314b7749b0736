#include "gui/form_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTabWidget>

#include "form/form_dump.h"
#include "gui/artwork.h"
#include "gui/named_list_accessible.h"
#include "gui/popup_escape.h"
#include "gui/qt_platform.h"
#include "gui/qt_text.h"

namespace proxcred::gui {
namespace {

// The model keeps CR LF line breaks; the editor shows plain ones.
QString forEditor(const std::string& text) {
    return fromUtf8(text).replace("\r\n", "\n");
}

Qt::CheckState checkState(int value) {
    switch (value) {
        case CheckBox::kChecked:
            return Qt::Checked;
        case CheckBox::kGrayed:
            return Qt::PartiallyChecked;
        default:
            return Qt::Unchecked;
    }
}

}  // namespace

FormWindow::FormWindow(frmCorvel& form, QWidget* parent) : QMainWindow(parent), form_(form) {
    // Before any widget exists: a screen reader's bus asks for each as it is made.
    NamedListAccessible::install();
    setWindowTitle(fromUtf8(kApplicationTitle));
    setWindowIcon(applicationIcon());
    buildWindow();
    setTabOrder();
    for (const Control* control : form_.controls()) mirror(*control);
    form_.setObserver(this);
    focusConnection_ = connect(qApp, &QApplication::focusChanged, this,
                               [this](QWidget* /*old*/, QWidget* now) { operatorFocused(now); });
    addShortcuts();
}

void FormWindow::addShortcuts() {
    // Escape presses Exit, unless a list is open: then it closes the list
    // and nothing more. A held Escape repeats: the first press may cancel a
    // read and the next close its message, but a repeat never ends the program.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setAutoRepeat(false);
    connect(escape, &QShortcut::activated, this, [this] { form_.click(form_.cmdCancel); });
    qApp->installEventFilter(new PopupEscape(this));
    // Ctrl+Tab and Ctrl+Shift+Tab turn the page wherever the focus is.
    const int pages = static_cast<int>(form_.SSTab1.pageCaptions().size());
    for (const auto& [keys, step] :
         {std::pair{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
          std::pair{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), pages - 1}}) {
        auto* turn = new QShortcut(keys, this);
        connect(turn, &QShortcut::activated, this, [this, step = step, pages] {
            form_.showPage((form_.SSTab1.page() + step) % pages);
        });
    }
}

FormWindow::~FormWindow() {
    // Deleting the widgets moves the focus: this window must not hear of it.
    disconnect(focusConnection_);
    form_.setObserver(nullptr);
}

void FormWindow::setPortDevices(std::function<QString(int port)> deviceOf) {
    deviceOf_ = std::move(deviceOf);
    mirror(form_.ComboComPort);
}

QWidget* FormWindow::widgetFor(const Control& control) const {
    const auto found = widgets_.find(&control);
    return found == widgets_.end() ? nullptr : found->second;
}

QWidget* FormWindow::widgetNamed(std::string_view name) const {
    const Control* control = form_.findControl(name);
    return control != nullptr ? widgetFor(*control) : nullptr;
}

// ---- Binding ----

QWidget* FormWindow::bind(Control& control, QWidget* widget) {
    widget->setObjectName(fromUtf8(control.name()));
    widgets_[&control] = widget;
    controls_[widget] = &control;
    return widget;
}

QLineEdit* FormWindow::lineEdit(TextBox& box) {
    auto* edit = new QLineEdit;
    bind(box, edit);
    connect(edit, &QLineEdit::textEdited, this,
            [this, &box](const QString& edited) { operatorEdited(box, edited.toStdString()); });
    edit->installEventFilter(this);
    return edit;
}

QPlainTextEdit* FormWindow::instructions(TextBox& box) {
    Q_ASSERT(box.multiLine());
    auto* edit = new QPlainTextEdit;
    bind(box, edit);
    edit->setTabChangesFocus(true);
    connect(edit, &QPlainTextEdit::textChanged, this, [this, &box, edit] {
        form_.pasteText(box, edit->toPlainText().replace("\n", "\r\n").toStdString());
    });
    return edit;
}

QWidget* FormWindow::label(CaptionedControl& caption, Qt::Alignment alignment) {
    auto* text = new QLabel;
    text->setAlignment(alignment);
    return bind(caption, text);
}

QWidget* FormWindow::option(OptionButton& option) {
    auto* radio = new QRadioButton;
    // One group in its frame: the arrow keys move through it and select.
    radio->setAutoExclusive(true);
    bind(option, radio);
    connect(radio, &QRadioButton::clicked, this, [this, &option] {
        form_.click(option);
        mirror(option);
    });
    return radio;
}

QWidget* FormWindow::checkBox(CheckBox& box) {
    auto* check = new QCheckBox;
    bind(box, check);
    connect(check, &QCheckBox::clicked, this, [this, &box] {
        form_.click(box);
        mirror(box);
    });
    return check;
}

QWidget* FormWindow::button(CommandButton& command) {
    auto* push = new QPushButton;
    // Enter presses a focused button; no button is a default that could take
    // Enter from the hotstamp box.
    push->setAutoDefault(true);
    push->setDefault(false);
    bind(command, push);
    connect(push, &QPushButton::clicked, this, [this, &command] { form_.click(command); });
    return push;
}

QWidget* FormWindow::comboBox(ComboBox& combo) {
    auto* list = new QComboBox;
    bind(combo, list);
    connect(list, &QComboBox::activated, this, [this, &combo](int index) {
        form_.selectComboIndex(combo, index);
        mirror(combo);
    });
    return list;
}

// ---- Operator to model ----

void FormWindow::operatorEdited(TextBox& box, const std::string& edited) {
    form_.operatorEdit(box, edited);
    if (QWidget* widget = widgetFor(box)) mirrorText(box, widget);
}

void FormWindow::operatorFocused(QWidget* now) {
    const auto found = controls_.find(now);
    if (found != controls_.end()) form_.setFocus(*found->second);
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
    const auto* keyEvent = static_cast<QKeyEvent*>(event);
    const auto found = controls_.find(qobject_cast<QWidget*>(watched));
    if (found == controls_.end()) return false;
    auto& box = static_cast<TextBox&>(*found->second);
    const bool enter = keyEvent->key() == Qt::Key_Return || keyEvent->key() == Qt::Key_Enter;
    if (enter && box.takesEnter()) {
        form_.pressEnter(box);
        return true;
    }
    // An Alt chord that is no shortcut here (Alt+O while OK is disabled) is a
    // command, not a character to type.
    return keyEvent->modifiers().testFlag(Qt::AltModifier) &&
           !keyEvent->modifiers().testFlag(Qt::ControlModifier) && !keyEvent->text().isEmpty();
}

void FormWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Activation runs once; coming back from another program changes nothing.
    if (!shownOnce_) {
        shownOnce_ = true;
        // The host has just started the tool: it takes the keyboard.
        activateWindow();
        form_.activate();
    }
}

void FormWindow::closeEvent(QCloseEvent* event) {
    // Closing the window other than by OK or Exit writes nothing.
    if (!form_.unloaded()) form_.close();
    event->accept();
}

// ---- Model to view ----

void FormWindow::controlChanged(const Control& control) {
    mirror(control);
    if (const auto line = changeTraceLine(control)) trace_.writeLine(*line);
}

void FormWindow::focusChanged(const Control& focused) {
    trace_.write("focus", focused.name());
    if (QWidget* widget = widgetFor(focused); widget != nullptr && !widget->hasFocus()) {
        widget->setFocus(Qt::OtherFocusReason);
    }
}

void FormWindow::mirrorText(const TextBox& box, QWidget* widget) {
    const QSignalBlocker blocker(widget);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        const QString text = fromUtf8(box.text());
        constexpr int kNoLimit = 32767;  // QLineEdit's own largest
        const std::size_t limit = box.typingLimit();
        edit->setMaxLength(limit == 0 ? kNoLimit : static_cast<int>(limit));
        if (edit->text() != text) edit->setText(text);
        edit->setReadOnly(box.readOnly());
    } else if (auto* editor = qobject_cast<QPlainTextEdit*>(widget)) {
        const QString text = forEditor(box.text());
        if (editor->toPlainText() != text) editor->setPlainText(text);
        if (editor->isReadOnly() == box.readOnly()) return;
        editor->setReadOnly(box.readOnly());
        // A read-only text shows where the focus is by its cursor, as an
        // editable one does (read-only alone takes the keyboard's cursor away).
        if (box.readOnly())
            editor->setTextInteractionFlags(Qt::TextSelectableByKeyboard |
                                            Qt::TextSelectableByMouse);
    }
}

void FormWindow::mirror(const Control& control) {
    if (control.kind() == ControlKind::TabControl) {
        const QSignalBlocker blocker(tabs_);
        tabs_->setCurrentIndex(static_cast<const TabControl&>(control).page());
        return;
    }
    QWidget* widget = widgetFor(control);
    if (widget == nullptr) return;
    const QSignalBlocker blocker(widget);
    widget->setEnabled(control.enabled());
    switch (control.kind()) {
        case ControlKind::TextBox:
            return mirrorText(static_cast<const TextBox&>(control), widget);
        case ControlKind::Label:
            return static_cast<QLabel*>(widget)->setText(captionOf(control));
        case ControlKind::Frame:
            return static_cast<QGroupBox*>(widget)->setTitle(captionOf(control));
        case ControlKind::OptionButton:
            return mirrorOption(static_cast<const OptionButton&>(control),
                                static_cast<QRadioButton*>(widget));
        case ControlKind::CheckBox:
            return mirrorCheckBox(static_cast<const CheckBox&>(control),
                                  static_cast<QCheckBox*>(widget));
        case ControlKind::CommandButton:
            return mirrorButton(static_cast<const CommandButton&>(control),
                                static_cast<QPushButton*>(widget));
        case ControlKind::ComboBox:
            return mirrorComboBox(static_cast<const ComboBox&>(control),
                                  static_cast<QComboBox*>(widget));
        case ControlKind::TabControl:
        case ControlKind::PictureBox:
            return;
    }
}

QString FormWindow::captionOf(const Control& control) {
    return fromUtf8(static_cast<const CaptionedControl&>(control).caption());
}

void FormWindow::mirrorOption(const OptionButton& option, QRadioButton* radio) {
    radio->setText(fromUtf8(option.caption()));
    // The form may select no option at all; an exclusive group cannot show
    // that unless the button steps out of it for the moment.
    if (!option.value() && radio->isChecked()) {
        radio->setAutoExclusive(false);
        radio->setChecked(false);
        radio->setAutoExclusive(true);
        return;
    }
    radio->setChecked(option.value());
}

void FormWindow::mirrorCheckBox(const CheckBox& box, QCheckBox* check) {
    check->setText(fromUtf8(box.caption()));
    check->setTristate(box.value() == CheckBox::kGrayed);
    check->setCheckState(checkState(box.value()));
}

void FormWindow::mirrorButton(const CommandButton& command, QPushButton* push) {
    push->setText(fromUtf8(command.caption()));
    push->setToolTip(fromUtf8(command.toolTip()));
    // Show a caption change (the lock reader's) before a read waits.
    push->repaint();
}

void FormWindow::mirrorComboBox(const ComboBox& combo, QComboBox* list) {
    QStringList entries;
    for (const std::string& entry : combo.entries()) entries << fromUtf8(entry);
    QStringList shown;
    for (int i = 0; i < list->count(); ++i) shown << list->itemText(i);
    if (shown != entries) {
        list->clear();
        list->addItems(entries);
    }
    list->setCurrentIndex(combo.selectedIndex());
    const std::optional<std::int16_t> port = form_.chosenPort();
    list->setToolTip(deviceOf_ && port ? deviceOf_(*port) : QString());
}

}  // namespace proxcred::gui
