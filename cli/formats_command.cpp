#include "cli/formats_command.h"

#include <iomanip>
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

void listFormats(std::ostream& out) {
    out << std::left << std::setw(8) << "KEY" << std::setw(18) << "NAME" << std::right
        << std::setw(5) << "BITS" << std::setw(14) << "HOTSTAMP MAX" << std::setw(14)
        << "FACILITY MAX" << std::setw(13) << "VERSION MAX" << '\n';
    for (const CardFormatInfo& info : kCardFormats) {
        const CardLayout& layout = cardLayout(info.format);
        out << std::left << std::setw(8) << info.key << std::setw(18) << info.caption << std::right
            << std::setw(5) << info.bits << std::setw(14) << largest(layout, InputField::Hotstamp)
            << std::setw(14) << largest(layout, InputField::FacilityCode) << std::setw(13)
            << largest(layout, InputField::Version) << '\n';
    }
    const CardLayout& noFacility = cardLayout(CardFormat::Bit37, 0);
    out << "\nKey 37 with facility code 0 encodes the 37-bit format without facility code,\n"
        << "hotstamp up to " << largest(noFacility, InputField::Hotstamp) << ".\n"
        << "* No range check: a larger value keeps only the field's low bits.\n";
}

}  // namespace proxcred::cli
