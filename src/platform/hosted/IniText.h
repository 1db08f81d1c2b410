// The text of one INI file held as lines, with the lookup rules of Windows profile files:
// section and key names compare without regard to case, the first section and the first key of
// a name win, blanks around names and values do not count, and a line that is neither a section
// header nor "key=value" is kept as it is. Edits change only the lines they concern, so comments
// and the order of everything else survive a write.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brx::platform::hosted {

class IniText {
  public:
    IniText() = default;
    // Splits at LF; a CR before it is dropped.
    static IniText parse(std::string_view text);
    // Lines joined with CR LF, as Windows writes profile files.
    std::string serialize() const;

    // The raw value after '=' with blanks trimmed; quotes are the reader's business.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    void setValue(std::string_view section, std::string_view key, std::string_view value);
    bool removeKey(std::string_view section, std::string_view key);
    bool removeSection(std::string_view section);
    std::vector<std::string> sections() const;
    std::vector<std::string> keys(std::string_view section) const;
    // Every "key=value" of a section, in file order (value trimmed, quotes kept).
    std::vector<std::pair<std::string, std::string>> entries(std::string_view section) const;
    bool hasSection(std::string_view section) const { return findSection(section).has_value(); }

  private:
    struct Range {
        std::size_t header;  // line of "[name]"
        std::size_t end;     // one past the section's last line
    };
    std::optional<Range> findSection(std::string_view section) const;
    std::optional<std::size_t> findKey(const Range& range, std::string_view key) const;

    std::vector<std::string> lines_;
};

// Profile-value helpers shared by every INI reader.
std::string trimBlanks(std::string_view text);
// Removes one pair of enclosing double quotes.
std::string unquote(std::string_view text);
bool equalsNoCase(std::string_view a, std::string_view b);
std::string toUpperAscii(std::string_view text);
std::string toLowerAscii(std::string_view text);

}  // namespace brx::platform::hosted
