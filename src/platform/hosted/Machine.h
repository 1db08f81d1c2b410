// A Windows machine seen through a host directory: opening one, and the hosted platform that
// the program runs on.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/Platform.h"
#include "platform/hosted/HostedFiles.h"
#include "platform/hosted/HostedProcesses.h"
#include "platform/hosted/HostedProfile.h"
#include "platform/hosted/HostedSecurity.h"
#include "platform/hosted/HostedShell.h"
#include "platform/hosted/HostedSystem.h"
#include "platform/hosted/MachineConfig.h"

namespace brx::platform::hosted {

class HostedPlatform final : public Platform {
  public:
    explicit HostedPlatform(MachineConfig machine);
    ~HostedPlatform() override;

    Files& files() override { return files_; }
    System& system() override { return system_; }
    Profile& profile() override { return profile_; }
    Processes& processes() override { return processes_; }
    Shell& shell() override { return shell_; }
    Registry& registry() override { return *registry_; }
    Security& security() override { return security_; }

    const std::string& machineDir() const { return machine_.machineDir; }
    const MachineConfig& machine() const { return machine_; }
    HostedFiles& hostedFiles() { return files_; }
    HostedSecurity& hostedSecurity() { return security_; }

    // Puts other media into a drive (a diskette swap): the drive's root is now `hostDir`. A
    // directory that does not exist is a drive without media.
    void setDriveMedia(char letter, const std::string& hostDir);
    // Fixes the date the clock shows (nullopt: the real clock again).
    void setToday(std::optional<LocalTime> today) { machine_.today = today; }
    // The machine's registry: the hives of [Hives]; a machine without hives has a registry
    // whose every key fails to open.
    void setRegistry(std::unique_ptr<Registry> registry);
    // What a reboot does before the program ends, after the hives were closed; by default the
    // pending replacements are applied.
    void setRestartHook(HostedSecurity::RestartHook hook) {
        security_.setRestartHook(std::move(hook));
    }
    void setTerminate(HostedSecurity::Terminate terminate) {
        security_.setTerminate(std::move(terminate));
    }

  private:
    void serveHives();

    MachineConfig machine_;
    HostedFiles files_;
    HostedSystem system_;
    HostedProfile profile_;
    HostedProcesses processes_;
    HostedShell shell_;
    HostedSecurity security_;
    std::unique_ptr<Registry> registry_;
};

// Opens the machine in DIR (its machine.ini). Throws std::runtime_error with a message naming
// the file and the fault when the description is missing or unusable.
std::unique_ptr<HostedPlatform> openMachine(const std::string& machineDir);

// The host itself as a machine whose only drive Z: is "/", for tools that work on host files.
std::unique_ptr<HostedPlatform> openHostRoot();

}  // namespace brx::platform::hosted
