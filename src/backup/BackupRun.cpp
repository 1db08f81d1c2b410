#include "backup/BackupRun.h"

#include <array>

#include "backup/Deleting.h"
#include "backup/Paths.h"
#include "files/Mask.h"
#include "files/Packages.h"
#include "registry/HiveSave.h"
#include "zip/ZipEngine.h"

namespace brx::backup {
namespace {

enum class Place { Windows, System32, ComSpec, Root };

struct SingleItem {
    int index;
    Place place;
    const char* name;
};

constexpr std::array<SingleItem, 10> kSingleItems = {{
    {1, Place::System32, "autoexec.nt"},
    {2, Place::System32, "config.nt"},
    {3, Place::ComSpec, ""},
    {4, Place::System32, "command.com"},
    {5, Place::Root, "ntldr"},
    {6, Place::Root, "ntdetect.com"},
    {7, Place::Root, "boot.ini"},
    {8, Place::Root, "bootfont.bin"},
    {9, Place::Root, "ntbootdd.sys"},
    {10, Place::Root, "bootsect.dos"},
}};

struct ProfileItem {
    int index;
    const char* folder;
    const char* valueName;
    const char* archive;
};

constexpr std::array<ProfileItem, 9> kProfileItems = {{
    {11, "PrintHood", "PrintHood", "printhood.zip"},
    {12, "Application Data", "Application Data", "appdata.zip"},
    {13, "Desktop", "Desktop", "desktop.zip"},
    {14, "Favorites", "Favorites", "favorites.zip"},
    {15, "NetHood", "NetHood", "nethood.zip"},
    {16, "Recent", "Recent", "recent.zip"},
    {17, "Startm~1\\Programs", "Programs", "start.zip"},
    {18, "SendTo", "SendTo", "sendto.zip"},
    {19, "Tempor~1", "Cache", "iecache.zip"},
}};

constexpr int kRegistryItem = 0;
constexpr int kControlPanelItem = 20;

// The registry save reports into the run through these two.
class HiveRunAdapter : public registry::HiveRun {
public:
    HiveRunAdapter(core::Program& program, Packaging& packaging)
        : m_program(program), m_packaging(packaging) {}
    void SetError() override { m_program.run.error = true; }
    void AddWarning(const std::string& line) override { m_program.run.AddWarning(line); }
    void CountFile() override { ++m_program.run.fileCount; }
    void ResetFileCount() override { m_program.run.fileCount = 0; }
    void ShowMessage(const std::string& text) override {
        m_program.ui.Inform(m_program.edition.title, text);
    }
    void SetStatus(const std::string& text) override {
        m_program.ui.SetProgressStatus(text);
        m_program.ui.Pump();
    }
    void BeginProgress(int parts) override { m_packaging.SetProgressParts(parts); }
    void EndProgress() override { m_packaging.SetProgressParts(1); }

private:
    core::Program& m_program;
    Packaging& m_packaging;
};

class HiveArchiverAdapter : public registry::HiveArchiver {
public:
    explicit HiveArchiverAdapter(Packaging& packaging) : m_packaging(packaging) {}
    void ExtractAll(const std::string& archive, const std::string& directory, int step) override {
        m_packaging.AttrCopy(archive, directory, false, FileMode::Extract, step);
    }
    void AddFile(const std::string& archive, const std::string& file) override {
        m_packaging.ProcessFile(file, archive, false, FileMode::Pack, 0);
    }
    void CopyFile(const std::string& from, const std::string& to, int step) override {
        m_packaging.AttrCopy(from, to, false, FileMode::CopyAndStep, step);
    }

private:
    Packaging& m_packaging;
};

TargetKind KindOf(platform::Files& files, const std::string& target) {
    if (target.size() < 3) return TargetKind::Fixed;
    switch (files.driveType(target.substr(0, 3))) {
    case platform::DriveType::Removable: return TargetKind::Removable;
    case platform::DriveType::CdRom: return TargetKind::CdRom;
    default: return TargetKind::Fixed;
    }
}

std::uint32_t BlockSizeOf(const std::string& text) {
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > 0xFFFFFFFFull) return 0;
    }
    return static_cast<std::uint32_t>(value);
}

}  // namespace

struct BackupRun::Run {
    int index = 0;
    std::string configName;
    TargetKind kind = TargetKind::Fixed;
    bool treatAsFixed = false;
    bool compressSingles = true;
    std::string setDirectory;
    int step = 0;
};

BackupRun::BackupRun(core::Program& program)
    : m_program(program),
      m_sets(program.platform, program.ui, program.paths.settingsFile) {
    PackagingPaths paths;
    paths.title = program.edition.title;
    paths.ntEdition = program.edition.IsNT();
    m_packaging = std::make_unique<Packaging>(program.platform, program.ui, program.run,
                                              *program.Zip(), paths);
    m_packaging->InstallEngineHandlers();
}

BackupRun::~BackupRun() = default;

std::string BackupRun::RootDirectory() const {
    const std::string& root = m_program.settings.root;
    return CheckPath(root.empty() ? m_program.paths.bootRoot : root);
}

std::string BackupRun::UserDirectory() const {
    const std::string& user = m_program.settings.user;
    return CheckPath(user.empty() ? m_program.paths.userProfile : user);
}

std::string BackupRun::TempDirectory() const {
    auto& files = m_program.platform.files();
    const std::string& temp = m_program.settings.temp;
    if (!temp.empty() && files.isDirectory(RemoveBackSl(temp))) return CheckPath(temp);
    // Updating an archive needs room for its new copy. A TEMP folder that was never made is
    // made now; failing that, the Windows directory's own Temp folder serves.
    const std::string fallback = CheckPath(m_program.paths.tempDirectory);
    if (ForceDirectories(files, fallback)) return fallback;
    return m_program.paths.windowsDirectory + "Temp\\";
}

bool BackupRun::IsLastConfiguration(int index) const {
    const auto& flags = m_program.runFlags.items;
    const bool unattended = flags[core::kRunBackup1 + index];
    for (int later = index + 1; later < core::kConfigurations; ++later) {
        if (unattended ? flags[core::kRunBackup1 + later] : m_program.settings.configTicks[later])
            return false;
    }
    return true;
}

int BackupRun::CountItems(const core::Configuration& config) const {
    int count = 1;
    if (config.checks[kRegistryItem]) {
        ++count;
        if (!m_program.edition.IsNT()) {
            for (const auto& entry :
                 m_program.platform.files().find(m_program.paths.windowsDirectory + "Profiles\\*"))
                if (entry.isDirectory()) ++count;
        }
    }
    for (int item = 1; item < core::kCheckItems; ++item)
        if (config.checks[item]) ++count;
    for (bool ticked : config.packages)
        if (ticked) ++count;
    return count;
}

SetRequest BackupRun::MakeSetRequest(const Run& run, const std::string& target) const {
    const core::SettingsModel& settings = m_program.settings;
    SetRequest request;
    request.target = target;
    request.type = static_cast<BackupType>(settings.config.backupType);
    request.kind = run.kind;
    request.treatAsHardDrive = run.treatAsFixed;
    for (int c = 0; c < core::kConfigurations; ++c)
        request.unattended = request.unattended || m_program.runFlags.items[core::kRunBackup1 + c];
    request.configName = run.configName;
    request.useDate = settings.useDate;
    request.addConfig = settings.addConfig;
    request.dateFormat = settings.dateFormat.empty() ? "mm/dd/yyyy" : settings.dateFormat;
    request.maxNum = settings.maxNum;
    request.keep = settings.keep;
    return request;
}

void BackupRun::PrepareArchives(const Run& run, int level, BackupType type) {
    const core::Configuration& config = m_program.settings.config;
    PackagingOptions options;
    options.level = level;
    options.password = m_program.settings.password;
    options.verify = config.verifyBackup;
    options.blockSize = BlockSizeOf(config.blockNumber);
    options.blocks = config.blockCheck && run.kind == TargetKind::Fixed && options.blockSize > 0;
    options.removableTarget = run.kind != TargetKind::Fixed;
    options.treatAsFixed = run.treatAsFixed;
    options.deleteFiles = config.deleteFiles;
    options.replace = type == BackupType::Replace;
    options.resetArchiveBit = type == BackupType::Full || type == BackupType::Incremental;
    options.skipByArchiveBit = false;
    options.setDirectory = run.setDirectory;
    m_packaging->Options() = options;

    // The paths follow the settings of this run (Root, User and Temp may have changed).
    PackagingPaths paths;
    paths.windowsDirectory = m_program.paths.windowsDirectory;
    paths.systemDirectory = m_program.paths.systemDirectory;
    paths.userDirectory = UserDirectory();
    paths.programDirectory = m_program.paths.programDirectory;
    paths.windowsBootDirectory = m_program.paths.windowsBootDirectory;
    paths.temp = TempDirectory();
    paths.title = m_program.edition.title;
    paths.ntEdition = m_program.edition.IsNT();
    m_packaging->SetPaths(paths);
    // Other operations (DorAdur, restores) take the engine's events for themselves.
    m_packaging->InstallEngineHandlers();
}

void BackupRun::BackupClick(int index) {
    core::Program& program = m_program;
    core::Ui& ui = program.ui;
    auto& file = program.Settings().File();
    file.WriteBool(core::section::kAutomation[core::kRunBackup1 + index], "switch", false);
    program.SwitchConfiguration(index + 1);
    const core::Configuration& config = program.settings.config;
    const std::string& title = program.edition.title;

    Run run;
    run.index = index;
    run.configName = program.settings.ConfigName();

    const int count = CountItems(config);
    if (count == 1) {
        ui.Inform(title, kNothingSelectedText);
        return;
    }
    run.step = 100 / count;
    if (program.paths.safeMode) ui.Warn(title, kSafeModeText);

    const int level = PackLevelFor(config.compress);
    run.compressSingles = config.compress != 0;

    program.run.BeginOperation();
    program.run.backupDirection = true;
    program.run.AddWarning(kWarningHeading);
    program.run.AddWarning("");

    const std::string target = CheckPath(config.target);
    run.kind = KindOf(program.platform.files(), target);
    run.treatAsFixed = config.treatAsHardDrive;
    program.Zip()->MultiZipInfo.SaveZipInfoOnFirstDisk =
        run.kind != TargetKind::Fixed || config.blockCheck;

    const SetRequest request = MakeSetRequest(run, target);
    auto setDirectory = m_sets.ChooseSetDirectory(request);
    if (!setDirectory) return;
    run.setDirectory = *setDirectory;
    if (run.kind == TargetKind::Removable && !run.treatAsFixed) run.compressSingles = true;
    PrepareArchives(run, level, request.type);

    try {
        if (run.kind != TargetKind::Fixed && !PrepareRemovableTarget(run)) {
            Finish(run);
            return;
        }
        ShowProgressWindow(run);
        if (config.checks[kRegistryItem]) BackupRegistry(run);
        // The registry phase takes everything; the items after it follow the archive bits.
        m_packaging->Options().skipByArchiveBit =
            request.type == BackupType::Incremental || request.type == BackupType::Differential;
        BackupItems(run);
        BackupPackages(run);
        if (!program.run.cancel) WriteDates(index);
    } catch (...) {
        Finish(run);
        throw;
    }
    Finish(run);
}

bool BackupRun::PrepareRemovableTarget(Run& run) {
    core::Program& program = m_program;
    auto& files = program.platform.files();
    const std::string caption = "Insert Disk - " + program.edition.title;
    const bool ready = m_packaging->DisketteReady(run.setDirectory[0]);
    ForceDirectories(files, run.setDirectory);
    auto cancelled = [&] {
        program.run.error = true;
        program.run.AddWarning(kBackupCanceled);
        return false;
    };
    if (program.settings.config.deleteFiles) {
        if (!ready && !program.ui.AskOkCancel(caption, kInsertDiskWipeText, core::MessageIcon::Warning))
            return cancelled();
        m_packaging->ClearDisk(run.setDirectory.substr(0, 3));
        ForceDirectories(files, run.setDirectory);
    } else if (!ready) {
        if (!program.ui.AskOkCancel(caption, kInsertDiskText, core::MessageIcon::Warning))
            return cancelled();
        ForceDirectories(files, run.setDirectory);
    }
    return true;
}

void BackupRun::ShowProgressWindow(Run& run) {
    core::Ui& ui = m_program.ui;
    const std::string caption = "Backup in Process (" + run.configName + ")";
    ui.SetProgressCaption(caption);
    m_packaging->SetRunCaption(caption);
    ui.SetBusyCursor(true);
    ui.SetArchiveGauge(0);
    m_packaging->SetRunGauge(0);
    ui.SetCopyAnimation(true);
    ui.SetProgressStatus("");
    ui.ShowProgress();
    if (m_program.settings.config.minimizeDuringBackup) ui.MinimizeApplication();
}

void BackupRun::BackupRegistry(Run& run) {
    core::Program& program = m_program;
    try {
        HiveRunAdapter hiveRun(program, *m_packaging);
        HiveArchiverAdapter archiver(*m_packaging);
        registry::HiveSite site{program.platform, program.paths.windowsDirectory,
                                program.paths.programDirectory, hiveRun, archiver, false};
        registry::SaveNTRegistry(site, run.setDirectory + registry::kSpareRegistryName, run.step,
                                 true, run.compressSingles);
        const std::string& windows = program.paths.windowsDirectory;
        m_packaging->BackupFile(windows + "win.ini", run.setDirectory, run.compressSingles, 0);
        m_packaging->BackupFile(windows + "system.ini", run.setDirectory, run.compressSingles, 0);
    } catch (const std::exception& error) {
        program.ui.Warn(program.edition.title, kBackupNotSuccessfulText);
        program.run.error = true;
        program.run.AddWarning(kRegistryNotBackedUp);
        throw RunEnded(error.what());
    }
}

void BackupRun::BackupItems(Run& run) {
    core::Program& program = m_program;
    const auto& checks = program.settings.config.checks;
    const std::string& windows = program.paths.windowsDirectory;
    const std::string& system = program.paths.systemDirectory;
    const std::string root = RootDirectory();
    for (const auto& item : kSingleItems) {
        if (program.run.cancel) return;
        if (!checks[item.index]) continue;
        std::string source;
        switch (item.place) {
        case Place::Windows: source = windows + item.name; break;
        case Place::System32: source = windows + "system32\\" + item.name; break;
        case Place::ComSpec: source = program.paths.commandInterpreter; break;
        case Place::Root: source = root + item.name; break;
        }
        m_packaging->BackupFile(source, run.setDirectory, run.compressSingles, run.step);
    }
    for (const auto& item : kProfileItems) {
        if (program.run.cancel) return;
        if (!checks[item.index]) continue;
        m_packaging->ZipDir(run.setDirectory + item.archive, run.step, true, item.folder,
                            item.valueName);
    }
    if (checks[kControlPanelItem] && !program.run.cancel) {
        const std::string archive = run.setDirectory + "ctrlpanl.zip";
        program.ui.SetProgressStatus("Producing ctrlpanl.zip");
        try {
            m_packaging->ProduceArchive(
                archive, {system + "*.cpl", windows + "control.ini", system + "control.exe"}, false);
        } catch (const std::exception& error) {
            program.run.error = true;
            program.run.AddWarning(archive);
            throw RunEnded(error.what());
        }
        m_packaging->AdvanceRun(run.step);
    }
}

void BackupRun::BackupPackages(Run& run) {
    core::Program& program = m_program;
    brx::files::Packages packages(program.platform.profile(), program.paths.settingsFile);
    const auto& ticks = program.settings.config.packages;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        if (program.run.cancel) return;
        if (!ticks[i]) continue;
        auto expanded = packages.ExpandPackage(static_cast<int>(i));
        if (expanded.name.empty()) continue;
        const std::string archive = run.setDirectory + expanded.name + ".zip";
        program.ui.SetProgressStatus("Producing " + expanded.name + ".zip");
        try {
            m_packaging->ProduceArchive(archive, expanded.filesList, expanded.recurse,
                                        expanded.excludeList);
        } catch (const zip::ZipError& error) {
            program.run.error = true;
            program.run.AddWarning(archive);
            if (error.kind() == zip::ZipErrorKind::EUserCanceled || program.run.cancel)
                throw RunEnded(error.what());
        }
        m_packaging->AdvanceRun(run.step);
    }
}

void BackupRun::WriteDates(int index) {
    core::Program& program = m_program;
    auto& file = program.Settings().File();
    const auto today = program.platform.system().now();
    file.WriteInteger(core::section::kLastBackup, "Year", today.year);
    file.WriteInteger(core::section::kLastBackup, "Month", today.month);
    file.WriteInteger(core::section::kLastBackup, "Day", today.day);
    const std::string section = core::section::kBackupPreferences + std::to_string(index + 1);
    file.WriteInteger(section, "LastYear", today.year);
    file.WriteInteger(section, "LastMonth", today.month);
    file.WriteInteger(section, "LastDay", today.day);
    program.settings.config.lastYear = today.year;
    program.settings.config.lastMonth = today.month;
    program.settings.config.lastDay = today.day;
}

void BackupRun::Finish(Run& run) {
    core::Program& program = m_program;
    core::Ui& ui = program.ui;
    ui.SetCopyAnimation(false);
    ui.RestoreApplication();
    ui.HideProgress();
    ui.SetApplicationTitle(program.edition.title);
    ui.Pump();
    const std::string counted = std::to_string(program.run.fileCount) + kFilesBackedUp;
    if (program.run.error) {
        program.run.AddWarning("");
        program.run.AddWarning(counted);
        ui.ShowWarningList(program.run.warnings, core::WarningListMode::Notice);
    } else if (IsLastConfiguration(run.index) && !program.settings.config.closeAfterBackup) {
        ui.Inform(program.edition.title, std::string(kBackupFinished) + "\n\n" + counted);
    }
    ui.SetArchiveGauge(0);
    m_packaging->SetRunGauge(0);
    ui.SetBusyCursor(false);
    program.runFlags.closeAfterBackup = program.settings.config.closeAfterBackup;
    try {
        m_sets.FillList();
    } catch (const std::exception&) {
        // The list is refreshed again at the next change; a failed refresh loses nothing.
    }
    if (RefreshMarquee) RefreshMarquee();
    program.runFlags.items[core::kRunBackup1 + run.index] = false;
}

bool BackupRun::BackupTickedConfigurations() {
    core::Program& program = m_program;
    program.runFlags.closeAfterBackup = false;
    program.run.fileCount = 0;
    bool any = false;
    for (int c = 0; c < core::kConfigurations; ++c) {
        if (!program.settings.configTicks[c]) continue;
        any = true;
        BackupClick(c);
    }
    if (!any) program.ui.Inform(program.edition.title, kNoConfigTicked);
    return program.runFlags.closeAfterBackup;
}

}  // namespace brx::backup
