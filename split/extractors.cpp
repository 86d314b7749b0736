#include "split/extractors.h"

namespace proxcred {
namespace {

// Bits of a field that run past the start of the string read as 0; a field
// none of whose bits exist has no value.
FieldValue fieldValue(const BitTail& tail, BitRun field) {
    const auto low = static_cast<std::size_t>(field.low);
    if (low >= tail.length()) return std::nullopt;
    return tail.bits(low, low + static_cast<std::size_t>(field.width) - 1);
}

}  // namespace

std::string fieldText(const FieldValue& field) {
    return field ? std::to_string(*field) : std::string();
}

CardFields extractFields(CardFormat format, const BitTail& tail) {
    const FieldReading& reading = formatInfo(format).reading;
    CardFields fields{fieldValue(tail, reading.hotstamp), fieldValue(tail, reading.facilityCode),
                      std::nullopt};
    if (reading.third) fields.third = fieldValue(tail, *reading.third);
    return fields;
}

}  // namespace proxcred
