// Privileges of the machine's user ([Privileges] in machine.ini: a right the user does not hold
// can be asked for, but is never granted) and the restart of the machine.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "platform/Security.h"
#include "platform/hosted/MachineConfig.h"

namespace brx::platform::hosted {

class HostedSecurity final : public Security {
  public:
    // What a reboot does before the program ends (the registry applies what is pending).
    using RestartHook = std::function<void()>;
    // How the program ends when Windows goes down; tests replace it to watch the restart.
    using Terminate = std::function<void(int exitCode)>;

    HostedSecurity(MachineConfig& machine);

    TokenHandle openProcessToken() override;
    void closeToken(TokenHandle token) override;
    std::optional<Luid> lookupPrivilegeValue(const std::string& name) override;
    ErrorCode adjustTokenPrivilege(TokenHandle token, Luid privilege, bool enable) override;
    bool privilegeEnabled(const std::string& name) override;
    bool exitWindows(std::uint32_t flags) override;

    void setRestartHook(RestartHook hook) { restartHook_ = std::move(hook); }
    // What every end of the session does first, whatever the flags (the registry writes its
    // hives).
    void setSessionEndHook(RestartHook hook) { sessionEndHook_ = std::move(hook); }
    void setTerminate(Terminate terminate) { terminate_ = std::move(terminate); }
    // Whether the user holds the right at all ("SeBackupPrivilege").
    bool privilegeHeld(const std::string& name) const;

  private:
    MachineConfig& machine_;
    std::map<Luid, bool> enabled_;
    TokenHandle nextToken_ = 0x100;
    std::map<TokenHandle, bool> openTokens_;
    RestartHook restartHook_;
    RestartHook sessionEndHook_;
    Terminate terminate_;
};

}  // namespace brx::platform::hosted
