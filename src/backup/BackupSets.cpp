#include "backup/BackupSets.h"

#include <cstdio>
#include <stdexcept>

#include "backup/Deleting.h"
#include "backup/Paths.h"
#include "backup/SetNames.h"
#include "files/Mask.h"
#include "files/Packages.h"

namespace brx::backup {
namespace {

constexpr const char* kShortPrefix = "Short";
constexpr const char* kBackupManagerSection = "Backup Manager";
constexpr const char* kRestorePreferencesSection = "RestorePreferences";
constexpr const char* kBackupToRestoreKey = "Backup to Restore";
constexpr const char* kMostRecentBackup = "Most Recent Backup";
constexpr const char* kNoBackups = "No Backups";
constexpr const char* kRestoreSourcePrefix = "Brellix Backup - ";

}  // namespace

BackupSets::BackupSets(platform::Platform& platform, core::Ui& ui, std::string settingsFile)
    : m_platform(platform), m_ui(ui), m_file(std::move(settingsFile)) {}

std::optional<std::string> BackupSets::Read(const std::string& key) {
    auto value = m_platform.profile().read(m_file, kBackupDirectoriesSection, key);
    // The list ends at the first missing key; "@" is what readers see for that end.
    if (!value || *value == "@") return std::nullopt;
    return value;
}

void BackupSets::Write(const std::string& key, const std::string& value) {
    if (!m_platform.profile().write(m_file, kBackupDirectoriesSection, key, value))
        throw std::runtime_error("Unable to write to " + m_file);
}

std::vector<std::string> BackupSets::Entries() {
    std::vector<std::string> entries;
    for (int n = 1;; ++n) {
        auto value = Read(std::to_string(n));
        if (!value) break;
        entries.push_back(*value);
    }
    return entries;
}

std::string BackupSets::BuildName(const SetRequest& request, int S,
                                  const std::vector<std::string>& entries) {
    const std::string suffix = request.addConfig ? " " + request.configName : "";
    const std::vector<std::string> earlier(entries.begin(),
                                           entries.begin() + std::min<std::size_t>(S - 1, entries.size()));
    if (request.useDate) {
        const std::string date = FormatDate(request.dateFormat, m_platform.system().now(), "-");
        return NameByDate(date, suffix, earlier);
    }
    std::optional<std::string> newest;
    if (S >= 2 && static_cast<std::size_t>(S - 1) <= entries.size()) newest = entries[S - 2];
    return NameByNumber(newest, suffix);
}

std::optional<std::string> BackupSets::AskName(const std::string& built) {
    std::string initial = built;
    for (;;) {
        auto typed = m_ui.InputBox(kNameCaption, kNamePrompt, initial);
        if (!typed) return std::nullopt;
        if (IsValidSetName(*typed)) return typed;
        m_ui.Inform(kNameCaption, kBadNameText);
        initial = *typed;
    }
}

std::optional<std::string> BackupSets::ChooseSetDirectory(const SetRequest& request) {
    auto& files = m_platform.files();
    const std::string target = CheckPath(request.target);
    auto create = [&](const std::string& directory) {
        if (!ForceDirectories(files, directory))
            throw std::runtime_error("Unable to create " + directory);
    };

    if (request.kind != TargetKind::Fixed && !request.treatAsHardDrive) {
        // The disk may not be in the drive yet; the run asks for it before writing.
        ForceDirectories(files, target);
        return target;
    }

    const auto entries = Entries();
    if (request.type != BackupType::Replace) {
        int S = static_cast<int>(entries.size()) + 1;
        std::string name = BuildName(request, S, entries);
        if (!request.unattended) {
            auto typed = AskName(name);
            if (!typed) return std::nullopt;
            name = *typed;
        }
        const std::string directory = target + name + "\\";
        create(directory);
        S = Rotate(S, request.maxNum, request.keep);
        Record(S, directory);
        return directory;
    }

    create(target);
    int found = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (brx::files::UpperCase(entries[i]) == brx::files::UpperCase(target)) {
            found = static_cast<int>(i) + 1;
            break;
        }
    }
    int S = found ? static_cast<int>(entries.size()) : static_cast<int>(entries.size()) + 1;
    S = Rotate(S, request.maxNum, request.keep);
    if (found) S = Shift(found, request.maxNum);
    Record(S, target);
    return target;
}

int BackupSets::Rotate(int S, int maxNum, int keep) {
    if (maxNum >= S) return S;
    if (auto oldest = Read(std::to_string(keep + 1))) RemoveOldest(CheckPath(*oldest));
    return Shift(keep + 1, maxNum);
}

void BackupSets::RemoveOldest(const std::string& directory) {
    auto& files = m_platform.files();
    // Only the files directly in the set go without asking; subdirectories may hold other
    // things the user put there.
    for (const auto& entry : files.find(directory + "*")) {
        if (entry.isDirectory()) continue;
        files.setAttributes(directory + entry.name, platform::kAttrNormal);
        files.deleteFile(directory + entry.name);
    }
    if (!files.exists(RemoveBackSl(directory))) return;
    if (files.removeDirectory(RemoveBackSl(directory)) == platform::kErrorSuccess) return;
    const std::string text = "The " + directory + " directory could not be removed.\n\n" +
                             "This is probably because files exist in subdirectories.\n\n" +
                             "Do you want me to delete all of the subdirectories?";
    // No is the default: an unattended run must not wipe folders nobody has looked at.
    if (m_ui.AskYesNo("Delete " + directory + "?", text, core::MessageIcon::Question, core::Answer::No))
        DeleteSubDirs(files, directory, {[this] { m_ui.Pump(); }, {}});
}

int BackupSets::Shift(int from, int maxNum) {
    int i = from;
    for (; i < maxNum; ++i) {
        auto next = Read(std::to_string(i + 1));
        if (!next) break;
        auto nextShort = Read(kShortPrefix + std::to_string(i + 1));
        Write(std::to_string(i), *next);
        Write(kShortPrefix + std::to_string(i),
              nextShort ? *nextShort : ShortFileName(m_platform.files(), *next));
    }
    return i;
}

void BackupSets::Record(int S, const std::string& directory) {
    Write(std::to_string(S), directory);
    Write(kShortPrefix + std::to_string(S), ShortFileName(m_platform.files(), directory));
    FillList();
}

std::string BackupSets::FormatModified(platform::FileTime time) {
    const auto local = m_platform.system().toLocal(time);
    std::string format = m_platform.system().shortDateFormat();
    if (format.empty()) format = "M/d/yyyy";
    char clock[32];
    std::snprintf(clock, sizeof clock, " %d:%02d:%02d", local.hour, local.minute, local.second);
    return FormatDate(format, local, "/") + clock;
}

SetListing BackupSets::FillList() {
    auto& profile = m_platform.profile();
    auto& files = m_platform.files();
    SetListing listing;
    for (int c = 0; c < 3; ++c) {
        const std::string key = "Column" + std::to_string(c + 1) + "Width";
        listing.columnWidths[c] = platform::parseProfileInt(
            profile.readString(m_file, kBackupManagerSection, key, ""), listing.columnWidths[c]);
    }
    listing.backupsExist = Read("1").has_value();
    listing.firstMenuCaption = listing.backupsExist ? kMostRecentBackup : kNoBackups;

    bool missing = false;
    for (int n = 1;; ++n) {
        auto value = Read(std::to_string(n));
        if (!value) break;
        const std::string bare = RemoveBackSl(*value);
        auto info = files.stat(bare);
        if (!info || !info->isDirectory()) {
            missing = true;
            continue;
        }
        Write(kShortPrefix + std::to_string(n), ShortFileName(files, *value));
        const std::size_t slash = bare.rfind('\\');
        SetRow row;
        row.name = slash == std::string::npos ? bare : bare.substr(slash + 1);
        row.parent = slash == std::string::npos ? "" : bare.substr(0, slash + 1);
        row.modified = FormatModified(info->modified);
        listing.rows.push_back(row);
    }
    if (missing) {
        profile.deleteSection(m_file, kBackupDirectoriesSection);
        for (std::size_t i = 0; i < listing.rows.size(); ++i) {
            const std::string path = listing.rows[i].parent + listing.rows[i].name + "\\";
            Write(std::to_string(i + 1), path);
            Write(kShortPrefix + std::to_string(i + 1), ShortFileName(files, path));
        }
    }

    int k = platform::parseProfileInt(
        profile.readString(m_file, kRestorePreferencesSection, kBackupToRestoreKey, ""), 0);
    if (k < 0) k = 0;
    if (k > static_cast<int>(listing.rows.size())) {
        profile.write(m_file, kRestorePreferencesSection, kBackupToRestoreKey, "0");
        k = 0;
    }
    listing.backupToRestore = k;
    listing.restoreSourceText =
        kRestoreSourcePrefix + (k == 0 ? listing.firstMenuCaption : listing.rows[k - 1].name);
    listing.packages = brx::files::Packages(profile, m_file).ListPackages();
    if (m_views.show) m_views.show(listing);
    return listing;
}

}  // namespace brx::backup
