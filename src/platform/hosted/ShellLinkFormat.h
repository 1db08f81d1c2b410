// The shell-link binary format (.lnk), as the public "Shell Link Binary File Format" describes
// it: a 76-byte header with the shell-link class id, a LinkInfo block holding the target's
// volume and local path, and the Unicode string data (description, relative path, working
// directory, arguments, icon location).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Files.h"
#include "platform/Shell.h"

namespace brx::platform::hosted {

struct LinkVolume {
    DriveType type = DriveType::Fixed;
    std::uint32_t serial = 0;
    std::string label;
};

struct LinkTargetFacts {
    std::uint32_t attributes = kAttrArchive;
    std::uint32_t size = 0;
    FileTime modified = 0;  // 0: unknown
};

// The link's bytes. A target enclosed in double quotes is stored without them.
std::string encodeShellLink(const ShellLink& link, const LinkVolume& volume,
                            const LinkTargetFacts& target);
// nullopt when the bytes are no shell link or a block runs past the end.
std::optional<ShellLink> decodeShellLink(std::string_view bytes);

}  // namespace brx::platform::hosted
