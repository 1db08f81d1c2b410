#include "restore/RestoreSources.h"

#include <algorithm>

#include "registry/WinPath.h"

namespace brx::restore {

using namespace brx::platform;
using registry::UpperCase;

namespace {

constexpr const char* kRestorePreferences = "RestorePreferences";
constexpr std::array<const char*, 6> kCompressedRepairNames = {"sam._", "security._", "system._",
                                                               "software._", "default._", "ntuser.da_"};

bool MatchesMask(const std::string& name, const std::string& mask)
{
    // '*' and '?' as Windows matches them, without regard to case.
    std::size_t n = 0, m = 0, star = std::string::npos, mark = 0;
    const std::string upperName = UpperCase(name), upperMask = UpperCase(mask);
    while (n < upperName.size()) {
        if (m < upperMask.size() && (upperMask[m] == '?' || upperMask[m] == upperName[n])) {
            ++n, ++m;
        } else if (m < upperMask.size() && upperMask[m] == '*') {
            star = m++, mark = n;
        } else if (star != std::string::npos) {
            m = star + 1, n = ++mark;
        } else {
            return false;
        }
    }
    while (m < upperMask.size() && upperMask[m] == '*') ++m;
    return m == upperMask.size();
}

}  // namespace

RestorePage::RestorePage(core::Program& program, StartRestore start)
    : m_program(program), m_start(std::move(start))
{
    if (!m_start)
        m_start = [this](const std::string& filePath, RestoreSourceKind sourceKind, const RestoreExtents& extents) {
            RestoreRun(m_program).RunRestore(filePath, sourceKind, extents);
        };
}

void RestorePage::Inform(const std::string& text) { m_program.ui.Inform(m_program.edition.title, text); }

void RestorePage::Load()
{
    const core::SettingsModel& settings = m_program.settings;
    source = std::clamp(settings.restoreType, static_cast<int>(kNoSource), static_cast<int>(kRepairRegistrySource));
    winCrash.checked = settings.winCrash;
    winUsers.checked = settings.winUsers;
    userFiles.checked = settings.userFiles;
    spareAvailable = m_program.facts.spareRegistry;
    repairAvailable = m_program.facts.repairCopy;
    FillBackupList();
    RefreshPage();
}

void RestorePage::RefreshPage()
{
    const bool backupSource = source == kBrellixBackupsSource || source == kDisketteSource;
    winCrash.enabled = source != kNoSource;
    if (source == kSpareRegistrySource || source == kRepairRegistrySource)
        winCrash.checked = true;
    else if (backupSource)
        winCrash.checked = m_program.Settings().File().ReadBool(kRestorePreferences, "WinCrash", true);
    else
        winCrash.checked = false;
    winUsers.enabled = backupSource;
    userFiles.enabled = backupSource;
    restartLabelVisible = winCrash.checked || winUsers.checked;
}

SourceChange RestorePage::ChangeSource(ChangeSender sender)
{
    SourceChange change;
    backupsAvailable = !backup::BackupSets(m_program.platform, m_program.ui, m_program.paths.settingsFile)
                            .Entries()
                            .empty();
    RefreshPage();

    const bool missing = (source == kSpareRegistrySource && !spareAvailable) ||
                         (source == kBrellixBackupsSource && !backupsAvailable) ||
                         (source == kRepairRegistrySource && !repairAvailable);
    if (missing) {
        const std::string name = source == kBrellixBackupsSource ? kBrellixBackups : sourceItems[source];
        Inform(name + " Not Available");
        // Move on to the next source that may serve, each step once.
        if (source == kRepairRegistrySource) source = kSpareRegistrySource;
        if (source == kSpareRegistrySource && !spareAvailable) source = kBrellixBackupsSource;
        if (source == kBrellixBackupsSource && !backupsAvailable) source = kDisketteSource;
        change.notAvailable = sender == ChangeSender::Wizard;
        RefreshPage();
    } else if (source == kBrellixBackupsSource && sender == ChangeSender::Page) {
        change.showBackupList = true;
    }
    return change;
}

void RestorePage::ClickWinCrash(bool checked)
{
    winCrash.checked = checked;
    m_program.settings.winCrash = checked;
    m_program.Settings().File().WriteBool(kRestorePreferences, "WinCrash", checked);
    restartLabelVisible = winCrash.checked || winUsers.checked;
}

void RestorePage::ClickWinUsers(bool checked)
{
    winUsers.checked = checked;
    m_program.settings.winUsers = checked;
    restartLabelVisible = winCrash.checked || winUsers.checked;
}

void RestorePage::ClickUserFiles(bool checked)
{
    userFiles.checked = checked;
    m_program.settings.userFiles = checked;
}

void RestorePage::FillBackupList()
{
    const backup::SetListing listing =
        backup::BackupSets(m_program.platform, m_program.ui, m_program.paths.settingsFile).FillList();
    backupsAvailable = listing.backupsExist;
    backupList.assign(1, listing.firstMenuCaption);
    for (const backup::SetRow& row : listing.rows) backupList.push_back(row.name);
    sourceItems[kBrellixBackupsSource] = listing.restoreSourceText;
}

void RestorePage::ChooseBackup(int index)
{
    if (index < 0 || index >= static_cast<int>(backupList.size())) return;
    if (backupList[static_cast<std::size_t>(index)] == kNoBackups) return;
    sourceItems[kBrellixBackupsSource] = kBrellixBackupPrefix + backupList[static_cast<std::size_t>(index)];
    source = kBrellixBackupsSource;
    m_program.Settings().File().WriteInteger(kRestorePreferences, "Backup to Restore", index);
}

void RestorePage::RestoreClick()
{
    FillBackupList();
    m_program.Settings().File().WriteInteger("Bootup", "Action", 0);
    kind = RestoreSourceKind::BackupSet;
    const std::string& windows = m_program.paths.windowsDirectory;
    switch (source) {
    case kSpareRegistrySource:
        if (!spareAvailable) return;
        kind = RestoreSourceKind::SpareRegistry;
        Start(windows);
        return;
    case kBrellixBackupsSource: {
        const std::string& text = sourceItems[kBrellixBackupsSource];
        if (!backupsAvailable || text == kBrellixBackups) return;
        const std::string prefix = kBrellixBackupPrefix;
        GetBackupFile(text.rfind(prefix, 0) == 0 ? text.substr(prefix.size()) : text);
        return;
    }
    case kDisketteSource: {
        kind = RestoreSourceKind::Diskette;
        const auto chosen = m_program.ui.ChooseDirectory("Specify the Disk", "A:\\");
        if (!chosen) return;
        std::string directory = UpperCase(*chosen);
        if (directory.empty() || directory.back() != '\\') directory += '\\';
        const DriveType type = m_program.platform.files().driveType(directory.substr(0, 3));
        if (type == DriveType::Fixed || type == DriveType::RamDisk) {
            Inform("The Directory specified is incorrect.");
            return;
        }
        GetCompressType(directory);
        return;
    }
    case kRepairRegistrySource:
        if (!repairAvailable) return;
        if (!m_program.ui.AskYesNo(m_program.edition.title,
                                   "Are you sure you want to Restore to the Repair Registry?\r\rContinue?",
                                   core::MessageIcon::Warning))
            return;
        kind = RestoreSourceKind::RepairCopies;
        Start(windows + "repair\\");
        return;
    default:
        Inform("Please select a Backup to restore.");
    }
}

void RestorePage::GetBackupFile(const std::string& caption)
{
    kind = RestoreSourceKind::BackupSet;
    std::size_t index = 0;
    for (std::size_t i = 0; i < backupList.size(); ++i)
        if (backupList[i] == caption) index = i;

    backup::BackupSets sets(m_program.platform, m_program.ui, m_program.paths.settingsFile);
    if (index == 0) {
        // The most recent backup is the set whose directory was written last; on equal times
        // the earlier set in the list wins.
        const std::vector<std::string> entries = sets.Entries();
        std::optional<FileTime> newest;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            std::string path = entries[i];
            if (path.size() > 3 && path.back() == '\\') path.pop_back();
            const auto info = m_program.platform.files().stat(path);
            if (!info) continue;
            if (!newest || info->modified > *newest) {
                newest = info->modified;
                index = i + 1;
            }
        }
    }
    const std::string directory = m_program.Settings().File().ReadString(
        backup::kBackupDirectoriesSection, std::to_string(index), "@");
    if (directory == "@") {
        Inform("Error - Backup Set Unknown");
        return;
    }
    GetCompressType(directory);
}

std::string RestorePage::UserHiveMask(const std::string& directory)
{
    const std::string index = directory + "user.ini";
    const std::string user = UpperCase(m_program.paths.userProfile);
    std::string mask = "user0";
    for (int n = 0;; ++n) {
        const std::string name = "user" + std::to_string(n);
        const std::string value = m_program.platform.profile().readString(index, "MultiUsers", name, "");
        if (value.empty()) break;
        if (UpperCase(registry::DirectoryPart(value)) == user) mask = name;
    }
    return mask;
}

// A directory search on Windows lists "." and ".." first whenever the mask matches them, except
// in the root of a drive.
bool RestorePage::SearchesDots(const std::string& directory, const std::string& mask) const
{
    return directory.size() > 3 && MatchesMask(".", mask);
}

std::optional<std::string> RestorePage::FindFirst(const std::string& directory, const std::string& mask)
{
    const std::vector<FileInfo> found = m_program.platform.files().find(directory + mask);
    if (found.empty()) return std::nullopt;
    const std::string& name = found.front().name;
    if (SearchesDots(directory, mask) &&
        std::find(kCompressedRepairNames.begin(), kCompressedRepairNames.end(), name) != kCompressedRepairNames.end())
        kind = RestoreSourceKind::RepairCopies;
    return name;
}

void RestorePage::GetCompressType(const std::string& directory)
{
    Files& files = m_program.platform.files();
    const std::string mask = files.exists(directory + "user.ini") ? UserHiveMask(directory)
                             : winCrash.checked                  ? std::string("win.in?")
                                                                 : std::string("*.*");
    std::optional<std::string> found = FindFirst(directory, mask);
    if (kind != RestoreSourceKind::Diskette) {
        if (!found) {
            Inform(winCrash.checked ? "No Registry found in Backup Set.\r\rPlease choose another Backup Set or uncheck Windows Crash."
                                    : "No Backup Set Found.\r\rPlease make a backup first.");
            return;
        }
    } else {
        while (!found) {
            if (!m_program.ui.AskOkCancel("Insert Disk - " + m_program.edition.title,
                                          "Please insert the last disk with user.daz or user.da- on it.",
                                          core::MessageIcon::Warning))
                return;
            found = FindFirst(directory, mask);
        }
    }
    if (kind != RestoreSourceKind::RepairCopies && !files.exists(directory + "registry.daz") &&
        files.exists(directory + "win.ini"))
        kind = RestoreSourceKind::PlainBackupSet;
    Start(directory + *found);
}

void RestorePage::Start(const std::string& filePath)
{
    RestoreExtents extents;
    extents.winCrash = winCrash.effective();
    extents.winUsers = winUsers.effective();
    extents.userFiles = userFiles.effective();
    m_start(filePath, kind, extents);
}

}  // namespace brx::restore
