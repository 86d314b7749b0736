#pragma once

#include <QMainWindow>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "form/frm_corvel.h"
#include "gui/qt_platform.h"
#include "window_layout/window_layout.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QPlainTextEdit;
class QTabWidget;

namespace proxcred::gui {

// The translator's window: a thin view of the form model. Operator actions go
// to the model's entry points; every change of the model is shown here with
// the widget's signals blocked. The window decides nothing itself.
class FormWindow final : public QMainWindow, private ControlObserver {
    Q_OBJECT

  public:
    explicit FormWindow(frmCorvel& form, QWidget* parent = nullptr);
    ~FormWindow() override;

    // Names the device behind each port number in the port list's tooltip.
    void setPortDevices(std::function<QString(int port)> deviceOf);

    QWidget* widgetFor(const Control& control) const;
    QWidget* widgetNamed(std::string_view name) const;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Building the window from the shared layout (form_layout.cpp).
    void buildWindow();
    QWidget* widgetOf(Control& control, layout::Align align);
    QWidget* picture(Control& control);
    void nameForScreenReaders(const layout::Place& place, QWidget* widget);
    void setTabOrder();
    void addShortcuts();

    // Widgets bound to controls.
    QWidget* bind(Control& control, QWidget* widget);
    QLineEdit* lineEdit(TextBox& box);
    QPlainTextEdit* instructions(TextBox& box);
    QWidget* label(CaptionedControl& label, Qt::Alignment alignment);
    QWidget* option(OptionButton& option);
    QWidget* checkBox(CheckBox& box);
    QWidget* button(CommandButton& button);
    QWidget* comboBox(ComboBox& combo);

    // Mirroring the model.
    void controlChanged(const Control& control) override;
    void focusChanged(const Control& focused) override;
    void mirror(const Control& control);
    void mirrorText(const TextBox& box, QWidget* widget);
    static QString captionOf(const Control& control);
    static void mirrorOption(const OptionButton& option, QRadioButton* radio);
    static void mirrorCheckBox(const CheckBox& box, QCheckBox* check);
    static void mirrorButton(const CommandButton& command, QPushButton* push);
    void mirrorComboBox(const ComboBox& combo, QComboBox* list);
    void operatorEdited(TextBox& box, const std::string& edited);
    void operatorFocused(QWidget* now);

    frmCorvel& form_;
    QTabWidget* tabs_ = nullptr;
    std::unordered_map<const Control*, QWidget*> widgets_;
    std::unordered_map<const QWidget*, Control*> controls_;
    QMetaObject::Connection focusConnection_;
    std::function<QString(int port)> deviceOf_;
    bool shownOnce_ = false;
    layout::WindowTrace trace_;
};

}  // namespace proxcred::gui
