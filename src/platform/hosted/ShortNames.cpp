#include "platform/hosted/ShortNames.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <set>

#include "platform/hosted/WindowsPath.h"

namespace brx::platform::hosted {

namespace {

bool isShortNameChar(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return true;
    if (c >= 'a' && c <= 'z') return true;
    if (c >= '0' && c <= '9') return true;
    return std::string_view("$%'-_@~`!(){}^#&").find(static_cast<char>(c)) !=
           std::string_view::npos;
}

// Upper-cases a part of a long name for its alias: blanks and dots go, characters DOS does not
// allow (and every non-ASCII character) become '_'.
std::string aliasPart(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == ' ' || c == '.') continue;
        if (c >= 0x80) {
            // One '_' per UTF-8 sequence.
            while (i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80)
                ++i;
            out += '_';
        } else if (isShortNameChar(c)) {
            out += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        } else {
            out += '_';
        }
    }
    return out;
}

struct AliasBasis {
    std::string base;  // at most six characters
    std::string extension;
};

AliasBasis basisOf(std::string_view name) {
    std::size_t start = name.find_first_not_of('.');
    if (start == std::string_view::npos) start = name.size();
    std::string_view body = name.substr(start);
    const auto dot = body.find_last_of('.');
    AliasBasis basis;
    basis.base = aliasPart(dot == std::string_view::npos ? body : body.substr(0, dot));
    if (dot != std::string_view::npos)
        basis.extension = aliasPart(body.substr(dot + 1)).substr(0, 3);
    if (basis.base.empty()) basis.base = "_";
    basis.base.resize(std::min<std::size_t>(basis.base.size(), 6));
    return basis;
}

std::string aliasWithNumber(const AliasBasis& basis, int number) {
    const std::string tail = "~" + std::to_string(number);
    std::string alias = basis.base.substr(0, std::min(basis.base.size(), 8 - tail.size())) + tail;
    if (!basis.extension.empty()) alias += "." + basis.extension;
    return alias;
}

bool globMatch(std::string_view name, std::string_view mask) {
    std::size_t n = 0, m = 0, starMask = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || mask[m] == name[n])) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && (mask[m] == '*' || mask[m] == '?')) ++m;
    return m == mask.size();
}

}  // namespace

bool isValidShortName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    const auto dot = name.find('.');
    const std::string_view base = name.substr(0, dot);
    const std::string_view extension =
        dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || extension.size() > 3) return false;
    if (dot != std::string_view::npos && extension.empty()) return false;
    auto valid = [](std::string_view part) {
        return std::all_of(part.begin(), part.end(),
                           [](char c) { return isShortNameChar(static_cast<unsigned char>(c)); });
    };
    return valid(base) && valid(extension);
}

std::vector<std::string> assignShortNames(
    const std::vector<std::string>& names,
    const std::function<CreationKey(std::size_t)>& creationOrder) {
    std::vector<std::string> aliases(names.size());
    std::set<std::string> taken;
    std::vector<std::size_t> needing;
    std::vector<AliasBasis> bases(names.size());
    std::map<std::string, int> competitors;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (isValidShortName(names[i])) {
            taken.insert(foldCase(names[i]));
            continue;
        }
        needing.push_back(i);
        bases[i] = basisOf(names[i]);
        ++competitors[bases[i].base + "." + bases[i].extension];
    }

    std::vector<CreationKey> order(names.size());
    for (std::size_t i : needing)
        if (competitors[bases[i].base + "." + bases[i].extension] > 1) order[i] = creationOrder(i);
    std::sort(needing.begin(), needing.end(), [&](std::size_t a, std::size_t b) {
        if (order[a] != order[b]) return order[a] < order[b];
        return names[a] < names[b];
    });

    // Each basis remembers its last number, so a directory of thousands of similar names is
    // numbered in one pass.
    std::map<std::string, int> lastNumber;
    for (std::size_t i : needing) {
        int& number = lastNumber[bases[i].base + "." + bases[i].extension];
        for (;;) {
            std::string alias = aliasWithNumber(bases[i], ++number);
            if (taken.insert(alias).second) {
                aliases[i] = std::move(alias);
                break;
            }
        }
    }
    return aliases;
}

bool matchesMask(std::string_view name, std::string_view mask) {
    if (mask.empty() || mask == "*" || mask == "*.*") return true;
    const std::string foldedName = foldCase(name);
    std::string foldedMask = foldCase(mask);
    if (foldedMask.back() == '.') {
        foldedMask.pop_back();
        return foldedName.find('.') == std::string::npos && globMatch(foldedName, foldedMask);
    }
    if (globMatch(foldedName, foldedMask)) return true;
    // "name.*" also matches "name".
    if (foldedMask.size() >= 2 && foldedMask.compare(foldedMask.size() - 2, 2, ".*") == 0)
        return globMatch(foldedName, std::string_view(foldedMask).substr(0, foldedMask.size() - 2));
    return false;
}

}  // namespace brx::platform::hosted
