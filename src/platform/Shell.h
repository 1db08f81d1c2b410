// Shell links (.lnk files in the shell-link binary format).
#pragma once

#include <optional>
#include <string>

#include "platform/Errors.h"
#include "platform/Process.h"

namespace brx::platform {

struct ShellLink {
    std::string target;            // full Windows path of the target
    std::string arguments;
    std::string workingDirectory;
    std::string description;
    std::string iconLocation;
    int iconIndex = 0;
    ShowWindow show = ShowWindow::Normal;
    std::uint16_t hotKey = 0;

    friend bool operator==(const ShellLink&, const ShellLink&) = default;
};

class Shell {
public:
    virtual ~Shell() = default;
    virtual ErrorCode writeShortcut(const std::string& linkPath, const ShellLink& link) = 0;
    virtual std::optional<ShellLink> readShortcut(const std::string& linkPath) = 0;
};

}  // namespace brx::platform
