// The backup run: one backup configuration into one backup set.
//
// A set holds "registry.daz" (every hive and user.ini) with "win.inz" and "system.inz", one
// packed file per ticked boot or command file ("ntldr.--z", "boot.inz", ...), one archive per
// profile folder ("desktop.zip", ...), "ctrlpanl.zip" and "NAME.zip" per ticked package; or,
// without compression, the plain files and copy trees. A run that is interrupted leaves what it
// had written; the list entry of the set is written before the first archive, so the set shows
// up in the list (and is rotated away in time) even when the run did not finish.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "backup/BackupSets.h"
#include "backup/Packaging.h"
#include "core/Program.h"

namespace brx::backup {

inline constexpr const char* kNothingSelectedText =
    "Nothing is selected to backup.  Please change settings in the Backup Preferences section.";
inline constexpr const char* kSafeModeText = "It is not recommended to do Backups in Safe Mode.";
inline constexpr const char* kWarningHeading = "The following file(s) could not be copied:";
inline constexpr const char* kBackupNotSuccessfulText =
    "WARNING - An Error has Occurred - Backup NOT Successful.";
inline constexpr const char* kRegistryNotBackedUp = "Registry Not Backed Up";
inline constexpr const char* kBackupCanceled = "Backup Canceled";
inline constexpr const char* kInsertDiskText = "Please insert a disk.";
inline constexpr const char* kInsertDiskWipeText =
    "Please insert a disk.  Warning - all data will be deleted from the disk.";
inline constexpr const char* kFilesBackedUp = " files backed up.";
inline constexpr const char* kBackupFinished = "Backup Finished";
inline constexpr const char* kNoConfigTicked = "At least one of the Configs must be checked.";

class BackupRun {
public:
    // The program must have its archive engine installed.
    explicit BackupRun(core::Program& program);
    ~BackupRun();

    // Backs up configuration `index` (0 to 3). A failure that ends the run is thrown after the
    // finishing steps, for the program's default error display.
    void BackupClick(int index);

    // The "&Backup" button: every ticked configuration in order. Returns whether the program
    // should close now.
    bool BackupTickedConfigurations();

    BackupSets& Sets() { return m_sets; }
    Packaging& Archives() { return *m_packaging; }

    // Called at the end of every run so the main window can rebuild its marquee.
    std::function<void()> RefreshMarquee;

private:
    struct Run;
    bool IsLastConfiguration(int index) const;
    int CountItems(const core::Configuration& config) const;
    std::string RootDirectory() const;
    std::string UserDirectory() const;
    std::string TempDirectory() const;
    SetRequest MakeSetRequest(const Run& run, const std::string& target) const;
    void PrepareArchives(const Run& run, int level, BackupType type);
    bool PrepareRemovableTarget(Run& run);
    void ShowProgressWindow(Run& run);
    void BackupRegistry(Run& run);
    void BackupItems(Run& run);
    void BackupPackages(Run& run);
    void WriteDates(int index);
    void Finish(Run& run);

    core::Program& m_program;
    BackupSets m_sets;
    std::unique_ptr<Packaging> m_packaging;
};

}  // namespace brx::backup
