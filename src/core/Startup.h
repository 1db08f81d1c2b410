// The program's entry: what the command line and the automation sections ask this process to
// do, the system paths, the first-run step and the start-up shortcut.
//
// The window layer (or batch mode) drives it in three calls:
//   Startup startup(program, runItems);
//   if (startup.Enter(words) == StartupOutcome::EndWithoutWindow) return;   // nothing to show
//   ... create the windows ...
//   if (startup.MainWindowStart() == AfterStart::Close) close;             // first showing
//   ... user works ...
//   startup.Close();                                                          // window closes
#pragma once

#include <string>
#include <vector>

#include "core/Program.h"

namespace brx::core {

enum class StartupOutcome { ShowWindow, EndWithoutWindow };
enum class AfterStart { StayOpen, Close };

class Startup {
public:
    Startup(Program& program, RunItems& runItems);

    // Computes the first system paths, handles the command line and decides the run flags.
    // "clean" and "temporary" do their work here. A command line that leaves no run flag set
    // ends the process without a window.
    StartupOutcome Enter(const std::vector<std::string>& words);

    // Runs once, when the main window is first shown: first-run step, program-location files,
    // settings, the remaining paths, the start-up shortcut, then the flagged runs in the order
    // configurations 1 to 4, DorAdur.
    AfterStart MainWindowStart();

    // The main window closes: every setting goes to the file.
    void Close();

private:
    void FirstRunAfterInstallation();
    void PrepareSettingsAndPaths();
    void RunFlaggedItems();

    Program& m_program;
    RunItems& m_runItems;
};

// --- the steps, for the windows that repeat them and for tests --------------------------------

// Windows and System directories, Windows drive, Startup folder, user profile, User and StartUp
// directories.
void ComputeFirstPaths(Program& program);
// Boot root, Root, Windows boot directory, command interpreter, TEMP directory and Temp.
void ComputeRemainingPaths(Program& program);
// Sets the run flags of the items whose date has come (`Freq` 0 to 3), and stores today as their
// new reference date.
void RunDueTest(Program& program);
// Deletes the start-up shortcut when no selector runs at log-on, otherwise makes sure it starts
// this copy of the program with "bootup".
void MaintainStartupShortcut(Program& program, const std::string& description);
// Writes the program-location files for the DOS restore program.
void WriteProgramLocation(Program& program);
// Spare registry, repair copy, backup sets, Undo DorAdur.
void ComputeStartupFacts(Program& program);

}  // namespace brx::core
