// proxcred-formscript: replays a scenario against the translator form with
// fake clipboard, ports and card reader, and prints what happens.
#include <fstream>
#include <iostream>

#include "script_runner.h"

int main(int argc, char** argv) {
    if (argc > 2 || (argc == 2 && (std::string_view(argv[1]) == "-h" ||
                                   std::string_view(argv[1]) == "--help"))) {
        std::cerr << "usage: proxcred-formscript [SCRIPT]   (standard input without SCRIPT)\n";
        return 2;
    }
    proxcred::ScriptRunner runner(std::cout, std::cerr);
    if (argc == 1) return runner.run(std::cin);
    std::ifstream script(argv[1]);
    if (!script) {
        std::cerr << "proxcred-formscript: cannot open " << argv[1] << '\n';
        return 2;
    }
    return runner.run(script);
}
