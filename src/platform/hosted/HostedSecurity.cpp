#include "platform/hosted/HostedSecurity.h"

#include <cstdlib>

#include "platform/hosted/IniText.h"

namespace brx::platform::hosted {

namespace {

struct KnownPrivilege {
    const char* name;
    const char* machineKey;  // key in [Privileges]
    Luid luid;               // the values Windows gives these privileges
};

constexpr KnownPrivilege kPrivileges[] = {
    {kSeBackupName, "Backup", 17},
    {kSeRestoreName, "Restore", 18},
    {kSeShutdownName, "Shutdown", 19},
};

const KnownPrivilege* byName(const std::string& name) {
    for (const auto& privilege : kPrivileges)
        if (equalsNoCase(privilege.name, name)) return &privilege;
    return nullptr;
}

const KnownPrivilege* byLuid(Luid luid) {
    for (const auto& privilege : kPrivileges)
        if (privilege.luid == luid) return &privilege;
    return nullptr;
}

}  // namespace

HostedSecurity::HostedSecurity(MachineConfig& machine)
    : machine_(machine), terminate_([](int exitCode) { std::exit(exitCode); }) {}

TokenHandle HostedSecurity::openProcessToken() {
    const TokenHandle token = nextToken_++;
    openTokens_[token] = true;
    return token;
}

void HostedSecurity::closeToken(TokenHandle token) {
    openTokens_.erase(token);
}

std::optional<Luid> HostedSecurity::lookupPrivilegeValue(const std::string& name) {
    const KnownPrivilege* privilege = byName(name);
    if (!privilege) return std::nullopt;
    return privilege->luid;
}

bool HostedSecurity::privilegeHeld(const std::string& name) const {
    const KnownPrivilege* privilege = byName(name);
    if (!privilege) return false;
    // A machine that says nothing gives its user an administrator's rights.
    auto it = machine_.privileges.find(toLowerAscii(privilege->machineKey));
    return it == machine_.privileges.end() || it->second;
}

ErrorCode HostedSecurity::adjustTokenPrivilege(TokenHandle token, Luid luid, bool enable) {
    if (!openTokens_.count(token)) return kErrorInvalidHandle;
    const KnownPrivilege* privilege = byLuid(luid);
    if (!privilege) return kErrorNoSuchPrivilege;
    if (!privilegeHeld(privilege->name)) return kErrorNotAllAssigned;
    enabled_[luid] = enable;
    return kErrorSuccess;
}

bool HostedSecurity::privilegeEnabled(const std::string& name) {
    const KnownPrivilege* privilege = byName(name);
    if (!privilege) return false;
    auto it = enabled_.find(privilege->luid);
    return it != enabled_.end() && it->second && privilegeHeld(name);
}

bool HostedSecurity::exitWindows(std::uint32_t flags) {
    const bool restart = (flags & (kEwxReboot | kEwxShutdown)) != 0;
    if (restart && !privilegeEnabled(kSeShutdownName)) return false;
    if (sessionEndHook_) sessionEndHook_();
    if ((flags & kEwxReboot) && restartHook_) restartHook_();
    terminate_(0);
    return true;
}

}  // namespace brx::platform::hosted
