// The on-disk records of a ZIP archive (PKWARE application note, section 4.3): local file header,
// central directory header and end of central directory record, all little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/System.h"
#include "zip/ZipEngine.h"

namespace brx::zip::format {

inline constexpr std::uint32_t kLocalHeaderSignature = 0x04034b50;
inline constexpr std::uint32_t kCentralHeaderSignature = 0x02014b50;
inline constexpr std::uint32_t kEndRecordSignature = 0x06054b50;
inline constexpr std::size_t kLocalHeaderSize = 30;
inline constexpr std::size_t kCentralHeaderSize = 46;
inline constexpr std::size_t kEndRecordSize = 22;
// The end record with the longest comment it can carry.
inline constexpr std::size_t kEndRecordSearchSize = kEndRecordSize + 0xFFFF;
inline constexpr std::size_t kEncryptionHeaderSize = 12;

inline constexpr std::uint16_t kFlagEncrypted = 0x0001;
inline constexpr std::uint16_t kFlagDataDescriptor = 0x0008;
inline constexpr std::uint16_t kFlagUtf8 = 0x0800;
inline constexpr std::uint16_t kMethodStored = 0;
inline constexpr std::uint16_t kMethodDeflated = 8;

std::uint16_t get16(const unsigned char* p);
std::uint32_t get32(const unsigned char* p);
void put16(std::string& out, std::uint16_t value);
void put32(std::string& out, std::uint32_t value);

// The fixed part of a local header; the name and extra field follow it.
struct LocalHeader {
    std::uint16_t VersionNeeded = 20;
    std::uint16_t Flags = 0;
    std::uint16_t CompressionMethod = 0;
    std::uint32_t DateTime = 0;
    std::uint32_t CRC32 = 0;
    std::uint32_t CompressedSize = 0;
    std::uint32_t UncompressedSize = 0;
    std::uint16_t FileNameLength = 0;
    std::uint16_t ExtraFieldLength = 0;
};

// Parses 30 bytes; nullopt when the signature is wrong.
std::optional<LocalHeader> parseLocalHeader(const unsigned char* p);
// The local header of an entry with its name and (local) extra field.
std::string localHeaderBytes(const TZipHeaderInfo& entry, std::string_view localExtra = {});
std::string centralHeaderBytes(const TZipHeaderInfo& entry);
std::string endRecordBytes(const TEndCentral& end);

// Parses one central header at p with `available` bytes; returns the bytes it used, 0 when the
// header is damaged or incomplete. Name fields are left for the caller to decode.
std::size_t parseCentralHeader(const unsigned char* p, std::size_t available, TZipHeaderInfo& entry);
// Searches a file's tail backwards for the end record; returns its position inside `tail`.
std::optional<std::size_t> findEndRecord(std::string_view tail);
TEndCentral parseEndRecord(const unsigned char* p, std::size_t available);

// DOS date and time (local time) to and from the platform's local time.
std::uint32_t toDosDateTime(const platform::LocalTime& time);
// Clamps fields that cannot be a real date: hour to 23, minute to 59, seconds to 58, day and
// month 0 to 1, month above 12 to 12, year after 2099 to 2099.
platform::LocalTime fromDosDateTime(std::uint32_t dosDateTime);

}  // namespace brx::zip::format
