// This build has no window yet: the start-up still runs, so that command lines which end
// without a window behave as always, and an interactive start explains what is missing.
#include <iostream>

#include "app/brellix/Machine.h"
#include "app/brellix/PendingRuns.h"
#include "app/brellix/Window.h"
#include "core/ScriptedUi.h"
#include "core/Startup.h"

namespace brx::app {

int RunWindow(platform::Platform& platform, const editions::Edition& edition,
              const std::vector<std::string>& words, int, char**)
{
    core::ScriptedUi ui;
    core::Program program(platform, edition, ui);
    InstallEngine(program);
    PendingRuns runs(program, std::cerr);
    core::Startup startup(program, runs);
    if (startup.Enter(words) == core::StartupOutcome::EndWithoutWindow) return 0;
    std::cerr << edition.title
              << ": the window is not part of this build yet. Start with --batch to run "
                 "without a window, for example: --batch schedule 1"
              << std::endl;
    return 2;
}

}  // namespace brx::app
