// UTF-8 and UTF-16, for the places where Windows stores text in UTF-16LE (shell links, Unicode
// profile files). Invalid sequences do not stop a conversion.
#pragma once

#include <string>

namespace brx::platform::hosted {

std::u16string utf8ToUtf16(const std::string& text);
std::string utf16ToUtf8(const std::u16string& text);

}  // namespace brx::platform::hosted
