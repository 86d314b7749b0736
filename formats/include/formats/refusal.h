#pragma once

#include <cstdint>
#include <string>

namespace proxcred {

// The input fields an encoder checks, named as messages name them.
enum class InputField : std::uint8_t { Hotstamp, FacilityCode, Version };

std::string_view inputFieldName(InputField field);

// An encoder's refusal of one value: which field, the value as given and the
// limit it crossed. The form shows the message and writes the limit into the
// field's box as the correction.
struct Refusal {
    enum class Bound : std::uint8_t { TooLarge, TooSmall };

    InputField field;
    double given;
    std::int64_t limit;
    Bound bound = Bound::TooLarge;

    // "Hotstamp 70000 is too large. 65535 is max."
    std::string message() const;
    // The text written into the field's box: the limit.
    std::string correction() const;

    friend bool operator==(const Refusal&, const Refusal&) = default;
};

}  // namespace proxcred
