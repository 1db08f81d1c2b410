// The interactive start: the start-up, then the main window and its message loop.
#pragma once

#include <string>
#include <vector>

#include "editions/Edition.h"
#include "platform/Platform.h"

namespace brx::app {

// Runs the start-up with the window's own Ui; a command line that asks for nothing ends here
// without a window. Returns the process's exit status.
int RunWindow(platform::Platform& platform, const editions::Edition& edition,
              const std::vector<std::string>& words, int argc, char** argv);

}  // namespace brx::app
