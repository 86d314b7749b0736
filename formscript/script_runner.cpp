#include "formscript/script_runner.h"

#include <charconv>

#include "form/form_dump.h"
#include "text/words.h"

namespace proxcred {
namespace {

// Script text shown on a terminal must not drive it: control characters
// are written as \xNN.
std::string escaped(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            shown.append("\\x").push_back(kHex[byte >> 4]);
            shown.push_back(kHex[byte & 0xF]);
        } else {
            shown.push_back(c);
        }
    }
    return shown;
}

std::optional<int> wholeNumber(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

ScriptRunner::ScriptRunner(std::ostream& out, std::ostream& err)
    : out_(out),
      err_(err),
      platform_([this](const std::string& line) { out_ << escaped(line) << '\n'; }) {}

ScriptRunner::~ScriptRunner() = default;

int ScriptRunner::run(std::istream& script) {
    bool understood = true;
    std::string line;
    // Once the output cannot be written, nothing more is run.
    for (std::size_t number = 1; out_ && std::getline(script, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        understood = runLine(line, number) && understood;
    }
    return understood ? 0 : 1;
}

bool ScriptRunner::runLine(std::string_view line, std::size_t lineNumber) {
    if (line.empty() || line.front() == '#') return true;
    const auto [command, rest] = firstWord(line);
    failure_.clear();
    if (runCommand(command, rest)) return true;
    err_ << "line " << lineNumber << ": " << escaped(failure_) << '\n';
    return false;
}

bool ScriptRunner::fail(std::string message) {
    failure_ = std::move(message);
    return false;
}

template <class Kind>
Kind* ScriptRunner::control(std::string_view name, ControlKind kind) {
    Control* found = form_->findControl(name);
    if (found == nullptr || found->kind() != kind) return nullptr;
    return static_cast<Kind*>(found);
}

bool ScriptRunner::runCommand(std::string_view command, std::string_view rest) {
    if (command == "clipboard") {
        platform_.clipboard.content = std::string(rest);
        return true;
    }
    if (command == "ports") return portsCommand(rest);
    if (command == "modifiers") return modifiersCommand(rest);
    if (command == "reader") return readerCommand(rest);
    const FormCommand* formCommand = findFormCommand(command);
    if (command != "load" && formCommand == nullptr)
        return fail("unknown command '" + std::string(command) + "'");
    if (command == "load") {
        if (form_) return fail("the form is already loaded");
        form_ = std::make_unique<frmCorvel>(platform_.platform);
        form_->Form_Load();
        form_->activate();
        return true;
    }
    if (!form_) return fail("no form loaded: '" + std::string(command) + "' needs 'load' first");
    if (form_->unloaded()) return fail("the form has unloaded");
    return (this->*formCommand->run)(command, rest);
}

// The commands that work on a loaded form.
const std::vector<ScriptRunner::FormCommand>& ScriptRunner::formCommands() {
    static const std::vector<FormCommand> kCommands{
        {"dump", &ScriptRunner::dumpCommand},     {"close", &ScriptRunner::closeCommand},
        {"page", &ScriptRunner::pageCommand},     {"type", &ScriptRunner::textCommand},
        {"settext", &ScriptRunner::textCommand},  {"key", &ScriptRunner::textCommand},
        {"select", &ScriptRunner::selectCommand}, {"focus", &ScriptRunner::focusCommand},
        {"click", &ScriptRunner::clickCommand},
    };
    return kCommands;
}

const ScriptRunner::FormCommand* ScriptRunner::findFormCommand(std::string_view name) {
    for (const FormCommand& command : formCommands()) {
        if (command.name == name) return &command;
    }
    return nullptr;
}

bool ScriptRunner::dumpCommand(std::string_view /*command*/, std::string_view /*rest*/) {
    for (const std::string& line : dumpForm(*form_)) out_ << line << '\n';
    return true;
}

bool ScriptRunner::closeCommand(std::string_view /*command*/, std::string_view /*rest*/) {
    form_->close();
    return true;
}

bool ScriptRunner::pageCommand(std::string_view /*command*/, std::string_view rest) {
    const std::optional<int> page = wholeNumber(rest);
    if (!page || *page < 0 || *page > 1) return fail("page takes 0 or 1");
    form_->showPage(*page);
    return true;
}

// type, settext and key: BOX TEXT.
bool ScriptRunner::textCommand(std::string_view command, std::string_view rest) {
    const auto [name, text] = firstWord(rest);
    TextBox* box = control<TextBox>(name, ControlKind::TextBox);
    if (box == nullptr) return fail("no text box named '" + std::string(name) + "'");
    if (command == "type") {
        form_->typeText(*box, text);
    } else if (command == "settext") {
        form_->pasteText(*box, text);
    } else if (text == "Enter") {
        form_->pressEnter(*box);
    } else {
        return fail("key takes Enter");
    }
    return true;
}

bool ScriptRunner::selectCommand(std::string_view /*command*/, std::string_view rest) {
    const auto [name, text] = firstWord(rest);
    ComboBox* combo = control<ComboBox>(name, ControlKind::ComboBox);
    if (combo == nullptr) return fail("no combo box named '" + std::string(name) + "'");
    form_->selectComboEntry(*combo, text);
    return true;
}

bool ScriptRunner::focusCommand(std::string_view /*command*/, std::string_view rest) {
    Control* target = form_->findControl(rest);
    if (target == nullptr) return fail("no control named '" + std::string(rest) + "'");
    form_->setFocus(*target);
    return true;
}

bool ScriptRunner::clickCommand(std::string_view /*command*/, std::string_view rest) {
    Control* target = form_->findControl(rest);
    if (target == nullptr) return fail("no control named '" + std::string(rest) + "'");
    form_->click(*target);
    // The keys were held for this click only.
    platform_.keys.ctrl = false;
    platform_.keys.shift = false;
    return true;
}

bool ScriptRunner::portsCommand(std::string_view rest) {
    platform_.serialPort.openable.clear();
    while (!rest.empty()) {
        const auto [word, remaining] = firstWord(rest);
        const std::optional<int> port = wholeNumber(word);
        if (!port) return fail("ports takes port numbers");
        platform_.serialPort.openable.insert(*port);
        rest = remaining;
    }
    return true;
}

bool ScriptRunner::modifiersCommand(std::string_view rest) {
    platform_.keys.ctrl = rest == "ctrl";
    platform_.keys.shift = rest == "shift";
    if (rest != "ctrl" && rest != "shift" && rest != "none") {
        return fail("modifiers takes ctrl, shift or none");
    }
    return true;
}

bool ScriptRunner::readerCommand(std::string_view rest) {
    using Reader = fakes::FakeCardReader;
    auto& reader = platform_.cardReader;
    const auto [outcome, text] = firstWord(rest);
    if (outcome == "ok") {
        reader.queued.push_back({Reader::kOK, std::string(text)});
    } else if (outcome == "timeout") {
        reader.queued.push_back({Reader::kTimeout, {}});
    } else if (outcome == "cancel") {
        reader.queued.push_back({Reader::kCancelled, {}});
    } else if (outcome == "testok") {
        reader.queued.push_back({Reader::kOK, {}, 0, {}, std::string(text)});
    } else if (outcome == "info") {
        reader.infoText = std::string(text);
    } else if (outcome == "error") {
        const auto [code, errorText] = firstWord(text);
        const std::optional<int> errorCode = wholeNumber(code);
        if (!errorCode) return fail("reader error takes a code and a text");
        reader.queued.push_back({Reader::kError, {}, *errorCode, std::string(errorText)});
    } else {
        return fail("reader takes ok, timeout, cancel, error, testok or info");
    }
    return true;
}

}  // namespace proxcred
