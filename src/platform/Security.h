// Privileges of the running user and the restart of Windows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Errors.h"

namespace brx::platform {

inline constexpr const char* kSeBackupName = "SeBackupPrivilege";
inline constexpr const char* kSeRestoreName = "SeRestorePrivilege";
inline constexpr const char* kSeShutdownName = "SeShutdownPrivilege";

inline constexpr std::uint32_t kEwxLogoff = 0;
inline constexpr std::uint32_t kEwxShutdown = 1;
inline constexpr std::uint32_t kEwxReboot = 2;
inline constexpr std::uint32_t kEwxForce = 4;

using TokenHandle = std::uintptr_t;
using Luid = std::uint64_t;

class Security {
public:
    virtual ~Security() = default;
    // OpenProcessToken; 0 on failure.
    virtual TokenHandle openProcessToken() = 0;
    virtual void closeToken(TokenHandle token) = 0;
    // LookupPrivilegeValueA; nullopt for an unknown name.
    virtual std::optional<Luid> lookupPrivilegeValue(const std::string& name) = 0;
    // AdjustTokenPrivileges with one privilege. Like Windows, the call itself succeeds when the
    // user does not hold the privilege and reports kErrorNotAllAssigned; other failures return
    // their own code.
    virtual ErrorCode adjustTokenPrivilege(TokenHandle token, Luid privilege, bool enable) = 0;
    // Whether the privilege is enabled in the token now (what the registry functions check).
    virtual bool privilegeEnabled(const std::string& name) = 0;
    // ExitWindowsEx. A reboot applies every scheduled hive replacement and ends the program as
    // Windows would; false when the shutdown privilege is not enabled.
    virtual bool exitWindows(std::uint32_t flags) = 0;
};

}  // namespace brx::platform
