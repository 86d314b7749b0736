#include "gui/named_list_accessible.h"

#include <QAbstractItemView>
#include <QComboBox>

namespace proxcred::gui {
namespace {

QAccessibleInterface* namedListFor(const QString& className, QObject* object) {
    auto* list = qobject_cast<QComboBox*>(object);
    if (className != QLatin1String("QComboBox") || list == nullptr ||
        list->accessibleName().isEmpty())
        return nullptr;
    return new NamedListAccessible(list);
}

}  // namespace

NamedListAccessible::NamedListAccessible(QComboBox* list)
    : QAccessibleWidget(list, QAccessible::ComboBox) {}

QComboBox* NamedListAccessible::list() const {
    return static_cast<QComboBox*>(widget());
}

QString NamedListAccessible::text(QAccessible::Text kind) const {
    if (kind == QAccessible::Value) return list()->currentText();
    return QAccessibleWidget::text(kind);
}

QAccessible::State NamedListAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.expandable = true;
    state.expanded = list()->view() != nullptr && list()->view()->isVisible();
    state.collapsed = !state.expanded;
    return state;
}

QStringList NamedListAccessible::actionNames() const {
    return QAccessibleWidget::actionNames() << showMenuAction();
}

void NamedListAccessible::doAction(const QString& action) {
    if (action == showMenuAction()) {
        list()->showPopup();
        return;
    }
    QAccessibleWidget::doAction(action);
}

void NamedListAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(&namedListFor);
        return true;
    }();
    (void)installed;
}

}  // namespace proxcred::gui
