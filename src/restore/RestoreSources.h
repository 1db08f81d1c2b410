// The Dazur Edozi page as a model: where to restore from, what to restore, the list of backup
// sets, and the resolution of that choice into a source directory and kind for the restore run.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "backup/BackupSets.h"
#include "core/Program.h"
#include "restore/RestoreRun.h"
#include "restore/RestoreSourceKind.h"

namespace brx::restore {

enum RestoreSource : int {
    kNoSource = -1,
    kSpareRegistrySource = 0,
    kBrellixBackupsSource = 1,
    kDisketteSource = 2,
    kRepairRegistrySource = 3,
};

inline constexpr const char* kBrellixBackups = "Brellix Backups";
inline constexpr const char* kBrellixBackupPrefix = "Brellix Backup - ";
inline constexpr const char* kNoBackups = "No Backups";

struct ExtentBox {
    bool enabled = false;
    bool checked = false;
    bool effective() const { return enabled && checked; }
};

// Who changed the source: the page itself, or the wizard (which shows no pop-up and reads the
// not-available flag instead).
enum class ChangeSender { Page, Wizard };

struct SourceChange {
    bool showBackupList = false;   // pop the backup list up at the list box's top-left corner
    bool notAvailable = false;     // the chosen source was not available
};

class RestorePage {
public:
    using StartRestore = std::function<void(const std::string& filePath, RestoreSourceKind kind,
                                            const RestoreExtents& extents)>;

    // `start` runs the restore; by default the restore run of the program.
    RestorePage(core::Program& program, StartRestore start = {});

    // --- what the page shows ------------------------------------------------------------------
    int source = kNoSource;
    std::array<std::string, 4> sourceItems{"Spare Registry", kBrellixBackups, "Diskette", "Repair Registry"};
    ExtentBox winCrash;
    ExtentBox winUsers;
    ExtentBox userFiles;
    bool restartLabelVisible = false;
    std::vector<std::string> backupList;   // captions of the pop-up list, "Most Recent Backup" first
    bool spareAvailable = false;
    bool repairAvailable = false;
    bool backupsAvailable = false;
    RestoreSourceKind kind = RestoreSourceKind::BackupSet;

    // Takes the saved choice and the start-up facts.
    void Load();
    void RefreshPage();
    SourceChange ChangeSource(ChangeSender sender);
    void ClickWinCrash(bool checked);
    void ClickWinUsers(bool checked);
    void ClickUserFiles(bool checked);
    // Rebuilds the backup list before it pops up.
    void FillBackupList();
    // A click on an item of the backup list.
    void ChooseBackup(int index);
    // The Restore button: resolves the choice and starts the restore run.
    void RestoreClick();

    // --- the resolution -----------------------------------------------------------------------
    void GetBackupFile(const std::string& caption);
    void GetCompressType(const std::string& directory);
    std::string UserHiveMask(const std::string& directory);

private:
    void Start(const std::string& filePath);
    void Inform(const std::string& text);
    bool SearchesDots(const std::string& directory, const std::string& mask) const;
    std::optional<std::string> FindFirst(const std::string& directory, const std::string& mask);

    core::Program& m_program;
    StartRestore m_start;
};

}  // namespace brx::restore
