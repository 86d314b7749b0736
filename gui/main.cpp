// proxcred: the Proximity Credential Translator window.
#include <QApplication>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "gui/clipboard_handoff.h"
#include "gui/escape_repeat_filter.h"
#include "gui/form_window.h"
#include "gui/qt_platform.h"
#include "serial/qt_serial_port.h"
#include "serial/serial_lock_reader.h"
#include "version/version.h"

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

// The window takes its settings from the host's preset on the clipboard and
// ignores its command line, as hosts have always relied on. Only --help or
// --version, given alone, are answered, on standard output and before any
// display is opened, so that they work on a console or over ssh.
bool answeredInformationOption(int argc, char** argv) {
    if (argc != 2) return false;
    const std::string_view option = argv[1];
    if (option == "--help" || option == "-h") {
        std::fputs(
            "usage: proxcred [--help | --version]\n"
            "The Proximity Credential Translator window. A host application starts it with\n"
            "its preset on the clipboard (FC=12;CF=26;ZELF=F) and reads the answer from\n"
            "the clipboard when the window closes. Any other argument is ignored.\n"
            "The command-line tool is proxcred-cli.\n",
            stdout);
        return true;
    }
    if (option == "--version") {
        std::printf("proxcred %s\n", std::string(proxcred::kVersion).c_str());
        return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], proxcred::gui::kKeepClipboardOption) == 0) {
        return proxcred::gui::keepClipboard(argc, argv);
    }
    if (answeredInformationOption(argc, argv)) return std::fflush(stdout) == 0 ? 0 : 1;
    QApplication app(argc, argv);
    QApplication::setApplicationName("proxcred");
    proxcred::gui::EscapeRepeatFilter escapeRepeats;
    app.installNativeEventFilter(&escapeRepeats);

    proxcred::gui::QtMessageBox messageBox;
    proxcred::gui::QtClipboard clipboard;
    proxcred::gui::QtModifierKeys keys;
    // Form_Load lists the ports when it builds the port list.
    proxcred::PortDirectory ports = proxcred::PortDirectory::fromSystem(false);
    proxcred::QtSerialPortControl serialPort(ports);
    proxcred::SerialLockReader serialReader(ports);
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
