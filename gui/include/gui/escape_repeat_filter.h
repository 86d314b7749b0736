#pragma once

#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <optional>
#include <vector>

struct xcb_connection_t;

namespace proxcred::gui {

// Drops the repeats of a held Escape before Qt sees them. The X server repeats
// a held key as release-and-press pairs that share one server time. Qt's X11
// platform flags a press as a repeat only when it is already queued while Qt
// handles the release before it; on a busy machine it often is not, and the
// repeat arrives as a new press. Then an Escape held to cancel a lock read, or
// to close a message box, went on to press Exit. Here a press is a repeat when
// it carries the time of the release before it, or comes while the key is
// still down (servers with detectable auto-repeat send no releases), however
// late it is handled. Escape only: other keys repeat as usual.
class EscapeRepeatFilter final : public QAbstractNativeEventFilter {
  public:
    // Learns the Escape keys of the X display, if the application runs on one;
    // elsewhere (offscreen, Wayland) it lets every event through.
    EscapeRepeatFilter();

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    // The application's X connection; null on any platform without one.
    static xcb_connection_t* xConnection();

  private:
    bool isEscape(std::uint8_t keycode) const;

    std::vector<std::uint8_t> escapeKeycodes_;
    bool down_ = false;
    std::optional<std::uint32_t> lastRelease_;  // server time of the last Escape release
};

}  // namespace proxcred::gui
