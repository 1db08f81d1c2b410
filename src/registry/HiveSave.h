// Saving every loaded hive into a directory or one archive, and scheduling every hive to be
// replaced from such a directory or archive at the next start of Windows.
//
// A loaded hive can be neither copied nor overwritten: RegSaveKeyA writes a fresh, compact copy
// of it, and RegReplaceKeyA makes a new file the hive from the next start on while the old file
// goes to the Undo directory. So every registry restore ends with a restart.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace brx::registry {

// What the hive operations report into: the running operation's warning list, error flag,
// file counter, messages and progress window.
class HiveRun {
public:
    virtual ~HiveRun() = default;
    virtual void SetError() = 0;
    virtual void AddWarning(const std::string& line) = 0;
    virtual void CountFile() = 0;
    virtual void ResetFileCount() = 0;
    virtual void ShowMessage(const std::string& text) = 0;   // information box
    virtual void SetStatus(const std::string& text) = 0;     // progress window's status line
    // Per-file gauge split into `parts` shares, progress base back to 0.
    virtual void BeginProgress(int parts) = 0;
    virtual void EndProgress() = 0;                           // one share again
};

// The archive work of a registry save or restore. Failures are raised as errors carrying the
// program's message; they have already been put in the warning list and the error flag.
class HiveArchiver {
public:
    virtual ~HiveArchiver() = default;
    // Every entry of `archive` into `directory`, stored folders not recreated; the overall
    // gauge advances by `step`.
    virtual void ExtractAll(const std::string& archive, const std::string& directory, int step) = 0;
    // One file (no recursion) packed into `archive`, which is created when missing.
    virtual void AddFile(const std::string& archive, const std::string& file) = 0;
    // A plain copy; the overall gauge advances by `step`.
    virtual void CopyFile(const std::string& from, const std::string& to, int step) = 0;
};

struct HiveSite {
    platform::Platform& platform;
    std::string windowsDirectory;   // with trailing backslash
    std::string programDirectory;   // with trailing backslash
    HiveRun& run;
    HiveArchiver& archiver;
    // A restore from Windows' own repair copies: there is no user.ini beside them.
    bool repairCopies = false;
};

inline constexpr const char* kHiveListPath = "\\SYSTEM\\CurrentControlSet\\Control\\hivelist";
inline constexpr const char* kUserIndexName = "user.ini";
inline constexpr const char* kSpareRegistryName = "registry.daz";

std::string RedoDirectory(const std::string& windowsDirectory);   // no trailing backslash
std::string UndoDirectory(const std::string& windowsDirectory);   // no trailing backslash

// Save (true): writes the hive at root\subKey to `fileName`. Restore (false): schedules
// `fileName` to replace that hive at the next start, the current file going to the Undo
// directory; a missing `fileName` is nothing to do and counts as success. Each success counts
// one file.
bool SaveHive(HiveSite& site, platform::HKey root, const std::string& subKey,
              const std::string& fileName, bool save);

// Saves or restores every hive of the hive list. With `zip`, `fileName` is the registry archive;
// without, only its directory part is used. Failures of single hives go to the warning list
// and the error flag; archive errors propagate after the clean-up.
void SaveNTRegistry(HiveSite& site, const std::string& fileName, int step, bool save, bool zip);

}  // namespace brx::registry
