// The settings model and brxset.ini.
//
// The model holds everything the configuration is shared by, plus exactly one backup
// configuration: the shown one. Values reach the file only through the operations below (and the
// few list-like keys other parts write at once); every write goes straight to the file, so there
// is no cache to get out of step with. A write that fails throws Error(UnableToWrite,
// "Unable to write to <file>").
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace brx::core {

inline constexpr int kConfigurations = 4;
inline constexpr int kCheckItems = 21;

// Automation frequencies ("Freq").
enum Frequency : int {
    kFreqDaily = 0,
    kFreqWeekly = 1,
    kFreqBiWeekly = 2,
    kFreqMonthly = 3,
    kFreqUseScheduler = 4,
    kFreqDoNotPerform = 5,
};

// "BackupType" in the four-type numbering.
enum BackupType : int {
    kBackupFull = 0,
    kBackupIncremental = 1,
    kBackupDifferential = 2,
    kBackupReplace = 3,
};

// The automation selectors: start and wait, then configurations 1 to 4.
inline constexpr int kAutomationSelectors = 5;

namespace section {
inline constexpr const char* kBackupPreferences = "BackupPreferences";  // + n for configuration n
inline constexpr const char* kChecks = "Checks";                        // + n for configuration n
inline constexpr const char* kMultiFiles = "MultiFiles";                // + package number
inline constexpr const char* kBackupName = "BackupName";
inline constexpr const char* kLastBackup = "Last Backup";
inline constexpr const char* kRestorePreferences = "RestorePreferences";
inline constexpr const char* kDefaultDirectories = "DefaultDirectories";
inline constexpr const char* kBackupDirectories = "Backup Directories";
inline constexpr const char* kBackupManager = "Backup Manager";
inline constexpr const char* kExtractFiles = "Extract Files";
inline constexpr const char* kDorAdur = "DorAdur";
inline constexpr const char* kBootup = "Bootup";
inline constexpr const char* kLocation = "Location";
// Automation sections, in run-item order: start and wait, configurations 1 to 4, DorAdur.
inline constexpr std::array<const char*, 6> kAutomation = {
    "AutoStart", "AutoBackup", "AutoBackup2", "AutoBackup3", "AutoBackup4", "AutoCompact"};
}  // namespace section

inline constexpr const char* kSettingsFileName = "brxset.ini";

// Names of the what-to-back-up items, by tick index.
extern const std::array<const char*, kCheckItems> kCheckItemNames;

// The shown backup configuration.
struct Configuration {
    std::string target;
    int compress = 1;
    int backupType = kBackupFull;
    bool deleteFiles = false;
    bool treatAsHardDrive = false;
    bool blockCheck = false;
    std::string blockNumber;
    bool verifyBackup = false;
    bool closeAfterBackup = false;
    bool minimizeDuringBackup = false;
    int lastYear = 0;
    int lastMonth = 0;
    int lastDay = 0;
    std::array<bool, kCheckItems> checks{};
    // Whether package i ("MultiFiles" + i) belongs to this configuration.
    std::vector<bool> packages;
};

struct SettingsModel {
    // "BackupPreferences"
    int maxNum = 10;
    int keep = 1;
    int curConfig = 1;  // the shown configuration, 1 to 4
    std::array<bool, kConfigurations> configTicks{true, false, false, false};
    bool marqueeScroll = true;
    // Names of all four configurations; the shown one's is written with it.
    std::array<std::string, kConfigurations> configNames{"Config 1", "Config 2", "Config 3",
                                                         "Config 4"};
    // Configurations 2 to 4 exist only while their "Target" is non-empty.
    std::array<bool, kConfigurations> configDefined{true, false, false, false};
    // "Freq" of "AutoStart", "AutoBackup" .. "AutoBackup4".
    std::array<int, kAutomationSelectors> automation{5, 5, 5, 5, 5};

    Configuration config;
    // The backup password lives only here, for the life of the process.
    std::string password;

    // "RestorePreferences"
    int restoreType = 0;
    bool winCrash = true;
    bool winUsers = false;
    bool userFiles = false;

    // "DefaultDirectories", each ending with a backslash.
    std::string root;
    std::string startUp;
    std::string temp;
    std::string user;

    // "BackupName"
    bool useDate = true;
    bool addConfig = false;
    std::string dateFormat;

    // "Backup Manager"
    std::array<int, 3> columnWidths{100, 197, 100};

    const std::string& ConfigName() const { return configNames[curConfig - 1]; }
    std::string& ConfigName() { return configNames[curConfig - 1]; }
};

// Typed access to one INI file with the program's reading rules.
class SettingsFile {
public:
    SettingsFile(platform::Profile& profile, std::string path);

    const std::string& Path() const { return m_path; }

    std::optional<std::string> Read(const std::string& section, const std::string& key) const;
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const;
    // "0x" prefixes are hexadecimal; anything that is not a number gives the fallback.
    int ReadInteger(const std::string& section, const std::string& key, int fallback) const;
    // Any non-zero integer is true.
    bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;
    bool HasKey(const std::string& section, const std::string& key) const;

    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);
    void DeleteKey(const std::string& section, const std::string& key);
    void EraseSection(const std::string& section);

    std::vector<std::string> Sections() const;
    std::vector<std::string> Keys(const std::string& section) const;

private:
    [[noreturn]] void FailWrite() const;

    platform::Profile& m_profile;
    std::string m_path;
};

// Moves the settings model to and from brxset.ini.
class SettingsStore {
public:
    // `programDirectory` ends with a backslash; it is the default backup target.
    SettingsStore(platform::Platform& platform, std::string programDirectory);

    SettingsFile& File() { return m_file; }
    const std::string& ProgramDirectory() const { return m_programDirectory; }

    // Loads the shared part and the shown configuration. A file written before configurations
    // existed ("curconfig" 0) is read from its single-configuration keys and shown as
    // configuration 1; the next switch stores it in the numbered sections.
    void ReadSettings(SettingsModel& model);
    // Saves the whole model, then mirrors the shown configuration's ticks into "Checks".
    void WriteSettings(SettingsModel& model);
    // Saves the shown configuration, then shows `configuration` (1 to 4), reading what it lacks
    // from the switching defaults.
    void SwitchConfiguration(SettingsModel& model, int configuration);
    // Stores today as the section's reference date unless it already has a complete one.
    void WriteDate(const std::string& section);
    // Fills an empty date format from the user's short date format.
    void RedoShortDate(SettingsModel& model);

    // "ConfigName" of every configuration and which of them are defined.
    void ReadConfigNames(SettingsModel& model);
    void ReadRestorePreferences(SettingsModel& model);
    // Number of packages: "MultiFiles" + 0, 1, ... up to the first without "FileName".
    int PackageCount() const;

private:
    void ReadConfiguration(SettingsModel& model, const std::string& prefsSection,
                           const std::string& checksSection, const std::string& checkKey,
                           bool switching);
    void WriteConfiguration(const SettingsModel& model);
    void WriteConfigurationOptions(const std::string& own, const Configuration& config);
    void WriteChecks(const std::string& section, const Configuration& config);
    void WritePackageFlags(const SettingsModel& model);
    void ReadAutomationSelectors(SettingsModel& model);
    void UpdateDefinedConfigurations(SettingsModel& model);
    std::string ShortDirectory(const std::string& directory) const;

    platform::Platform& m_platform;
    std::string m_programDirectory;
    SettingsFile m_file;
};

// The default date format for a locale short date format: day and month get two digits and the
// year four ("M/d/yy" becomes "MM/dd/yyyy").
std::string DefaultDateFormat(const std::string& localeShortDate);

}  // namespace brx::core
