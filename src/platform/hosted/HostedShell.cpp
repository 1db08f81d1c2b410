#include "platform/hosted/HostedShell.h"

#include "platform/hosted/ShellLinkFormat.h"

namespace brx::platform::hosted {

namespace {

// Shortcuts are small; anything larger is not one.
constexpr std::size_t kLargestLink = 1 << 20;

std::string unquoted(const std::string& text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    return text;
}

}  // namespace

ErrorCode HostedShell::writeShortcut(const std::string& linkPath, const ShellLink& link) {
    const std::string target = unquoted(link.target);
    LinkVolume volume;
    if (target.size() >= 2 && target[1] == ':') {
        const std::string root = target.substr(0, 2) + "\\";
        volume.type = files_.driveType(root);
        volume.label = files_.volumeLabel(root);
        if (auto resolved = files_.resolve(root); resolved && resolved->drive)
            volume.serial = resolved->drive->serial;
    }
    LinkTargetFacts facts;
    if (auto info = files_.stat(target)) {
        facts.attributes = info->attributes & ~kAttrNormal;
        facts.size = static_cast<std::uint32_t>(info->size);
        facts.modified = info->modified;
    }
    // The start-up shortcut is rewritten at every start; a half-written one would end the
    // unattended runs without a word.
    return files_.writeFileAtomically(linkPath, encodeShellLink(link, volume, facts));
}

std::optional<ShellLink> HostedShell::readShortcut(const std::string& linkPath) {
    OpenResult opened = files_.open(linkPath, OpenMode::Read);
    if (!opened.file || opened.file.size() > kLargestLink) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(opened.file.size()), '\0');
    bytes.resize(opened.file.read(bytes.data(), bytes.size()));
    return decodeShellLink(bytes);
}

}  // namespace brx::platform::hosted
