#include "gui/clipboard_handoff.h"

#include <QClipboard>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

namespace proxcred::gui {
namespace {

bool onX11() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

}  // namespace

void handClipboardOver(const char* program) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!onX11() || clipboard == nullptr || !clipboard->ownsClipboard()) return;

    QProcess helper;
    helper.setProgram(QString::fromLocal8Bit(program));
    helper.setArguments({QString::fromLatin1(kKeepClipboardOption)});
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kKeepClipboardVariable), clipboard->text());
    helper.setProcessEnvironment(environment);
    // A host that waits for this program's output must not wait for the helper.
    helper.setStandardInputFile(QProcess::nullDevice());
    helper.setStandardOutputFile(QProcess::nullDevice());
    helper.setStandardErrorFile(QProcess::nullDevice());
    if (!helper.startDetached()) return;

    // Qt caches the clipboard's state: process events until the helper's
    // taking the clipboard has reached this program.
    constexpr int kWaitMilliseconds = 3000;
    const QDeadlineTimer deadline(kWaitMilliseconds);
    while (clipboard->ownsClipboard() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

int keepClipboard(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!onX11() || clipboard == nullptr) return 1;
    clipboard->setText(qEnvironmentVariable(kKeepClipboardVariable));
    QObject::connect(clipboard, &QClipboard::changed, &app, [clipboard](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard && !clipboard->ownsClipboard()) QCoreApplication::quit();
    });
    return app.exec();
}

}  // namespace proxcred::gui
