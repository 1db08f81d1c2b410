#include "registry/Restart.h"

namespace brx::registry {

using namespace brx::platform;

namespace {

bool EnableShutdownPrivilege(Security& security)
{
    const TokenHandle token = security.openProcessToken();
    if (token == 0) return true;
    bool enabled = true;
    if (const auto luid = security.lookupPrivilegeValue(kSeShutdownName))
        enabled = security.adjustTokenPrivilege(token, *luid, true) == kErrorSuccess;
    security.closeToken(token);
    return enabled;
}

}  // namespace

bool RestartWinNT(core::Program& program)
{
    if (!EnableShutdownPrivilege(program.platform.security()))
        program.ui.Inform(program.edition.title,
                          "I cannot restart Windows because you do not have Shutdown Privileges.  "
                          "Please restart Windows.");
    return program.platform.security().exitWindows(kEwxReboot);
}

}  // namespace brx::registry
