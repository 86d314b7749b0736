#pragma once

#include <array>
#include <string>

#include "wiegand/library.h"

// The command-line tool's commands for a web page: each takes what the
// command would take on its command line and standard input, and answers
// exactly what the command would print, so that the page and proxcred-cli
// never disagree. Names of forms are those of the command line ("hex",
// "fccn", ...); a name it does not know is refused as the command line
// refuses it, with status 2.
namespace proxcred::web {

// A card's numbers as typed, in the order of the Wiegand field kinds
// (facility code, card number, issue level, OEM code).
using WiegandNumbers = std::array<std::string, 4>;

struct CommandResult {
    int status = 0;
    std::string out;
    std::string err;
};

class CardTools {
  public:
    CardTools();

    // The formats of a JSON file (docs/wiegand-formats.md) besides the
    // built-in ones, in place of any added before; empty text for none.
    // The refusal's text, or empty when the formats were taken.
    std::string setFormats(const std::string& json);

    // proxcred-cli encode -f KEY -F FACILITY -V VERSION HOTSTAMP..., the
    // hotstamps separated by line ends (so that an empty one is one too).
    CommandResult encode(const std::string& key, const std::string& facility,
                         const std::string& version, const std::string& hotstamps) const;
    // proxcred-cli split [--json], the card data as standard input.
    CommandResult split(const std::string& input, bool json) const;

    // proxcred-cli wiegand list [--json].
    CommandResult wiegandList(bool json) const;
    // wiegand encode [-w FORMAT] --fc F --cn C --il I --oem O --out FORM
    // [--json]; an empty number is one not given.
    CommandResult wiegandEncode(const std::string& format, const WiegandNumbers& numbers,
                                const std::string& outForm, bool json) const;
    // wiegand decode --in FORM [--bits N] [-w FORMAT] [--json], the values
    // (or a key file, for flipper) as standard input.
    CommandResult wiegandDecode(const std::string& input, const std::string& inForm,
                                const std::string& bits, const std::string& format,
                                bool json) const;
    // wiegand identify --in FORM [--bits N] [--json], the reads as standard input.
    CommandResult wiegandIdentify(const std::string& input, const std::string& inForm,
                                  const std::string& bits, bool json) const;
    // em --in FORM [--out FORM] [--json], the IDs as standard input.
    CommandResult em(const std::string& input, const std::string& inForm,
                     const std::string& outForm, bool json) const;

  private:
    wiegand::Library library_;
};

}  // namespace proxcred::web
