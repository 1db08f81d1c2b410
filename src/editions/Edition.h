// The two editions of the program, built from the same sources: everything that differs between
// them is collected here, and the logic asks the Edition instead of testing a build switch.
#pragma once

#include <string>
#include <vector>

namespace brx::editions {

enum class EditionKind { Win2000, NT };

struct Edition {
    EditionKind kind = EditionKind::Win2000;

    // Application title, also the caption of simple notices.
    std::string title;
    // Start-up shortcut in the StartUp directory, and the description it gets when the start-up
    // or the wizard writes it, and when the preferences' Automation page writes it.
    std::string startupShortcut;
    std::string startupShortcutDescription;
    std::string preferencesShortcutDescription;
    // Help file in the program's directory.
    std::string helpFile;
    // Program-location file for the DOS restore program (in C:\ and in the program's directory)
    // and its key in section "Location".
    std::string locationFile;
    std::string locationKey;
    // Scheduler job files (relative to the Windows directory) removed when nothing uses the
    // task scheduler any more.
    std::vector<std::string> schedulerJobs;

    bool IsNT() const { return kind == EditionKind::NT; }

    static const Edition& Win2000();
    static const Edition& WinNT();
};

}  // namespace brx::editions
