#include "cli/formats_command.h"

#include <string>

#include "formats/encoders.h"

namespace proxcred::cli {
namespace {

// The largest value of a field, marked with "*" where a wider value is not
// refused but keeps only the field's low bits.
std::string largest(const CardLayout& layout, InputField field) {
    for (const FieldSlot& slot : layout.fields) {
        if (slot.field != field) continue;
        if (slot.max) return std::to_string(*slot.max);
        return std::to_string((std::uint64_t{1} << slot.at.width) - 1) + "*";
    }
    return "-";
}

}  // namespace

void listFormats(TextSink& out) {
    constexpr bool kRight = true;
    out << padded("KEY", 8) << padded("NAME", 18) << padded("BITS", 5, kRight)
        << padded("HOTSTAMP MAX", 14, kRight) << padded("FACILITY MAX", 14, kRight)
        << padded("VERSION MAX", 13, kRight) << '\n';
    for (const CardFormatInfo& info : kCardFormats) {
        const CardLayout& layout = cardLayout(info.format);
        out << padded(info.key, 8) << padded(info.caption, 18)
            << padded(std::to_string(info.bits), 5, kRight)
            << padded(largest(layout, InputField::Hotstamp), 14, kRight)
            << padded(largest(layout, InputField::FacilityCode), 14, kRight)
            << padded(largest(layout, InputField::Version), 13, kRight) << '\n';
    }
    const CardLayout& noFacility = cardLayout(CardFormat::Bit37, 0);
    out << "\nKey 37 with facility code 0 encodes the 37-bit format without facility code,\n"
        << "hotstamp up to " << largest(noFacility, InputField::Hotstamp) << ".\n"
        << "* No range check: a larger value keeps only the field's low bits.\n";
}

}  // namespace proxcred::cli
