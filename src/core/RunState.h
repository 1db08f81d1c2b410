// What one long operation shares with the progress window and the warning list.
#pragma once

#include <string>
#include <vector>

namespace brx::core {

inline constexpr const char* kUserCancelled = "User Cancelled";

struct RunState {
    // Lines shown in the warning list at the end of an operation.
    std::vector<std::string> warnings;
    // Something failed (or the user cancelled); the operation ends with the warning list.
    bool error = false;
    // The user pressed Cancel; the operation stops at its next check.
    bool cancel = false;
    // Files handled by the operation (" files backed up." / " files restored.").
    long fileCount = 0;
    // True while backing up, false while restoring: the disk prompts ask accordingly.
    bool backupDirection = false;
    // Whole-run gauge: the share of one item, and where the current item's share begins.
    int progressStep = 0;
    int progressBase = 0;

    // A new operation starts with no warnings, no error and no cancel left over from an earlier
    // one, so a single Cancel does not end every later operation of the process.
    void BeginOperation()
    {
        warnings.clear();
        error = false;
        cancel = false;
    }

    void AddWarning(std::string line)
    {
        warnings.push_back(std::move(line));
    }

    // The progress window's Cancel: counts once however often it is pressed. Returns whether
    // this press was the first, so the caller stops the archive engine only once.
    bool Cancel()
    {
        if (cancel) return false;
        error = true;
        warnings.emplace_back(kUserCancelled);
        cancel = true;
        return true;
    }
};

}  // namespace brx::core
