#pragma once

#include <cassert>
#include <variant>

#include "formats/conversion_failure.h"

namespace proxcred {

// A value, or the conversion failure that kept it from being made.
template <class T>
class Outcome {
  public:
    Outcome(T value) : state_(std::move(value)) {}           // NOLINT(google-explicit-constructor)
    Outcome(ConversionFailure failure) : state_(failure) {}  // NOLINT(google-explicit-constructor)

    bool ok() const { return std::holds_alternative<T>(state_); }
    explicit operator bool() const { return ok(); }

    const T& value() const {
        assert(ok());
        return std::get<T>(state_);
    }
    const T& operator*() const { return value(); }

    ConversionFailure failure() const {
        assert(!ok());
        return std::get<ConversionFailure>(state_);
    }

  private:
    std::variant<T, ConversionFailure> state_;
};

}  // namespace proxcred
