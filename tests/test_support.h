#pragma once

#include <string>

#include "formats/encoders.h"
#include "formats/prox_data.h"

namespace proxcred::testing {

// The prox data an encoder result shows, or a description of why there is none.
inline std::string proxDataOf(const EncodeResult& result) {
    if (const auto* card = std::get_if<CardValue>(&result)) return octalProxData(*card);
    if (const auto* refusal = std::get_if<Refusal>(&result))
        return "refused: " + refusal->message();
    return "failed: " + failureMessage(std::get<ConversionFailure>(result));
}

}  // namespace proxcred::testing
