// Restoring the registry from plain (or, on NT, compressed) copies of the hive files, as Windows
// keeps them in its repair directory and as an uncompressed backup set holds them.
#pragma once

#include <string>

#include "core/Program.h"
#include "platform/Process.h"
#include "restore/RestoreSourceKind.h"

namespace brx::restore {

// Starts a Windows command line and waits for its end, keeping the windows alive. False when
// the program could not be started.
bool Exec(core::Program& program, const std::string& commandLine, platform::ShowWindow show);

// Brings the hive copies found in `sourceDirectory` (with trailing backslash) into the Redo
// directory under the live hives' names and schedules them to replace the live hives.
void RestoreRepair(core::Program& program, const std::string& sourceDirectory, RestoreSourceKind kind);

}  // namespace brx::restore
