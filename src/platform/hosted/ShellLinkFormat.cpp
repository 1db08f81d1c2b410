#include "platform/hosted/ShellLinkFormat.h"

#include <array>

#include "platform/CodePage.h"
#include "platform/hosted/HostedProfile.h"
#include "platform/Utf.h"

namespace brx::platform::hosted {

namespace {

constexpr std::uint32_t kHeaderSize = 0x4C;
// {00021401-0000-0000-C000-000000000046} in its stored byte order.
constexpr std::array<std::uint8_t, 16> kLinkClassId = {
    0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

// LinkFlags.
constexpr std::uint32_t kHasLinkTargetIdList = 0x01;
constexpr std::uint32_t kHasLinkInfo = 0x02;
constexpr std::uint32_t kHasName = 0x04;
constexpr std::uint32_t kHasRelativePath = 0x08;
constexpr std::uint32_t kHasWorkingDir = 0x10;
constexpr std::uint32_t kHasArguments = 0x20;
constexpr std::uint32_t kHasIconLocation = 0x40;
constexpr std::uint32_t kIsUnicode = 0x80;

// LinkInfoFlags.
constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x01;

// ShowCommand values of the header.
constexpr std::uint32_t kSwShowNormal = 1;
constexpr std::uint32_t kSwShowMaximized = 3;
constexpr std::uint32_t kSwShowMinNoActive = 7;

// 100-ns intervals between 1601-01-01 and 1970-01-01.
constexpr std::int64_t kFileTimeEpochOffset = 116444736000000000LL;

class Writer {
  public:
    void u16(std::uint16_t value) {
        bytes_ += static_cast<char>(value & 0xFF);
        bytes_ += static_cast<char>(value >> 8);
    }
    void u32(std::uint32_t value) {
        u16(static_cast<std::uint16_t>(value & 0xFFFF));
        u16(static_cast<std::uint16_t>(value >> 16));
    }
    void u64(std::uint64_t value) {
        u32(static_cast<std::uint32_t>(value));
        u32(static_cast<std::uint32_t>(value >> 32));
    }
    void raw(std::string_view data) { bytes_ += data; }
    void zeros(std::size_t count) { bytes_.append(count, '\0'); }
    std::size_t size() const { return bytes_.size(); }
    void patch32(std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes_[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    std::string take() { return std::move(bytes_); }

  private:
    std::string bytes_;
};

class Reader {
  public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    bool has(std::size_t at, std::size_t count) const {
        return at <= bytes_.size() && count <= bytes_.size() - at;
    }
    std::uint16_t u16(std::size_t at) const {
        return static_cast<std::uint16_t>(byte(at) | (byte(at + 1) << 8));
    }
    std::uint32_t u32(std::size_t at) const {
        return static_cast<std::uint32_t>(u16(at)) |
               (static_cast<std::uint32_t>(u16(at + 2)) << 16);
    }
    // A NUL-terminated string of single bytes inside [at, limit).
    std::optional<std::string> cString(std::size_t at, std::size_t limit) const {
        if (limit > bytes_.size() || at >= limit) return std::nullopt;
        const auto end = bytes_.find('\0', at);
        if (end == std::string_view::npos || end >= limit) return std::nullopt;
        return std::string(bytes_.substr(at, end - at));
    }
    // A NUL-terminated UTF-16LE string inside [at, limit).
    std::optional<std::string> wideString(std::size_t at, std::size_t limit) const {
        std::u16string text;
        for (std::size_t i = at; i + 1 < limit && i + 1 < bytes_.size(); i += 2) {
            const char16_t c = u16(i);
            if (c == 0) return utf16ToUtf8(text);
            text += c;
        }
        return std::nullopt;
    }
    std::string_view slice(std::size_t at, std::size_t count) const {
        return bytes_.substr(at, count);
    }

  private:
    unsigned byte(std::size_t at) const { return static_cast<unsigned char>(bytes_[at]); }
    std::string_view bytes_;
};

// StringData: a count of characters, then the characters without a terminator.
void writeStringData(Writer& out, const std::string& text) {
    const std::u16string wide = utf8ToUtf16(text);
    out.u16(static_cast<std::uint16_t>(wide.size()));
    for (char16_t c : wide) out.u16(c);
}

std::uint64_t toFileTime(FileTime time) {
    if (time <= 0) return 0;
    return static_cast<std::uint64_t>(time * 10'000'000LL + kFileTimeEpochOffset);
}

std::string stripQuotes(const std::string& text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    return text;
}

std::uint32_t showCommandOf(ShowWindow show) {
    switch (show) {
        case ShowWindow::Maximized:
            return kSwShowMaximized;
        case ShowWindow::Minimized:
            return kSwShowMinNoActive;
        default:
            return kSwShowNormal;
    }
}

ShowWindow showWindowOf(std::uint32_t command) {
    if (command == kSwShowMaximized) return ShowWindow::Maximized;
    if (command == kSwShowMinNoActive || command == 2 || command == 6) return ShowWindow::Minimized;
    return ShowWindow::Normal;
}

void writeLinkInfo(Writer& out, const std::string& target, const LinkVolume& volume) {
    const std::string label = utf8ToAnsiLossy(volume.label);
    const std::string basePath = utf8ToAnsiLossy(target);
    const std::uint32_t headerSize = 0x1C;
    const std::uint32_t volumeIdSize = 0x10 + static_cast<std::uint32_t>(label.size()) + 1;
    const std::uint32_t volumeIdOffset = headerSize;
    const std::uint32_t basePathOffset = volumeIdOffset + volumeIdSize;
    const std::uint32_t suffixOffset =
        basePathOffset + static_cast<std::uint32_t>(basePath.size()) + 1;
    const std::uint32_t totalSize = suffixOffset + 1;

    out.u32(totalSize);
    out.u32(headerSize);
    out.u32(kVolumeIdAndLocalBasePath);
    out.u32(volumeIdOffset);
    out.u32(basePathOffset);
    out.u32(0);  // no network location
    out.u32(suffixOffset);
    // VolumeID
    out.u32(volumeIdSize);
    out.u32(static_cast<std::uint32_t>(volume.type));
    out.u32(volume.serial);
    out.u32(0x10);  // label offset
    out.raw(label);
    out.zeros(1);
    out.raw(basePath);
    out.zeros(1);
    out.zeros(1);  // empty common path suffix
}

std::optional<std::string> readLinkInfo(const Reader& in, std::size_t at, std::size_t* next) {
    if (!in.has(at, 0x1C)) return std::nullopt;
    const std::uint32_t size = in.u32(at);
    const std::uint32_t headerSize = in.u32(at + 4);
    const std::uint32_t flags = in.u32(at + 8);
    if (size < 0x1C || !in.has(at, size) || headerSize > size) return std::nullopt;
    *next = at + size;
    const std::size_t limit = at + size;
    std::string base;
    std::string suffix;
    if (headerSize >= 0x24 && (flags & kVolumeIdAndLocalBasePath)) {
        // Unicode forms of the paths follow the ANSI offsets in a larger header.
        if (auto wide = in.wideString(at + in.u32(at + 0x1C), limit)) base = *wide;
        if (auto wide = in.wideString(at + in.u32(at + 0x20), limit)) suffix = *wide;
    } else {
        if (flags & kVolumeIdAndLocalBasePath) {
            auto text = in.cString(at + in.u32(at + 16), limit);
            if (!text) return std::nullopt;
            base = ansiToUtf8(*text);
        }
        if (const std::uint32_t suffixOffset = in.u32(at + 24); suffixOffset != 0) {
            if (auto text = in.cString(at + suffixOffset, limit)) suffix = ansiToUtf8(*text);
        }
    }
    if (!base.empty() && !suffix.empty() && base.back() != '\\') base += '\\';
    return base + suffix;
}

std::optional<std::string> readStringData(const Reader& in, std::size_t* at, bool unicode) {
    if (!in.has(*at, 2)) return std::nullopt;
    const std::size_t count = in.u16(*at);
    const std::size_t bytes = count * (unicode ? 2 : 1);
    if (!in.has(*at + 2, bytes)) return std::nullopt;
    std::string text;
    if (unicode) {
        std::u16string wide;
        for (std::size_t i = 0; i < count; ++i)
            wide += static_cast<char16_t>(in.u16(*at + 2 + 2 * i));
        text = utf16ToUtf8(wide);
    } else {
        text = ansiToUtf8(std::string(in.slice(*at + 2, count)));
    }
    *at += 2 + bytes;
    return text;
}

}  // namespace

std::string encodeShellLink(const ShellLink& link, const LinkVolume& volume,
                            const LinkTargetFacts& target) {
    const std::string path = stripQuotes(link.target);
    std::uint32_t flags = kIsUnicode;
    if (!path.empty()) flags |= kHasLinkInfo;
    if (!link.description.empty()) flags |= kHasName;
    if (!link.workingDirectory.empty()) flags |= kHasWorkingDir;
    if (!link.arguments.empty()) flags |= kHasArguments;
    if (!link.iconLocation.empty()) flags |= kHasIconLocation;

    Writer out;
    out.u32(kHeaderSize);
    out.raw(
        std::string_view(reinterpret_cast<const char*>(kLinkClassId.data()), kLinkClassId.size()));
    out.u32(flags);
    out.u32(target.attributes);
    const std::uint64_t time = toFileTime(target.modified);
    out.u64(time);  // creation
    out.u64(time);  // access
    out.u64(time);  // write
    out.u32(target.size);
    out.u32(static_cast<std::uint32_t>(link.iconIndex));
    out.u32(showCommandOf(link.show));
    out.u16(link.hotKey);
    out.zeros(10);  // reserved

    if (flags & kHasLinkInfo) writeLinkInfo(out, path, volume);
    if (flags & kHasName) writeStringData(out, link.description);
    if (flags & kHasWorkingDir) writeStringData(out, link.workingDirectory);
    if (flags & kHasArguments) writeStringData(out, link.arguments);
    if (flags & kHasIconLocation) writeStringData(out, link.iconLocation);
    out.u32(0);  // terminal block
    return out.take();
}

std::optional<ShellLink> decodeShellLink(std::string_view bytes) {
    const Reader in(bytes);
    if (!in.has(0, kHeaderSize) || in.u32(0) != kHeaderSize) return std::nullopt;
    if (in.slice(4, 16) != std::string_view(reinterpret_cast<const char*>(kLinkClassId.data()), 16))
        return std::nullopt;
    const std::uint32_t flags = in.u32(0x14);
    ShellLink link;
    link.iconIndex = static_cast<int>(in.u32(0x38));
    link.show = showWindowOf(in.u32(0x3C));
    link.hotKey = in.u16(0x40);

    std::size_t at = kHeaderSize;
    if (flags & kHasLinkTargetIdList) {
        if (!in.has(at, 2)) return std::nullopt;
        at += 2 + in.u16(at);
        if (!in.has(at, 0)) return std::nullopt;
    }
    if (flags & kHasLinkInfo) {
        auto target = readLinkInfo(in, at, &at);
        if (!target) return std::nullopt;
        link.target = *target;
    }
    const bool unicode = (flags & kIsUnicode) != 0;
    const std::pair<std::uint32_t, std::string*> strings[] = {
        {kHasName, &link.description},
        {kHasRelativePath, nullptr},
        {kHasWorkingDir, &link.workingDirectory},
        {kHasArguments, &link.arguments},
        {kHasIconLocation, &link.iconLocation},
    };
    for (const auto& [flag, field] : strings) {
        if (!(flags & flag)) continue;
        auto text = readStringData(in, &at, unicode);
        if (!text) return std::nullopt;
        if (field) *field = std::move(*text);
    }
    return link;
}

}  // namespace brx::platform::hosted
