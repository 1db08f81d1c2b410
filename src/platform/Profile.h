// INI files with the semantics of GetPrivateProfileStringA / WritePrivateProfileStringA:
// section and key names compare without regard to case, a read removes blanks around the value
// and one pair of enclosing double quotes, a key present with an empty value reads as "", and
// every write reaches the file at once. Files hold ANSI text; strings here are UTF-8.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace brx::platform {

class Profile {
public:
    virtual ~Profile() = default;

    // The value, or nullopt when the section or key is missing.
    virtual std::optional<std::string> read(const std::string& file, const std::string& section,
                                            const std::string& key) = 0;
    std::string readString(const std::string& file, const std::string& section,
                           const std::string& key, const std::string& fallback) {
        auto value = read(file, section, key);
        return value ? *value : fallback;
    }
    // Writes one key; false when the file cannot be written.
    virtual bool write(const std::string& file, const std::string& section, const std::string& key,
                       const std::string& value) = 0;
    virtual bool deleteKey(const std::string& file, const std::string& section,
                           const std::string& key) = 0;
    virtual bool deleteSection(const std::string& file, const std::string& section) = 0;
    // Names in file order, as stored.
    virtual std::vector<std::string> sections(const std::string& file) = 0;
    virtual std::vector<std::string> keys(const std::string& file, const std::string& section) = 0;
};

// Integer reading rule shared by every INI reader: blanks trimmed, "0x"/"0X" hexadecimal,
// otherwise decimal with an optional sign; anything else yields the fallback.
int parseProfileInt(const std::string& text, int fallback);

}  // namespace brx::platform
