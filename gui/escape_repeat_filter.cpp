#include "gui/escape_repeat_filter.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <algorithm>
#include <cstddef>
#include <cstdlib>

namespace proxcred::gui {
namespace {

constexpr std::uint32_t kEscapeKeysym = 0xff1b;  // XK_Escape

// The keycodes whose keysyms include Escape, from the display's keyboard map.
std::vector<std::uint8_t> escapeKeycodes(xcb_connection_t* connection) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const auto first = setup->min_keycode;
    const auto count = static_cast<std::uint8_t>(setup->max_keycode - first + 1);
    xcb_get_keyboard_mapping_reply_t* mapping = xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, first, count), nullptr);
    std::vector<std::uint8_t> found;
    if (mapping == nullptr) return found;
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(mapping);
    const std::ptrdiff_t perKeycode = mapping->keysyms_per_keycode;
    for (std::ptrdiff_t keycode = 0; keycode < count; ++keycode) {
        const xcb_keysym_t* of = keysyms + keycode * perKeycode;
        if (std::find(of, of + perKeycode, kEscapeKeysym) != of + perKeycode)
            found.push_back(static_cast<std::uint8_t>(first + keycode));
    }
    std::free(mapping);
    return found;
}

}  // namespace

xcb_connection_t* EscapeRepeatFilter::xConnection() {
    // Other platforms (offscreen, Wayland, VNC, eglfs) may still answer the
    // X11 interface, with no connection behind it.
    if (QGuiApplication::platformName() != "xcb") return nullptr;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 == nullptr ? nullptr : x11->connection();
}

EscapeRepeatFilter::EscapeRepeatFilter() {
    if (xcb_connection_t* connection = xConnection()) escapeKeycodes_ = escapeKeycodes(connection);
}

bool EscapeRepeatFilter::isEscape(std::uint8_t keycode) const {
    return std::find(escapeKeycodes_.begin(), escapeKeycodes_.end(), keycode) !=
           escapeKeycodes_.end();
}

bool EscapeRepeatFilter::nativeEventFilter(const QByteArray& eventType, void* message,
                                           qintptr* /*result*/) {
    if (eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7F;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) return false;
    // A key release event has the layout of a key press event.
    const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
    if (!isEscape(key->detail)) return false;
    if (type == XCB_KEY_RELEASE) {
        down_ = false;
        lastRelease_ = key->time;
        return false;
    }
    const bool repeat = down_ || lastRelease_ == key->time;
    down_ = true;
    return repeat;
}

}  // namespace proxcred::gui
