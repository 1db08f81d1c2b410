#include "platform/Profile.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace brx::platform {

int parseProfileInt(const std::string& text, int fallback) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    const std::string trimmed = text.substr(begin, end - begin);
    if (trimmed.empty()) return fallback;

    const bool hex = trimmed.size() > 2 && trimmed[0] == '0' && (trimmed[1] == 'x' || trimmed[1] == 'X');
    const char* digits = trimmed.c_str() + (hex ? 2 : 0);
    char* stop = nullptr;
    errno = 0;
    const long long value = std::strtoll(digits, &stop, hex ? 16 : 10);
    if (stop == digits || *stop != '\0' || errno == ERANGE) return fallback;
    return static_cast<int>(value);
}

}  // namespace brx::platform
