#pragma once

#include <string>

#include "formats/encoders.h"
#include "formats/prox_data.h"

namespace proxcred::testing {

// A card value as the prox data box shows it.
inline std::string proxDataOf(CardValue card) {
    std::string text;
    appendProxData(text, card);
    return text;
}

// The prox data an encoder result shows, or a description of why there is none.
inline std::string proxDataOf(const EncodeResult& result) {
    if (const auto* card = std::get_if<CardValue>(&result)) return proxDataOf(*card);
    if (const auto* refusal = std::get_if<Refusal>(&result))
        return "refused: " + refusal->message();
    return "failed: " + failureMessage(std::get<ConversionFailure>(result));
}

}  // namespace proxcred::testing
