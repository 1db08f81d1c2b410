#include "platform/hosted/HostedProfile.h"

#include "platform/CodePage.h"
#include "platform/Utf.h"

namespace brx::platform::hosted {

namespace {

std::size_t utf8SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

// Profile files written by Unicode programs start with a byte-order mark; they are written back
// in the form they came in, so that no character is lost to the ANSI code page.
std::string decodeProfileText(const std::string& bytes, ProfileEncoding* encoding) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        *encoding = ProfileEncoding::Utf16;
        std::u16string wide;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
            wide += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          (static_cast<unsigned char>(bytes[i + 1]) << 8));
        return utf16ToUtf8(wide);
    }
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) {
        *encoding = ProfileEncoding::Utf8;
        return bytes.substr(3);
    }
    *encoding = ProfileEncoding::Ansi;
    return ansiToUtf8(bytes);
}

std::string encodeProfileText(const std::string& text, ProfileEncoding encoding) {
    switch (encoding) {
        case ProfileEncoding::Utf16: {
            std::string bytes = "\xFF\xFE";
            for (char16_t c : utf8ToUtf16(text)) {
                bytes += static_cast<char>(c & 0xFF);
                bytes += static_cast<char>(c >> 8);
            }
            return bytes;
        }
        case ProfileEncoding::Utf8:
            return "\xEF\xBB\xBF" + text;
        case ProfileEncoding::Ansi:
            break;
    }
    return utf8ToAnsiLossy(text);
}

}  // namespace

std::string utf8ToAnsiLossy(const std::string& text) {
    if (auto whole = utf8ToAnsi(text)) return *whole;
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length =
            std::min(utf8SequenceLength(static_cast<unsigned char>(text[i])), text.size() - i);
        auto one = utf8ToAnsi(text.substr(i, length));
        out += one ? *one : "?";
        i += length;
    }
    return out;
}

std::string HostedProfile::fullPath(const std::string& file) {
    if (file.find_first_of("\\/:") == std::string::npos)
        return system_.windowsDirectory() + "\\" + file;
    return file;
}

std::optional<IniText> HostedProfile::load(const std::string& path, bool* exists,
                                           ProfileEncoding* encoding) {
    *exists = false;
    *encoding = ProfileEncoding::Ansi;
    OpenResult opened = files_.open(path, OpenMode::Read);
    if (!opened.file) {
        if (opened.error == kErrorFileNotFound) return IniText();
        return std::nullopt;
    }
    *exists = true;
    std::string bytes;
    char buffer[65536];
    while (const std::size_t got = opened.file.read(buffer, sizeof buffer))
        bytes.append(buffer, got);
    if (opened.file.lastError() != kErrorSuccess) return std::nullopt;
    return IniText::parse(decodeProfileText(bytes, encoding));
}

bool HostedProfile::store(const std::string& path, const IniText& ini, ProfileEncoding encoding) {
    return files_.writeFileAtomically(path, encodeProfileText(ini.serialize(), encoding)) ==
           kErrorSuccess;
}

std::optional<std::string> HostedProfile::read(const std::string& file, const std::string& section,
                                               const std::string& key) {
    bool exists = false;
    ProfileEncoding encoding = ProfileEncoding::Ansi;
    auto ini = load(fullPath(file), &exists, &encoding);
    if (!ini) return std::nullopt;
    auto value = ini->value(section, key);
    if (!value) return std::nullopt;
    return unquote(*value);
}

bool HostedProfile::write(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& value) {
    const std::string path = fullPath(file);
    bool exists = false;
    ProfileEncoding encoding = ProfileEncoding::Ansi;
    auto ini = load(path, &exists, &encoding);
    if (!ini) return false;
    ini->setValue(section, key, value);
    return store(path, *ini, encoding);
}

bool HostedProfile::deleteKey(const std::string& file, const std::string& section,
                              const std::string& key) {
    const std::string path = fullPath(file);
    bool exists = false;
    ProfileEncoding encoding = ProfileEncoding::Ansi;
    auto ini = load(path, &exists, &encoding);
    if (!ini) return false;
    if (!ini->removeKey(section, key)) return true;
    return store(path, *ini, encoding);
}

bool HostedProfile::deleteSection(const std::string& file, const std::string& section) {
    const std::string path = fullPath(file);
    bool exists = false;
    ProfileEncoding encoding = ProfileEncoding::Ansi;
    auto ini = load(path, &exists, &encoding);
    if (!ini) return false;
    if (!ini->removeSection(section)) return true;
    return store(path, *ini, encoding);
}

std::vector<std::string> HostedProfile::sections(const std::string& file) {
    bool exists = false;
    ProfileEncoding encoding = ProfileEncoding::Ansi;
    auto ini = load(fullPath(file), &exists, &encoding);
    return ini ? ini->sections() : std::vector<std::string>();
}

std::vector<std::string> HostedProfile::keys(const std::string& file, const std::string& section) {
    bool exists = false;
    ProfileEncoding encoding = ProfileEncoding::Ansi;
    auto ini = load(fullPath(file), &exists, &encoding);
    return ini ? ini->keys(section) : std::vector<std::string>();
}

}  // namespace brx::platform::hosted
