#include "gui/held_key_filter.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>

namespace proxcred::gui {
namespace {

// Escape, Return and the keypad's Enter.
constexpr std::array<xcb_keysym_t, 3> kHeldKeysyms{0xff1b, 0xff0d, 0xff8d};

// The keycodes whose keysyms include one of those keys, from the display's
// keyboard map.
std::vector<std::uint8_t> heldKeycodes(xcb_connection_t* connection) {
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
        const bool held = std::any_of(of, of + perKeycode, [](xcb_keysym_t keysym) {
            return std::find(kHeldKeysyms.begin(), kHeldKeysyms.end(), keysym) !=
                   kHeldKeysyms.end();
        });
        if (held) found.push_back(static_cast<std::uint8_t>(first + keycode));
    }
    std::free(mapping);
    return found;
}

}  // namespace

xcb_connection_t* HeldKeyFilter::xConnection() {
    // Other platforms (offscreen, Wayland, VNC, eglfs) may still answer the
    // X11 interface, with no connection behind it.
    if (QGuiApplication::platformName() != "xcb") return nullptr;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 == nullptr ? nullptr : x11->connection();
}

HeldKeyFilter::HeldKeyFilter() {
    if (xcb_connection_t* connection = xConnection()) {
        for (const std::uint8_t keycode : heldKeycodes(connection)) keys_.push_back({keycode});
    }
}

HeldKeyFilter::HeldKey* HeldKeyFilter::heldKey(std::uint8_t keycode) {
    const auto key = std::find_if(keys_.begin(), keys_.end(), [keycode](const HeldKey& held) {
        return held.keycode == keycode;
    });
    return key == keys_.end() ? nullptr : &*key;
}

bool HeldKeyFilter::nativeEventFilter(const QByteArray& eventType, void* message,
                                      qintptr* /*result*/) {
    if (eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7F;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) return false;
    // A key release event has the layout of a key press event.
    const auto* keyEvent = reinterpret_cast<const xcb_key_press_event_t*>(event);
    HeldKey* key = heldKey(keyEvent->detail);
    if (key == nullptr) return false;
    if (type == XCB_KEY_RELEASE) {
        key->down = false;
        key->lastRelease = keyEvent->time;
        return false;
    }
    const bool repeat = key->down || key->lastRelease == keyEvent->time;
    key->down = true;
    return repeat;
}

}  // namespace proxcred::gui
