// The interactive start of the program: the start-up, then the main window and its message loop.
#pragma once

#include <string>
#include <vector>

#include "editions/Edition.h"
#include "platform/Platform.h"

namespace brx::ui {

// Returns the process's exit status. A command line that asks for nothing ends without a window.
int RunMainWindow(platform::Platform& platform, const editions::Edition& edition,
                  const std::vector<std::string>& words, int argc, char** argv);

}  // namespace brx::ui
