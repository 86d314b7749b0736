#pragma once

#include <QAccessibleWidget>

class QComboBox;

namespace proxcred::gui {

// A list as a screen reader should hear it: by the name the window gives it
// ("Com Port"), with its entry as its value. On Linux Qt names a list by its
// entry and leaves its name to a label's relation, which a frame around the
// list does not give.
class NamedListAccessible final : public QAccessibleWidget {
  public:
    explicit NamedListAccessible(QComboBox* list);

    QString text(QAccessible::Text kind) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& action) override;

    // Makes every list with an accessible name one of these; once a process.
    static void install();

  private:
    QComboBox* list() const;
};

}  // namespace proxcred::gui
