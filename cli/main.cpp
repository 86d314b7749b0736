// proxcred-cli: the card format translator on the command line.
#include <CLI/CLI.hpp>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <new>

#include "cli/em_command.h"
#include "cli/encode_command.h"
#include "cli/formats_command.h"
#include "cli/open_file.h"
#include "cli/output.h"
#include "cli/read_command.h"
#include "cli/split_command.h"
#include "cli/wiegand_command.h"
#include "version/version.h"
#include "wiegand/decimal.h"

namespace {

// The file named (- for standard input); nothing, with the reason on
// standard error, when it cannot be opened.
proxcred::cli::FilePtr openNamedInput(const std::string& path) {
    proxcred::cli::FilePtr file = proxcred::cli::openInput(path);
    if (!file)
        std::cerr << "proxcred-cli: cannot open " << path << ": " << std::strerror(errno) << '\n';
    return file;
}

// How messages name a CSV input.
std::string csvSource(const std::string& path) {
    return path == "-" ? "standard input" : path;
}

struct EncodeArgs {
    std::string key;
    std::string facility = "0";
    std::string version = "0";
    std::string csvPath;
    std::vector<std::string> hotstamps;
};

struct SplitArgs {
    bool json = false;
    std::vector<std::string> cardData;
};

void addEncode(CLI::App& app, EncodeArgs& args) {
    CLI::App* encode = app.add_subcommand(
        "encode", "Encode hotstamp numbers into prox data (16 octal digits), one line each");
    CLI::Option* key = encode->add_option("-f,--format", args.key,
                                          "Card format key: 26 34 35 35X 36X 37X 37 Proxif Casi");
    CLI::Option* facility =
        encode->add_option("-F,--facility", args.facility, "Facility code")->capture_default_str();
    CLI::Option* version =
        encode->add_option("-V,--version", args.version, "Version (Proxif)")->capture_default_str();
    CLI::Option* hotstamps =
        encode->add_option("hotstamp", args.hotstamps, "Hotstamp numbers (negative ones after --)");
    CLI::Option* csv = encode->add_option(
        "--csv", args.csvPath,
        "Encode rows format,hotstamp,facility,version from FILE (- for standard input)");
    csv->excludes(key)->excludes(facility)->excludes(version)->excludes(hotstamps);
    encode->callback([&args, encode, key, hotstamps] {
        if (args.csvPath.empty() && (key->count() == 0 || hotstamps->count() == 0)) {
            throw CLI::ValidationError(encode->get_name(),
                                       "give -f KEY and at least one hotstamp, or --csv FILE");
        }
    });
}

void addSplit(CLI::App& app, SplitArgs& args) {
    CLI::App* split =
        app.add_subcommand("split", "Split card data (octal digits) with every card format");
    split->add_flag("--json", args.json, "Write one JSON object per card data (JSON Lines)");
    split->add_option("carddata", args.cardData,
                      "Card data to split; without any, every line of standard input");
}

// The Wiegand format library's commands; they share --formats.
struct WiegandArgs {
    proxcred::cli::WiegandOptions options;
    std::string out = "bin";
    std::string in = "hex";
    // Numbers are taken as text and read as decimal by the command: CLI11
    // would read 01603 as octal and wrap -1 to 2^64 - 1.
    std::array<std::string, proxcred::wiegand::kFieldKinds.size()> fields;
    std::array<CLI::Option*, proxcred::wiegand::kFieldKinds.size()> fieldOptions{};
    std::string bits;
    CLI::Option* bitsOption = nullptr;
    std::string offset;
    std::string maxCards;
    std::string layout;
    std::string identifyPath;
    CLI::App* list = nullptr;
    CLI::App* encode = nullptr;
    CLI::App* decode = nullptr;
    CLI::App* identify = nullptr;
};

// --offset, on encode and decode.
void addOffsetOption(CLI::App* command, WiegandArgs& args, const char* what) {
    command->add_option("--offset", args.offset,
                        std::string("Card numbers as printed are this much below those carried: ") +
                            what + " (decimal, may be negative: --offset=-2000)");
}

void addFormatsOption(CLI::App* command, WiegandArgs& args) {
    command->add_option("--formats", args.options.formatsFile,
                        "Also load the formats of this JSON file (docs/wiegand-formats.md)");
}

// The card forms, the written ones or those read back too.
std::vector<std::string> cardForms(bool readable) {
    std::vector<std::string> names;
    for (const proxcred::wiegand::CardForm form : proxcred::wiegand::kCardForms) {
        if (!readable || proxcred::wiegand::isReadable(form))
            names.emplace_back(proxcred::wiegand::cardFormName(form));
    }
    return names;
}

std::string joined(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
    return list;
}

// --fc, --cn, --il, --oem: one card's numbers, which a CSV's rows give instead.
void addFieldOptions(WiegandArgs& args, CLI::Option* csv) {
    const std::pair<const char*, const char*> fieldOptions[] = {{"--fc", "Facility code"},
                                                                {"--cn", "Card number"},
                                                                {"--il", "Issue level"},
                                                                {"--oem", "OEM code"}};
    static_assert(std::size(fieldOptions) == proxcred::wiegand::kFieldKinds.size());
    for (std::size_t i = 0; i < args.fields.size(); ++i) {
        args.fieldOptions[i] = args.encode->add_option(
            fieldOptions[i].first, args.fields[i],
            std::string(fieldOptions[i].second) + " (decimal, leading zeros allowed)");
        csv->excludes(args.fieldOptions[i]);
    }
}

void addWiegandEncode(CLI::App* wiegand, WiegandArgs& args) {
    auto& options = args.options;
    args.encode = wiegand->add_subcommand(
        "encode", "Encode numbers into one format's card, or into every format that holds them");
    CLI::Option* format = args.encode->add_option(
        "-w,--wiegand", options.format, "Format name (see wiegand list); without it, every format");
    CLI::Option* csv = args.encode->add_option(
        "--csv", options.csvPath,
        "Encode rows format,facility,card,issue,oem from FILE (- for standard input)");
    csv->excludes(format);
    addFieldOptions(args, csv);
    addOffsetOption(args.encode, args, "added to every card number before encoding");
    args.encode->add_option("--max-cards", args.maxCards,
                            "The most cards a range (--cn 1603-1702) may give (default 1000000)");
    args.encode->add_option("--out", args.out, "Output form: " + joined(cardForms(false)))
        ->check(CLI::IsMember(cardForms(false)))
        ->capture_default_str();
    csv->excludes(args.encode->add_flag("--json", options.json, "One JSON object per card"));
    addFormatsOption(args.encode, args);
    args.encode->callback([&args, format, csv] {
        const bool numbers =
            std::any_of(args.fieldOptions.begin(), args.fieldOptions.end(),
                        [](const CLI::Option* field) { return field->count() > 0; });
        if (csv->count() == 0 && format->count() == 0 && !numbers)
            throw CLI::ValidationError(args.encode->get_name(),
                                       "give the numbers (--cn, --fc, ...), with -w NAME for one "
                                       "format, or --csv FILE");
        if (args.out == "flipper" && (csv->count() > 0 || format->count() == 0))
            throw CLI::ValidationError(args.encode->get_name(),
                                       "--out flipper writes one card's key file: give -w NAME "
                                       "and the numbers");
    });
}

void addWiegandDecode(CLI::App* wiegand, WiegandArgs& args) {
    auto& options = args.options;
    args.decode = wiegand->add_subcommand(
        "decode", "Which formats a frame fits, with their numbers and parity");
    args.decode->add_option("--in", args.in, "Input form: " + joined(cardForms(true)))
        ->check(CLI::IsMember(cardForms(true)))
        ->capture_default_str();
    args.bitsOption = args.decode->add_option(
        "--bits", args.bits, "Only frames of this length, 1 to 64 (hex: read at this length)");
    args.decode->add_option("-w,--wiegand", options.format, "Only this format");
    CLI::Option* json =
        args.decode->add_flag("--json", options.json, "One JSON object per value (JSON Lines)");
    CLI::Option* csv = args.decode->add_flag(
        "--csv", options.csv,
        "CSV rows input,format,facility,card,issue,oem,parity,message: the best reading of each "
        "value");
    csv->excludes(json);
    args.decode->add_flag("--all", options.all, "With --csv: every reading, ranked")->needs(csv);
    addOffsetOption(args.decode, args, "taken off every card number decoded");
    args.decode->add_option("value", options.values,
                            "Values to decode (key files for --in flipper); without any, every "
                            "line of standard input (a key file for --in flipper)");
    addFormatsOption(args.decode, args);
}

void addWiegand(CLI::App& app, WiegandArgs& args) {
    CLI::App* wiegand = app.add_subcommand(
        "wiegand", "Every known Wiegand card format: list, encode and decode frames");
    wiegand->require_subcommand(1, 1);
    args.list = wiegand->add_subcommand("list", "The formats, their bits and largest values");
    CLI::Option* listJson = args.list->add_flag("--json", args.options.json, "As one JSON array");
    args.list
        ->add_option("--layout", args.layout,
                     "One format's layout as a bit mask and parity lines (PFFF...CCCP)")
        ->excludes(listJson);
    addFormatsOption(args.list, args);
    args.identify = wiegand->add_subcommand(
        "identify", "Which format a site's cards are in, from reads of several of them");
    args.identify->add_option("--in", args.in, "Input form: " + joined(cardForms(true)))
        ->check(CLI::IsMember(cardForms(true)))
        ->capture_default_str();
    args.identify->add_option("--bits", args.bits, "Only frames of this length, 1 to 64");
    args.identify->add_flag("--json", args.options.json, "As one JSON object");
    args.identify->add_option("reads", args.identifyPath,
                              "A file of reads, one a line (- or none: standard input)");
    addFormatsOption(args.identify, args);
    addWiegandEncode(wiegand, args);
    addWiegandDecode(wiegand, args);
}

// Adds the formats of --formats, if given; false with the reason on standard
// error when the file cannot be opened, read or used.
bool loadFormatsFile(const std::string& path, proxcred::wiegand::Library& library) {
    if (path.empty()) return true;
    const proxcred::cli::FilePtr file = openNamedInput(path);
    if (!file) return false;
    // One byte past the largest file the library takes is enough to refuse it.
    std::string text;
    std::string error;
    if (!proxcred::cli::readAtMost(file.get(), proxcred::wiegand::Library::kMaxFileBytes, text) ||
        !library.addFormats(text, error)) {
        std::cerr << "proxcred-cli: " << path << ": "
                  << (error.empty() ? "cannot read the file" : error) << '\n';
        return false;
    }
    return true;
}

// --offset and --max-cards, read as decimal (an offset may be negative);
// false with the message otherwise.
bool readBatchOptions(WiegandArgs& args) {
    std::string error;
    if (!args.offset.empty()) {
        // Read apart from its sign; refused with the text as typed, sign and all.
        constexpr std::uint64_t kLargestOffset = std::uint64_t{1} << 62;
        const bool negative = args.offset.front() == '-';
        const auto size = proxcred::wiegand::readDecimalIn(
            "--offset", negative ? std::string_view(args.offset).substr(1) : args.offset, 0,
            kLargestOffset, error);
        if (!size) {
            std::cerr << "proxcred-cli: --offset \"" << args.offset
                      << "\" must be a whole number from -" << kLargestOffset << " to "
                      << kLargestOffset << '\n';
            return false;
        }
        args.options.offset =
            negative ? -static_cast<std::int64_t>(*size) : static_cast<std::int64_t>(*size);
    }
    if (!args.maxCards.empty()) {
        const auto most = proxcred::wiegand::readDecimalIn("--max-cards", args.maxCards, 1,
                                                           std::uint64_t{1} << 40, error);
        if (!most) {
            std::cerr << "proxcred-cli: " << error << '\n';
            return false;
        }
        args.options.maxCards = *most;
    }
    return true;
}

// --bits, read as decimal; false with the message when it is no length.
bool readBitsOption(WiegandArgs& args) {
    if (args.bits.empty()) return true;
    std::string error;
    const auto bits = proxcred::wiegand::readDecimalIn("--bits", args.bits, 1,
                                                       proxcred::wiegand::kMaxFrameBits, error);
    if (!bits) std::cerr << "proxcred-cli: " << error << '\n';
    args.options.bits = bits ? std::optional<int>(static_cast<int>(*bits)) : std::nullopt;
    return bits.has_value();
}

int runWiegandEncode(const proxcred::wiegand::Library& library, WiegandArgs& args,
                     proxcred::cli::StandardOutput& output) {
    proxcred::cli::StandardError errors;
    using namespace proxcred;
    auto& options = args.options;
    options.out = *wiegand::cardForm(args.out);
    if (!options.csvPath.empty()) {
        const cli::FilePtr input = openNamedInput(options.csvPath);
        if (!input) return 2;
        return output.finish(
            cli::wiegandEncodeCsv(library, options, input.get(), csvSource(options.csvPath),
                                  output.stream(), errors),
            errors);
    }
    for (std::size_t i = 0; i < args.fields.size(); ++i) {
        if (args.fieldOptions[i]->count() != 0) options.fieldTexts[i] = args.fields[i];
    }
    return output.finish(cli::wiegandEncode(library, options, output.stream(), errors), errors);
}

// Loads --formats and runs the chosen Wiegand command.
// Whether the formats and the values would both be read from standard input.
bool bothReadStandardInput(const WiegandArgs& args) {
    const auto& options = args.options;
    if (options.formatsFile != "-") return false;
    if (*args.encode) return options.csvPath == "-";
    if (*args.identify) return args.identifyPath.empty() || args.identifyPath == "-";
    return *args.decode && options.values.empty();
}

int runWiegand(WiegandArgs& args, proxcred::cli::StandardOutput& output) {
    proxcred::cli::StandardError errors;
    using namespace proxcred;
    wiegand::Library library = wiegand::Library::builtIn();
    auto& options = args.options;
    if (bothReadStandardInput(args)) {
        std::cerr << "proxcred-cli: --formats - and the values cannot both come from standard "
                     "input: name a file for one of them\n";
        return 2;
    }
    if (!loadFormatsFile(options.formatsFile, library)) return 2;
    if (!readBatchOptions(args) || !readBitsOption(args)) return 1;
    proxcred::cli::TextSink& out = output.stream();
    if (*args.list && !args.layout.empty())
        return output.finish(cli::wiegandLayout(library, args.layout, out, errors), errors);
    if (*args.list) return output.finish(cli::wiegandList(library, options.json, out), errors);
    if (*args.encode) return runWiegandEncode(library, args, output);
    options.in = *wiegand::cardForm(args.in);
    if (*args.identify) {
        const cli::FilePtr input =
            openNamedInput(args.identifyPath.empty() ? "-" : args.identifyPath);
        if (!input) return 2;
        return output.finish(cli::wiegandIdentify(library, options, input.get(), out, errors),
                             errors);
    }
    return output.finish(cli::wiegandDecode(library, options, stdin, out, errors), errors);
}

// em: EM4100 IDs.
struct EmArgs {
    std::string in = "id";
    std::string out;
    bool json = false;
    std::vector<std::string> values;
};

std::vector<std::string> emForms(std::string_view extra) {
    std::vector<std::string> names;
    names.reserve(proxcred::em4100::kForms.size() + 2);
    for (const proxcred::em4100::Form form : proxcred::em4100::kForms)
        names.emplace_back(proxcred::em4100::formName(form));
    names.emplace_back("flipper");
    if (!extra.empty()) names.emplace_back(extra);
    return names;
}

void addEm(CLI::App& app, EmArgs& args) {
    CLI::App* em = app.add_subcommand(
        "em",
        "EM4100 IDs in every form installers read them in: ID, DEZ 8, DEZ 10, DEZ 5.5, "
        "DEZ 3.5A/B/C, DEZ 14, Wiegand-26");
    em->add_option("--in", args.in, "Input form: " + joined(emForms("")))
        ->check(CLI::IsMember(emForms("")))
        ->capture_default_str();
    CLI::Option* out =
        em->add_option("--out", args.out,
                       "Only this form: " + joined(emForms("pm3")) + " (without it, every form)");
    out->check(CLI::IsMember(emForms("pm3")));
    em->add_flag("--json", args.json, "One JSON object per ID, every form")->excludes(out);
    em->add_option("value", args.values,
                   "IDs in the input form (key files for --in flipper); without any, every line "
                   "of standard input (a key file for --in flipper)");
}

int runEm(const EmArgs& args, proxcred::cli::StandardOutput& output) {
    proxcred::cli::StandardError errors;
    using namespace proxcred;
    cli::EmOptions options;
    options.in = em4100::form(args.in);
    options.json = args.json;
    options.values = args.values;
    if (args.out == "flipper") {
        options.output = cli::EmOutput::Flipper;
    } else if (args.out == "pm3") {
        options.output = cli::EmOutput::Pm3;
    } else if (!args.out.empty()) {
        options.output = cli::EmOutput::OneForm;
        options.outForm = *em4100::form(args.out);
    }
    const wiegand::Library library = wiegand::Library::builtIn();
    return output.finish(cli::emCommand(library, options, stdin, output.stream(), errors), errors);
}

#ifdef _WIN32
// Port N is COMN, as Windows programs number their ports: COM10 and above too.
constexpr std::uint64_t kHighestPort = 255;
constexpr const char* kPortHelp = "Port number: N is COMN, 1 to 255 (see PROXCRED_SERIAL_PORTS)";
#else
// Port N is the Nth serial device of the system's list, of which nine count.
constexpr std::uint64_t kHighestPort = proxcred::kSerialPortCount;
constexpr const char* kPortHelp = "Port number 1 to 9 (devices: see PROXCRED_SERIAL_PORTS)";
#endif

struct ReadArgs {
    proxcred::cli::ReadOptions options;
    std::string port = std::to_string(proxcred::cli::ReadOptions{}.port);
    std::string timeout = std::to_string(proxcred::cli::ReadOptions{}.timeoutMs);
};

void addRead(CLI::App& app, ReadArgs& args) {
    CLI::App* read = app.add_subcommand(
        "read",
        "Read one card through the lock reader on a serial port and print its card data "
        "(Ctrl+C cancels the read)");
    read->add_option("--port", args.port, kPortHelp)->capture_default_str();
    read->add_option("--timeout", args.timeout, "Wait limit in milliseconds, 1 to 32767")
        ->capture_default_str();
    read->add_flag("--split", args.options.split,
                   "Also split the card data with every card format");
}

// --port and --timeout, read as decimal; false with the message otherwise.
bool readReadOptions(ReadArgs& args) {
    constexpr std::uint64_t kLongestWaitMs = 32767;
    std::string error;
    const auto port = proxcred::wiegand::readDecimalIn("--port", args.port, 1, kHighestPort, error);
    const auto timeout =
        port ? proxcred::wiegand::readDecimalIn("--timeout", args.timeout, 1, kLongestWaitMs, error)
             : std::nullopt;
    if (!port || !timeout) {
        std::cerr << "proxcred-cli: " << error << '\n';
        return false;
    }
    args.options.port = static_cast<int>(*port);
    args.options.timeoutMs = static_cast<int>(*timeout);
    return true;
}

int splitCommand(const SplitArgs& args, proxcred::cli::StandardOutput& output) {
    proxcred::cli::StandardError errors;
    using proxcred::cli::SplitStyle;
    const SplitStyle style = args.json ? SplitStyle::JsonLines : SplitStyle::Table;
    return output.finish(
        proxcred::cli::splitCommand(args.cardData, stdin, style, output.stream(), errors), errors);
}

int encodeCommand(const EncodeArgs& args, proxcred::cli::StandardOutput& output) {
    proxcred::cli::StandardError errors;
    using namespace proxcred::cli;
    proxcred::cli::TextSink& out = output.stream();
    if (args.csvPath.empty()) {
        return output.finish(
            encodeHotstamps(args.key, args.facility, args.version, args.hotstamps, out, errors),
            errors);
    }
    const FilePtr input = openNamedInput(args.csvPath);
    if (!input) return 2;
    return output.finish(encodeCsv(input.get(), csvSource(args.csvPath), out, errors), errors);
}

int run(int argc, char** argv) {
    CLI::App app{
        "Translates proximity card numbers into prox data and card data back into numbers"};
    app.name("proxcred-cli");
    app.set_version_flag("--version", "proxcred-cli " + std::string(proxcred::kVersion),
                         "Print the version and exit");
    app.require_subcommand(1, 1);
    EncodeArgs encodeArgs;
    SplitArgs splitArgs;
    ReadArgs readArgs;
    WiegandArgs wiegandArgs;
    EmArgs emArgs;
    addEncode(app, encodeArgs);
    addSplit(app, splitArgs);
    addRead(app, readArgs);
    addWiegand(app, wiegandArgs);
    addEm(app, emArgs);
    CLI::App* formats = app.add_subcommand("formats", "List the card formats and their limits");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? 0 : 2;
    }

    proxcred::cli::StandardOutput output;
    proxcred::cli::StandardError errors;
    if (*formats) {
        proxcred::cli::listFormats(output.stream());
        return output.finish(0, errors);
    }
    if (app.got_subcommand("wiegand")) return runWiegand(wiegandArgs, output);
    if (app.got_subcommand("em")) return runEm(emArgs, output);
    if (app.got_subcommand("read")) {
        if (!readReadOptions(readArgs)) return 1;
        return proxcred::cli::readFromLock(argc, argv, readArgs.options, output, errors);
    }
    if (app.got_subcommand("split")) return splitCommand(splitArgs, output);
    return encodeCommand(encodeArgs, output);
}

// A machine out of memory gets a message and an exit status, not an abort.
int runGuarded(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::cerr << "proxcred-cli: not enough memory\n";
        return 1;
    }
}

}  // namespace

#ifdef _WIN32
// Windows passes the command line as UTF-16: taken whole and handed on as
// UTF-8, so paths and texts outside the ANSI code page arrive intact.
int wmain(int argc, wchar_t** wideArgv) {
    // Input is read as bytes (a CR LF or a Ctrl+Z in a file must not be
    // changed); output stays in text mode and ends its lines in CR LF, in
    // UTF-8, which a console shows as such.
    _setmode(_fileno(stdin), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> arguments = proxcred::cli::utf8Arguments(argc, wideArgv);
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    return runGuarded(argc, argv.data());
}
#else
int main(int argc, char** argv) {
    return runGuarded(argc, argv);
}
#endif
