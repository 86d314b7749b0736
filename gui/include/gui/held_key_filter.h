#pragma once

#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <optional>
#include <vector>

struct xcb_connection_t;

namespace proxcred::gui {

// Drops the repeats of a held Escape or Enter before Qt sees them. The X
// server repeats a held key as release-and-press pairs that share one server
// time. Qt's X11 platform flags a press as a repeat only when it is already
// queued while Qt handles the release before it; on a busy machine it often
// is not, and the repeat arrives as a new press. Then an Escape held to
// cancel a lock read, or to close a message box, went on to press Exit; and
// an Enter still held from the host that started the tool moved to OK and
// pressed it, answering "Invalid". Here a press is a repeat when it carries
// the time of the key's release before it, or comes while the key is still
// down (servers with detectable auto-repeat send no releases), however late
// it is handled. Other keys repeat as usual.
class HeldKeyFilter final : public QAbstractNativeEventFilter {
  public:
    // Learns the Escape and Enter keys of the X display, if the application
    // runs on one; elsewhere (offscreen, Wayland) it lets every event through.
    HeldKeyFilter();

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    // The application's X connection; null on any platform without one.
    static xcb_connection_t* xConnection();

  private:
    struct HeldKey {
        std::uint8_t keycode = 0;
        bool down = false;
        std::optional<std::uint32_t> lastRelease;  // server time of its last release
    };

    HeldKey* heldKey(std::uint8_t keycode);

    std::vector<HeldKey> keys_;
};

}  // namespace proxcred::gui
