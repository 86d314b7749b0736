// proxcred-cli: the card format translator on the command line.
#include <CLI/CLI.hpp>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>

#include "cli/encode_command.h"
#include "cli/formats_command.h"
#include "cli/output.h"
#include "cli/read_command.h"
#include "cli/split_command.h"
#include "cli/wiegand_command.h"

namespace {

using FilePtr = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// "-" is standard input.
FilePtr openInput(const std::string& path) {
    if (path == "-") return {stdin, [](std::FILE*) { return 0; }};
    return {std::fopen(path.c_str(), "rb"), [](std::FILE* file) { return std::fclose(file); }};
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
    std::uint64_t fc = 0, cn = 0, il = 0, oem = 0;
    CLI::App* list = nullptr;
    CLI::App* encode = nullptr;
    CLI::App* decode = nullptr;
    CLI::Option* fcOption = nullptr;
    CLI::Option* cnOption = nullptr;
    CLI::Option* ilOption = nullptr;
    CLI::Option* oemOption = nullptr;
};

void addWiegand(CLI::App& app, WiegandArgs& args) {
    CLI::App* wiegand = app.add_subcommand(
        "wiegand", "Every known Wiegand card format: list, encode and decode frames");
    wiegand->require_subcommand(1, 1);
    auto& options = args.options;
    const auto formatsOption = [&options](CLI::App* command) {
        command->add_option("--formats", options.formatsFile,
                            "Also load the formats of this JSON file (docs/wiegand-formats.md)");
    };
    const std::vector<std::string> forms{"bin", "hex", "hid", "octal"};

    args.list = wiegand->add_subcommand("list", "The formats, their bits and largest values");
    args.list->add_flag("--json", options.json, "As one JSON array");
    formatsOption(args.list);

    args.encode = wiegand->add_subcommand("encode", "Encode numbers into one format's frame");
    args.encode->add_option("-w,--wiegand", options.format, "Format name (see wiegand list)")
        ->required();
    args.fcOption = args.encode->add_option("--fc", args.fc, "Facility code");
    args.cnOption = args.encode->add_option("--cn", args.cn, "Card number");
    args.ilOption = args.encode->add_option("--il", args.il, "Issue level");
    args.oemOption = args.encode->add_option("--oem", args.oem, "OEM code");
    args.encode->add_option("--out", args.out, "Output form: bin, hex, hid or octal")
        ->check(CLI::IsMember(forms))
        ->capture_default_str();
    formatsOption(args.encode);

    args.decode = wiegand->add_subcommand(
        "decode", "Which formats a frame fits, with their numbers and parity");
    args.decode->add_option("--in", args.in, "Input form: bin, hex, hid or octal")
        ->check(CLI::IsMember(forms))
        ->capture_default_str();
    args.decode->add_option("--bits", options.bits, "Frame length of hex input")
        ->check(CLI::Range(1, proxcred::wiegand::kMaxFrameBits));
    args.decode->add_option("-w,--wiegand", options.format, "Only this format");
    args.decode->add_flag("--json", options.json, "One JSON object per value (JSON Lines)");
    args.decode->add_option("value", options.values,
                            "Frames to decode; without any, every line of standard input");
    formatsOption(args.decode);
}

// Loads --formats and runs the chosen Wiegand command.
int runWiegand(WiegandArgs& args, proxcred::cli::StandardOutput& output) {
    using namespace proxcred;
    wiegand::Library library = wiegand::Library::builtIn();
    auto& options = args.options;
    if (!options.formatsFile.empty()) {
        const FilePtr file = openInput(options.formatsFile);
        if (!file) {
            std::cerr << "proxcred-cli: cannot open " << options.formatsFile << ": "
                      << std::strerror(errno) << '\n';
            return 2;
        }
        std::string text;
        char chunk[4096];
        for (std::size_t got = 0; (got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0;)
            text.append(chunk, got);
        std::string error;
        if (std::ferror(file.get()) != 0 || !library.addFormats(text, error)) {
            std::cerr << "proxcred-cli: " << options.formatsFile << ": "
                      << (error.empty() ? "cannot read the file" : error) << '\n';
            return 2;
        }
    }
    std::ostream& out = output.stream();
    if (*args.list) return output.finish(cli::wiegandList(library, options.json, out), std::cerr);
    if (*args.encode) {
        const std::pair<CLI::Option*, std::pair<wiegand::FieldKind, std::uint64_t>> given[] = {
            {args.fcOption, {wiegand::FieldKind::FacilityCode, args.fc}},
            {args.cnOption, {wiegand::FieldKind::CardNumber, args.cn}},
            {args.ilOption, {wiegand::FieldKind::IssueLevel, args.il}},
            {args.oemOption, {wiegand::FieldKind::OemCode, args.oem}},
        };
        for (const auto& [option, field] : given) {
            if (option->count() != 0) options.numbers[field.first] = field.second;
        }
        options.out = *wiegand::frameForm(args.out);
        return output.finish(cli::wiegandEncode(library, options, out, std::cerr), std::cerr);
    }
    options.in = *wiegand::frameForm(args.in);
    return output.finish(cli::wiegandDecode(library, options, stdin, out, std::cerr), std::cerr);
}

void addRead(CLI::App& app, proxcred::cli::ReadOptions& options) {
    CLI::App* read = app.add_subcommand(
        "read",
#ifdef PROXCRED_NO_LOCK_READER
        "Not in this build: reading a card from a lock needs the window build (proxcred on Linux)"
#else
        "Read one card through the lock reader on a serial port and print its card data"
#endif
    );
    read->add_option("--port", options.port,
                     "Port number 1 to 9 (devices: see PROXCRED_SERIAL_PORTS)")
        ->check(CLI::Range(1, static_cast<int>(proxcred::kSerialPortCount)))
        ->capture_default_str();
    read->add_option("--timeout", options.timeoutMs, "Wait limit in milliseconds")
        ->check(CLI::Range(1, 32767))
        ->capture_default_str();
    read->add_flag("--split", options.split, "Also split the card data with every card format");
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Input is read as bytes (a CR LF or a Ctrl+Z in a file must not be
    // changed); output stays in text mode and ends its lines in CR LF.
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    CLI::App app{
        "Translates proximity card numbers into prox data and card data back into numbers"};
    app.name("proxcred-cli");
    app.require_subcommand(1, 1);
    EncodeArgs encodeArgs;
    SplitArgs splitArgs;
    addEncode(app, encodeArgs);
    addSplit(app, splitArgs);
    proxcred::cli::ReadOptions readOptions;
    addRead(app, readOptions);
    WiegandArgs wiegandArgs;
    addWiegand(app, wiegandArgs);
    CLI::App* formats = app.add_subcommand("formats", "List the card formats and their limits");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? 0 : 2;
    }

    using namespace proxcred::cli;
    StandardOutput output;
    std::ostream& out = output.stream();
    if (*formats) {
        listFormats(out);
        return output.finish(0, std::cerr);
    }
    if (app.got_subcommand("wiegand")) return runWiegand(wiegandArgs, output);
    if (app.got_subcommand("read")) return readCommand(argc, argv, readOptions, output, std::cerr);
    if (app.got_subcommand("split")) {
        const SplitStyle style = splitArgs.json ? SplitStyle::JsonLines : SplitStyle::Table;
        return output.finish(splitCommand(splitArgs.cardData, stdin, style, out, std::cerr),
                             std::cerr);
    }
    if (encodeArgs.csvPath.empty()) {
        return output.finish(
            encodeHotstamps(encodeArgs.key, encodeArgs.facility, encodeArgs.version,
                            encodeArgs.hotstamps, out, std::cerr),
            std::cerr);
    }
    const FilePtr input = openInput(encodeArgs.csvPath);
    if (!input) {
        std::cerr << "proxcred-cli: cannot open " << encodeArgs.csvPath << ": "
                  << std::strerror(errno) << '\n';
        return 2;
    }
    return output.finish(encodeCsv(input.get(), out, std::cerr), std::cerr);
}
