// Wildcard masks as the file selection uses them: "*" any run of characters (backslashes
// included), "?" any one character, "[...]" one character of a set ("[a-c]", "[!x]").
// Matching ignores the case of ASCII letters.
#pragma once

#include <string>
#include <string_view>

namespace brx::files {

bool MatchesMask(std::string_view mask, std::string_view text);

std::string UpperCase(std::string_view text);

// The folder part of a path, up to and including its last backslash ("" when it has none).
std::string FolderPart(std::string_view path);
// The part after the last backslash.
std::string NamePart(std::string_view path);

}  // namespace brx::files
