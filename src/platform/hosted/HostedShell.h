// Shell links of the machine, in the shell-link binary format.
#pragma once

#include "platform/Shell.h"
#include "platform/hosted/HostedFiles.h"

namespace brx::platform::hosted {

class HostedShell final : public Shell {
  public:
    explicit HostedShell(HostedFiles& files) : files_(files) {}
    ErrorCode writeShortcut(const std::string& linkPath, const ShellLink& link) override;
    std::optional<ShellLink> readShortcut(const std::string& linkPath) override;

  private:
    HostedFiles& files_;
};

}  // namespace brx::platform::hosted
