#include "restore/RestoreRun.h"

#include <algorithm>
#include <array>

#include "backup/Packaging.h"
#include "registry/ProgramHive.h"
#include "registry/Restart.h"
#include "registry/WinPath.h"
#include "restore/RepairRestore.h"
#include "restore/Transfer.h"
#include "zip/ZipEngine.h"

namespace brx::restore {

using namespace brx::platform;
using registry::DirectoryPart;
using registry::FileNamePart;

namespace {

constexpr const char* kNothingSelected =
    "Nothing is selected to restore.  Please select something under 2. Select Extent to Restore.";
constexpr const char* kRestoreFailed = "An error has occurred.  Restore may not have been successful.";

// The WinConfig files in backup-list order, with where each one lives.
enum class Home { System32, CommandInterpreter, BootRoot };
struct WinConfigFile {
    const char* name;
    Home home;
};
constexpr std::array<WinConfigFile, 10> kWinConfigFiles = {{
    {"autoexec.nt", Home::System32},
    {"config.nt", Home::System32},
    {"cmd.exe", Home::CommandInterpreter},
    {"command.com", Home::System32},
    {"ntldr", Home::BootRoot},
    {"ntdetect.com", Home::BootRoot},
    {"boot.ini", Home::BootRoot},
    {"bootfont.bin", Home::BootRoot},
    {"ntbootdd.sys", Home::BootRoot},
    {"bootsect.dos", Home::BootRoot},
}};

constexpr std::array<const char*, 10> kProfileArchives = {
    "printhood.zip", "appdata.zip", "desktop.zip", "favorites.zip", "nethood.zip",
    "recent.zip",    "start.zip",   "sendto.zip",  "iecache.zip",   "ctrlpanl.zip"};
constexpr int kDesktopPosition = 13;

bool RestoresRegistryOnly(RestoreSourceKind kind)
{
    return kind == RestoreSourceKind::RepairCopies || kind == RestoreSourceKind::PlainBackupSet ||
           kind == RestoreSourceKind::SpareRegistry;
}

TransferMode ModeOf(const std::string& filePath, RestoreSourceKind kind)
{
    if (RestoresRegistryOnly(kind)) return TransferMode::Plain;
    const char last = filePath.empty() ? '\0' : filePath.back();
    if (last == 'p' || last == 'z') return TransferMode::Archive;
    if (last == 't') return TransferMode::Plain;
    return TransferMode::None;
}

}  // namespace

std::string ArchivedName(const std::string& path)
{
    const std::string name = FileNamePart(path);
    const auto dot = name.find_last_of('.');
    std::string base = dot == std::string::npos ? name : name.substr(0, dot);
    std::string extension = dot == std::string::npos ? std::string() : name.substr(dot + 1, 3);
    extension.resize(3, '-');
    return DirectoryPart(path) + base + "." + extension.substr(0, 2) + "z";
}

void RestoreRun::RestoreFile(const std::string& source, const std::string& dest, TransferMode mode)
{
    m_program.ui.SetArchiveGauge(0);
    const std::string found = mode == TransferMode::Plain ? source : ArchivedName(source);
    if (!m_program.platform.files().exists(found)) return;
    Transfer transfer(m_program);
    switch (mode) {
    case TransferMode::Plain: transfer.CopyFile(found, dest, 0); break;
    case TransferMode::Archive: transfer.ExtractAll(found, DirectoryPart(dest), 0); break;
    case TransferMode::None: transfer.CopyAttributes(found, dest); break;
    }
}

void RestoreRun::RunRestore(const std::string& filePath, RestoreSourceKind kind, const RestoreExtents& extents)
{
    core::RunState& run = m_program.run;
    m_source = DirectoryPart(filePath);
    m_kind = kind;
    m_extents = extents;
    run.fileCount = 0;
    run.backupDirection = false;
    if (zip::ZipEngine* engine = m_program.Zip())
        engine->IncompleteZipMode = kind == RestoreSourceKind::Diskette ? zip::izAssumeMulti : zip::izAssumeBad;

    const int shares = RestoresRegistryOnly(kind)
                           ? 3
                           : 1 + (extents.winCrash ? 3 : 0) + (extents.winUsers ? 9 : 0) + (extents.userFiles ? 6 : 0);
    if (shares == 1) {
        m_program.ui.Inform(m_program.edition.title, kNothingSelected);
        return;
    }
    m_step = 100 / shares;
    run.progressStep = m_step;
    m_mode = ModeOf(filePath, kind);

    run.BeginOperation();
    run.AddWarning("The following file(s) could not be copied:");
    run.AddWarning("");

    // The disk prompts of a spanned or damaged archive are those of the backup's packaging, in
    // the restore direction. The engine is given back when the run ends.
    std::unique_ptr<backup::Packaging> diskPrompts = EngineEvents();
    struct CleanUpGuard {
        RestoreRun& restore;
        ~CleanUpGuard()
        {
            restore.CleanUp();
            registry::TakeEngineEvents(restore.m_program);
        }
    } cleanUp{*this};
    try {
        Execute();
    } catch (...) {
        m_program.ui.Inform(m_program.edition.title, kRestoreFailed);
        throw;
    }
}

std::unique_ptr<backup::Packaging> RestoreRun::EngineEvents()
{
    zip::ZipEngine* engine = m_program.Zip();
    if (engine == nullptr) return nullptr;
    backup::PackagingPaths paths;
    paths.windowsDirectory = m_program.paths.windowsDirectory;
    paths.systemDirectory = m_program.paths.systemDirectory;
    paths.userDirectory = m_program.paths.userProfile;
    paths.programDirectory = m_program.paths.programDirectory;
    paths.windowsBootDirectory = m_program.paths.windowsBootDirectory;
    paths.temp = m_program.paths.tempDirectory;
    paths.title = m_program.edition.title;
    paths.ntEdition = m_program.edition.IsNT();
    auto packaging = std::make_unique<backup::Packaging>(m_program.platform, m_program.ui, m_program.run,
                                                         *engine, paths);
    packaging->Options().removableTarget = m_kind == RestoreSourceKind::Diskette;
    packaging->InstallEngineHandlers();
    return packaging;
}

void RestoreRun::Execute()
{
    core::Ui& ui = m_program.ui;
    ui.SetArchiveGauge(0);
    ui.SetRunGauge(0);
    m_program.run.progressBase = 0;
    ui.SetCopyAnimation(true);
    ui.SetProgressStatus("");
    ui.SetProgressCaption("Rescue in Process");
    ui.ShowProgress();
    ui.SetBusyCursor(true);

    if (!FindAttrib()) return;
    if (m_extents.winCrash || RestoresRegistryOnly(m_kind)) RestoreRegistry();
    RestoreFiles();
    Finish();
}

// The restored files get their attributes back with attrib.exe, so it must be at hand.
bool RestoreRun::FindAttrib()
{
    if (m_program.platform.files().exists(m_program.paths.windowsDirectory + "System32\\attrib.exe")) return true;
    return m_program.ui
        .ChooseOpenFile("Find the Attrib.exe file", "Attrib.exe|attrib.exe", m_program.paths.systemDirectory, "")
        .has_value();
}

void RestoreRun::RestoreRegistry()
{
    if (m_kind == RestoreSourceKind::RepairCopies || m_kind == RestoreSourceKind::PlainBackupSet) {
        RestoreRepair(m_program, m_source, m_kind);
        return;
    }
    Transfer transfer(m_program);
    registry::ProgramHiveSite site(m_program, &transfer);
    registry::SaveNTRegistry(site.Site(), m_source + "registry.daz", m_step, false, true);
}

void RestoreRun::AdvanceGauge()
{
    core::RunState& run = m_program.run;
    run.progressBase = std::min(100, run.progressBase + m_step);
    m_program.ui.SetRunGauge(run.progressBase);
}

void RestoreRun::RestoreFiles()
{
    if (m_kind == RestoreSourceKind::RepairCopies || m_kind == RestoreSourceKind::SpareRegistry) return;
    if (m_kind == RestoreSourceKind::PlainBackupSet && m_program.edition.IsNT()) return;
    const std::string& windows = m_program.paths.windowsDirectory;
    if (m_extents.winCrash) {
        RestoreFile(m_source + "win.ini", windows + "win.ini", m_mode);
        RestoreFile(m_source + "system.ini", windows + "system.ini", m_mode);
    }
    const int profileGaugeFrom = m_program.edition.IsNT() ? 9 : 8;
    for (int position = 1; position <= 20; ++position) {
        if (position <= 10 && m_extents.winUsers) {
            const WinConfigFile& file = kWinConfigFiles[static_cast<std::size_t>(position - 1)];
            std::string dest;
            switch (file.home) {
            case Home::System32: dest = windows + "system32\\" + file.name; break;
            case Home::CommandInterpreter: dest = m_program.paths.commandInterpreter; break;
            case Home::BootRoot: dest = m_program.paths.bootRoot + file.name; break;
            }
            RestoreFile(m_source + file.name, dest, m_mode);
        }
        if (position > 10 && m_extents.userFiles && m_mode != TransferMode::Plain) {
            RestoreProfileArchive(m_source + kProfileArchives[static_cast<std::size_t>(position - 11)]);
            if (position == kDesktopPosition && m_program.platform.files().exists(m_source + "desktop1.zip"))
                RestoreProfileArchive(m_source + "desktop1.zip");
        }
        if (m_extents.userFiles && position > profileGaugeFrom) AdvanceGauge();
        if (m_extents.winUsers && position < 10) AdvanceGauge();
    }
}

void RestoreRun::RestoreProfileArchive(const std::string& archive)
{
    Files& files = m_program.platform.files();
    while (!files.exists(archive)) {
        if (m_kind != RestoreSourceKind::Diskette) return;
        const bool retry = m_program.ui.AskRetryCancel(FileNamePart(archive) + " not Found - " + m_program.edition.title,
                                                       "Please insert the next disk.");
        if (!retry) {
            m_program.run.error = true;
            m_program.run.AddWarning(archive);
            return;
        }
    }
    Transfer(m_program).ExtractToStoredPaths(archive);
}

void RestoreRun::Finish()
{
    core::Ui& ui = m_program.ui;
    ui.Pump();
    ui.SetRunGauge(100);
    ui.SetCopyAnimation(false);
    ui.SetApplicationTitle(m_program.edition.title);

    core::RunState& run = m_program.run;
    if (run.error) {
        if (m_extents.winCrash) {
            run.AddWarning("");
            run.AddWarning("If any keys were successfully restored, ");
            run.AddWarning("   they will be implemented when Windows restarts.");
        }
        run.AddWarning("");
        run.AddWarning("Do you want to Restart Windows?");
        if (ui.ShowWarningList(run.warnings, core::WarningListMode::Question) == core::Answer::Yes) Restart();
        return;
    }
    if (WantsRestart())
        Restart();
    else
        ui.Inform(m_program.edition.title, std::to_string(run.fileCount) + " files restored.");
}

bool RestoreRun::WantsRestart()
{
    if (m_extents.winCrash) return true;
    if (m_extents.winUsers) {
        for (const char* name : {"autoexec.bat", "autoexec.baz", "config.sys", "config.syz"})
            if (m_program.platform.files().exists(m_source + name)) return true;
    }
    return RestoresRegistryOnly(m_kind);
}

void RestoreRun::Restart()
{
    const std::string count = std::to_string(m_program.run.fileCount) + " files restored.\r\r";
    const std::string advice =
        m_kind == RestoreSourceKind::Diskette
            ? "Please remove disk from disk drive and quit all applications.\r\rWindows Will Now Restart."
            : "Please quit all applications.  Windows Will Now Restart";
    m_program.ui.Inform(m_program.edition.title, count + advice);
    m_program.ui.SetProgressCaption("Windows is Restarting");
    registry::RestartWinNT(m_program);
}

void RestoreRun::CleanUp()
{
    core::Ui& ui = m_program.ui;
    ui.SetCopyAnimation(false);
    if (ui.ApplicationMinimized()) ui.RestoreApplication();
    ui.HideProgress();
    ui.SetArchiveGauge(0);
    ui.SetRunGauge(0);
    ui.SetApplicationTitle(m_program.edition.title);
    ui.Pump();
    ui.SetBusyCursor(false);
}

}  // namespace brx::restore
