#include "zip/Mask.h"

#include <cctype>

namespace brx::zip {

namespace {

char fold(char c)
{
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Matches one character against the set that starts after "<" at mask[pos]; sets `end` to the
// position after ">". A set without its closing ">" is taken literally as "<".
bool matchSet(std::string_view mask, std::size_t pos, char c, std::size_t& end, bool& valid)
{
    const std::size_t close = mask.find('>', pos);
    if (close == std::string_view::npos) {
        valid = false;
        end = pos;
        return c == '<';
    }
    valid = true;
    end = close + 1;
    std::size_t i = pos;
    bool negate = false;
    if (i < close && (mask[i] == '^' || mask[i] == '!')) {
        negate = true;
        ++i;
    }
    const char folded = fold(c);
    bool found = false;
    for (; i < close; ++i) {
        if (i + 2 < close && mask[i + 1] == '-') {
            const char low = fold(mask[i]);
            const char high = fold(mask[i + 2]);
            if (folded >= low && folded <= high)
                found = true;
            i += 2;
        } else if (fold(mask[i]) == folded) {
            found = true;
        }
    }
    return found != negate;
}

}  // namespace

bool MatchWildcard(std::string_view mask, std::string_view text, FinalStar finalStar)
{
    // Iterative matcher with one backtracking point for the last "*" seen.
    std::size_t m = 0, t = 0;
    std::size_t starMask = std::string_view::npos, starText = 0;
    while (t < text.size()) {
        if (m < mask.size() && mask[m] == '*') {
            if (m + 1 == mask.size() && finalStar == FinalStar::StaysInFolder)
                return text.find('\\', t) == std::string_view::npos;
            starMask = m++;
            starText = t;
            continue;
        }
        if (m < mask.size()) {
            bool ok = false;
            std::size_t next = m + 1;
            if (mask[m] == '?') {
                ok = true;
            } else if (mask[m] == '<') {
                bool valid = false;
                ok = matchSet(mask, m + 1, text[t], next, valid);
                if (!valid)
                    next = m + 1;
            } else {
                ok = fold(mask[m]) == fold(text[t]);
            }
            if (ok) {
                m = next;
                ++t;
                continue;
            }
        }
        if (starMask == std::string_view::npos)
            return false;
        m = starMask + 1;
        t = ++starText;
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

bool MatchListMask(std::string_view listMask, std::string_view fullPath)
{
    FinalStar finalStar = FinalStar::CrossesFolders;
    if (!listMask.empty() && (listMask[0] == '>' || listMask[0] == '|')) {
        if (listMask[0] == '|')
            finalStar = FinalStar::StaysInFolder;
        listMask.remove_prefix(1);
    }
    if (listMask.find('\\') != std::string_view::npos)
        return MatchWildcard(listMask, fullPath, finalStar);
    const std::size_t slash = fullPath.rfind('\\');
    const std::string_view name = slash == std::string_view::npos ? fullPath : fullPath.substr(slash + 1);
    return MatchWildcard(listMask, name, finalStar);
}

bool IsMask(std::string_view entry)
{
    return entry.find_first_of("*?<>|") != std::string_view::npos;
}

std::string AsciiLower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = fold(c);
    return out;
}

}  // namespace brx::zip
