// Hive replacements that wait for the next start of the machine, kept in the machine
// directory's pending.ini:
//
//   [Replacement1]
//   Hive=\REGISTRY\MACHINE\SOFTWARE
//   Live=C/WINNT/system32/config/software        (host paths; relative to the machine
//   New=C/WINNT/system32/config/Redo/software     directory when they lie inside it)
//   Old=C/WINNT/system32/config/Undo/software
//
// At a start, each live hive file moves to its old-file name and the new file takes its place.
// pending.ini is rewritten after every replacement, so a start that is cut off half way is
// finished by the next one without applying anything twice. Every start is added to boot.log.
#pragma once

#include <string>
#include <vector>

namespace brx::platform::hosted {

struct PendingReplacement {
    std::string hive;      // registry path of the hive
    std::string liveFile;  // absolute host paths
    std::string newFile;
    std::string oldFile;
};

std::vector<PendingReplacement> readPendingReplacements(const std::string& machineDirectory);

// Adds the replacement; a later replacement of the same live file takes the place of an
// earlier one. False when pending.ini cannot be written.
bool recordPendingReplacement(const std::string& machineDirectory,
                              const PendingReplacement& replacement);

struct BootReport {
    std::vector<PendingReplacement> applied;
    std::vector<std::string> problems;  // one line per replacement that could not be applied
};

// What a start of the machine does: applies every pending replacement, clears pending.ini and
// records the start in boot.log.
BootReport applyPendingReplacements(const std::string& machineDirectory);

}  // namespace brx::platform::hosted
