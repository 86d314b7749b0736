// The window as the operator meets it, on Qt's offscreen platform: typing,
// keys, focus, read-only boxes, the copy button, a lock read, message boxes.
#include <xcb/xcb.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "fakes/fake_platform.h"
#include "gui/form_window.h"
#include "gui/held_key_filter.h"
#include "gui/qt_platform.h"
#include "window_layout/accessible_names.h"

// Desktop platforms turn Alt mnemonics on; the offscreen platform leaves them
// off, so the test turns them on as the desktop does.
Q_GUI_EXPORT void qt_set_sequence_auto_mnemonic(bool enable);

namespace proxcred::gui {

// A loaded form in its window, with the real clipboard and message boxes and
// fake serial ports and card reader. Message boxes are closed as soon as they
// open, and their texts kept.
struct Harness {
    explicit Harness(const QString& preset, std::set<int> ports = {1}) {
        QGuiApplication::clipboard()->setText(preset);
        fakes.serialPort.openable = std::move(ports);
        form = std::make_unique<frmCorvel>(platform);
        window = std::make_unique<FormWindow>(*form);
        messageBox.setParent(window.get());
        closer.setInterval(5);
        QObject::connect(&closer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                messages << box->windowTitle() + ": " + box->text();
                formats << box->textFormat();
                box->accept();
            }
        });
        closer.start();
        form->Form_Load();
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    template <class Widget>
    Widget* widget(const char* name) {
        return qobject_cast<Widget*>(window->widgetNamed(name));
    }

    fakes::FakePlatform fakes;
    QtMessageBox messageBox;
    QtClipboard clipboard;
    Platform platform{messageBox,       clipboard,        fakes.keys,
                      fakes.serialPort, fakes.cardReader, fakes.unloader};
    std::unique_ptr<frmCorvel> form;
    std::unique_ptr<FormWindow> window;
    QTimer closer;
    QStringList messages;
    QList<Qt::TextFormat> formats;
};

class WindowTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { qt_set_sequence_auto_mnemonic(true); }

    void startsOnDataInputWithTheFocusInTheHotstampBox() {
        Harness h("FC=12;CF=26;ZELF=F");
        QCOMPARE(h.widget<QTabWidget>("SSTab1")->currentIndex(), 0);
        QCOMPARE(QApplication::focusWidget(), h.widget<QLineEdit>("txtBoxSerialNo"));
        QCOMPARE(h.widget<QLineEdit>("txtFacilityCode")->text(), QString("12"));
        QVERIFY(h.widget<QRadioButton>("opt26Bit")->isChecked());
        QVERIFY(!h.widget<QPushButton>("cmdOK")->isEnabled());
        QCOMPARE(h.window->windowTitle(), QString("Proximity Credential Translator"));
    }

    void theBoxesRefuseCharactersBeyondTheirLimit() {
        Harness h("FC=0;CF=37;ZELF=F");
        QTest::keyClicks(h.widget<QLineEdit>("txtBoxSerialNo"), "123456789012");
        QCOMPARE(h.form->txtBoxSerialNo.text(), std::string("12345678901"));
        QCOMPARE(h.widget<QLineEdit>("txtBoxProxData")->text(), QString("0001267756034152"));
        h.form->showPage(1);
        QTest::keyClicks(h.widget<QLineEdit>("txtData"), "00000006004000021");
        QCOMPARE(h.form->txtData.text(), std::string("0000000600400002"));
        QVERIFY(h.messages.isEmpty());
    }

    void enterComputesAndMovesTheFocusToOk() {
        Harness h("FC=1;CF=26;ZELF=F");
        auto* hotstamp = h.widget<QLineEdit>("txtBoxSerialNo");
        QTest::keyClicks(hotstamp, "1");
        QTest::keyClick(hotstamp, Qt::Key_Return);
        QCOMPARE(h.widget<QLineEdit>("txtBoxProxData")->text(), QString("0000000600400002"));
        auto* ok = h.widget<QPushButton>("cmdOK");
        QVERIFY(ok->isEnabled());
        QCOMPARE(QApplication::focusWidget(), ok);
        // Enter on the focused OK button presses it.
        QTest::keyClick(ok, Qt::Key_Return);
        QCOMPARE(h.fakes.clipboard.content, std::string());
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QString("OK;0000000600400002;FC=1;CF=26;ZELF=F"));
        QVERIFY(h.form->unloaded());
    }

    void aRefusalShowsItsMessageAndTheCorrection() {
        Harness h("FC=1;CF=26;ZELF=F");
        QTest::keyClicks(h.widget<QLineEdit>("txtBoxSerialNo"), "70000");
        QCOMPARE(
            h.messages,
            QStringList{
                "Proximity Credential Translator: Hotstamp 70000 is too large. 65535 is max."});
        QCOMPARE(h.widget<QLineEdit>("txtBoxSerialNo")->text(), QString("65535"));
        QCOMPARE(h.widget<QLineEdit>("txtBoxProxData")->text(), QString("????????????????"));
    }

    void resultBoxesAreReadOnly() {
        Harness h("");
        h.form->showPage(1);
        QTest::keyClicks(h.widget<QLineEdit>("txtData"), "0000000600400002");
        QTest::mouseClick(h.widget<QPushButton>("cmdStart"), Qt::LeftButton);
        auto* number = h.widget<QLineEdit>("txt26Num");
        QVERIFY(number->isReadOnly());
        QTest::keyClicks(number, "9");
        QCOMPARE(number->text(), QString("1"));
        QCOMPARE(h.widget<QLineEdit>("txtCasiNum")->text(), QString("100794370"));
    }

    void escapeAndAltXPressExit() {
        for (const auto& [key, modifier] :
             {std::pair{Qt::Key_Escape, Qt::NoModifier}, std::pair{Qt::Key_X, Qt::AltModifier}}) {
            Harness h("FC=1;CF=26;ZELF=F");
            QTest::keyClick(QApplication::focusWidget(), key, modifier);
            // A mnemonic animates the click: the button is released a moment later.
            QTRY_COMPARE(QGuiApplication::clipboard()->text(), QString("Cancel"));
            QVERIFY(h.form->unloaded());
        }
    }

    void altOPressesOkOnceItIsEnabled() {
        Harness h("CF=26;ZELF=F;x");
        auto* ok = h.widget<QPushButton>("cmdOK");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::AltModifier);
        // A mnemonic presses its button down at once and releases it later:
        // a disabled OK is not even pressed.
        QVERIFY(!ok->isEnabled());
        QVERIFY(!ok->isDown());
        QVERIFY(!h.form->unloaded());
        QTest::keyClick(h.widget<QLineEdit>("txtBoxSerialNo"), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::AltModifier);
        QTRY_COMPARE(QGuiApplication::clipboard()->text(), QString("Invalid"));
    }

    void tabOrderStartsWithTheInputs() {
        Harness h("");
        const char* order[] = {"txtBoxSerialNo", "txtFacilityCode", "txtVersion", "cmdConvert",
                               "cmdCopyToCB"};
        // The next widget in the chain that Tab can stop at.
        const auto nextTabStop = [](QWidget* widget) {
            do {
                widget = widget->nextInFocusChain();
            } while (!(widget->focusPolicy() & Qt::TabFocus));
            return widget;
        };
        for (std::size_t i = 1; i < std::size(order); ++i) {
            QCOMPARE(nextTabStop(h.window->widgetNamed(order[i - 1])),
                     h.window->widgetNamed(order[i]));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), h.widget<QLineEdit>("txtFacilityCode"));
        // Leaving the facility code box runs its lost-focus handling.
        QCOMPARE(h.form->focus(), &h.form->txtFacilityCode);
    }

    void copyButtonCopiesTheProxData() {
        Harness h("FC=1;CF=26;ZELF=F");
        QTest::keyClicks(h.widget<QLineEdit>("txtBoxSerialNo"), "1");
        auto* copy = h.widget<QPushButton>("cmdCopyToCB");
        QCOMPARE(copy->toolTip(), QString("Copy to Clipboard"));
        QVERIFY(!copy->icon().isNull());
        QTest::mouseClick(copy, Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("0000000600400002"));
        QVERIFY(h.form->bDataOnlyReply);
    }

    void aLockReadMayFillMoreThanSixteenCharacters() {
        Harness h("");
        h.fakes.cardReader.queued.push_back(
            {fakes::FakeCardReader::kOK, "00000000000000000600400002"});
        h.form->showPage(1);
        QTest::mouseClick(h.widget<QPushButton>("cmdGetCard"), Qt::LeftButton);
        QCOMPARE(h.widget<QLineEdit>("txtData")->text(), QString("00000000000000000600400002"));
        QCOMPARE(h.widget<QPushButton>("cmdGetCard")->text(), QString("Read Card From Lock"));
        QTest::mouseClick(h.widget<QPushButton>("cmdStart"), Qt::LeftButton);
        QCOMPARE(h.widget<QLineEdit>("txt26Num")->text(), QString("1"));
    }

    void markupFromTheLockIsShownAsPlainText() {
        Harness h("");
        h.fakes.cardReader.queued.push_back(
            {fakes::FakeCardReader::kError, {}, 5, "<b>jammed</b> <img src=\"/etc/passwd\">"});
        h.form->showPage(1);
        QTest::mouseClick(h.widget<QPushButton>("cmdGetCard"), Qt::LeftButton);
        QCOMPARE(h.messages, QStringList{"Proximity Credential Translator: <b>jammed</b> "
                                         "<img src=\"/etc/passwd\">"});
        QCOMPARE(h.formats, QList<Qt::TextFormat>{Qt::PlainText});
    }

    void editingLongCardDataKeepsTheRestOfIt() {
        Harness h("");
        h.fakes.cardReader.queued.push_back({fakes::FakeCardReader::kOK, "01234567012345670123"});
        h.form->showPage(1);
        QTest::mouseClick(h.widget<QPushButton>("cmdGetCard"), Qt::LeftButton);
        auto* data = h.widget<QLineEdit>("txtData");
        data->setFocus();
        data->end(false);
        QTest::keyClick(data, Qt::Key_Backspace);
        QCOMPARE(h.form->txtData.text(), std::string("0123456701234567012"));
        data->home(false);
        QTest::keyClick(data, Qt::Key_Delete);
        QCOMPARE(h.form->txtData.text(), std::string("123456701234567012"));
        QCOMPARE(data->text(), QString("123456701234567012"));
        // A paste is still cut to the box's limit.
        QGuiApplication::clipboard()->setText("7777777777777777777777");
        data->selectAll();
        QTest::keyClick(data, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(h.form->txtData.text(), std::string(16, '7'));
    }

    void aHeldEscapeNeverPressesExit() {
        Harness h("FC=1;CF=26;ZELF=F");
        // The repeats of a held key come as auto-repeated key presses.
        QTest::simulateEvent(QApplication::focusWidget(), true, Qt::Key_Escape, Qt::NoModifier,
                             QString(), true);
        // A shortcut fires while its key event is delivered: nothing is left to wait for.
        QVERIFY(!h.form->unloaded());
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("FC=1;CF=26;ZELF=F"));
    }

    void optionsAndCheckBoxesFollowTheModel() {
        Harness h("");
        auto* zel = h.widget<QCheckBox>("chkZELFormat");
        QTest::mouseClick(zel, Qt::LeftButton, {}, QPoint(8, zel->height() / 2));
        QVERIFY(zel->isChecked());
        QVERIFY(!h.widget<QRadioButton>("opt26Bit")->isEnabled());
        QVERIFY(!h.widget<QCheckBox>("chkZELFormat29")->isEnabled());
        QTest::mouseClick(zel, Qt::LeftButton, {}, QPoint(8, zel->height() / 2));
        auto* option = h.widget<QRadioButton>("optProxif");
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
        QCOMPARE(h.form->sCardFormat, std::string("Proxif"));
        QVERIFY(!h.widget<QRadioButton>("opt37Bit")->isChecked());
        // Clicking the selected option again leaves it selected.
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
        QVERIFY(option->isChecked());
    }

    // A screen reader hears each control by the name the layout gives it,
    // the options as radio buttons in their named frame, and no two alike.
    void everyControlHasItsNameAndRole() {
        Harness h("");
        QSet<QString> names;
        for (const layout::Place& place : layout::kPlaces) {
            const QString expected =
                QString::fromStdString(layout::accessibleName(*h.form, place.control));
            if (expected.isEmpty()) continue;
            QAccessibleInterface* accessible =
                QAccessible::queryAccessibleInterface(h.window->widgetNamed(place.control));
            QVERIFY(accessible != nullptr);
            QCOMPARE(accessible->text(QAccessible::Name), expected);
            QVERIFY2(!names.contains(expected), qPrintable(expected));
            names.insert(expected);
        }
        QCOMPARE(names.size(), 47);
        QWidget* option = h.window->widgetNamed("opt35BitX");
        QCOMPARE(QAccessible::queryAccessibleInterface(option)->role(), QAccessible::RadioButton);
        QCOMPARE(option->parentWidget(), h.window->widgetNamed("fraCardFormat"));
        QCOMPARE(h.window->widgetNamed("ComboComPort")->parentWidget(),
                 h.window->widgetNamed("Frame1"));
        QCOMPARE(QAccessible::queryAccessibleInterface(h.window->widgetNamed("cmdCopyToCB"))
                     ->text(QAccessible::Name),
                 QString("Copy to Clipboard"));
    }

    // Ctrl+Tab turns the page from OK too, where Enter leaves the focus; Tab
    // goes round the page past the result boxes.
    void ctrlTabAndTabFromAnywhere() {
        Harness h("FC=1;CF=26;ZELF=F");
        QTest::keyClicks(h.widget<QLineEdit>("txtBoxSerialNo"), "1");
        QTest::keyClick(h.widget<QLineEdit>("txtBoxSerialNo"), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), h.window->widgetNamed("cmdOK"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(h.form->SSTab1.page(), 1);
        QStringList visited;
        for (int press = 0; press < 10; ++press) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, QStringList({"cmdCancel", "qt_tabwidget_tabbar", "txtData", "cmdStart",
                                       "cmdGetCard", "ComboComPort", "txtBits", "Text1", "cmdOK",
                                       "cmdCancel"}));
    }

    // The read-only instructions show a cursor when they have the focus.
    void focusOnTheInstructionsIsVisible() {
        Harness h("");
        auto* text = h.widget<QPlainTextEdit>("Text2");
        QVERIFY(text->isReadOnly());
        QVERIFY(text->textInteractionFlags() & Qt::TextSelectableByKeyboard);
    }

    void closingTheWindowWritesNothing() {
        Harness h("FC=1;CF=26;ZELF=F");
        h.window->close();
        QVERIFY(h.form->unloaded());
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("FC=1;CF=26;ZELF=F"));
    }

    // The offscreen platform answers the X11 interface with no connection
    // behind it: the held-key filter must not ask that for a keyboard map.
    void theHeldKeyFilterNeedsAnXConnection() {
        QCOMPARE(HeldKeyFilter::xConnection(), nullptr);
        HeldKeyFilter filter;
        xcb_key_press_event_t press{};
        press.response_type = XCB_KEY_PRESS;
        QVERIFY(!filter.nativeEventFilter("xcb_generic_event_t", &press, nullptr));
    }
};

}  // namespace proxcred::gui

QTEST_MAIN(proxcred::gui::WindowTest)
#include "window_test.moc"
