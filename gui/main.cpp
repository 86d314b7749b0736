// proxcred: the Proximity Credential Translator window.
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "gui/clipboard_handoff.h"
#include "gui/form_window.h"
#include "gui/held_key_filter.h"
#include "gui/qt_platform.h"
#include "gui/read_wait.h"
#include "serial/qt_serial_port.h"
#include "serial/serial_lock_reader.h"
#include "window_layout/information_option.h"

namespace {

// Unloading the form closes the window and ends the event loop.
class WindowUnloader final : public proxcred::FormUnloader {
  public:
    void unloadForm() override {
        if (window != nullptr) window->hide();
        QCoreApplication::quit();
    }
    QWidget* window = nullptr;
};

// --help or --version alone is answered before any display is opened.
bool answeredInformationOption(int argc, char** argv) {
    const auto answer =
        proxcred::layout::informationOptionAnswer(argc - 1, argc > 1 ? argv[1] : "");
    if (!answer) return false;
    std::fputs(answer->c_str(), stdout);
    return true;
}

// On a Wayland desktop the hand-off goes through XWayland. A Wayland client
// is offered the clipboard only once its window has the keyboard, after the
// host's preset must be read, and its reply is gone when it ends; through
// XWayland the desktop passes both across, and the clipboard helper keeps
// the reply. QT_QPA_PLATFORM chooses otherwise where it is set.
void preferXWayland() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

}  // namespace

int main(int argc, char** argv) {
    if (answeredInformationOption(argc, argv)) return std::fflush(stdout) == 0 ? 0 : 1;
    preferXWayland();
    if (argc == 2 && std::strcmp(argv[1], proxcred::gui::kKeepClipboardOption) == 0) {
        return proxcred::gui::keepClipboard(argc, argv);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("proxcred");
    proxcred::gui::HeldKeyFilter heldKeys;
    app.installNativeEventFilter(&heldKeys);

    proxcred::gui::QtMessageBox messageBox;
    proxcred::gui::QtClipboard clipboard;
    proxcred::gui::QtModifierKeys keys;
    // Form_Load lists the ports when it builds the port list.
    proxcred::PortDirectory ports = proxcred::PortDirectory::fromSystem(false);
    proxcred::QtSerialPortControl serialPort(ports);
    proxcred::SerialLockReader serialReader(ports, proxcred::gui::blockInputDuringRead);
    WindowUnloader unloader;
    proxcred::Platform platform{messageBox, clipboard, keys, serialPort, serialReader.reader(),
                                unloader};

    proxcred::frmCorvel form(platform);
    proxcred::gui::FormWindow window(form);
    window.setPortDevices([&ports](int port) { return ports.device(port).value_or(QString()); });
    messageBox.setParent(&window);
    unloader.window = &window;
    form.Form_Load();
    window.show();
    const int status = QApplication::exec();
    proxcred::gui::handClipboardOver(argv[0]);
    return status;
}
