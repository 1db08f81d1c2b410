// The executables' own options, before the program's command-line words.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace brx::app {

struct Options {
    std::string machine;                // --machine DIR (empty: $BRELLIX_MACHINE or the demo)
    bool batch = false;                 // --batch: no window, messages on standard output
    std::string answers;                // --answers FILE: one answer per line for questions
    std::vector<std::string> words;     // the program's own command line
};

// nullopt with `error` set when the options are wrong.
std::optional<Options> ParseOptions(const std::vector<std::string>& arguments, std::string& error);

}  // namespace brx::app
