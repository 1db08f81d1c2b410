// The two 8-bit code pages of the machine: ANSI (Windows-1252) and OEM (437). Strings inside
// the program are UTF-8; these convert at the edges where Windows would use the 8-bit forms.
#pragma once

#include <optional>
#include <string>

namespace brx::platform {

// UTF-8 to ANSI / OEM bytes; nullopt when a character has no form in that code page.
std::optional<std::string> utf8ToAnsi(const std::string& text);
std::optional<std::string> utf8ToOem(const std::string& text);
// ANSI / OEM bytes to UTF-8 (every byte has a form).
std::string ansiToUtf8(const std::string& bytes);
std::string oemToUtf8(const std::string& bytes);

}  // namespace brx::platform
