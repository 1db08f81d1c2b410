#include "app/brellix/Options.h"

namespace brx::app {

std::optional<Options> ParseOptions(const std::vector<std::string>& arguments, std::string& error)
{
    Options options;
    bool wordsOnly = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (wordsOnly || argument.rfind("--", 0) != 0) {
            options.words.push_back(argument);
            continue;
        }
        if (argument == "--") {
            wordsOnly = true;
        } else if (argument == "--batch") {
            options.batch = true;
        } else if (argument == "--machine" || argument == "--answers") {
            if (i + 1 >= arguments.size()) {
                error = argument + " needs a value";
                return std::nullopt;
            }
            (argument == "--machine" ? options.machine : options.answers) = arguments[++i];
        } else {
            error = "unknown option " + argument;
            return std::nullopt;
        }
    }
    return options;
}

}  // namespace brx::app
