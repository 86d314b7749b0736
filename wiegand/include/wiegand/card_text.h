#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "wiegand/frame_text.h"
#include "wiegand/library.h"
#include "wiegand/matches.h"

// A card in each form people carry one in: the frame forms, the numbers as
// import files and readers show them, a Flipper Zero key file and a
// Proxmark3 command line.
namespace proxcred::wiegand {

enum class CardForm : std::uint8_t {
    Bin,
    Hex,
    Hid,
    Octal,
    Pacs,     // the frame forms (FrameForm)
    Fccn,     // "118:01603", facility code and card number, zero-padded to their fields' widths
    Number,   // the facility code's and card number's bits as one decimal number
    Flipper,  // a Flipper Zero .rfid key file
    Pm3,      // the Proxmark3 client's command that writes the card to a blank
};
inline constexpr std::array kCardForms{CardForm::Bin,    CardForm::Hex,     CardForm::Hid,
                                       CardForm::Octal,  CardForm::Pacs,    CardForm::Fccn,
                                       CardForm::Number, CardForm::Flipper, CardForm::Pm3};

// "bin", "hex", "hid", "octal", "pacs", "fccn", "number", "flipper", "pm3".
std::string_view cardFormName(CardForm form);
std::optional<CardForm> cardForm(std::string_view name);
std::optional<FrameForm> frameFormOf(CardForm form);
// A Proxmark3 command line is written for people to run, not read back.
constexpr bool isReadable(CardForm form) {
    return form != CardForm::Pm3;
}

// The card of these numbers in the format, in the form. False, with the
// refusal, when the numbers do not fit the format or the form cannot carry
// the card (fccn and number carry a facility code and a card number only, a
// Flipper HIDProx key frames of up to 37 bits, hid none of 64). The frame
// made is kept in `made` when asked for (a batch compares frames).
bool appendCardText(std::string& out, const Format& format, const CardNumbers& numbers,
                    CardForm form, std::string& refusal, Frame* made = nullptr);

// Which readings of a text are wanted.
struct ReadScope {
    const Format* only = nullptr;  // this format alone
    std::optional<int> bits;       // frames of this length alone
};

// What a text may be; kept by the caller from text to text.
struct CardReading {
    Frames frames;      // the frames the text stands for, in the frame forms
    Matches matches;    // every card it may be, ranked
    std::string error;  // why the text is not of its form; empty when it is
};

// Every card a text of the form may be. The frame forms stand for frames,
// read as every format of their length; fccn and number for numbers, read
// as every format that carries them; a Flipper file for an H10301 card or
// a HIDProx frame.
void readCard(std::string_view text, CardForm form, const Library& library, const ReadScope& scope,
              CardReading& reading);

// "118:1603" or "118:01603": two decimal numbers; nullopt with `error`.
std::optional<std::pair<std::uint64_t, std::uint64_t>> readFacilityAndCard(std::string_view text,
                                                                           std::string& error);

}  // namespace proxcred::wiegand
