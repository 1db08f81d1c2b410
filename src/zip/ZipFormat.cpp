#include "zip/ZipFormat.h"

#include <algorithm>

namespace brx::zip::format {

std::uint16_t get16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t get32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8)
        | (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void put16(std::string& out, std::uint16_t value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

void put32(std::string& out, std::uint32_t value)
{
    put16(out, static_cast<std::uint16_t>(value & 0xFFFF));
    put16(out, static_cast<std::uint16_t>(value >> 16));
}

std::optional<LocalHeader> parseLocalHeader(const unsigned char* p)
{
    if (get32(p) != kLocalHeaderSignature)
        return std::nullopt;
    LocalHeader h;
    h.VersionNeeded = get16(p + 4);
    h.Flags = get16(p + 6);
    h.CompressionMethod = get16(p + 8);
    h.DateTime = get32(p + 10);
    h.CRC32 = get32(p + 14);
    h.CompressedSize = get32(p + 18);
    h.UncompressedSize = get32(p + 22);
    h.FileNameLength = get16(p + 26);
    h.ExtraFieldLength = get16(p + 28);
    return h;
}

std::string localHeaderBytes(const TZipHeaderInfo& entry, std::string_view localExtra)
{
    std::string out;
    out.reserve(kLocalHeaderSize + entry.StoredName.size() + localExtra.size());
    put32(out, kLocalHeaderSignature);
    put16(out, entry.VersionNeeded);
    put16(out, entry.Flags);
    put16(out, entry.CompressionMethod);
    put32(out, entry.DateTime);
    put32(out, entry.CRC32);
    put32(out, entry.CompressedSize);
    put32(out, entry.UncompressedSize);
    put16(out, static_cast<std::uint16_t>(entry.StoredName.size()));
    put16(out, static_cast<std::uint16_t>(localExtra.size()));
    out += entry.StoredName;
    out += localExtra;
    return out;
}

std::string centralHeaderBytes(const TZipHeaderInfo& entry)
{
    std::string out;
    out.reserve(kCentralHeaderSize + entry.StoredName.size() + entry.ExtraField.size()
                + entry.FileComment.size());
    put32(out, kCentralHeaderSignature);
    put16(out, entry.VersionMadeBy);
    put16(out, entry.VersionNeeded);
    put16(out, entry.Flags);
    put16(out, entry.CompressionMethod);
    put32(out, entry.DateTime);
    put32(out, entry.CRC32);
    put32(out, entry.CompressedSize);
    put32(out, entry.UncompressedSize);
    put16(out, static_cast<std::uint16_t>(entry.StoredName.size()));
    put16(out, static_cast<std::uint16_t>(entry.ExtraField.size()));
    put16(out, static_cast<std::uint16_t>(entry.FileComment.size()));
    put16(out, entry.DiskNumberStart);
    put16(out, entry.InternalAttributes);
    put32(out, entry.ExternalAttributes);
    put32(out, entry.RelativeOffset);
    out += entry.StoredName;
    out += entry.ExtraField;
    out += entry.FileComment;
    return out;
}

std::string endRecordBytes(const TEndCentral& end)
{
    std::string out;
    put32(out, kEndRecordSignature);
    put16(out, end.ThisDiskNumber);
    put16(out, end.CentralDirectoryDisk);
    put16(out, end.EntriesOnThisDisk);
    put16(out, end.TotalEntries);
    put32(out, end.CentralDirectorySize);
    put32(out, end.CentralDirectoryOffset);
    put16(out, static_cast<std::uint16_t>(end.Comment.size()));
    out += end.Comment;
    return out;
}

std::size_t parseCentralHeader(const unsigned char* p, std::size_t available, TZipHeaderInfo& e)
{
    if (available < kCentralHeaderSize || get32(p) != kCentralHeaderSignature)
        return 0;
    e.VersionMadeBy = get16(p + 4);
    e.VersionNeeded = get16(p + 6);
    e.Flags = get16(p + 8);
    e.CompressionMethod = get16(p + 10);
    e.DateTime = get32(p + 12);
    e.CRC32 = get32(p + 16);
    e.CompressedSize = get32(p + 20);
    e.UncompressedSize = get32(p + 24);
    e.FileNameLength = get16(p + 28);
    e.ExtraFieldLength = get16(p + 30);
    e.FileCommentLength = get16(p + 32);
    e.DiskNumberStart = get16(p + 34);
    e.InternalAttributes = get16(p + 36);
    e.ExternalAttributes = get32(p + 38);
    e.RelativeOffset = get32(p + 42);
    const std::size_t total = kCentralHeaderSize + e.FileNameLength + e.ExtraFieldLength
        + e.FileCommentLength;
    if (total > available)
        return 0;
    const char* text = reinterpret_cast<const char*>(p + kCentralHeaderSize);
    e.StoredName.assign(text, e.FileNameLength);
    e.ExtraField.assign(text + e.FileNameLength, e.ExtraFieldLength);
    e.FileComment.assign(text + e.FileNameLength + e.ExtraFieldLength, e.FileCommentLength);
    return total;
}

std::optional<std::size_t> findEndRecord(std::string_view tail)
{
    if (tail.size() < kEndRecordSize)
        return std::nullopt;
    const auto* bytes = reinterpret_cast<const unsigned char*>(tail.data());
    std::optional<std::size_t> loose;
    for (std::size_t pos = tail.size() - kEndRecordSize + 1; pos-- > 0;) {
        if (get32(bytes + pos) != kEndRecordSignature)
            continue;
        // Prefer a record whose comment ends exactly at the end of the file; a signature inside
        // a comment or in stray data after the archive is only taken when nothing better exists.
        const std::size_t commentLength = get16(bytes + pos + 20);
        if (pos + kEndRecordSize + commentLength == tail.size())
            return pos;
        if (!loose && pos + kEndRecordSize + commentLength <= tail.size())
            loose = pos;
    }
    return loose;
}

TEndCentral parseEndRecord(const unsigned char* p, std::size_t available)
{
    TEndCentral end;
    end.ThisDiskNumber = get16(p + 4);
    end.CentralDirectoryDisk = get16(p + 6);
    end.EntriesOnThisDisk = get16(p + 8);
    end.TotalEntries = get16(p + 10);
    end.CentralDirectorySize = get32(p + 12);
    end.CentralDirectoryOffset = get32(p + 16);
    const std::size_t commentLength = std::min<std::size_t>(get16(p + 20), available - kEndRecordSize);
    end.Comment.assign(reinterpret_cast<const char*>(p + kEndRecordSize), commentLength);
    return end;
}

std::uint32_t toDosDateTime(const platform::LocalTime& t)
{
    // DOS dates start in 1980; anything earlier is stored as its first day.
    if (t.year < 1980)
        return (1u << 5 | 1u) << 16;
    const int year = std::min(t.year, 2107);
    const std::uint32_t date = static_cast<std::uint32_t>(((year - 1980) << 9) | (t.month << 5) | t.day);
    const std::uint32_t time = static_cast<std::uint32_t>((t.hour << 11) | (t.minute << 5) | (t.second / 2));
    return (date << 16) | time;
}

platform::LocalTime fromDosDateTime(std::uint32_t dos)
{
    const std::uint32_t date = dos >> 16;
    const std::uint32_t time = dos & 0xFFFF;
    platform::LocalTime t;
    t.year = std::min(1980 + static_cast<int>(date >> 9), 2099);
    t.month = std::clamp(static_cast<int>((date >> 5) & 0x0F), 1, 12);
    t.day = std::max(static_cast<int>(date & 0x1F), 1);
    t.hour = std::min(static_cast<int>(time >> 11), 23);
    t.minute = std::min(static_cast<int>((time >> 5) & 0x3F), 59);
    t.second = std::min(static_cast<int>(time & 0x1F) * 2, 58);
    // Day of the week by Sakamoto's rule, so the record is a complete SYSTEMTIME.
    static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    int y = t.year - (t.month < 3 ? 1 : 0);
    t.dayOfWeek = (y + y / 4 - y / 100 + y / 400 + offsets[t.month - 1] + t.day) % 7;
    return t;
}

}  // namespace brx::zip::format
