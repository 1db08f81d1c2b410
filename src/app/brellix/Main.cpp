#include "app/brellix/Main.h"

#include <fstream>
#include <iostream>
#include <memory>

#include "app/brellix/Machine.h"
#include "app/brellix/Options.h"
#include "app/brellix/PendingRuns.h"
#include "app/brellix/Window.h"
#include "core/Program.h"
#include "core/ScriptedUi.h"
#include "core/Startup.h"

namespace brx::app {

namespace {

bool LoadAnswers(const std::string& path, core::ScriptedUi& ui)
{
    std::ifstream in(path);
    if (!in) return false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        ui.PushAnswer(line);
    }
    return true;
}

// Without a window the program does what the window's first showing would do, then closes the
// way the window closes, saving the settings. The exit status tells whether the runs ended
// without their error flag.
int RunBatch(platform::Platform& platform, const editions::Edition& edition,
             const Options& options)
{
    core::ScriptedUi ui(&std::cout, &std::cerr);
    if (!options.answers.empty() && !LoadAnswers(options.answers, ui)) {
        std::cerr << "cannot read " << options.answers << std::endl;
        return 2;
    }
    core::Program program(platform, edition, ui);
    InstallEngine(program);
    PendingRuns runs(program, std::cerr);
    core::Startup startup(program, runs);
    if (startup.Enter(options.words) == core::StartupOutcome::EndWithoutWindow) return 0;
    startup.MainWindowStart();
    startup.Close();
    return program.run.error ? 1 : 0;
}

}  // namespace

int Main(const editions::Edition& edition, int argc, char** argv)
{
    std::string error;
    const auto options = ParseOptions({argv + 1, argv + argc}, error);
    if (!options) {
        std::cerr << argv[0] << ": " << error << "\n"
                  << "usage: " << argv[0] << " [--machine DIR] [--batch] [--answers FILE] [WORDS...]"
                  << std::endl;
        return 2;
    }

    auto platform = OpenMachine(options->machine, edition, error);
    if (!platform) {
        std::cerr << argv[0] << ": " << error << std::endl;
        return 2;
    }

    if (options->batch) return RunBatch(*platform, edition, *options);
    return RunWindow(*platform, edition, options->words, argc, argv);
}

}  // namespace brx::app
