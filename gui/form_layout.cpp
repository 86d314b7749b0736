// The window built from the shared layout (window_layout.h): each form
// control becomes the widget of its kind, on its page, where the layout puts
// it; Tab visits them in the layout's order.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include "gui/artwork.h"
#include "gui/form_window.h"
#include "gui/qt_text.h"
#include "window_layout/accessible_names.h"
#include "window_layout/window_layout.h"

namespace proxcred::gui {
namespace {

QRect rectOf(const layout::Rect& rect) {
    return {rect.x, rect.y, rect.width, rect.height};
}

Qt::Alignment alignmentOf(layout::Align align) {
    switch (align) {
        case layout::Align::Right:
            return Qt::AlignRight | Qt::AlignVCenter;
        case layout::Align::Center:
            return Qt::AlignCenter;
        case layout::Align::Left:
            break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

}  // namespace

void FormWindow::buildWindow() {
    auto* client = new QWidget;
    client->setFixedSize(layout::kClientSize.width, layout::kClientSize.height);
    tabs_ = new QTabWidget(client);
    tabs_->setObjectName("SSTab1");
    tabs_->setGeometry(rectOf(layout::kTabs));
    QWidget* pages[] = {new QWidget, new QWidget};
    tabs_->addTab(pages[0], fromUtf8(form_.SSTab1.pageCaptions()[0]));
    tabs_->addTab(pages[1], fromUtf8(form_.SSTab1.pageCaptions()[1]));
    widgets_[&form_.SSTab1] = tabs_;
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int page) { form_.showPage(page); });
    // Frames first: what a frame holds (the format options, the port list)
    // is its child, a group a screen reader and the arrow keys know.
    for (const bool frames : {true, false}) {
        for (const layout::Place& place : layout::kPlaces) {
            Control& control = *form_.findControl(place.control);
            if ((control.kind() == ControlKind::Frame) != frames) continue;
            QWidget* widget = widgetOf(control, place.align);
            QRect rect = rectOf(place.rect);
            if (const Control* frame = control.container()) {
                widget->setParent(widgetFor(*frame));
                rect.translate(-rectOf(layout::placeOf(frame->name())->rect).topLeft());
            } else {
                widget->setParent(place.page == layout::Page::Window
                                      ? client
                                      : pages[static_cast<int>(place.page)]);
            }
            widget->setGeometry(rect);
            nameForScreenReaders(place, widget);
        }
    }
    for (const layout::LabelFor& labelled : layout::kLabelFor) {
        if (auto* label = qobject_cast<QLabel*>(widgetNamed(labelled.label)))
            label->setBuddy(widgetNamed(labelled.control));
    }
    setCentralWidget(client);
}

// Every control by the name the layout gives it; a control Tab does not
// visit (a result box) is not taken by a click either.
void FormWindow::nameForScreenReaders(const layout::Place& place, QWidget* widget) {
    const std::string name = layout::accessibleName(form_, place.control);
    if (!name.empty()) widget->setAccessibleName(fromUtf8(name));
    if (place.tab == 0 && qobject_cast<QLineEdit*>(widget) != nullptr)
        widget->setFocusPolicy(Qt::NoFocus);
}

// The widget that shows a control of the form.
QWidget* FormWindow::widgetOf(Control& control, layout::Align align) {
    switch (control.kind()) {
        case ControlKind::TextBox: {
            auto& box = static_cast<TextBox&>(control);
            if (box.multiLine()) return instructions(box);
            return lineEdit(box);
        }
        case ControlKind::Label:
            return label(static_cast<Label&>(control), alignmentOf(align));
        case ControlKind::OptionButton:
            return option(static_cast<OptionButton&>(control));
        case ControlKind::CheckBox:
            return checkBox(static_cast<CheckBox&>(control));
        case ControlKind::CommandButton: {
            auto* push = static_cast<QPushButton*>(button(static_cast<CommandButton&>(control)));
            if (&control == &form_.cmdCopyToCB) push->setIcon(copyIcon());
            return push;
        }
        case ControlKind::Frame:
            return bind(control, new QGroupBox);
        case ControlKind::ComboBox:
            return comboBox(static_cast<ComboBox&>(control));
        case ControlKind::PictureBox:
            return picture(control);
        case ControlKind::TabControl:
            break;
    }
    return bind(control, new QWidget);
}

QWidget* FormWindow::picture(Control& control) {
    auto* logo = new QLabel;
    logo->setAlignment(Qt::AlignCenter);
    const layout::Rect rect = layout::placeOf(control.name())->rect;
    logo->setPixmap(logoPixmap(QSize(rect.width, rect.height), devicePixelRatioF()));
    return bind(control, logo);
}

void FormWindow::setTabOrder() {
    const auto order = layout::tabOrder();
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(widgetNamed(order[i - 1]), widgetNamed(order[i]));
}

}  // namespace proxcred::gui
