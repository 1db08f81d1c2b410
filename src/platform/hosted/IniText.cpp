#include "platform/hosted/IniText.h"

#include <cctype>

namespace brx::platform::hosted {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// "[name]" → name; nullopt for any other line.
std::optional<std::string> sectionName(std::string_view line) {
    const std::string trimmed = trimBlanks(line);
    if (trimmed.size() < 2 || trimmed.front() != '[') return std::nullopt;
    const auto close = trimmed.find(']');
    if (close == std::string::npos) return std::nullopt;
    return trimBlanks(std::string_view(trimmed).substr(1, close - 1));
}

struct KeyLine {
    std::string key;
    std::string value;
};

// "key = value" → both trimmed; comments and lines without '=' are not keys.
std::optional<KeyLine> keyLine(std::string_view line) {
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    std::string key = trimBlanks(line.substr(0, equals));
    if (key.empty() || key.front() == ';') return std::nullopt;
    return KeyLine{std::move(key), trimBlanks(line.substr(equals + 1))};
}

}  // namespace

std::string trimBlanks(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    return std::string(text.substr(begin, end - begin));
}

std::string unquote(std::string_view text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return std::string(text.substr(1, text.size() - 2));
    return std::string(text);
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::string toUpperAscii(std::string_view text) {
    std::string out(text);
    for (auto& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string toLowerAscii(std::string_view text) {
    std::string out(text);
    for (auto& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

IniText IniText::parse(std::string_view text) {
    IniText ini;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        ini.lines_.emplace_back(line);
        start = end + 1;
    }
    return ini;
}

std::string IniText::serialize() const {
    std::string out;
    for (const auto& line : lines_) {
        out += line;
        out += "\r\n";
    }
    return out;
}

std::optional<IniText::Range> IniText::findSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        auto name = sectionName(lines_[i]);
        if (!name || !equalsNoCase(*name, section)) continue;
        std::size_t end = i + 1;
        while (end < lines_.size() && !sectionName(lines_[end])) ++end;
        return Range{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> IniText::findKey(const Range& range, std::string_view key) const {
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        auto entry = keyLine(lines_[i]);
        if (entry && equalsNoCase(entry->key, key)) return i;
    }
    return std::nullopt;
}

std::optional<std::string> IniText::value(std::string_view section, std::string_view key) const {
    auto range = findSection(section);
    if (!range) return std::nullopt;
    auto line = findKey(*range, key);
    if (!line) return std::nullopt;
    return keyLine(lines_[*line])->value;
}

void IniText::setValue(std::string_view section, std::string_view key, std::string_view value) {
    std::string line = std::string(key) + "=" + std::string(value);
    auto range = findSection(section);
    if (!range) {
        if (!lines_.empty() && !trimBlanks(lines_.back()).empty()) lines_.emplace_back();
        lines_.push_back("[" + std::string(section) + "]");
        lines_.push_back(std::move(line));
        return;
    }
    if (auto existing = findKey(*range, key)) {
        // The stored spelling of the key stays; only its value changes.
        lines_[*existing] = keyLine(lines_[*existing])->key + "=" + std::string(value);
        return;
    }
    // A new key goes after the section's last non-blank line, before the blank line that
    // usually separates it from the next section.
    std::size_t insertAt = range->end;
    while (insertAt > range->header + 1 && trimBlanks(lines_[insertAt - 1]).empty()) --insertAt;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(line));
}

bool IniText::removeKey(std::string_view section, std::string_view key) {
    auto range = findSection(section);
    if (!range) return false;
    auto line = findKey(*range, key);
    if (!line) return false;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*line));
    return true;
}

bool IniText::removeSection(std::string_view section) {
    auto range = findSection(section);
    if (!range) return false;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(range->header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(range->end));
    return true;
}

std::vector<std::string> IniText::sections() const {
    std::vector<std::string> names;
    for (const auto& line : lines_)
        if (auto name = sectionName(line)) names.push_back(*name);
    return names;
}

std::vector<std::string> IniText::keys(std::string_view section) const {
    std::vector<std::string> names;
    for (auto& entry : entries(section)) names.push_back(std::move(entry.first));
    return names;
}

std::vector<std::pair<std::string, std::string>> IniText::entries(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> result;
    auto range = findSection(section);
    if (!range) return result;
    for (std::size_t i = range->header + 1; i < range->end; ++i)
        if (auto entry = keyLine(lines_[i])) result.emplace_back(entry->key, entry->value);
    return result;
}

}  // namespace brx::platform::hosted
