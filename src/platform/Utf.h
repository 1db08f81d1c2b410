// UTF-8 and UTF-16, for the places where Windows stores text in UTF-16LE (registry strings, shell
// links, Unicode profile files). Invalid sequences do not stop a conversion: a stray byte stands
// for itself, as Latin-1.
#pragma once

#include <string>

namespace brx::platform {

void appendUtf8(std::string& out, char32_t code);
std::u16string utf8ToUtf16(const std::string& text);
std::string utf16ToUtf8(const std::u16string& text);

}  // namespace brx::platform
