// Opening the machine the program works on, and giving the program its archive engine.
#pragma once

#include <memory>
#include <string>

#include "core/Program.h"
#include "editions/Edition.h"
#include "platform/Platform.h"

namespace brx::app {

// `directory` empty: $BRELLIX_MACHINE, else the demo machine of the edition under the user's
// data directory, created on first use. nullptr with `error` set when it cannot be opened.
std::unique_ptr<platform::Platform> OpenMachine(const std::string& directory,
                                                const editions::Edition& edition,
                                                std::string& error);

void InstallEngine(core::Program& program);

}  // namespace brx::app
