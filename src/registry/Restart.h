// Restarting Windows so that it takes the replaced hives.
#pragma once

#include "core/Program.h"

namespace brx::registry {

// Enables the shutdown privilege (telling the user when it cannot be had) and asks Windows to
// reboot, whatever the privilege said. False when Windows refused to restart.
bool RestartWinNT(core::Program& program);

}  // namespace brx::registry
