#include "platform/hosted/DosAttributes.h"

#include <sys/xattr.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <optional>

#include "platform/Files.h"

namespace brx::platform::hosted {

namespace {

constexpr const char* kUserAttribute = "user.DOSATTRIB";
constexpr const char* kNtfsAttribute = "system.ntfs_attrib";
constexpr std::uint32_t kStoredBits = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;

struct Stored {
    std::uint32_t bits = 0;
    bool hasClearedTime = false;
    std::int64_t clearedSeconds = 0;
    std::int64_t clearedNanoseconds = 0;
};

std::optional<Stored> parseStored(const char* text) {
    Stored stored;
    unsigned int bits = 0;
    if (std::sscanf(text, "0x%x", &bits) != 1) return std::nullopt;
    stored.bits = bits & kStoredBits;
    if (const char* cleared = std::strstr(text, " cleared=")) {
        stored.hasClearedTime =
            std::sscanf(cleared, " cleared=%" SCNd64 ".%" SCNd64, &stored.clearedSeconds,
                        &stored.clearedNanoseconds) == 2;
    }
    return stored;
}

std::uint32_t withDirectory(std::uint32_t bits, const struct stat& status) {
    if (S_ISDIR(status.st_mode)) bits |= kAttrDirectory;
    if (bits == 0) bits = kAttrNormal;
    return bits;
}

std::uint32_t attributesWithoutStore(const struct stat& status) {
    std::uint32_t bits =
        (status.st_mode & S_IWUSR) ? 0u : static_cast<std::uint32_t>(kAttrReadOnly);
    // A file we know nothing about is one nobody has backed up yet.
    if (!S_ISDIR(status.st_mode)) bits |= kAttrArchive;
    return withDirectory(bits, status);
}

std::optional<std::uint32_t> readNtfsAttributes(const std::string& hostPath) {
    std::uint32_t raw = 0;
    if (getxattr(hostPath.c_str(), kNtfsAttribute, &raw, sizeof raw) != sizeof raw)
        return std::nullopt;
    return raw;
}

bool modifiedSince(const struct stat& status, const Stored& stored) {
    return status.st_mtim.tv_sec != stored.clearedSeconds ||
           status.st_mtim.tv_nsec != stored.clearedNanoseconds;
}

}  // namespace

bool isNtfsVolume(const std::string& hostDir) {
    return readNtfsAttributes(hostDir).has_value();
}

std::uint32_t readDosAttributes(const std::string& hostPath, const struct stat& status,
                                bool ntfsVolume) {
    if (ntfsVolume) {
        if (auto ntfs = readNtfsAttributes(hostPath))
            return withDirectory(*ntfs & kStoredBits, status);
    }
    char text[96];
    const ssize_t length = getxattr(hostPath.c_str(), kUserAttribute, text, sizeof text - 1);
    if (length < 0) return attributesWithoutStore(status);
    text[length] = '\0';
    auto stored = parseStored(text);
    if (!stored) return attributesWithoutStore(status);
    std::uint32_t bits = stored->bits;
    if (!(bits & kAttrArchive) && !S_ISDIR(status.st_mode) &&
        (!stored->hasClearedTime || modifiedSince(status, *stored)))
        bits |= kAttrArchive;
    return withDirectory(bits, status);
}

bool writeDosAttributes(const std::string& hostPath, std::uint32_t attributes, bool ntfsVolume) {
    struct stat status {};
    if (stat(hostPath.c_str(), &status) != 0) return false;
    const std::uint32_t bits = attributes & kStoredBits;
    if (ntfsVolume) {
        if (auto ntfs = readNtfsAttributes(hostPath)) {
            std::uint32_t raw = (*ntfs & ~(kStoredBits | kAttrNormal)) | bits;
            if (raw == 0) raw = kAttrNormal;
            return setxattr(hostPath.c_str(), kNtfsAttribute, &raw, sizeof raw, 0) == 0;
        }
    }
    char text[96];
    if (bits & kAttrArchive) {
        std::snprintf(text, sizeof text, "0x%02X", bits);
    } else {
        std::snprintf(text, sizeof text, "0x%02X cleared=%" PRId64 ".%09" PRId64, bits,
                      static_cast<std::int64_t>(status.st_mtim.tv_sec),
                      static_cast<std::int64_t>(status.st_mtim.tv_nsec));
    }
    if (setxattr(hostPath.c_str(), kUserAttribute, text, std::strlen(text), 0) == 0) return true;
    if (errno != ENOTSUP && errno != EPERM) return false;
    // Without a place for the bits, read-only is all we can keep.
    const mode_t mode = (bits & kAttrReadOnly) ? (status.st_mode & ~(S_IWUSR | S_IWGRP | S_IWOTH))
                                               : (status.st_mode | S_IWUSR);
    return chmod(hostPath.c_str(), mode & 07777) == 0;
}

}  // namespace brx::platform::hosted
