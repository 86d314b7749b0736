#include "web/card_tools.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "cli/em_command.h"
#include "cli/encode_command.h"
#include "cli/split_command.h"
#include "cli/text_sink.h"
#include "cli/wiegand_command.h"
#include "wiegand/decimal.h"

namespace proxcred::web {
namespace {

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, CloseFile>;

// Text as a command's standard input: a stream over the text itself, which
// the web app's build reads without a file system.
struct TextSource {
    std::string_view text;
    std::size_t at = 0;
};

ssize_t readSome(void* cookie, char* buffer, std::size_t size) {
    auto& source = *static_cast<TextSource*>(cookie);
    const std::size_t count = std::min(size, source.text.size() - source.at);
    std::memcpy(buffer, source.text.data() + source.at, count);
    source.at += count;
    return static_cast<ssize_t>(count);
}

File inputOf(TextSource& source) {
    return File(fopencookie(&source, "r", {readSome, nullptr, nullptr, nullptr}));
}

// Runs a command with its output and errors caught as text.
template <class Command>
CommandResult run(Command command) {
    cli::StringOut out;
    cli::StringOut err;
    const int status = command(out, err);
    return {status, out.take(), err.take()};
}

// Runs a command with `input` as its standard input.
template <class Command>
CommandResult runOn(const std::string& input, Command command) {
    TextSource source{input};
    const File in = inputOf(source);
    if (!in) return {2, {}, "proxcred-cli: cannot read the input\n"};
    return run([&](cli::TextSink& out, cli::TextSink& err) { return command(in.get(), out, err); });
}

CommandResult refused(const std::string& message) {
    return {2, {}, "proxcred-cli: " + message + "\n"};
}

// The texts between the line ends: every one, the last too, even empty.
std::vector<std::string> separated(const std::string& text) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos;
         end = text.find('\n', start)) {
        pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

// The options a reading command shares: the input form and --bits.
std::optional<CommandResult> readingOptions(const std::string& inForm, const std::string& bits,
                                            cli::WiegandOptions& options) {
    const auto form = wiegand::cardForm(inForm);
    if (!form || !wiegand::isReadable(*form))
        return refused("--in: " + inForm + " is no input form");
    options.in = *form;
    if (bits.empty()) return std::nullopt;
    std::string error;
    const auto length = wiegand::readDecimalIn("--bits", bits, 1, wiegand::kMaxFrameBits, error);
    if (!length) return CommandResult{1, {}, "proxcred-cli: " + error + "\n"};
    options.bits = static_cast<int>(*length);
    return std::nullopt;
}

}  // namespace

CardTools::CardTools() : library_(wiegand::Library::builtIn()) {}

std::string CardTools::setFormats(const std::string& json) {
    wiegand::Library library = wiegand::Library::builtIn();
    std::string error;
    if (!json.empty() && !library.addFormats(json, error)) return error;
    library_ = std::move(library);
    return {};
}

CommandResult CardTools::encode(const std::string& key, const std::string& facility,
                                const std::string& version, const std::string& hotstamps) const {
    const std::vector<std::string> texts = separated(hotstamps);
    return run([&](cli::TextSink& out, cli::TextSink& err) {
        return cli::encodeHotstamps(key, facility, version, texts, out, err);
    });
}

CommandResult CardTools::split(const std::string& input, bool json) const {
    const auto style = json ? cli::SplitStyle::JsonLines : cli::SplitStyle::Table;
    return runOn(input, [&](std::FILE* in, cli::TextSink& out, cli::TextSink& err) {
        return cli::splitCommand({}, in, style, out, err);
    });
}

CommandResult CardTools::wiegandList(bool json) const {
    return run(
        [&](cli::TextSink& out, cli::TextSink&) { return cli::wiegandList(library_, json, out); });
}

CommandResult CardTools::wiegandEncode(const std::string& format, const WiegandNumbers& numbers,
                                       const std::string& outForm, bool json) const {
    const auto form = wiegand::cardForm(outForm);
    if (!form) return refused("--out: " + outForm + " is no output form");
    cli::WiegandOptions options;
    options.format = format;
    options.out = *form;
    options.json = json;
    static_assert(std::tuple_size_v<WiegandNumbers> == wiegand::kFieldKinds.size());
    for (std::size_t kind = 0; kind < numbers.size(); ++kind) {
        if (!numbers[kind].empty()) options.fieldTexts[kind] = numbers[kind];
    }
    return run([&](cli::TextSink& out, cli::TextSink& err) {
        return cli::wiegandEncode(library_, options, out, err);
    });
}

CommandResult CardTools::wiegandDecode(const std::string& input, const std::string& inForm,
                                       const std::string& bits, const std::string& format,
                                       bool json) const {
    cli::WiegandOptions options;
    options.format = format;
    options.json = json;
    if (auto refusal = readingOptions(inForm, bits, options)) return *refusal;
    return runOn(input, [&](std::FILE* in, cli::TextSink& out, cli::TextSink& err) {
        return cli::wiegandDecode(library_, options, in, out, err);
    });
}

CommandResult CardTools::wiegandIdentify(const std::string& input, const std::string& inForm,
                                         const std::string& bits, bool json) const {
    cli::WiegandOptions options;
    options.json = json;
    if (auto refusal = readingOptions(inForm, bits, options)) return *refusal;
    return runOn(input, [&](std::FILE* in, cli::TextSink& out, cli::TextSink& err) {
        return cli::wiegandIdentify(library_, options, in, out, err);
    });
}

CommandResult CardTools::em(const std::string& input, const std::string& inForm,
                            const std::string& outForm, bool json) const {
    cli::EmOptions options;
    options.json = json;
    if (inForm == "flipper") {
        options.in = std::nullopt;
    } else if (const auto form = em4100::form(inForm)) {
        options.in = *form;
    } else {
        return refused("--in: " + inForm + " is no input form");
    }
    if (outForm == "flipper") {
        options.output = cli::EmOutput::Flipper;
    } else if (outForm == "pm3") {
        options.output = cli::EmOutput::Pm3;
    } else if (!outForm.empty()) {
        const auto form = em4100::form(outForm);
        if (!form) return refused("--out: " + outForm + " is no output form");
        options.output = cli::EmOutput::OneForm;
        options.outForm = *form;
    }
    return runOn(input, [&](std::FILE* in, cli::TextSink& out, cli::TextSink& err) {
        return cli::emCommand(library_, options, in, out, err);
    });
}

}  // namespace proxcred::web
