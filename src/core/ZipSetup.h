// Creates the program's one archive engine and connects it to the Ui. Include this only where
// the engine is really created (the executables, tests that archive): it pulls in the engine.
#pragma once

#include "core/Program.h"
#include "zip/ZipEngine.h"

namespace brx::core {

inline void InstallZipEngine(Program& program)
{
    auto* engine = new zip::ZipEngine(program.platform);
    engine->UseProgramSettings();
    // Diskettes get no labels from this program.
    engine->MultiZipInfo.WriteDiskLabels = false;
    Ui& ui = program.ui;
    engine->OnPump = [&ui] { ui.Pump(); };
    engine->OnMessage = [&ui](const std::string& caption, const std::string& text) {
        ui.Inform(caption, text);
    };
    engine->OnQuestion = [&ui](const std::string& caption, const std::string& text) {
        return ui.AskYesNo(caption, text);
    };
    engine->OnBusy = [&ui](bool busy) { ui.SetBusyCursor(busy); };
    program.SetZipEngine(ZipEnginePtr(engine, [](zip::ZipEngine* e) { delete e; }),
                         [engine] { engine->CancelOperation(); });
}

}  // namespace brx::core
