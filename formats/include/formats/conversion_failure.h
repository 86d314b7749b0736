#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace proxcred {

// Why a text could not become the number a field needs. The numbers are the
// ones the operator sees in front of the description ("6 Overflow").
enum class ConversionFailure : std::uint8_t { Overflow, NotANumber };

struct FailureInfo {
    int number;
    std::string_view description;
};

constexpr FailureInfo failureInfo(ConversionFailure failure) {
    switch (failure) {
        case ConversionFailure::Overflow:
            return {6, "Overflow"};
        case ConversionFailure::NotANumber:
            return {13, "Type mismatch"};
    }
    return {0, ""};
}

// "6 Overflow": the error number, one blank, the description.
std::string failureMessage(ConversionFailure failure);

}  // namespace proxcred
