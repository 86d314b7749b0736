#pragma once

// What the Wiegand library's tests share: the built-in library, its formats
// by name, and cards made from numbers.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "wiegand/frame_text.h"
#include "wiegand/library.h"

namespace proxcred::wiegand::testing {

inline const Library& library() {
    static const Library builtIn = Library::builtIn();
    return builtIn;
}

inline const Format& format(std::string_view name) {
    const Format* found = library().find(name);
    EXPECT_NE(found, nullptr) << name;
    return *found;
}

inline Frame encoded(const Format& format, const CardNumbers& numbers) {
    const Encoded result = encode(format, numbers);
    EXPECT_TRUE(result.frame) << format.name << ": " << result.refusal;
    return result.frame.value_or(Frame{});
}

inline std::string frameText(const Frame& frame, FrameForm form) {
    std::string text;
    appendFrameText(text, frame, form);
    return text;
}

inline CardNumbers numbers(std::uint64_t facility, std::uint64_t card) {
    CardNumbers given;
    given[FieldKind::FacilityCode] = facility;
    given[FieldKind::CardNumber] = card;
    return given;
}

}  // namespace proxcred::wiegand::testing
