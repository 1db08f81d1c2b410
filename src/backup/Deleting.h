// Emptying set directories and removable disks.
#pragma once

#include <functional>
#include <string>

#include "platform/Files.h"

namespace brx::backup {

struct DeleteHooks {
    std::function<void()> pump;             // runs for every entry
    std::function<bool()> cancelled;        // a set cancel flag stops the walk
};

// Deletes the plain files of `directory` that match `pattern`, read-only ones too. Stops at the
// first file that cannot be deleted; true when every match went. "\" and "" delete nothing.
bool DeleteFiles(platform::Files& files, const std::string& directory, const std::string& pattern);

// Deletes the tree below `directory` and then the directory itself, unless it is a drive root.
// "\", "" and "@" delete nothing.
void DeleteSubDirs(platform::Files& files, const std::string& directory, const DeleteHooks& hooks);

}  // namespace brx::backup
