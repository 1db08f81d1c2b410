// The list of backup sets ("Backup Directories" in the settings file) and the choice of the
// directory a backup run writes into.
//
// The list is shared by the four configurations: key n holds the n-th set (oldest first) with a
// trailing backslash and "Short"n its 8.3 form for the DOS restore program. Sets on removable
// disks that are not treated as fixed never enter it. A crash between the deletion of the oldest
// set and the new entry leaves an entry whose directory is gone; the next refresh drops it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/Ui.h"
#include "platform/Platform.h"

namespace brx::backup {

inline constexpr const char* kBackupDirectoriesSection = "Backup Directories";

enum class BackupType { Full = 0, Incremental = 1, Differential = 2, Replace = 3 };
enum class TargetKind { Fixed, Removable, CdRom };

// Everything the choice of a set directory depends on.
struct SetRequest {
    std::string target;          // the configuration's "Target"
    BackupType type = BackupType::Full;
    TargetKind kind = TargetKind::Fixed;
    bool treatAsHardDrive = false;
    bool unattended = false;
    std::string configName;
    bool useDate = true;
    bool addConfig = false;
    std::string dateFormat = "mm/dd/yyyy";
    int maxNum = 10;
    int keep = 1;
};

// One row of the Backup Manager list.
struct SetRow {
    std::string name;      // last path component
    std::string parent;    // everything before it, with its backslash
    std::string modified;  // the directory's last write, short date and long time
};

// What a refresh of the list shows; the windows get it through SetViews.
struct SetListing {
    int columnWidths[3] = {100, 197, 100};
    std::vector<SetRow> rows;
    bool backupsExist = false;
    std::string firstMenuCaption;     // "Most Recent Backup" or "No Backups"
    int backupToRestore = 0;
    std::string restoreSourceText;    // "Brellix Backup - " + caption of the chosen item
    std::vector<std::string> packages;
};

struct SetViews {
    std::function<void(const SetListing&)> show;
};

class BackupSets {
public:
    BackupSets(platform::Platform& platform, core::Ui& ui, std::string settingsFile);

    // Entries "1", "2", ... up to the first missing one.
    std::vector<std::string> Entries();

    // Decides, creates and records the set directory. nullopt when the user cancelled the name
    // prompt: then nothing was created or written. Throws when the directory cannot be made.
    std::optional<std::string> ChooseSetDirectory(const SetRequest& request);

    // Re-reads the list, drops sets whose directories are gone and renumbers the rest.
    SetListing FillList();
    void SetViewsCallback(SetViews views) { m_views = std::move(views); }

private:
    std::optional<std::string> Read(const std::string& key);
    void Write(const std::string& key, const std::string& value);
    std::optional<std::string> AskName(const std::string& built);
    std::string BuildName(const SetRequest& request, int S, const std::vector<std::string>& entries);
    int Rotate(int S, int maxNum, int keep);
    void RemoveOldest(const std::string& directory);
    int Shift(int from, int maxNum);
    void Record(int S, const std::string& directory);
    std::string FormatModified(platform::FileTime time);

    platform::Platform& m_platform;
    core::Ui& m_ui;
    std::string m_file;
    SetViews m_views;
};

}  // namespace brx::backup
