#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/text_sink.h"
#include "em4100/em4100.h"
#include "wiegand/library.h"

namespace proxcred::cli {

// What `em` writes of each ID.
enum class EmOutput : std::uint8_t { Every, OneForm, Flipper, Pm3 };

struct EmOptions {
    std::optional<em4100::Form> in = em4100::Form::Id;  // nullopt: Flipper key files
    EmOutput output = EmOutput::Every;
    em4100::Form outForm = em4100::Form::Id;  // for EmOutput::OneForm
    bool json = false;
    std::vector<std::string> values;  // IDs, or key files; none: standard input
};

// Every value (or line of `in`; Flipper files named, or `in`) as the EM4100
// ID it tells of, in every form (a table or JSON, bytes not known marked) or
// in one. Exit 1 when a value is not of its form or a form asked for needs a
// byte it does not tell, 2 when a file named cannot be read.
int emCommand(const wiegand::Library& library, const EmOptions& options, std::FILE* in,
              TextSink& out, TextSink& err);

}  // namespace proxcred::cli
