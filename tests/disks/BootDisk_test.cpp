#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "backup/BackupRun.h"
#include "core/Program.h"
#include "core/ScriptedUi.h"
#include "core/Startup.h"
#include "core/ZipSetup.h"
#include "disks/BootDisk.h"
#include "disks/Emergency.h"
#include "disks/ProgramDiskWork.h"
#include "support/TestMachine.h"

namespace brx::disks {
namespace {

namespace fs = std::filesystem;

// Records what the window was asked to do.
class RecordingWindow : public WindowServices {
public:
    void FormatDrive(int drive) override { formatted.push_back(drive); }
    void RepaintMainWindow() override {}
    void WarningBeep() override { ++beeps; }
    bool ShowCompiledHelpPage(const std::string& chm, const std::string& page) override
    {
        shown.push_back(chm + "::/" + page);
        return true;
    }
    bool JumpToHelpTopic(const std::string& helpFile, const std::string& topic) override
    {
        shown.push_back(helpFile + "#" + topic);
        return true;
    }
    std::vector<int> formatted;
    std::vector<std::string> shown;
    int beeps = 0;
};

class NoRuns : public core::RunItems {
public:
    void RunBackup(int) override {}
    void RunDorAdur() override {}
    void FillList() override {}
};

class DiskTest : public ::testing::Test {
protected:
    explicit DiskTest(const editions::Edition& edition = editions::Edition::Win2000())
        : machine(test::testMachineOptions(edition.IsNT()
                                               ? platform::hosted::WindowsEdition::WindowsNT
                                               : platform::hosted::WindowsEdition::Windows2000))
        , program(machine.platform(), edition, ui)
    {
        core::InstallZipEngine(program);
        core::Startup startup(program, runs);
        startup.Enter({});
        startup.MainWindowStart();
        ui.ClearEvents();
    }

    void MakeBootDisk()
    {
        backup::BackupRun backups(program);
        ProgramBootDiskWork work(program, backups.Archives());
        disks::MakeBootDisk(program, window, work);
    }

    std::vector<std::string> Diskette(const std::string& media)
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(media))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    bool Shown(const std::string& message)
    {
        const auto messages = ui.Messages();
        return std::any_of(messages.begin(), messages.end(), [&](const std::string& line) {
            return line.find(message) != std::string::npos;
        });
    }

    test::TestMachine machine;
    core::ScriptedUi ui;
    core::Program program;
    NoRuns runs;
    RecordingWindow window;
};

using Names = std::vector<std::string>;

TEST_F(DiskTest, BootDiskCopiesTheBootAndRepairFilesWithoutAnAbsentNtbootdd)
{
    const std::string media = machine.insertDiskette("boot");
    ASSERT_FALSE(machine.exists("C:\\ntbootdd.sys"));
    for (const char* answer : {"a:", "No", "No"})  // drive, format, RegBack
        ui.PushAnswer(answer);
    MakeBootDisk();
    EXPECT_EQ(Diskette(media), (Names{"autoexec.nt", "boot.ini", "bootfont.bin", "bootsect.dos",
                                      "config.nt", "ntdetect.com", "ntldr", "setup.log"}));
    EXPECT_EQ(machine.readFile("A:\\boot.ini"), machine.readFile("C:\\boot.ini"));
    EXPECT_TRUE(window.formatted.empty());
    EXPECT_TRUE(Shown(kMsgDisketteCompleted));
    EXPECT_EQ(window.beeps, 1);
    EXPECT_FALSE(program.run.error);
    EXPECT_FALSE(machine.exists("C:\\WINNT\\Repair\\RegBack"));
}

TEST_F(DiskTest, BootDiskTakesNtbootddWhenThereIsOneAndFormatsOnYes)
{
    const std::string media = machine.insertDiskette("boot");
    machine.writeFile("C:\\ntbootdd.sys", "scsi driver");
    machine.writeFile("A:\\old.txt", "left from before");
    for (const char* answer : {"A", "Yes", "Start", "No"})
        ui.PushAnswer(answer);
    MakeBootDisk();
    EXPECT_EQ(window.formatted, std::vector<int>{0});
    const Names files = Diskette(media);
    EXPECT_NE(std::find(files.begin(), files.end(), "ntbootdd.sys"), files.end());
    EXPECT_EQ(machine.readFile("A:\\ntbootdd.sys"), "scsi driver");
    EXPECT_TRUE(Shown(kMsgDisketteCompleted));
}

TEST_F(DiskTest, BootDiskWithoutADisketteFails)
{
    machine.ejectDiskette();
    for (const char* answer : {"A", "No"})
        ui.PushAnswer(answer);
    MakeBootDisk();
    EXPECT_TRUE(Shown(kMsgBootDiskFailed));
    EXPECT_FALSE(Shown(kMsgDisketteCompleted));
    EXPECT_FALSE(ui.ProgressVisible());
}

TEST_F(DiskTest, BootDiskStopsEarlyInSafeModeOnCancelAndWithoutCmdPif)
{
    program.paths.safeMode = true;
    MakeBootDisk();
    EXPECT_TRUE(Shown(kMsgSafeMode));
    program.paths.safeMode = false;

    ui.ClearEvents();
    ui.PushAnswer("Cancel");
    MakeBootDisk();
    EXPECT_TRUE(ui.Messages().empty());

    machine.platform().files().deleteFile(program.paths.programDirectory + "cmd.pif");
    ui.PushAnswer("A");
    MakeBootDisk();
    EXPECT_TRUE(Shown("Cmd.exe is not properly setup."));
    EXPECT_TRUE(window.formatted.empty());
}

TEST_F(DiskTest, BootDiskSavesTheRegistryIntoRegBackOnYes)
{
    machine.insertDiskette("boot");
    for (const char* answer : {"A", "No", "Yes"})
        ui.PushAnswer(answer);
    MakeBootDisk();
    EXPECT_TRUE(machine.exists("C:\\WINNT\\Repair\\RegBack\\SYSTEM"));
    EXPECT_TRUE(machine.exists("C:\\WINNT\\Repair\\RegBack\\user.ini"));
    EXPECT_TRUE(Shown(kMsgDisketteCompleted));
}

TEST(BootDiskDrive, FirstCharacterUpperCase)
{
    EXPECT_EQ(DriveLetterOf("b:"), 'B');
    EXPECT_EQ(DriveLetterOf("B"), 'B');
    EXPECT_FALSE(DriveLetterOf(""));
}

TEST_F(DiskTest, TroubleshootersOfThe2000EditionNeedTshootChm)
{
    OpenTroubleshooter(program, window, 1);
    EXPECT_TRUE(Shown(kMsgTroubleshootersNotSetUp));
    EXPECT_TRUE(window.shown.empty());
    machine.writeFile("C:\\WINNT\\Help\\tshoot.chm", "ITSF");
    OpenTroubleshooter(program, window, 1);
    EXPECT_EQ(window.shown, Names{"C:\\WINNT\\Help\\tshoot.chm::/Tsdisp.htm"});
    EXPECT_EQ(Troubleshooters(program.edition).size(), 13u);
}

class NtDiskTest : public DiskTest {
protected:
    NtDiskTest() : DiskTest(editions::Edition::WinNT()) {}
};

TEST_F(NtDiskTest, MissingNetworkHelpOnlyAffectsItsItem)
{
    machine.writeFile("C:\\WINNT\\System32\\windows.hlp", "help");
    OpenTroubleshooter(program, window, 1);  // Modem
    EXPECT_EQ(window.shown, Names{"C:\\WINNT\\System32\\windows.hlp#IDH_DIAL_WHAT_WRONG"});
    OpenTroubleshooter(program, window, 2);  // Network
    EXPECT_TRUE(Shown(kMsgTroubleshooterNotFound));
    EXPECT_EQ(window.shown.size(), 1u);
}

TEST_F(NtDiskTest, BootDiskAsksForTheDiskDriveAndCopiesNoRepairFiles)
{
    const std::string media = machine.insertDiskette("boot");
    for (const char* answer : {"A", "No"})
        ui.PushAnswer(answer);
    MakeBootDisk();
    ASSERT_FALSE(ui.Events().empty());
    EXPECT_EQ(ui.Events().front().caption, "Disk Drive");
    EXPECT_EQ(Diskette(media),
              (Names{"boot.ini", "bootfont.bin", "bootsect.dos", "ntdetect.com", "ntldr"}));
    EXPECT_TRUE(Shown(kMsgDisketteCompleted));
}

}  // namespace
}  // namespace brx::disks
