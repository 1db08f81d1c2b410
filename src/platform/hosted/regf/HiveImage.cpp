#include "platform/hosted/regf/HiveImage.h"

#include <algorithm>

#include "platform/Utf.h"

namespace brx::platform::hosted::regf {

namespace {

std::uint8_t upperAscii(std::uint32_t c) {
    if (c >= 'a' && c <= 'z') return static_cast<std::uint8_t>(c - 'a' + 'A');
    return static_cast<std::uint8_t>(c);
}

std::uint32_t nameChar(const std::uint8_t* name, std::size_t index, bool compressed) {
    return compressed ? name[index] : readU16(name + 2 * index);
}

}  // namespace

std::uint32_t lfHint(const std::uint8_t* name, std::size_t length, bool compressed) {
    const std::size_t chars = compressed ? length : length / 2;
    std::uint32_t hint = 0;
    for (std::size_t i = 0; i < 4 && i < chars; ++i)
        hint |= static_cast<std::uint32_t>(nameChar(name, i, compressed) & 0xFF) << (8 * i);
    return hint;
}

std::uint32_t lhHash(const std::uint8_t* name, std::size_t length, bool compressed) {
    const std::size_t chars = compressed ? length : length / 2;
    std::uint32_t hash = 0;
    for (std::size_t i = 0; i < chars; ++i) {
        const std::uint32_t c = nameChar(name, i, compressed);
        hash = hash * 37 + (c < 0x80 ? upperAscii(c) : c);
    }
    return hash;
}

HiveImage::HiveImage(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {
    if (bytes.size() < kBaseBlockSize + kHbinAlignment)
        throw HiveError("the file is too small to be a hive");
    const std::uint8_t* base = bytes.data();
    if (std::memcmp(base, "regf", 4) != 0) throw HiveError("the file has no hive signature");
    if (readU32(base + kBaseChecksum) != baseBlockChecksum(base))
        throw HiveError("the hive's base block checksum does not match");
    if (readU32(base + kBaseMajor) != 1) throw HiveError("unknown hive version");
    if (std::memcmp(base + kBaseBlockSize, "hbin", 4) != 0)
        throw HiveError("the hive has no first hive bin");

    const std::size_t available = bytes.size() - kBaseBlockSize;
    const std::uint32_t declared = readU32(base + kBaseDataSize);
    m_binsSize = static_cast<std::uint32_t>(std::min<std::size_t>(declared, available));
    if (m_binsSize < kHbinAlignment) throw HiveError("the hive's bins are truncated");
    m_bins = bytes.subspan(kBaseBlockSize, m_binsSize);
    m_rootCell = readU32(base + kBaseRootCell);
    keyNode(m_rootCell);
}

std::span<const std::uint8_t> HiveImage::cell(std::uint32_t offset, std::size_t minimum,
                                              const char* what) const {
    auto fail = [&](const char* why) {
        throw HiveError(std::string(what) + " cell at " + std::to_string(offset) + ": " + why);
    };
    if (offset == kNoCell || offset % 8 != 0 || offset < kHbinHeaderSize) fail("bad offset");
    if (static_cast<std::uint64_t>(offset) + 4 > m_binsSize) fail("outside the hive");
    const auto size = static_cast<std::int32_t>(readU32(m_bins.data() + offset));
    if (size >= 0) fail("not allocated");
    const std::uint64_t length = static_cast<std::uint64_t>(-static_cast<std::int64_t>(size));
    if (length < 8 || offset + length > m_binsSize) fail("runs past the hive");
    if (length - 4 < minimum) fail("too small");
    return m_bins.subspan(offset + 4, static_cast<std::size_t>(length - 4));
}

std::span<const std::uint8_t> HiveImage::keyNode(std::uint32_t offset) const {
    auto nk = cell(offset, kNkName, "key");
    if (nk[0] != 'n' || nk[1] != 'k') throw HiveError("key cell without nk signature");
    if (kNkName + readU16(nk.data() + kNkNameLength) > nk.size())
        throw HiveError("key name runs past its cell");
    return nk;
}

bool HiveImage::hasSignature(std::uint32_t offset, const char* signature) const {
    try {
        auto data = cell(offset, 2, "list");
        return data[0] == static_cast<std::uint8_t>(signature[0]) &&
               data[1] == static_cast<std::uint8_t>(signature[1]);
    } catch (const HiveError&) {
        return false;
    }
}

std::string keyNodeName(std::span<const std::uint8_t> nk) {
    const std::uint16_t length = readU16(nk.data() + kNkNameLength);
    const bool compressed = (readU16(nk.data() + kNkFlags) & kNkFlagCompressedName) != 0;
    const std::uint8_t* name = nk.data() + kNkName;
    std::string out;
    if (compressed) {
        for (std::size_t i = 0; i < length; ++i) appendUtf8(out, name[i]);
        return out;
    }
    for (std::size_t i = 0; i + 1 < length; i += 2) {
        std::uint32_t c = readU16(name + i);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < length) {
            const std::uint32_t low = readU16(name + i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        appendUtf8(out, c);
    }
    return out;
}

}  // namespace brx::platform::hosted::regf
