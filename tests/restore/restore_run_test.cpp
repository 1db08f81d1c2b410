#include <gtest/gtest.h>

#include <algorithm>

#include "backup/BackupRun.h"
#include "core/Startup.h"
#include "platform/hosted/PendingReplacements.h"
#include "restore/RestoreRun.h"
#include "restore/RestoreSources.h"
#include "support/ProgramOnMachine.h"
#include "support/RegistryValues.h"
#include "zip/ZipEngine.h"

namespace brx::restore {
namespace {

using namespace brx::platform;
using test::ProgramOnMachine;

constexpr const char* kTestKey = "SOFTWARE\\Brellix Test";

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines) text += line + "\n";
    return text;
}

// Backs up configuration 1 of the program with the given ticks into C:\BACKUPS; returns the set.
std::string BackUp(ProgramOnMachine& m, core::Program& program, std::initializer_list<int> ticks)
{
    program.settings.config.target = "C:\\BACKUPS";
    program.settings.config.checks.fill(false);
    for (int tick : ticks) program.settings.config.checks[static_cast<std::size_t>(tick)] = true;
    program.settings.dateFormat = "mm/dd/yyyy";
    backup::BackupRun(program).BackupClick(0);
    EXPECT_FALSE(program.run.error) << Joined(program.run.warnings);
    const auto entries = backup::BackupSets(program.platform, program.ui, program.paths.settingsFile).Entries();
    EXPECT_EQ(entries.size(), 1u);
    m.ui().ClearEvents();
    return entries.empty() ? std::string() : entries.front();
}

TEST(RestoreRun, ABackedUpRegistryAndBootFileComeBackAfterTheRestart)
{
    ProgramOnMachine m;
    core::Program* program = &m.Start();
    ASSERT_TRUE(test::SetRegistryText(program->platform.registry(), kHKeyLocalMachine, kTestKey, "Colour", "blue"));
    const std::string bootIni = m.machine.readFile("C:\\boot.ini");
    const std::string set = BackUp(m, *program, {0, 7});   // the registry and boot.ini
    ASSERT_TRUE(m.machine.exists(set + "registry.daz"));
    ASSERT_TRUE(m.machine.exists(set + "boot.inz"));

    // The damage.
    ASSERT_TRUE(test::SetRegistryText(program->platform.registry(), kHKeyLocalMachine, kTestKey, "Colour", "red"));
    ASSERT_EQ(program->platform.files().deleteFile("C:\\boot.ini"), kErrorSuccess);

    RestorePage page(*program);
    page.Load();
    page.source = kBrellixBackupsSource;   // the user picks "Brellix Backups", the list pops up
    ASSERT_TRUE(page.ChangeSource(ChangeSender::Page).showBackupList);
    page.FillBackupList();
    page.ChooseBackup(1);
    page.ClickWinCrash(true);
    page.ClickWinUsers(true);
    page.RestoreClick();

    EXPECT_FALSE(program->run.error) << Joined(program->run.warnings);
    // Seven hives scheduled, win.ini, system.ini and boot.ini written.
    EXPECT_EQ(m.ui().Messages(), std::vector<std::string>{
                                     "Brellix 2000: 10 files restored.\r\rPlease quit all applications.  Windows Will Now Restart"});
    EXPECT_EQ(m.restarts(), 1);
    EXPECT_FALSE(m.ui().ProgressVisible());
    EXPECT_EQ(m.machine.readFile("C:\\boot.ini"), bootIni);

    m.machine.reopen();
    program = &m.Start();
    EXPECT_EQ(test::RegistryText(program->platform.registry(), kHKeyLocalMachine, kTestKey, "Colour"), "blue");
    const std::string undo = m.Windows() + "System32\\config\\Undo\\";
    EXPECT_EQ(ProgramOnMachine::HiveValue(m.machine.host(undo + "SOFTWARE"), "\\Brellix Test", "Colour"), "red");
    for (const char* hive : {"SAM", "SECURITY", "SYSTEM", "DEFAULT", "user0", "user1"})
        EXPECT_TRUE(m.machine.exists(undo + hive)) << hive;
}

TEST(RestoreRun, TheSpareRegistryRestoresTheRegistryAloneAndRestarts)
{
    ProgramOnMachine m;
    core::Program* program = &m.Start();
    ASSERT_TRUE(test::SetRegistryText(program->platform.registry(), kHKeyLocalMachine, kTestKey, "Colour", "blue"));
    BackUp(m, *program, {0});
    ASSERT_TRUE(test::SetRegistryText(program->platform.registry(), kHKeyLocalMachine, kTestKey, "Colour", "red"));
    m.machine.writeFile(m.Windows() + "win.ini", "[windows]\r\nchanged=1\r\n");

    core::ComputeStartupFacts(*program);
    RestorePage page(*program);
    page.Load();
    page.source = kSpareRegistrySource;
    page.ChangeSource(ChangeSender::Page);
    page.RestoreClick();
    EXPECT_EQ(page.kind, RestoreSourceKind::SpareRegistry);
    EXPECT_EQ(m.ui().Messages(), std::vector<std::string>{
                                     "Brellix 2000: 7 files restored.\r\rPlease quit all applications.  Windows Will Now Restart"});
    EXPECT_EQ(m.machine.readFile(m.Windows() + "win.ini"), "[windows]\r\nchanged=1\r\n");   // files are not its business
    m.machine.reopen();
    program = &m.Start();
    EXPECT_EQ(test::RegistryText(program->platform.registry(), kHKeyLocalMachine, kTestKey, "Colour"), "blue");
}

TEST(RestoreRun, AHiveThatCannotBeReplacedEndsWithTheRestartQuestion)
{
    ProgramOnMachine m;
    core::Program* program = &m.Start();
    const std::string set = BackUp(m, *program, {0});
    m.SetMachineKey("Privileges", "Restore", "0");
    program = &m.Start();
    m.ui().PushAnswer("No");   // do not restart

    RestoreRun(*program).RunRestore(set + "win.inz", RestoreSourceKind::BackupSet, {true, false, false});
    const auto& events = m.ui().Events();
    const auto list = std::find_if(events.begin(), events.end(),
                                   [](const core::UiEvent& e) { return e.kind == core::UiEvent::Kind::WarningList; });
    ASSERT_NE(list, events.end());
    const std::vector<std::string>& lines = list->lines;
    ASSERT_GE(lines.size(), 7u);
    EXPECT_EQ(lines[0], "The following file(s) could not be copied:");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "SOFTWARE key"), lines.end());
    const std::vector<std::string> tail(lines.end() - 5, lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"", "If any keys were successfully restored, ",
                                              "   they will be implemented when Windows restarts.", "",
                                              "Do you want to Restart Windows?"}));
    EXPECT_EQ(m.restarts(), 0);
    EXPECT_TRUE(hosted::readPendingReplacements(m.machine.dir()).empty());
}

TEST(RestoreRun, WithoutTheShutdownPrivilegeTheUserIsToldToRestart)
{
    ProgramOnMachine m;
    core::Program* program = &m.Start();
    const std::string set = BackUp(m, *program, {0});
    m.SetMachineKey("Privileges", "Shutdown", "0");
    program = &m.Start();

    RestoreRun(*program).RunRestore(set + "win.inz", RestoreSourceKind::BackupSet, {true, false, false});
    const auto messages = m.ui().Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], "Brellix 2000: I cannot restart Windows because you do not have Shutdown Privileges.  "
                           "Please restart Windows.");
    EXPECT_EQ(m.restarts(), 0);
    EXPECT_EQ(hosted::readPendingReplacements(m.machine.dir()).size(), 7u);   // they wait for the next start
}

TEST(RestoreRun, ADisketteWithoutOneProfileArchiveAsksForTheNextDisk)
{
    ProgramOnMachine m;
    core::Program& program = m.Start();
    zip::ZipEngine& engine = *program.Zip();
    const std::string profile = program.paths.userProfile;
    int restored = 0;
    for (const char* archive : {"printhood.zip", "appdata.zip", "desktop.zip", "nethood.zip", "recent.zip",
                                "start.zip", "sendto.zip", "iecache.zip", "ctrlpanl.zip"}) {
        const std::string file = profile + "Restored\\" + archive + ".txt";
        m.machine.writeFile(file, archive);
        engine.SetZipName(std::string("A:\\") + archive);
        engine.MultiZipInfo.MultiMode = zip::mmNone;
        engine.FilesList = {file};
        engine.WriteArchive();
        engine.CloseArchive();
        program.platform.files().deleteFile(file);
        ++restored;
    }
    m.ui().PushAnswer("Cancel");   // favorites.zip is not on this disk
    m.ui().PushAnswer("No");       // no restart

    RestoreRun(program).RunRestore("A:\\appdata.zip", RestoreSourceKind::Diskette, {false, false, true});
    const auto& events = m.ui().Events();
    const auto prompt = std::find_if(events.begin(), events.end(), [](const core::UiEvent& e) {
        return e.kind == core::UiEvent::Kind::Message && e.buttons == core::MessageButtons::RetryCancel;
    });
    ASSERT_NE(prompt, events.end());
    EXPECT_EQ(prompt->caption, "favorites.zip not Found - Brellix 2000");
    EXPECT_EQ(prompt->text, "Please insert the next disk.");
    EXPECT_TRUE(program.run.error);
    EXPECT_NE(std::find(program.run.warnings.begin(), program.run.warnings.end(), "A:\\favorites.zip"),
              program.run.warnings.end());
    EXPECT_EQ(program.run.fileCount, restored);
    EXPECT_EQ(m.machine.readFile(profile + "Restored\\start.zip.txt"), "start.zip");
    EXPECT_EQ(m.restarts(), 0);
}

TEST(RestoreRun, RefusesToStartWithNothingSelected)
{
    ProgramOnMachine m;
    core::Program& program = m.Start();
    RestoreRun(program).RunRestore("C:\\BACKUPS\\x\\win.inz", RestoreSourceKind::BackupSet, {});
    EXPECT_EQ(m.ui().Messages(), std::vector<std::string>{"Brellix 2000: Nothing is selected to restore.  "
                                                          "Please select something under 2. Select Extent to Restore."});
    EXPECT_FALSE(m.ui().ProgressVisible());
}

TEST(ArchivedName, FollowsTheBackupNamingRule)
{
    EXPECT_EQ(ArchivedName("C:\\S\\win.ini"), "C:\\S\\win.inz");
    EXPECT_EQ(ArchivedName("C:\\S.1\\autoexec.nt"), "C:\\S.1\\autoexec.ntz");
    EXPECT_EQ(ArchivedName("C:\\S\\cmd.exe"), "C:\\S\\cmd.exz");
    EXPECT_EQ(ArchivedName("C:\\S.1\\ntldr"), "C:\\S.1\\ntldr.--z");
}

}  // namespace
}  // namespace brx::restore
