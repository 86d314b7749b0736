#include "formats/prox_data.h"

#include "formats/numeric_text.h"

namespace proxcred {

void ProxOutcome::appendText(std::string& out) const {
    switch (kind) {
        case Kind::Card:
            return appendProxData(out, card);
        case Kind::UnknownFormat:
        case Kind::Refused:
            out.append(kRefusedProxData);
            return;
        case Kind::NoHotstamp:
        case Kind::InvalidSerialNumber:
        case Kind::UndefinedFormat:
        case Kind::Failed:
            return;
    }
}

std::string ProxOutcome::text() const {
    std::string text;
    appendText(text);
    return text;
}

std::string ProxOutcome::message() const {
    switch (kind) {
        case Kind::InvalidSerialNumber:
            return std::string(kInvalidSerialNumber);
        case Kind::UndefinedFormat:
            return std::string(kUndefinedCardFormat);
        case Kind::Refused:
            return refusal->message();
        case Kind::Failed:
            return failureMessage(failure);
        case Kind::NoHotstamp:
        case Kind::UnknownFormat:
        case Kind::Card:
            return {};
    }
    return {};
}

namespace {

ProxOutcome outcomeOf(ProxOutcome::Kind kind) {
    ProxOutcome outcome;
    outcome.kind = kind;
    return outcome;
}

ProxOutcome failed(ConversionFailure failure) {
    ProxOutcome outcome = outcomeOf(ProxOutcome::Kind::Failed);
    outcome.failure = failure;
    return outcome;
}

ProxOutcome fromEncoder(const EncodeResult& result) {
    if (const auto* card = std::get_if<CardValue>(&result)) {
        ProxOutcome outcome = outcomeOf(ProxOutcome::Kind::Card);
        outcome.card = *card;
        return outcome;
    }
    if (const auto* refusal = std::get_if<Refusal>(&result)) {
        ProxOutcome outcome = outcomeOf(ProxOutcome::Kind::Refused);
        outcome.refusal = *refusal;
        return outcome;
    }
    return failed(std::get<ConversionFailure>(result));
}

}  // namespace

ProxOutcome calcProxData(const ProxRequest& request) {
    using Kind = ProxOutcome::Kind;
    if (request.hotstamp.empty()) return outcomeOf(Kind::NoHotstamp);
    const Outcome<double> hotstamp = parseNumber(request.hotstamp);
    if (!hotstamp && hotstamp.failure() == ConversionFailure::NotANumber)
        return outcomeOf(Kind::InvalidSerialNumber);
    if (!hotstamp) return failed(hotstamp.failure());
    if (request.key.empty()) return outcomeOf(Kind::UndefinedFormat);
    const std::optional<CardFormat> format = formatForKey(request.key);
    if (!format) return outcomeOf(Kind::UnknownFormat);

    EncodeInput input{*hotstamp, request.facilityCode, 0};
    // These two formats read the facility code (and version) from their boxes.
    if (format == CardFormat::Proxif || format == CardFormat::Casi) {
        const Outcome<std::int32_t> facility = textToInt32(request.facilityText);
        if (!facility) return failed(facility.failure());
        input.facilityCode = *facility;
    }
    if (format == CardFormat::Proxif) {
        const Outcome<std::int32_t> version = textToInt32(request.versionText);
        if (!version) return failed(version.failure());
        input.version = *version;
    }
    return fromEncoder(encodeCard(*format, input));
}

}  // namespace proxcred
