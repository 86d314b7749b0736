#include "gui/read_wait.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>

namespace proxcred::gui {
namespace {

class InputBlocker final : public QObject {
  public:
    explicit InputBlocker(std::function<void()> onEscape) : onEscape_(std::move(onEscape)) {
        if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
    }
    ~InputBlocker() override {
        if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
    }
    InputBlocker(const InputBlocker&) = delete;
    InputBlocker& operator=(const InputBlocker&) = delete;

  protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        switch (event->type()) {
            case QEvent::ShortcutOverride:
                // Taken here, so that no shortcut (Escape for Exit) fires.
                event->accept();
                return true;
            case QEvent::KeyPress:
                if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) onEscape_();
                return true;
            case QEvent::KeyRelease:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::Wheel:
            case QEvent::Shortcut:
            case QEvent::Close:
            case QEvent::ContextMenu:
                return true;
            default:
                return false;
        }
    }

  private:
    std::function<void()> onEscape_;
};

}  // namespace

std::shared_ptr<void> blockInputDuringRead(std::function<void()> cancel) {
    return std::make_shared<InputBlocker>(std::move(cancel));
}

}  // namespace proxcred::gui
