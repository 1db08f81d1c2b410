#include <gtest/gtest.h>

#include "core/Error.h"
#include "core/Settings.h"
#include "support/CoreMachine.h"

namespace brx::core {
namespace {

using test::CoreMachine;

class SettingsTest : public ::testing::Test {
protected:
    CoreMachine machine{editions::Edition::Win2000()};
    Program& program = machine.program;
    SettingsModel& model = machine.program.settings;
};

TEST_F(SettingsTest, LegacyFileBecomesConfigurationOneAtStartUp)
{
    machine.Ini("BackupPreferences", "BackupType", "2");
    machine.Ini("BackupPreferences", "Target", "C:\\SAFE\\");
    machine.Ini("BackupPreferences", "Compress", "3");
    machine.Ini("Checks", "8", "1");
    machine.Ini("Checks", "0", "0");
    machine.Ini("MultiFiles0", "FileName", "mail.zip");
    machine.Ini("MultiFiles0", "Check", "1");

    ASSERT_EQ(machine.startup.Enter({}), StartupOutcome::ShowWindow);
    machine.startup.MainWindowStart();

    EXPECT_EQ(model.curConfig, 1);
    EXPECT_EQ(model.config.backupType, kBackupReplace);
    EXPECT_EQ(machine.IniValue("BackupPreferences1", "BackupType"), "3");
    EXPECT_EQ(machine.IniValue("BackupPreferences1", "NewBackupType"), "1");
    EXPECT_EQ(machine.IniValue("BackupPreferences1", "Target"), "C:\\SAFE\\");
    EXPECT_EQ(machine.IniValue("BackupPreferences1", "Compress"), "3");
    // The legacy file's own default: diskettes are emptied before a backup.
    EXPECT_EQ(machine.IniValue("BackupPreferences1", "DeleteFiles"), "1");
    EXPECT_EQ(machine.IniValue("BackupPreferences", "curconfig"), "1");
    EXPECT_EQ(machine.IniValue("Checks1", "0"), "0");
    EXPECT_EQ(machine.IniValue("Checks1", "8"), "1");
    EXPECT_EQ(machine.IniValue("Checks1", "9"), "0");
    EXPECT_EQ(machine.IniValue("MultiFiles0", "Check1"), "1");
}

TEST_F(SettingsTest, BackupTypeTwoIsReplaceOnlyInTheOldNumbering)
{
    struct Case {
        const char* newBackupType;  // nullptr: key absent
        const char* stored;
        int expected;
    };
    const Case cases[] = {
        {nullptr, "2", kBackupReplace}, {"0", "2", kBackupReplace},
        {"1", "2", kBackupDifferential}, {nullptr, "1", kBackupIncremental},
        {"1", "3", kBackupReplace},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("NewBackupType ") + (c.newBackupType ? c.newBackupType : "absent")
                     + ", BackupType " + c.stored);
        machine.Ini("BackupPreferences", "curconfig", "2");
        machine.Ini("BackupPreferences2", "BackupType", c.stored);
        if (c.newBackupType) machine.Ini("BackupPreferences2", "NewBackupType", c.newBackupType);
        program.ReadSettings();
        EXPECT_EQ(model.config.backupType, c.expected);
        program.Settings().File().EraseSection("BackupPreferences2");
    }
}

TEST_F(SettingsTest, NeverSavedConfigurationGetsTheSwitchingDefaults)
{
    machine.Ini("BackupPreferences", "curconfig", "1");
    machine.Ini("BackupPreferences1", "Target", "D:\\BACKUPS\\");
    machine.Ini("BackupPreferences1", "Compress", "4");
    machine.Ini("BackupPreferences1", "CloseAfterBackup", "1");
    machine.Ini("BackupPreferences1", "TreatAsHardDrive", "1");
    machine.Ini("BackupPreferences1", "BlockCheck", "1");
    machine.Ini("BackupPreferences1", "VerifyBackup", "1");
    machine.Ini("BackupPreferences1", "BackupType", "1");
    machine.Ini("BackupPreferences1", "NewBackupType", "1");
    program.ReadSettings();
    EXPECT_FALSE(model.config.checks[8]) << "bootfont.bin unticked when read at start-up";

    program.SwitchConfiguration(3);

    const Configuration& c = model.config;
    EXPECT_EQ(model.curConfig, 3);
    EXPECT_EQ(model.ConfigName(), "Config 3");
    EXPECT_TRUE(c.checks[8]) << "bootfont.bin ticked for a configuration first shown by switching";
    EXPECT_FALSE(c.checks[9]);
    // Carried over from the configuration shown before.
    EXPECT_EQ(c.target, "D:\\BACKUPS\\");
    EXPECT_EQ(c.compress, 4);
    EXPECT_TRUE(c.closeAfterBackup);
    EXPECT_TRUE(c.treatAsHardDrive);
    // Not carried over.
    EXPECT_FALSE(c.blockCheck);
    EXPECT_FALSE(c.verifyBackup);
    EXPECT_EQ(c.backupType, kBackupFull);
    EXPECT_EQ(machine.IniValue("BackupPreferences", "curconfig"), "3");
    // The configuration shown before was saved first.
    EXPECT_EQ(machine.IniValue("BackupPreferences1", "VerifyBackup"), "1");
    EXPECT_EQ(machine.IniValue("Checks1", "8"), "0");
}

TEST_F(SettingsTest, WriteSettingsLeavesChecksEqualToTheShownConfiguration)
{
    machine.Ini("BackupPreferences", "curconfig", "2");
    machine.Ini("BackupPreferences2", "Target", "C:\\B\\");
    machine.Ini("Checks", "25", "1");  // a stale key that must not survive
    machine.Ini("Checks2", "13", "1");
    machine.Ini("MultiFiles0", "FileName", "a.zip");
    machine.Ini("MultiFiles1", "FileName", "b.zip");
    program.ReadSettings();
    model.config.checks[0] = false;
    model.config.checks[19] = true;
    model.config.packages = {false, true};

    program.WriteSettings();

    const auto shown = machine.IniKeys("Checks2");
    ASSERT_EQ(shown.size(), static_cast<std::size_t>(kCheckItems));
    EXPECT_EQ(machine.IniKeys("Checks"), shown);
    for (const std::string& key : shown)
        EXPECT_EQ(machine.IniValue("Checks", key), machine.IniValue("Checks2", key)) << key;
    EXPECT_EQ(machine.IniValue("Checks2", "0"), "0");
    EXPECT_EQ(machine.IniValue("Checks2", "13"), "1");
    EXPECT_EQ(machine.IniValue("Checks2", "19"), "1");
    EXPECT_EQ(machine.IniValue("MultiFiles0", "Check2"), "0");
    EXPECT_EQ(machine.IniValue("MultiFiles1", "Check2"), "1");
    EXPECT_EQ(machine.IniValue("BackupPreferences2", "NewBackupType"), "1");
    EXPECT_EQ(machine.IniValue("BackupPreferences", "curconfig"), "2");
}

TEST_F(SettingsTest, ReadingRules)
{
    machine.Ini("BackupPreferences", "MaxNum", "0x14");
    machine.Ini("BackupPreferences", "Keep", "two");
    machine.Ini("BackupPreferences", "curconfig", "1");
    machine.Ini("BackupPreferences", "MarqueeScroll", "7");
    machine.Ini("BackupPreferences1", "Target", "  \"C:\\My Backups\\\"  ");
    machine.Ini("BackupPreferences1", "BlockNumber", "");
    machine.Ini("BackupName", "DateFormat", "yyyy-MM-dd");
    program.ReadSettings();

    EXPECT_EQ(model.maxNum, 20);
    EXPECT_EQ(model.keep, 1);
    EXPECT_TRUE(model.marqueeScroll);
    EXPECT_EQ(model.config.target, "C:\\My Backups\\");
    EXPECT_EQ(model.config.blockNumber, "");
    EXPECT_EQ(model.dateFormat, "yyyy-MM-dd");
    EXPECT_TRUE(model.useDate);

    // A configuration number out of range shows the first configuration, not the legacy keys.
    machine.Ini("BackupPreferences", "curconfig", "9");
    machine.Ini("BackupPreferences", "Target", "C:\\LEGACY\\");
    program.ReadSettings();
    EXPECT_EQ(model.curConfig, 1);
    EXPECT_EQ(model.config.target, "C:\\My Backups\\");
}

TEST_F(SettingsTest, SelectorsOfUndefinedConfigurationsShowDoNotPerform)
{
    machine.Ini("BackupPreferences", "curconfig", "1");
    machine.Ini("BackupPreferences2", "Target", "C:\\TWO\\");
    machine.Ini("BackupPreferences3", "Target", "");
    machine.Ini("AutoStart", "Freq", "9");
    machine.Ini("AutoBackup", "Freq", "1");
    machine.Ini("AutoBackup2", "Freq", "0");
    machine.Ini("AutoBackup3", "Freq", "0");
    machine.Ini("AutoBackup4", "Freq", "4");
    program.ReadSettings();

    EXPECT_EQ(model.configDefined, (std::array<bool, 4>{true, true, false, false}));
    EXPECT_EQ(model.automation, (std::array<int, 5>{5, 1, 0, 5, 5}));
}

TEST_F(SettingsTest, WriteDateKeepsACompleteDateAndCompletesAPartialOne)
{
    machine.Ini("AutoBackup", "Year", "2020");
    machine.Ini("AutoBackup", "Month", "5");
    machine.Ini("AutoBackup", "Day", "17");
    machine.Ini("AutoBackup2", "Year", "2020");
    program.Settings().WriteDate("AutoBackup");
    program.Settings().WriteDate("AutoBackup2");

    EXPECT_EQ(machine.IniValue("AutoBackup", "Day"), "17");
    const platform::LocalTime today = machine.DaysAgo(0);
    EXPECT_EQ(machine.IniValue("AutoBackup2", "Year"), std::to_string(today.year));
    EXPECT_EQ(machine.IniValue("AutoBackup2", "Month"), std::to_string(today.month));
    EXPECT_EQ(machine.IniValue("AutoBackup2", "Day"), std::to_string(today.day));
}

TEST(DefaultDateFormat, WidensDayMonthAndYear)
{
    const std::pair<const char*, const char*> cases[] = {
        {"M/d/yy", "MM/dd/yyyy"},       {"", "mm/dd/yyyy"},
        {"dd.MM.yyyy", "dd.MM.yyyy"},   {"d.M.yyyy", "dd.MM.yyyy"},
        {"yyyy-MM-dd", "yyyy-MM-dd"},   {"d/M/yy", "dd/MM/yyyy"},
    };
    for (const auto& [locale, expected] : cases) EXPECT_EQ(DefaultDateFormat(locale), expected) << locale;
}

TEST_F(SettingsTest, AFailedWriteNamesTheFile)
{
    program.ReadSettings();
    // A directory where the file should be: nothing can be written there.
    ASSERT_EQ(machine.Platform().files().deleteFile(program.paths.settingsFile), platform::kErrorSuccess);
    ASSERT_EQ(machine.Platform().files().createDirectory(program.paths.settingsFile),
              platform::kErrorSuccess);
    try {
        program.WriteSettings();
        FAIL() << "the write succeeded";
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), ErrorKind::UnableToWrite);
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + program.paths.settingsFile);
    }
}

}  // namespace
}  // namespace brx::core
