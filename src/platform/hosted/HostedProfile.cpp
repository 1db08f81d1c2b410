#include "platform/hosted/HostedProfile.h"

#include "platform/CodePage.h"

namespace brx::platform::hosted {

namespace {

std::size_t utf8SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

// Profile files written by Unicode programs start with a UTF-16LE byte-order mark.
std::string decodeProfileText(const std::string& bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::string out;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            unsigned code = static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
            if (code < 0x80) {
                out += static_cast<char>(code);
            } else if (code < 0x800) {
                out += static_cast<char>(0xC0 | (code >> 6));
                out += static_cast<char>(0x80 | (code & 0x3F));
            } else {
                out += static_cast<char>(0xE0 | (code >> 12));
                out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (code & 0x3F));
            }
        }
        return out;
    }
    return ansiToUtf8(bytes);
}

}  // namespace

std::string utf8ToAnsiLossy(const std::string& text) {
    if (auto whole = utf8ToAnsi(text)) return *whole;
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = std::min(utf8SequenceLength(static_cast<unsigned char>(text[i])), text.size() - i);
        auto one = utf8ToAnsi(text.substr(i, length));
        out += one ? *one : "?";
        i += length;
    }
    return out;
}

std::string HostedProfile::fullPath(const std::string& file) {
    if (file.find_first_of("\\/:") == std::string::npos) return system_.windowsDirectory() + "\\" + file;
    return file;
}

std::optional<IniText> HostedProfile::load(const std::string& path, bool* exists) {
    *exists = false;
    OpenResult opened = files_.open(path, OpenMode::Read);
    if (!opened.file) {
        if (opened.error == kErrorFileNotFound) return IniText();
        return std::nullopt;
    }
    *exists = true;
    std::string bytes;
    char buffer[65536];
    while (const std::size_t got = opened.file.read(buffer, sizeof buffer)) bytes.append(buffer, got);
    if (opened.file.lastError() != kErrorSuccess) return std::nullopt;
    return IniText::parse(decodeProfileText(bytes));
}

bool HostedProfile::store(const std::string& path, const IniText& ini, bool existed) {
    std::uint32_t attributes = 0;
    if (existed) {
        attributes = files_.getAttributes(path);
        if (attributes != kInvalidAttributes && (attributes & kAttrReadOnly)) return false;
    }
    const std::string directory = windowsParent(path);
    const std::string bytes = utf8ToAnsiLossy(ini.serialize());

    std::string temporary;
    File file;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        temporary = directory + (directory.back() == '\\' ? "" : "\\") + "~brx" + std::to_string(attempt) + ".tmp";
        OpenResult opened = files_.open(temporary, OpenMode::CreateNew);
        if (opened.file) file = std::move(opened.file);
        else if (opened.error != kErrorFileExists) return false;
    }
    if (!file) return false;
    const bool written = file.write(bytes.data(), bytes.size()) && file.flush();
    file.close();
    const ErrorCode moved = written ? files_.replaceFile(temporary, path) : kErrorWriteFault;
    if (moved != kErrorSuccess) {
        files_.deleteFile(temporary);
        return false;
    }
    if (existed && attributes != kInvalidAttributes && (attributes & (kAttrHidden | kAttrSystem)))
        files_.setAttributes(path, (attributes & (kAttrHidden | kAttrSystem)) | kAttrArchive);
    return true;
}

std::optional<std::string> HostedProfile::read(const std::string& file, const std::string& section,
                                               const std::string& key) {
    bool exists = false;
    auto ini = load(fullPath(file), &exists);
    if (!ini) return std::nullopt;
    auto value = ini->value(section, key);
    if (!value) return std::nullopt;
    return unquote(*value);
}

bool HostedProfile::write(const std::string& file, const std::string& section, const std::string& key,
                          const std::string& value) {
    const std::string path = fullPath(file);
    bool exists = false;
    auto ini = load(path, &exists);
    if (!ini) return false;
    ini->setValue(section, key, value);
    return store(path, *ini, exists);
}

bool HostedProfile::deleteKey(const std::string& file, const std::string& section, const std::string& key) {
    const std::string path = fullPath(file);
    bool exists = false;
    auto ini = load(path, &exists);
    if (!ini) return false;
    if (!ini->removeKey(section, key)) return true;
    return store(path, *ini, exists);
}

bool HostedProfile::deleteSection(const std::string& file, const std::string& section) {
    const std::string path = fullPath(file);
    bool exists = false;
    auto ini = load(path, &exists);
    if (!ini) return false;
    if (!ini->removeSection(section)) return true;
    return store(path, *ini, exists);
}

std::vector<std::string> HostedProfile::sections(const std::string& file) {
    bool exists = false;
    auto ini = load(fullPath(file), &exists);
    return ini ? ini->sections() : std::vector<std::string>();
}

std::vector<std::string> HostedProfile::keys(const std::string& file, const std::string& section) {
    bool exists = false;
    auto ini = load(fullPath(file), &exists);
    return ini ? ini->keys(section) : std::vector<std::string>();
}

}  // namespace brx::platform::hosted
