#include <gtest/gtest.h>

#include <filesystem>

#include "restore/RestoreSources.h"
#include "support/ProgramOnMachine.h"

namespace brx::restore {
namespace {

using test::ProgramOnMachine;

struct Started {
    std::string path;
    RestoreSourceKind kind = RestoreSourceKind::BackupSet;
    RestoreExtents extents;
};

// The page with the restore run replaced by a recorder: these tests are about what the page
// resolves, not about restoring.
struct Sources : ::testing::Test {
    ProgramOnMachine m;
    core::Program& program = m.Start();
    std::vector<Started> started;
    RestorePage page{program, [this](const std::string& path, RestoreSourceKind kind, const RestoreExtents& extents) {
                         started.push_back({path, kind, extents});
                     }};

    // A backup set directory holding the named files, listed as the next backup set.
    void AddSet(const std::string& directory, const std::vector<std::string>& files)
    {
        program.platform.files().createDirectory(directory.substr(0, directory.size() - 1));
        std::filesystem::create_directories(m.machine.host(directory));
        for (const auto& file : files) m.machine.writeFile(directory + file, "content of " + file);
        const int key = static_cast<int>(program.platform.profile().keys(program.paths.settingsFile, "Backup Directories").size()) + 1;
        program.platform.profile().write(program.paths.settingsFile, "Backup Directories", std::to_string(key), directory);
    }
    void SetTime(const std::string& directory, int secondsAfter)
    {
        std::string path = m.machine.host(directory);
        if (path.back() == '/') path.pop_back();
        std::filesystem::last_write_time(
            path, std::filesystem::file_time_type(std::chrono::seconds(1700000000 + secondsAfter)));
    }
    std::vector<std::string> Messages() { return m.ui().Messages(); }
    void ChooseSet(int index)
    {
        page.Load();
        page.FillBackupList();
        page.ChooseBackup(index);
    }
};

TEST_F(Sources, TwoSetsWithTheSameNameRestoreTheLaterOne)
{
    AddSet("C:\\Backups\\First\\Monday\\", {"win.inz"});
    AddSet("C:\\Backups\\Second\\Monday\\", {"win.inz"});
    ChooseSet(1);
    EXPECT_EQ(page.sourceItems[kBrellixBackupsSource], "Brellix Backup - Monday");
    page.RestoreClick();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].path, "C:\\Backups\\Second\\Monday\\win.inz");
    EXPECT_EQ(started[0].kind, RestoreSourceKind::BackupSet);
    EXPECT_TRUE(started[0].extents.winCrash);
}

TEST_F(Sources, MostRecentBackupIsTheNewestDirectoryAndTheEarlierOnEqualTimes)
{
    AddSet("C:\\Backups\\A\\", {"win.inz"});
    AddSet("C:\\Backups\\B\\", {"win.inz"});
    SetTime("C:\\Backups\\A\\", 0);
    SetTime("C:\\Backups\\B\\", 0);
    ChooseSet(0);
    page.RestoreClick();
    SetTime("C:\\Backups\\B\\", 60);
    page.RestoreClick();
    ASSERT_EQ(started.size(), 2u);
    EXPECT_EQ(started[0].path, "C:\\Backups\\A\\win.inz");
    EXPECT_EQ(started[1].path, "C:\\Backups\\B\\win.inz");
}

TEST_F(Sources, ASetIsExaminedForWhatItHolds)
{
    struct Case {
        const char* name;
        std::vector<std::string> files;
        bool winCrash;
        const char* startedFile;   // null: nothing started
        RestoreSourceKind kind;
        const char* message;
    };
    const Case cases[] = {
        {"archived set", {"registry.daz", "win.inz", "boot.inz"}, true, "win.inz", RestoreSourceKind::BackupSet, nullptr},
        {"user.ini but no registry", {"user.ini", "appdata.zip"}, true, nullptr, RestoreSourceKind::BackupSet,
         "Brellix 2000: No Registry found in Backup Set.\r\rPlease choose another Backup Set or uncheck Windows Crash."},
        {"plain set", {"user.ini", "user0", "SYSTEM", "win.ini"}, true, "user0", RestoreSourceKind::PlainBackupSet, nullptr},
        {"compressed repair copies", {"sam._", "system._"}, false, "sam._", RestoreSourceKind::RepairCopies, nullptr},
        {"empty set", {}, false, nullptr, RestoreSourceKind::BackupSet,
         "Brellix 2000: No Backup Set Found.\r\rPlease make a backup first."},
    };
    int number = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        started.clear();
        m.ui().ClearEvents();
        const std::string directory = "C:\\Sets\\Set" + std::to_string(++number) + "\\";
        AddSet(directory, c.files);
        page.Load();
        page.ClickWinCrash(c.winCrash);
        page.GetCompressType(directory);
        if (c.startedFile) {
            ASSERT_EQ(started.size(), 1u);
            EXPECT_EQ(started[0].path, directory + c.startedFile);
            EXPECT_EQ(started[0].kind, c.kind);
        } else {
            EXPECT_TRUE(started.empty());
        }
        EXPECT_EQ(Messages(), c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
    }
}

TEST_F(Sources, UnavailableSourcesAreAnnouncedAndTheChoiceMovesOn)
{
    page.Load();
    page.spareAvailable = false;
    page.repairAvailable = false;
    page.source = kRepairRegistrySource;
    const SourceChange change = page.ChangeSource(ChangeSender::Wizard);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Brellix 2000: Repair Registry Not Available"});
    EXPECT_EQ(page.source, kDisketteSource);   // no spare registry and no backups either
    EXPECT_TRUE(change.notAvailable);
    EXPECT_TRUE(page.winUsers.enabled);

    AddSet("C:\\Backups\\A\\", {"win.inz"});
    page.source = kBrellixBackupsSource;
    EXPECT_TRUE(page.ChangeSource(ChangeSender::Page).showBackupList);
    EXPECT_FALSE(page.ChangeSource(ChangeSender::Wizard).showBackupList);
}

TEST_F(Sources, TheRestoreButtonRefusesWhatItCannotUse)
{
    page.Load();
    page.source = kNoSource;
    page.RestoreClick();
    page.source = kDisketteSource;
    m.ui().PushAnswer("C:\\Temp");
    page.RestoreClick();
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Brellix 2000: Please select a Backup to restore.",
                                                    "Brellix 2000: The Directory specified is incorrect."}));
    page.source = kRepairRegistrySource;
    page.repairAvailable = false;
    page.RestoreClick();
    EXPECT_TRUE(started.empty());
    EXPECT_EQ(program.platform.profile().readString(program.paths.settingsFile, "Bootup", "Action", ""), "0");
}

TEST_F(Sources, ARepairRestoreIsConfirmedAndStartsFromTheRepairDirectory)
{
    page.Load();
    page.source = kRepairRegistrySource;
    page.repairAvailable = true;
    m.ui().PushAnswer("Yes");
    page.RestoreClick();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].path, m.Windows() + "repair\\");
    EXPECT_EQ(started[0].kind, RestoreSourceKind::RepairCopies);
    EXPECT_EQ(Messages(), std::vector<std::string>{
                              "Brellix 2000: Are you sure you want to Restore to the Repair Registry?\r\rContinue?"});
}

TEST_F(Sources, UserHiveMaskFollowsTheRecordedProfileDirectory)
{
    const std::string directory = "C:\\Sets\\Users\\";
    AddSet(directory, {});
    const std::string index = directory + "user.ini";
    program.platform.profile().write(index, "MultiUsers", "user0", "C:\\Documents and Settings\\Guest\\NTUSER.DAT");
    program.platform.profile().write(index, "MultiUsers", "user1", program.paths.userProfile + "NTUSER.DAT");
    EXPECT_EQ(page.UserHiveMask(directory), "user1");
    program.platform.profile().deleteSection(index, "MultiUsers");
    EXPECT_EQ(page.UserHiveMask(directory), "user0");
}

}  // namespace
}  // namespace brx::restore
