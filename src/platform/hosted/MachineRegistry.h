// The registry of an opened machine: its [Hives] served by HostedRegistry, and the restart that
// puts scheduled hive replacements in place.
#pragma once

#include <memory>

#include "platform/Registry.h"
#include "platform/hosted/PendingReplacements.h"

namespace brx::platform::hosted {

class HostedPlatform;

// A HostedRegistry over the machine's hives: each hive's device path leads to its host file,
// privileges come from the machine's token, file names of saves and replacements are the
// machine's Windows paths.
std::unique_ptr<Registry> openMachineRegistry(HostedPlatform& machine);

// What a reboot of the machine does before the program ends: the registry writes what it holds
// and lets go of the hive files, then every pending replacement is applied.
BootReport restartMachine(HostedPlatform& machine);

}  // namespace brx::platform::hosted
