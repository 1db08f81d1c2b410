// The machine's system state: its directories, user, environment, clock and boot mode, as
// machine.ini describes them.
#pragma once

#include <optional>

#include "platform/System.h"
#include "platform/hosted/HostedFiles.h"
#include "platform/hosted/MachineConfig.h"

namespace brx::platform::hosted {

class HostedSystem final : public System {
  public:
    HostedSystem(MachineConfig& machine, HostedFiles& files) : machine_(machine), files_(files) {}

    std::string programPath() override { return machine_.programPath; }
    std::string windowsDirectory() override { return machine_.windowsDirectory; }
    std::string systemDirectory() override { return machine_.systemDirectory; }
    std::string userName() override { return machine_.userName; }
    std::string computerName() override { return machine_.computerName; }
    std::optional<std::string> environment(const std::string& name) override;
    std::string expandEnvironmentStrings(const std::string& text) override;
    std::string tempPath() override;
    std::string tempFileName(const std::string& directory, const std::string& prefix) override;
    int cleanBoot() override { return machine_.safeMode; }
    LocalTime now() override;
    LocalTime toLocal(FileTime time) override;
    FileTime fromLocal(const LocalTime& time) override;
    std::string shortDateFormat() override { return machine_.shortDateFormat; }

  private:
    MachineConfig& machine_;
    HostedFiles& files_;
};

}  // namespace brx::platform::hosted
