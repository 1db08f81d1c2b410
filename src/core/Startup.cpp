#include "core/Startup.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <exception>

#include "core/Error.h"
#include "core/Shortcuts.h"

namespace brx::core {

namespace {

constexpr const char* kShellFoldersKey
    = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// Directory values always end with one backslash.
std::string CheckPath(std::string path)
{
    if (path.empty() || path.back() != '\\') path += '\\';
    return path;
}

// An environment variable that is set to something; an empty one counts as unset.
std::optional<std::string> Environment(platform::System& system, const std::string& name)
{
    auto value = system.environment(name);
    if (value && value->empty()) return std::nullopt;
    return value;
}

class RegistryKey {
public:
    RegistryKey(platform::Registry& registry, platform::HKey parent, const std::string& path)
        : m_registry(registry)
    {
        if (m_registry.openKey(parent, path, platform::kKeyRead, &m_key) != platform::kErrorSuccess)
            m_key = 0;
    }
    ~RegistryKey()
    {
        if (m_key) m_registry.closeKey(m_key);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool IsOpen() const { return m_key != 0; }
    std::optional<std::string> Text(const std::string& name) const
    {
        platform::RegValue value;
        if (m_registry.queryValue(m_key, name, &value) != platform::kErrorSuccess) return std::nullopt;
        return value.text();
    }

private:
    platform::Registry& m_registry;
    platform::HKey m_key = 0;
};

std::string StartupFolder(Program& program)
{
    RegistryKey key(program.platform.registry(), platform::kHKeyCurrentUser, kShellFoldersKey);
    if (key.IsOpen()) {
        const auto folder = key.Text("Startup");
        if (folder && !folder->empty()) return CheckPath(*folder);
    }
    return program.paths.windowsDirectory + "Startm~1\\Programs\\StartUp\\";
}

std::string UserProfile(Program& program)
{
    const std::string profile = program.paths.windowsDrive + "\\Documents and Settings\\"
                                + program.platform.system().userName() + "\\";
    if (program.platform.files().exists(profile + "ntuser.dat")) return profile;
    return program.paths.windowsDirectory;
}

std::string BootRoot(platform::Files& files)
{
    for (char drive = 'C'; drive <= 'I'; ++drive) {
        const std::string root = std::string(1, drive) + ":\\";
        if (files.exists(root + "ntldr")) return root;
    }
    return "C:\\";
}

const char* AutomationSection(int item)
{
    return section::kAutomation[item];
}

// Each further word names one item by its first character.
void SetFlagsFromItemWords(RunFlags& flags, const std::vector<std::string>& words)
{
    flags.items.fill(false);
    for (std::size_t i = 1; i < words.size(); ++i) {
        if (words[i].empty()) continue;
        switch (words[i][0]) {
        case 'S': case 's': flags.items[kRunStartAndWait] = true; break;
        case '1': flags.items[kRunBackup1] = true; break;
        case '2': flags.items[kRunBackup2] = true; break;
        case '3': flags.items[kRunBackup3] = true; break;
        case '4': flags.items[kRunBackup4] = true; break;
        case 'R': case 'r': flags.items[kRunDorAdur] = true; break;
        default: break;
        }
    }
}

void HandleSchedule(Program& program, const std::vector<std::string>& words)
{
    RunFlags& flags = program.runFlags;
    if (words.size() < 2) {
        SettingsFile& file = program.Settings().File();
        for (int item = 0; item < kRunItems; ++item)
            flags.items[item]
                = file.ReadInteger(AutomationSection(item), "Freq", kFreqDoNotPerform)
                  == kFreqUseScheduler;
    } else {
        SetFlagsFromItemWords(flags, words);
    }
    if (!flags.Any()) flags.endWithoutWindow = true;
}

// DorAdur leaves this behind before it restarts Windows, so that the NT edition comes back on
// its DorAdur page.
void HandleBootupAction(Program& program)
{
    SettingsFile& file = program.Settings().File();
    const int action = file.ReadInteger(section::kBootup, "Action", 0);
    if (action != 1 && action != 2) return;
    program.platform.files().deleteFile(program.paths.programDirectory + "compact.reg");
    file.WriteInteger(section::kBootup, "Action", 0);
    program.runFlags.items[kRunDorAdur] = false;
    program.runFlags.openOnDorAdur = true;
    if (action == 1) program.runFlags.items[kRunStartAndWait] = true;
}

void HandleBootup(Program& program)
{
    SettingsFile& file = program.Settings().File();
    RunFlags& flags = program.runFlags;
    for (int item = 0; item < kRunItems; ++item)
        flags.items[item] = file.ReadBool(AutomationSection(item), "switch", false);
    if (flags.Any()) return;  // items left pending by an earlier start run without a due test

    RunDueTest(program);
    for (int item = 0; item < kRunItems; ++item)
        file.WriteBool(AutomationSection(item), "switch", flags.items[item]);
}

// Reads `path` and writes it again without the first line that begins with `prefix`, through a
// temporary file beside it so that a failure never leaves half a file.
void RemoveFirstLineWithPrefix(platform::Platform& platform, const std::string& path,
                               const std::string& prefix)
{
    platform::Files& files = platform.files();
    const auto slash = path.find_last_of('\\');
    const std::string directory = slash == std::string::npos ? std::string() : path.substr(0, slash);
    const std::string temporary = platform.system().tempFileName(directory, "BRX");
    if (temporary.empty()) return;

    bool written = true;
    {
        platform::OpenResult out = files.open(temporary, platform::OpenMode::Write);
        platform::OpenResult in = files.open(path, platform::OpenMode::Read);
        // A file that exists but cannot be read is left alone rather than replaced by nothing.
        if (!out.file || (!in.file && in.error != platform::kErrorFileNotFound
                          && in.error != platform::kErrorPathNotFound)) {
            out.file.close();
            files.deleteFile(temporary);
            return;
        }
        if (in.file) {
            bool removed = false;
            std::string line;
            char buffer[16384];
            auto flushLine = [&](bool final) {
                if (line.empty() && final) return;
                const bool matches = !removed && line.compare(0, prefix.size(), prefix) == 0;
                if (matches)
                    removed = true;
                else
                    written = written && out.file.write(line.data(), line.size());
                line.clear();
            };
            for (std::size_t got; (got = in.file.read(buffer, sizeof buffer)) > 0;) {
                for (std::size_t i = 0; i < got; ++i) {
                    line += buffer[i];
                    if (buffer[i] == '\n') flushLine(false);
                }
            }
            flushLine(true);
        }
    }
    if (!written) {
        files.deleteFile(temporary);
        return;
    }
    const platform::ErrorCode removed = files.deleteFile(path);
    if (removed != platform::kErrorSuccess && removed != platform::kErrorFileNotFound) {
        files.deleteFile(temporary);
        return;
    }
    files.moveFile(temporary, path);
}

void HandleClean(Program& program, const std::vector<std::string>& words)
{
    platform::Files& files = program.platform.files();
    if (words.size() >= 3) {
        if (words[1] == "delete")
            files.deleteFile(words[2]);
        else
            RemoveFirstLineWithPrefix(program.platform, words[2], words[1]);
    }
    files.deleteFile(program.settings.startUp + kCleanupShortcut);
}

std::chrono::sys_days Days(const platform::LocalTime& time)
{
    return std::chrono::year_month_day{std::chrono::year{time.year},
                                       std::chrono::month{static_cast<unsigned>(time.month)},
                                       std::chrono::day{static_cast<unsigned>(time.day)}};
}

int PeriodDays(int frequency)
{
    switch (frequency) {
    case kFreqDaily: return 1;
    case kFreqWeekly: return 7;
    case kFreqBiWeekly: return 14;
    case kFreqMonthly: return 30;
    default: return 0;
    }
}

bool IsDue(SettingsFile& file, const char* section, const platform::LocalTime& today)
{
    const int days = PeriodDays(file.ReadInteger(section, "Freq", kFreqUseScheduler));
    if (days == 0) return false;
    const int year = file.ReadInteger(section, "Year", today.year);
    const int month = file.ReadInteger(section, "Month", today.month);
    const int day = file.ReadInteger(section, "Day", today.day);
    const std::chrono::year_month_day reference{std::chrono::year{year},
                                                std::chrono::month{static_cast<unsigned>(month)},
                                                std::chrono::day{static_cast<unsigned>(day)}};
    // A date that is no calendar date cannot have been written by the program; the item is run
    // so that its reference date becomes a real one again.
    if (!reference.ok()) return true;
    return Days(today) >= std::chrono::sys_days{reference} + std::chrono::days{days};
}

void RunGuarded(Program& program, const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::exception& error) {
        program.run.error = true;
        program.ui.ShowError(program.edition.title, error.what());
    }
}

}  // namespace

// --- steps ------------------------------------------------------------------------------------

void ComputeFirstPaths(Program& program)
{
    platform::System& system = program.platform.system();
    SystemPaths& paths = program.paths;
    if (paths.programPath.empty()) program.SetProgramPath(system.programPath());
    paths.windowsDirectory = CheckPath(Upper(system.windowsDirectory()));
    paths.systemDirectory = CheckPath(Upper(system.systemDirectory()));
    paths.windowsDrive = paths.windowsDirectory.substr(0, 2);
    paths.startupFolder = StartupFolder(program);
    paths.userProfile = UserProfile(program);

    SettingsFile& file = program.Settings().File();
    const std::string user = file.ReadString(section::kDefaultDirectories, "User", paths.userProfile);
    program.settings.user = user.empty() ? paths.userProfile : CheckPath(user);
    const std::string startUp = CheckPath(Upper(
        file.ReadString(section::kDefaultDirectories, "StartUp", paths.startupFolder)));
    program.settings.startUp
        = program.platform.files().isDirectory(startUp) ? startUp : paths.startupFolder;
}

void ComputeRemainingPaths(Program& program)
{
    platform::System& system = program.platform.system();
    SystemPaths& paths = program.paths;
    SettingsModel& model = program.settings;
    SettingsFile& file = program.Settings().File();

    paths.bootRoot = BootRoot(program.platform.files());
    const std::string root = file.ReadString(section::kDefaultDirectories, "Root", paths.bootRoot);
    model.root = root.empty() ? paths.bootRoot : CheckPath(root);

    const auto winBoot = Environment(system, "winbootdir");
    paths.windowsBootDirectory = winBoot ? CheckPath(*winBoot) : paths.windowsDirectory;
    const auto comSpec = Environment(system, "ComSpec");
    paths.commandInterpreter = comSpec ? *comSpec : paths.systemDirectory + "cmd.exe";
    const auto temp = Environment(system, "TEMP");
    paths.tempDirectory = temp ? CheckPath(*temp) : model.root + "Temp\\";

    const std::string chosenTemp
        = file.ReadString(section::kDefaultDirectories, "Temp", paths.tempDirectory);
    const bool usable = !chosenTemp.empty() && program.platform.files().isDirectory(chosenTemp);
    model.temp = usable ? CheckPath(chosenTemp) : paths.tempDirectory;
    if (!program.platform.files().isDirectory(model.startUp)) model.startUp = paths.startupFolder;
}

void RunDueTest(Program& program)
{
    SettingsFile& file = program.Settings().File();
    const platform::LocalTime today = program.platform.system().now();
    for (int item = 0; item < kRunItems; ++item) {
        const char* section = AutomationSection(item);
        if (!IsDue(file, section, today)) continue;
        program.runFlags.items[item] = true;
        file.WriteInteger(section, "Year", today.year);
        file.WriteInteger(section, "Month", today.month);
        file.WriteInteger(section, "Day", today.day);
    }
}

void MaintainStartupShortcut(Program& program, const std::string& description)
{
    platform::Platform& platform = program.platform;
    const std::string link = program.settings.startUp + program.edition.startupShortcut;
    const auto& selectors = program.settings.automation;
    const bool nothingAtLogOn = std::all_of(selectors.begin(), selectors.end(), [](int freq) {
        return freq == kFreqUseScheduler || freq == kFreqDoNotPerform;
    });
    if (nothingAtLogOn) {
        if (platform.files().exists(link)) platform.files().deleteFile(link);
        return;
    }
    const std::string& programPath = program.paths.programPath;
    // A shortcut that cannot be read cannot start the program either: it is written anew.
    std::string target;
    try {
        target = CheckTarget(platform, link);
    } catch (const Error&) {
        target.clear();
    }
    if (Upper(target) != Upper(programPath))
        MakeShortcut(platform, programPath, programPath, "bootup", link, description);
}

void WriteProgramLocation(Program& program)
{
    platform::Platform& platform = program.platform;
    std::string directory = program.paths.programDirectory;
    if (directory.size() > 3) directory.pop_back();
    const std::string shortDirectory
        = CheckPath(platform.files().shortPathName(directory).value_or(directory));
    const std::string& file = program.edition.locationFile;
    // Drive C: may be missing or read-only; the copy in the program's directory is what counts.
    platform.profile().write("C:\\" + file, section::kLocation, program.edition.locationKey,
                             shortDirectory);
    SettingsFile local(platform.profile(), program.paths.programDirectory + file);
    local.WriteString(section::kLocation, program.edition.locationKey, shortDirectory);
}

void ComputeStartupFacts(Program& program)
{
    platform::Files& files = program.platform.files();
    const std::string& windows = program.paths.windowsDirectory;
    StartupFacts& facts = program.facts;
    facts.spareRegistry = files.exists(windows + "registry.daz");
    facts.repairCopy = files.exists(windows + "repair\\system") || files.exists(windows + "repair\\system._");
    facts.hasBackupSets
        = !program.Settings().File().ReadString(section::kBackupDirectories, "1", "").empty();
    facts.undoDorAdur = files.exists(windows + "registry.zzz");
}

// --- Startup ----------------------------------------------------------------------------------

Startup::Startup(Program& program, RunItems& runItems)
    : m_program(program)
    , m_runItems(runItems)
{
}

StartupOutcome Startup::Enter(const std::vector<std::string>& words)
{
    Program& program = m_program;
    RunFlags& flags = program.runFlags;
    program.ui.SetApplicationTitle(program.edition.title);
    ComputeFirstPaths(program);

    const std::string first = words.empty() ? std::string() : words[0];
    if (first == "clean") {
        HandleClean(program, words);
        return StartupOutcome::EndWithoutWindow;
    }
    if (first == "schedule") HandleSchedule(program, words);
    if (program.edition.IsNT() && !words.empty()) HandleBootupAction(program);
    if (first == "bootup") HandleBootup(program);
    if (first == "temporary") {
        program.paths.startupFolder = StartupFolder(program);
        program.platform.files().deleteFile(program.paths.startupFolder + kOldStartupShortcut);
    }
    if (!words.empty() && !flags.Any()) flags.endWithoutWindow = true;
    return flags.endWithoutWindow ? StartupOutcome::EndWithoutWindow : StartupOutcome::ShowWindow;
}

void Startup::FirstRunAfterInstallation()
{
    platform::Files& files = m_program.platform.files();
    const std::string& directory = m_program.paths.programDirectory;
    if (!files.exists(directory + "afterset.bat")) return;
    if (files.isDirectory("C:\\")) {
        files.copyFile(directory + "brxdosnt.exe", "c:\\brxdosnt.exe", false);
        files.copyFile(directory + "unzip.exe", "c:\\unzip.exe", false);
    }
    if (files.exists(directory + "command.com")) files.deleteFile(directory + "command.com");
    files.deleteFile(directory + "afterset.bat");
}

void Startup::PrepareSettingsAndPaths()
{
    Program& program = m_program;
    BusyCursor busy(program.ui);
    ComputeRemainingPaths(program);
    // Switching to the shown configuration saves it, which moves a file from before
    // configurations existed into configuration 1.
    program.SwitchConfiguration(program.settings.curConfig);
    MaintainStartupShortcut(program, program.edition.startupShortcutDescription);
    program.Settings().File().WriteString(section::kDefaultDirectories, "Windows",
                                          program.paths.windowsDirectory);
    ComputeStartupFacts(program);
}

void Startup::RunFlaggedItems()
{
    Program& program = m_program;
    program.run.fileCount = 0;
    for (int config = 0; config < kConfigurations; ++config)
        if (program.runFlags.items[kRunBackup1 + config])
            RunGuarded(program, [&] { m_runItems.RunBackup(config); });
    if (program.runFlags.items[kRunDorAdur]) RunGuarded(program, [&] { m_runItems.RunDorAdur(); });
}

AfterStart Startup::MainWindowStart()
{
    Program& program = m_program;
    RunGuarded(program, [&] {
        FirstRunAfterInstallation();
        program.runFlags.closeAfterBackup = false;
        program.paths.safeMode = program.platform.system().cleanBoot() != 0;
        WriteProgramLocation(program);
        program.Settings().ReadConfigNames(program.settings);
        program.Settings().ReadRestorePreferences(program.settings);
        program.ReadSettings();
        m_runItems.FillList();
    });
    RunGuarded(program, [&] { PrepareSettingsAndPaths(); });
    RunFlaggedItems();
    RunGuarded(program, [&] {
        program.Settings().File().WriteBool(section::kAutomation[kRunStartAndWait], "switch", false);
    });
    return program.runFlags.closeAfterBackup ? AfterStart::Close : AfterStart::StayOpen;
}

void Startup::Close()
{
    RunGuarded(m_program, [&] {
        m_program.WriteSettings();
        m_program.Settings().File().WriteBool(section::kAutomation[kRunStartAndWait], "switch",
                                              false);
    });
}

}  // namespace brx::core
