#pragma once

#include <functional>
#include <memory>

// While a lock read waits, the window keeps painting, but other input to it
// is ignored: no click, no key, no shortcut, no closing. Escape cancels the
// read (the serial channel's wait guard, see serial/serial_lock_reader.h).
namespace proxcred::gui {

std::shared_ptr<void> blockInputDuringRead(std::function<void()> cancel);

}  // namespace proxcred::gui
