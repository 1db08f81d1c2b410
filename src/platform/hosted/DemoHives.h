// The registry of a demo machine: SYSTEM (two control sets with their services, Select),
// SOFTWARE (version, the machine's "Shell Folders", file classes), SAM, SECURITY, DEFAULT, the
// user's NTUSER.DAT with the folders of the profile, and on Windows 2000 the user's
// UsrClass.dat; a few hundred keys in all. SOFTWARE is left fragmented, as a hive is after
// software was installed and removed, so that a compact save of it is measurably smaller.
#pragma once

#include "platform/hosted/MachineBuilder.h"

namespace brx::platform::hosted {

// Writes every hive of the machine's [Hives] that has a file, replacing what is there.
// Throws std::runtime_error naming the hive that could not be written.
void writeDemoHives(HostedPlatform& machine, const MachineOptions& options);

}  // namespace brx::platform::hosted
