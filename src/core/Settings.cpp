#include "core/Settings.h"

#include <algorithm>
#include <cctype>

#include "core/Error.h"

namespace brx::core {

const std::array<const char*, kCheckItems> kCheckItemNames = {
    "Registry",
    "autoexec.nt (WinConfig)",
    "config.nt (WinConfig)",
    "cmd.exe (WinConfig)",
    "command.com (WinConfig)",
    "ntldr (WinConfig)",
    "ntdetect.com (WinConfig)",
    "boot.ini (WinConfig)",
    "bootfont.bin (WinConfig)",
    "ntbootdd.sys (WinConfig)",
    "bootsect.dos (WinConfig)",
    "Print Hood (User Profile)",
    "Application Data (User Profile)",
    "Desktop (User Profile)",
    "Favorites (User Profile)",
    "Net Hood (User Profile)",
    "Recent (User Profile)",
    "Start Menu (User Profile)",
    "Send To (User Profile)",
    "IE Cache (User Profile)",
    "Control Panel (User Profile)",
};

namespace {

// Ticks a configuration gets when nothing is stored: the one shown at start-up leaves
// bootfont.bin out, a configuration first shown by switching takes it in.
constexpr std::array<bool, kCheckItems> kStartupTicks = {
    1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
constexpr std::array<bool, kCheckItems> kSwitchingTicks = {
    1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

std::string Numbered(const char* name, int number)
{
    return std::string(name) + std::to_string(number);
}

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// Inserts `insert` before the first occurrence of `letter` (either case).
void InsertBefore(std::string& format, char letter, const std::string& insert)
{
    const std::string upper = Upper(format);
    const auto at = upper.find(letter);
    if (at != std::string::npos) format.insert(at, insert);
}

// The "new" numbering has four types; files from before it knew three and stored "Replace" as 2.
int MigrateBackupType(int stored, bool newNumbering)
{
    if (!newNumbering && stored == 2) return kBackupReplace;
    return stored;
}

bool ValidFrequency(int value)
{
    return value >= kFreqDaily && value <= kFreqDoNotPerform;
}

}  // namespace

// --- SettingsFile ----------------------------------------------------------------------------

SettingsFile::SettingsFile(platform::Profile& profile, std::string path)
    : m_profile(profile)
    , m_path(std::move(path))
{
}

std::optional<std::string> SettingsFile::Read(const std::string& section,
                                              const std::string& key) const
{
    return m_profile.read(m_path, section, key);
}

std::string SettingsFile::ReadString(const std::string& section, const std::string& key,
                                     const std::string& fallback) const
{
    return Read(section, key).value_or(fallback);
}

int SettingsFile::ReadInteger(const std::string& section, const std::string& key,
                              int fallback) const
{
    const auto value = Read(section, key);
    return value ? platform::parseProfileInt(*value, fallback) : fallback;
}

bool SettingsFile::ReadBool(const std::string& section, const std::string& key,
                            bool fallback) const
{
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

bool SettingsFile::HasKey(const std::string& section, const std::string& key) const
{
    return Read(section, key).has_value();
}

void SettingsFile::FailWrite() const
{
    throw Error(ErrorKind::UnableToWrite, "Unable to write to " + m_path);
}

void SettingsFile::WriteString(const std::string& section, const std::string& key,
                               const std::string& value)
{
    if (!m_profile.write(m_path, section, key, value)) FailWrite();
}

void SettingsFile::WriteInteger(const std::string& section, const std::string& key, int value)
{
    WriteString(section, key, std::to_string(value));
}

void SettingsFile::WriteBool(const std::string& section, const std::string& key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

void SettingsFile::DeleteKey(const std::string& section, const std::string& key)
{
    if (!HasKey(section, key)) return;
    if (!m_profile.deleteKey(m_path, section, key)) FailWrite();
}

void SettingsFile::EraseSection(const std::string& section)
{
    const auto sections = Sections();
    const bool present = std::any_of(sections.begin(), sections.end(), [&](const std::string& s) {
        return Upper(s) == Upper(section);
    });
    if (!present) return;
    if (!m_profile.deleteSection(m_path, section)) FailWrite();
}

std::vector<std::string> SettingsFile::Sections() const
{
    return m_profile.sections(m_path);
}

std::vector<std::string> SettingsFile::Keys(const std::string& section) const
{
    return m_profile.keys(m_path, section);
}

// --- SettingsStore ---------------------------------------------------------------------------

SettingsStore::SettingsStore(platform::Platform& platform, std::string programDirectory)
    : m_platform(platform)
    , m_programDirectory(std::move(programDirectory))
    , m_file(platform.profile(), m_programDirectory + kSettingsFileName)
{
}

int SettingsStore::PackageCount() const
{
    int count = 0;
    while (!m_file.ReadString(Numbered(section::kMultiFiles, count), "FileName", "").empty())
        ++count;
    return count;
}

void SettingsStore::ReadConfiguration(SettingsModel& model, const std::string& prefs,
                                      const std::string& checks, const std::string& checkKey,
                                      bool switching)
{
    Configuration& config = model.config;
    const Configuration shown = config;
    const bool legacy = prefs == section::kBackupPreferences;

    if (!legacy)
        model.ConfigName()
            = m_file.ReadString(prefs, "ConfigName", Numbered("Config ", model.curConfig));
    config.target = m_file.ReadString(prefs, "Target",
                                      switching ? shown.target : m_programDirectory);
    config.compress = m_file.ReadInteger(prefs, "Compress", switching ? shown.compress : 1);
    const bool newNumbering = m_file.ReadBool(prefs, "NewBackupType", false);
    config.backupType = MigrateBackupType(m_file.ReadInteger(prefs, "BackupType", kBackupFull),
                                          newNumbering);
    config.deleteFiles
        = m_file.ReadBool(prefs, "DeleteFiles", switching ? shown.deleteFiles : legacy);
    config.treatAsHardDrive
        = m_file.ReadBool(prefs, "TreatAsHardDrive", switching && shown.treatAsHardDrive);
    config.blockCheck = m_file.ReadBool(prefs, "BlockCheck", false);
    config.blockNumber = m_file.ReadString(prefs, "BlockNumber", "");
    config.verifyBackup = m_file.ReadBool(prefs, "VerifyBackup", false);
    config.closeAfterBackup
        = m_file.ReadBool(prefs, "CloseAfterBackup", switching && shown.closeAfterBackup);
    config.minimizeDuringBackup = m_file.ReadBool(prefs, "MinimizeDuringBackup", false);
    config.lastYear = m_file.ReadInteger(prefs, "LastYear", 0);
    config.lastMonth = m_file.ReadInteger(prefs, "LastMonth", 0);
    config.lastDay = m_file.ReadInteger(prefs, "LastDay", 0);

    const auto& defaults = switching ? kSwitchingTicks : kStartupTicks;
    for (int i = 0; i < kCheckItems; ++i)
        config.checks[i] = m_file.ReadBool(checks, std::to_string(i), defaults[i]);

    const int packages = PackageCount();
    config.packages.assign(packages, false);
    for (int i = 0; i < packages; ++i)
        config.packages[i] = m_file.ReadBool(Numbered(section::kMultiFiles, i), checkKey, false);
}

void SettingsStore::ReadAutomationSelectors(SettingsModel& model)
{
    for (int i = 0; i < kAutomationSelectors; ++i)
        model.automation[i] = m_file.ReadInteger(section::kAutomation[i], "Freq", kFreqDoNotPerform);
}

void SettingsStore::UpdateDefinedConfigurations(SettingsModel& model)
{
    model.configDefined[0] = true;
    for (int n = 2; n <= kConfigurations; ++n)
        model.configDefined[n - 1]
            = !m_file.ReadString(Numbered(section::kBackupPreferences, n), "Target", "").empty();
}

void SettingsStore::ReadSettings(SettingsModel& model)
{
    const std::string prefs = section::kBackupPreferences;
    model.maxNum = m_file.ReadInteger(prefs, "MaxNum", 10);
    model.keep = m_file.ReadInteger(prefs, "Keep", 1);

    const int current = m_file.ReadInteger(prefs, "curconfig", 0);
    if (current == 0) {
        // A file from before configurations existed: its single configuration becomes the first.
        model.curConfig = 1;
        ReadConfiguration(model, prefs, section::kChecks, "Check", false);
    } else {
        // A number that names no configuration shows the first one, which always exists.
        model.curConfig = current >= 1 && current <= kConfigurations ? current : 1;
        ReadConfiguration(model, Numbered(section::kBackupPreferences, model.curConfig),
                          Numbered(section::kChecks, model.curConfig),
                          Numbered("Check", model.curConfig), false);
    }

    ReadAutomationSelectors(model);
    model.marqueeScroll = m_file.ReadBool(prefs, "MarqueeScroll", true);

    UpdateDefinedConfigurations(model);
    for (int i = 0; i < kAutomationSelectors; ++i) {
        // Selector 0 starts the program and waits; selectors 1 to 4 follow the configurations.
        const bool enabled = i == 0 || model.configDefined[i - 1];
        if (!enabled || !ValidFrequency(model.automation[i])) model.automation[i] = kFreqDoNotPerform;
    }

    model.useDate = m_file.ReadBool(section::kBackupName, "UseDate", true);
    model.addConfig = m_file.ReadBool(section::kBackupName, "AddConfig", false);
    model.dateFormat = m_file.ReadString(section::kBackupName, "DateFormat", "");
    RedoShortDate(model);
}

void SettingsStore::WriteChecks(const std::string& section, const Configuration& config)
{
    for (int i = 0; i < kCheckItems; ++i) m_file.WriteBool(section, std::to_string(i), config.checks[i]);
}

void SettingsStore::WritePackageFlags(const SettingsModel& model)
{
    const std::string key = Numbered("Check", model.curConfig);
    const int packages = PackageCount();
    for (int i = 0; i < packages; ++i) {
        const bool member = i < static_cast<int>(model.config.packages.size())
                            && model.config.packages[i];
        m_file.WriteInteger(Numbered(section::kMultiFiles, i), key, member ? 1 : 0);
    }
}

void SettingsStore::WriteSettings(SettingsModel& model)
{
    const std::string shared = section::kBackupPreferences;
    const std::string own = Numbered(section::kBackupPreferences, model.curConfig);
    const Configuration& config = model.config;

    m_file.WriteString(own, "ConfigName", model.ConfigName());
    m_file.WriteInteger(own, "Compress", config.compress);
    m_file.WriteInteger(shared, "MaxNum", model.maxNum);
    m_file.WriteInteger(shared, "Keep", model.keep);
    m_file.WriteString(own, "Target", config.target);
    for (int i = 0; i < kAutomationSelectors; ++i)
        m_file.WriteInteger(section::kAutomation[i], "Freq", model.automation[i]);
    m_file.WriteInteger(section::kRestorePreferences, "RestoreType", model.restoreType);
    m_file.WriteBool(shared, "MarqueeScroll", model.marqueeScroll);
    m_file.WriteBool(section::kRestorePreferences, "WinCrash", model.winCrash);
    m_file.WriteBool(section::kRestorePreferences, "WinUsers", model.winUsers);
    m_file.WriteBool(section::kRestorePreferences, "UserFiles", model.userFiles);
    m_file.WriteString(section::kDefaultDirectories, "Root", model.root);
    m_file.WriteString(section::kDefaultDirectories, "StartUp", model.startUp);
    m_file.WriteString(section::kDefaultDirectories, "Temp", model.temp);
    m_file.WriteString(section::kDefaultDirectories, "User", ShortDirectory(model.user));
    WriteConfigurationOptions(own, config);
    m_file.WriteBool(section::kBackupName, "UseDate", model.useDate);
    m_file.WriteBool(section::kBackupName, "AddConfig", model.addConfig);
    m_file.WriteString(section::kBackupName, "DateFormat", model.dateFormat);
    m_file.WriteInteger(shared, "curconfig", model.curConfig);
    for (int n = 1; n <= kConfigurations; ++n)
        m_file.WriteBool(shared, Numbered("Config", n), model.configTicks[n - 1]);
    for (int i = 0; i < 3; ++i)
        m_file.WriteInteger(section::kBackupManager, Numbered("Column", i + 1) + "Width",
                            model.columnWidths[i]);

    const std::string checks = Numbered(section::kChecks, model.curConfig);
    m_file.EraseSection(section::kChecks);
    m_file.EraseSection(checks);
    WriteChecks(checks, config);
    WritePackageFlags(model);
    UpdateDefinedConfigurations(model);
    WriteChecks(section::kChecks, config);
}

// The options of a configuration after its name and target, in the order they are written.
void SettingsStore::WriteConfigurationOptions(const std::string& own, const Configuration& config)
{
    m_file.WriteBool(own, "DeleteFiles", config.deleteFiles);
    m_file.WriteBool(own, "TreatAsHardDrive", config.treatAsHardDrive);
    m_file.WriteBool(own, "BlockCheck", config.blockCheck);
    m_file.WriteBool(own, "VerifyBackup", config.verifyBackup);
    m_file.WriteString(own, "BlockNumber", config.blockNumber);
    m_file.WriteBool(own, "CloseAfterBackup", config.closeAfterBackup);
    m_file.WriteBool(own, "MinimizeDuringBackup", config.minimizeDuringBackup);
    m_file.WriteInteger(own, "BackupType", config.backupType);
    m_file.WriteBool(own, "NewBackupType", true);
}

void SettingsStore::WriteConfiguration(const SettingsModel& model)
{
    const std::string own = Numbered(section::kBackupPreferences, model.curConfig);
    const Configuration& config = model.config;
    m_file.WriteInteger(own, "Compress", config.compress);
    m_file.WriteString(own, "ConfigName", model.ConfigName());
    m_file.WriteString(own, "Target", config.target);
    WriteConfigurationOptions(own, config);

    const std::string checks = Numbered(section::kChecks, model.curConfig);
    m_file.EraseSection(checks);
    WriteChecks(checks, config);
    WritePackageFlags(model);
}

void SettingsStore::SwitchConfiguration(SettingsModel& model, int configuration)
{
    const std::string shared = section::kBackupPreferences;
    m_file.WriteInteger(shared, "MaxNum", model.maxNum);
    m_file.WriteInteger(shared, "Keep", model.keep);
    if (model.curConfig >= 1 && model.curConfig <= kConfigurations) WriteConfiguration(model);

    model.curConfig = configuration;
    m_file.WriteInteger(shared, "curconfig", configuration);
    ReadConfiguration(model, Numbered(section::kBackupPreferences, configuration),
                      Numbered(section::kChecks, configuration), Numbered("Check", configuration),
                      true);
}

void SettingsStore::WriteDate(const std::string& section)
{
    const bool complete = !m_file.ReadString(section, "Year", "").empty()
                          && !m_file.ReadString(section, "Month", "").empty()
                          && !m_file.ReadString(section, "Day", "").empty();
    if (complete) return;
    const platform::LocalTime today = m_platform.system().now();
    m_file.WriteInteger(section, "Year", today.year);
    m_file.WriteInteger(section, "Month", today.month);
    m_file.WriteInteger(section, "Day", today.day);
}

std::string DefaultDateFormat(const std::string& localeShortDate)
{
    std::string format = localeShortDate.empty() ? "mm/dd/yyyy" : localeShortDate;
    if (Upper(format).find("MM") == std::string::npos) InsertBefore(format, 'M', "M");
    if (Upper(format).find("DD") == std::string::npos) InsertBefore(format, 'D', "d");
    if (Upper(format).find("YYYY") == std::string::npos) {
        const auto at = Upper(format).find("YY");
        if (at != std::string::npos) format.insert(at, "yy");
    }
    return format;
}

void SettingsStore::RedoShortDate(SettingsModel& model)
{
    if (model.dateFormat.empty())
        model.dateFormat = DefaultDateFormat(m_platform.system().shortDateFormat());
}

void SettingsStore::ReadConfigNames(SettingsModel& model)
{
    for (int n = 1; n <= kConfigurations; ++n) {
        model.configNames[n - 1] = m_file.ReadString(Numbered(section::kBackupPreferences, n),
                                                     "ConfigName", Numbered("Config ", n));
        model.configTicks[n - 1]
            = m_file.ReadBool(section::kBackupPreferences, Numbered("Config", n), n == 1);
    }
}

void SettingsStore::ReadRestorePreferences(SettingsModel& model)
{
    const std::string prefs = section::kRestorePreferences;
    model.restoreType = m_file.ReadInteger(prefs, "RestoreType", 0);
    model.winCrash = m_file.ReadBool(prefs, "WinCrash", true);
    model.winUsers = m_file.ReadBool(prefs, "WinUsers", false);
    model.userFiles = m_file.ReadBool(prefs, "UserFiles", false);
}

std::string SettingsStore::ShortDirectory(const std::string& directory) const
{
    if (directory.empty()) return directory;
    std::string path = directory;
    const bool slash = path.back() == '\\';
    if (slash && path.size() > 3) path.pop_back();
    const auto shortened = m_platform.files().shortPathName(path);
    if (!shortened) return directory;
    std::string result = *shortened;
    if (slash && (result.empty() || result.back() != '\\')) result += '\\';
    return result;
}

}  // namespace brx::core
