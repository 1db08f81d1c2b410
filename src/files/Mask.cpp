#include "files/Mask.h"

#include <cctype>

namespace brx::files {
namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

// Matches one "[...]" set at the start of `mask` against `c`; returns the length of the set
// text, or 0 when the set is not closed (then "[" is an ordinary character).
std::size_t MatchSet(std::string_view mask, char c, bool* matched) {
    std::size_t i = 1;
    bool negate = false;
    if (i < mask.size() && (mask[i] == '!' || mask[i] == '^')) {
        negate = true;
        ++i;
    }
    bool found = false;
    bool first = true;
    for (; i < mask.size(); ++i) {
        if (mask[i] == ']' && !first) {
            *matched = found != negate;
            return i + 1;
        }
        first = false;
        char low = Upper(mask[i]);
        char high = low;
        if (i + 2 < mask.size() && mask[i + 1] == '-' && mask[i + 2] != ']') {
            high = Upper(mask[i + 2]);
            i += 2;
        }
        if (Upper(c) >= low && Upper(c) <= high) found = true;
    }
    return 0;
}

}  // namespace

bool MatchesMask(std::string_view mask, std::string_view text) {
    // Iterative matcher with one backtrack point for the last "*": linear in practice and
    // without recursion on long paths.
    std::size_t m = 0, t = 0;
    std::size_t starMask = std::string_view::npos, starText = 0;
    while (t < text.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starText = t;
            continue;
        }
        if (m < mask.size()) {
            if (mask[m] == '?') {
                ++m;
                ++t;
                continue;
            }
            if (mask[m] == '[') {
                bool matched = false;
                std::size_t length = MatchSet(mask.substr(m), text[t], &matched);
                if (length > 0) {
                    if (matched) {
                        m += length;
                        ++t;
                        continue;
                    }
                } else if (text[t] == '[') {
                    ++m;
                    ++t;
                    continue;
                }
            } else if (Upper(mask[m]) == Upper(text[t])) {
                ++m;
                ++t;
                continue;
            }
        }
        if (starMask == std::string_view::npos) return false;
        m = starMask + 1;
        t = ++starText;
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

std::string UpperCase(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = Upper(c);
    return result;
}

std::string FolderPart(std::string_view path) {
    std::size_t slash = path.rfind('\\');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string NamePart(std::string_view path) {
    std::size_t slash = path.rfind('\\');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace brx::files
