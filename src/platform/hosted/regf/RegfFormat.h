// The regf hive layout: a 4 KiB base block, then hive bins ("hbin", multiples of 4 KiB) filled
// with cells. A cell starts with a signed 32-bit size (negative while allocated) and is 8-byte
// aligned; cell offsets count from the first hive bin. All numbers are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

namespace brx::platform::hosted::regf {

// A hive that breaks the layout. Hives come from disks we do not control, so every reader
// throws this instead of trusting an offset.
class HiveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr std::size_t kBaseBlockSize = 0x1000;
inline constexpr std::size_t kHbinHeaderSize = 0x20;
inline constexpr std::size_t kHbinAlignment = 0x1000;
inline constexpr std::uint32_t kNoCell = 0xFFFFFFFFu;

// Base block fields.
inline constexpr std::size_t kBaseSequence1 = 0x04;
inline constexpr std::size_t kBaseSequence2 = 0x08;
inline constexpr std::size_t kBaseTimestamp = 0x0C;
inline constexpr std::size_t kBaseMajor = 0x14;
inline constexpr std::size_t kBaseMinor = 0x18;
inline constexpr std::size_t kBaseType = 0x1C;
inline constexpr std::size_t kBaseFormat = 0x20;
inline constexpr std::size_t kBaseRootCell = 0x24;
inline constexpr std::size_t kBaseDataSize = 0x28;
inline constexpr std::size_t kBaseClustering = 0x2C;
inline constexpr std::size_t kBaseFileName = 0x30;
inline constexpr std::size_t kBaseFileNameSize = 64;
inline constexpr std::size_t kBaseChecksum = 0x1FC;

// hbin header fields.
inline constexpr std::size_t kHbinOffset = 0x04;
inline constexpr std::size_t kHbinSize = 0x08;
inline constexpr std::size_t kHbinTimestamp = 0x14;

// Key node ("nk") fields, counted from the cell's data (after the size).
inline constexpr std::size_t kNkFlags = 0x02;
inline constexpr std::size_t kNkTimestamp = 0x04;
inline constexpr std::size_t kNkParent = 0x10;
inline constexpr std::size_t kNkSubkeyCount = 0x14;
inline constexpr std::size_t kNkVolatileSubkeyCount = 0x18;
inline constexpr std::size_t kNkSubkeyList = 0x1C;
inline constexpr std::size_t kNkVolatileSubkeyList = 0x20;
inline constexpr std::size_t kNkValueCount = 0x24;
inline constexpr std::size_t kNkValueList = 0x28;
inline constexpr std::size_t kNkSecurity = 0x2C;
inline constexpr std::size_t kNkClass = 0x30;
inline constexpr std::size_t kNkNameLength = 0x48;
inline constexpr std::size_t kNkClassLength = 0x4A;
inline constexpr std::size_t kNkName = 0x4C;

inline constexpr std::uint16_t kNkFlagHiveExit = 0x0002;
inline constexpr std::uint16_t kNkFlagHiveEntry = 0x0004;
inline constexpr std::uint16_t kNkFlagNoDelete = 0x0008;
inline constexpr std::uint16_t kNkFlagCompressedName = 0x0020;

// Value ("vk") fields.
inline constexpr std::size_t kVkNameLength = 0x02;
inline constexpr std::size_t kVkDataSize = 0x04;
inline constexpr std::size_t kVkDataOffset = 0x08;
inline constexpr std::size_t kVkType = 0x0C;
inline constexpr std::size_t kVkFlags = 0x10;
inline constexpr std::size_t kVkName = 0x14;
inline constexpr std::uint32_t kVkDataInline = 0x80000000u;

// Security ("sk") fields.
inline constexpr std::size_t kSkNext = 0x04;
inline constexpr std::size_t kSkPrevious = 0x08;
inline constexpr std::size_t kSkReferences = 0x0C;
inline constexpr std::size_t kSkDescriptorSize = 0x10;
inline constexpr std::size_t kSkDescriptor = 0x14;

// Subkey lists: "lf"/"lh" hold (offset, hint) pairs, "li" offsets only, "ri" offsets of lists.
inline constexpr std::size_t kListCount = 0x02;
inline constexpr std::size_t kListEntries = 0x04;

// Big data ("db"), used by later hive versions for data over one cell's worth.
inline constexpr std::size_t kDbSegmentCount = 0x02;
inline constexpr std::size_t kDbSegmentList = 0x04;
inline constexpr std::uint32_t kBigDataThreshold = 16344;

inline std::uint16_t readU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t readU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint64_t readU64(const std::uint8_t* p) {
    return readU32(p) | (static_cast<std::uint64_t>(readU32(p + 4)) << 32);
}
inline void writeU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void writeU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void writeU64(std::uint8_t* p, std::uint64_t v) {
    writeU32(p, static_cast<std::uint32_t>(v));
    writeU32(p + 4, static_cast<std::uint32_t>(v >> 32));
}

// XOR of the base block's first 127 double words; 0 and all-ones are not allowed values.
inline std::uint32_t baseBlockChecksum(const std::uint8_t* base) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < kBaseChecksum; i += 4) sum ^= readU32(base + i);
    if (sum == 0xFFFFFFFFu) return 0xFFFFFFFEu;
    if (sum == 0) return 1;
    return sum;
}

// The hint an "lf" list keeps for each subkey: the first four characters of its name.
std::uint32_t lfHint(const std::uint8_t* name, std::size_t length, bool compressed);
// The hash an "lh" list keeps: the upper-cased name folded with factor 37.
std::uint32_t lhHash(const std::uint8_t* name, std::size_t length, bool compressed);

}  // namespace brx::platform::hosted::regf
