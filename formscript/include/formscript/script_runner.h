#pragma once

#include <cstddef>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "fakes/fake_platform.h"
#include "form/frm_corvel.h"

namespace proxcred {

// Runs a form against fakes from a script, one command a line, and prints
// what happens: "message: TEXT", "clipboard: TEXT", "unloaded", and the
// property lines of "dump". Lines starting with "#" are comments.
class ScriptRunner {
  public:
    ScriptRunner(std::ostream& out, std::ostream& err);
    ~ScriptRunner();

    // Exit status: 0 when every line was understood, 1 otherwise.
    int run(std::istream& script);
    // False (and a report on the error stream) when the line was not understood.
    bool runLine(std::string_view line, std::size_t lineNumber);

    frmCorvel* form() { return form_.get(); }
    fakes::FakePlatform& platform() { return platform_; }

  private:
    bool runCommand(std::string_view command, std::string_view rest);
    // A command on the loaded form: its name and what runs it (with the
    // command's name and the rest of the line).
    struct FormCommand {
        std::string_view name;
        bool (ScriptRunner::*run)(std::string_view command, std::string_view rest);
    };
    static const std::vector<FormCommand>& formCommands();
    static const FormCommand* findFormCommand(std::string_view name);
    bool dumpCommand(std::string_view command, std::string_view rest);
    bool closeCommand(std::string_view command, std::string_view rest);
    bool pageCommand(std::string_view command, std::string_view rest);
    bool textCommand(std::string_view command, std::string_view rest);
    bool selectCommand(std::string_view command, std::string_view rest);
    bool focusCommand(std::string_view command, std::string_view rest);
    bool clickCommand(std::string_view command, std::string_view rest);
    bool readerCommand(std::string_view rest);
    bool modifiersCommand(std::string_view rest);
    bool portsCommand(std::string_view rest);
    template <class Kind>
    Kind* control(std::string_view name, ControlKind kind);
    bool fail(std::string message);

    std::ostream& out_;
    std::ostream& err_;
    std::string failure_;
    fakes::FakePlatform platform_;
    std::unique_ptr<frmCorvel> form_;
};

}  // namespace proxcred
