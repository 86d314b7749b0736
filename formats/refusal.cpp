#include "formats/refusal.h"

#include "formats/numeric_text.h"

namespace proxcred {

std::string_view inputFieldName(InputField field) {
    switch (field) {
        case InputField::Hotstamp:
            return "Hotstamp";
        case InputField::FacilityCode:
            return "Facility Code";
        case InputField::Version:
            return "Version";
    }
    return "";
}

std::string Refusal::message() const {
    const bool tooLarge = bound == Bound::TooLarge;
    return std::string(inputFieldName(field)) + " " + numberText(given) +
           (tooLarge ? " is too large. " : " is too small. ") + correction() +
           (tooLarge ? " is max." : " is min.");
}

std::string Refusal::correction() const {
    return std::to_string(limit);
}

}  // namespace proxcred
