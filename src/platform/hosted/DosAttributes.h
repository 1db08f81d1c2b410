// DOS attributes of host files. They live in the extended attribute "user.DOSATTRIB" as
// "0xNN" (the form other tools on Linux use), followed by the file's modification time at the
// moment the archive bit was cleared. A file whose modification time differs from that moment
// has been changed since, by us or by anyone else, so its archive bit counts as set again.
// On an NTFS volume mounted with ntfs-3g the volume's own attributes are used instead, and where
// the file system keeps no extended attributes only read-only (the owner's write permission)
// survives.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>

namespace brx::platform::hosted {

// Whether the host directory lies on an NTFS volume that shows its attributes (ntfs-3g).
bool isNtfsVolume(const std::string& hostDir);
// The attributes that Windows shows for a host file with this status.
std::uint32_t readDosAttributes(const std::string& hostPath, const struct stat& status,
                                bool ntfsVolume);
// Stores read-only, hidden, system and archive; false when the file cannot take them.
bool writeDosAttributes(const std::string& hostPath, std::uint32_t attributes, bool ntfsVolume);

}  // namespace brx::platform::hosted
