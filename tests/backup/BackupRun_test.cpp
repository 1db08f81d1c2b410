#include "backup/BackupRun.h"

#include <algorithm>
#include <random>

#include "BackupBench.h"

namespace brx::backup::test {
namespace {

using Names = std::vector<std::string>;

class BackupRunTest : public BackupBench {
protected:
    void SetUp() override {
        BackupBench::SetUp();
        Configure("Target", "C:\\BACKUPS");
        Set("BackupName", "DateFormat", "mm/dd/yyyy");
    }
    std::string HostFile(const std::string& relative, const std::string& content) {
        const fs::path host = fs::path(Host("C:\\")) / relative;
        fs::create_directories(host.parent_path());
        std::ofstream(host, std::ios::binary) << content;
        return host.string();
    }
    static std::string Random(std::size_t size, unsigned seed) {
        std::mt19937 generator(seed);
        std::string data(size, '\0');
        for (auto& c : data) c = static_cast<char>(generator());
        return data;
    }
    void AddPackage(int index, const std::string& name, const std::vector<std::string>& types,
                    const std::vector<std::string>& files) {
        const std::string section = "MultiFiles" + std::to_string(index);
        Set(section, "FileName", name);
        for (std::size_t k = 0; k < types.size(); ++k)
            Set(section, "FileType" + std::to_string(k), "\"" + types[k] + "\"");
        for (std::size_t k = 0; k < files.size(); ++k)
            Set(section, "Files" + std::to_string(k), "\"" + files[k] + "\"");
        Set(section, "Path", "C:\\DATA\\");
        Set(section, "Check1", "1");
    }
    bool Contains(const std::vector<std::string>& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    std::vector<std::string> LastWarningList() {
        for (auto it = ui.Events().rbegin(); it != ui.Events().rend(); ++it)
            if (it->kind == core::UiEvent::Kind::WarningList) return it->lines;
        return {};
    }
    Names ArchiveNames(const std::string& hostArchive) {
        std::istringstream in(UnzipList(hostArchive));
        Names names;
        for (std::string line; std::getline(in, line);) names.push_back(line);
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(BackupRunTest, NothingTickedCreatesNothing) {
    Tick({});
    Start();
    Run();
    EXPECT_TRUE(Contains(ui.Messages(), std::string("Brellix 2000: ") + kNothingSelectedText));
    EXPECT_FALSE(fs::exists(fs::path(Host("C:\\")) / "BACKUPS"));
}

TEST_F(BackupRunTest, DifferentialLeavesArchiveBitsAndIncrementalClearsThem) {
    Tick({1, 2});
    Start();
    Run();  // Full clears the bits
    const std::string autoexec = layout.windowsDirectory + "\\system32\\autoexec.nt";
    EXPECT_EQ(machine->files().getAttributes(autoexec) & platform::kAttrArchive, 0u);
    std::ofstream(Host(autoexec), std::ios::app) << "rem changed\r\n";
    ASSERT_NE(machine->files().getAttributes(autoexec) & platform::kAttrArchive, 0u);

    Model().backupType = core::kBackupDifferential;
    Run();
    Run();
    const auto entries = Entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(SetContents(entries[1]), Names{"autoexec.ntz"});
    EXPECT_EQ(SetContents(entries[2]), Names{"autoexec.ntz"});
    EXPECT_NE(machine->files().getAttributes(autoexec) & platform::kAttrArchive, 0u);

    Model().backupType = core::kBackupIncremental;
    Run();
    Run();
    ASSERT_EQ(Entries().size(), 5u);
    EXPECT_EQ(SetContents(Entries()[3]), Names{"autoexec.ntz"});
    EXPECT_TRUE(SetContents(Entries()[4]).empty());
    for (const auto& set : Entries()) ExpectArchivesPass(set);
}

TEST_F(BackupRunTest, ReplaceTwiceRewritesTheSameArchivesUnderOneEntry) {
    Tick({1, 7});
    Configure("BackupType", "3");
    Configure("Target", "C:\\BACKUPS\\SAME");
    Start();
    Run();
    Run();
    EXPECT_EQ(Entries(), Names{"C:\\BACKUPS\\SAME\\"});
    EXPECT_EQ(SetContents("C:\\BACKUPS\\SAME"), (Names{"autoexec.ntz", "boot.inz"}));
    ExpectArchivesPass("C:\\BACKUPS\\SAME");
    EXPECT_EQ(Get("Last Backup", "Year"), "2026");
    EXPECT_EQ(Get("BackupPreferences1", "LastDay"), "9");
}

TEST_F(BackupRunTest, UncompressedSetsCopyTreesWithAndWithoutTheDrive) {
    Tick({1});
    Configure("Compress", "0");
    AddPackage(0, "Ini", {}, {"+C:\\WINNT\\win.ini"});
    Start();
    Run();
    const std::string set = Entries().at(0);
    EXPECT_EQ(SetContents(set), (Names{"C", "autoexec.nt"}));
    EXPECT_TRUE(fs::is_regular_file(Host(set) + "/C/WINNT/win.ini"));

    Model().backupType = core::kBackupReplace;
    Model().target = "C:\\PLAIN";
    Run();
    EXPECT_EQ(SetContents("C:\\PLAIN"), (Names{"WINNT", "autoexec.nt"}));
    EXPECT_TRUE(fs::is_regular_file(Host("C:\\PLAIN") + "/WINNT/win.ini"));
}

TEST_F(BackupRunTest, PackageArchivesFollowIncludesExcludesAndHandTicks) {
    for (const char* name : {"DATA/a.txt", "DATA/b.txt", "DATA/c.tmp", "DATA/sub/d.txt",
                             "DATA/sub/e.tmp", "DATA/other.doc", "DATA/a.tmp"})
        HostFile(name, name);
    Tick({});
    AddPackage(0, "Docs", {">C:\\DATA\\*.TXT", "->C:\\DATA\\*.TMP"},
               {"+C:\\DATA\\a.tmp", "+C:\\DATA\\other.doc", "-C:\\DATA\\b.txt"});
    Start();
    Run();
    const std::string archive = Host(Entries().at(0)) + "/Docs.zip";
    EXPECT_EQ(UnzipTest(archive), 0);
    EXPECT_EQ(ArchiveNames(archive),
              (Names{"C:/DATA/a.txt", "C:/DATA/other.doc", "C:/DATA/sub/d.txt"}));
}

TEST_F(BackupRunTest, MissingBootFileIsListedAndTheRunGoesOn) {
    Tick({7, 8});
    fs::remove(fs::path(Host("C:\\")) / "bootfont.bin");
    Start();
    Run();
    const auto warnings = LastWarningList();
    ASSERT_FALSE(warnings.empty());
    EXPECT_EQ(warnings.front(), kWarningHeading);
    EXPECT_TRUE(Contains(warnings, "C:\\bootfont.bin"));
    EXPECT_EQ(warnings.back(), "1 files backed up.");
    EXPECT_EQ(SetContents(Entries().at(0)), Names{"boot.inz"});
    EXPECT_EQ(Get("Last Backup", "Day"), "9");
}

TEST_F(BackupRunTest, VerifyTestsEveryPlainArchive) {
    Tick({1, 2});
    Configure("VerifyBackup", "1");
    Start();
    Run();
    Names verified;
    for (const auto& event : ui.Events())
        if (event.kind == core::UiEvent::Kind::ProgressStatus && event.text.rfind("Verifying ", 0) == 0)
            verified.push_back(event.text);
    EXPECT_EQ(verified, (Names{"Verifying autoexec.ntz", "Verifying config.ntz"}));
    // The task bar follows the run: "(Config 1) - <run>% - <archive>%", then the title again.
    Names titles;
    for (const auto& event : ui.Events())
        if (event.kind == core::UiEvent::Kind::ApplicationTitle) titles.push_back(event.text);
    EXPECT_TRUE(Contains(titles, "(Config 1) - 33% - 100%")) << ::testing::PrintToString(titles);
    EXPECT_EQ(ui.ApplicationTitle(), "Brellix 2000");
    EXPECT_TRUE(Contains(ui.Messages(), "Brellix 2000: Backup Finished\n\n2 files backed up."));
}

TEST_F(BackupRunTest, BlocksContinueWhereThePreviousArchiveStopped) {
    HostFile("DATA/one.bin", Random(700, 1));
    HostFile("DATA/two.bin", Random(1500, 2));
    Tick({});
    AddPackage(0, "One", {"|C:\\DATA\\one.bin"}, {});
    AddPackage(1, "Two", {"|C:\\DATA\\two.bin"}, {});
    Set("MultiFiles1", "Check1", "1");
    Configure("BlockCheck", "1");
    Configure("BlockNumber", "1000");
    Start();
    Run();
    const std::string set = Host(Entries().at(0));
    Names parts = SetContents(Entries().at(0));
    // The first archive stays within one block; the second starts in what is left of it.
    std::uint64_t firstSize = 0;
    std::uint64_t twoFirstPart = 0;
    for (const auto& name : parts) {
        const auto size = fs::file_size(set + "/" + name);
        EXPECT_LE(size, 1000u) << name;
        if (name.rfind("One", 0) == 0) firstSize += size;
        if (name.rfind("Two", 0) == 0 && (twoFirstPart == 0 || name.find("001") != std::string::npos))
            twoFirstPart = size;
    }
    ASSERT_GT(firstSize, 0u);
    EXPECT_LE(twoFirstPart, 1000u - firstSize);
    EXPECT_GT(std::count_if(parts.begin(), parts.end(), [](const std::string& n) { return n.rfind("Two", 0) == 0; }), 1);
}

TEST_F(BackupRunTest, SpannedBackupAsksForDisksAndFillsThem) {
    HostFile("DATA/big1.bin", Random(1'200'000, 3));
    HostFile("DATA/big2.bin", Random(1'200'000, 4));
    Tick({});
    AddPackage(0, "Big", {"|C:\\DATA\\*.bin"}, {});
    Configure("Target", "A:\\");
    ui.swapDisks = true;
    Start();
    Run();
    EXPECT_EQ(ui.disksUsed, 1);
    EXPECT_TRUE(Contains(ui.Messages(), "Brellix 2000: Please insert first disk with Big.zip on it"));
    EXPECT_TRUE(Entries().empty());
    // Joined in disk order, the parts are one archive that Info-ZIP tests clean.
    ASSERT_TRUE(fs::exists(ui.disks[0] + "/Big.zip"));
    ASSERT_TRUE(fs::exists(ui.disks[1] + "/Big.zip"));
    fs::copy_file(ui.disks[0] + "/Big.zip", root + "/Big.z01");
    fs::copy_file(ui.disks[1] + "/Big.zip", root + "/Big.zip");
    ASSERT_EQ(std::system(("cd '" + root + "' && zip -qs 0 Big.zip --out joined.zip").c_str()), 0);
    EXPECT_EQ(UnzipTest(root + "/joined.zip"), 0);
    EXPECT_EQ(ArchiveNames(root + "/joined.zip"), (Names{"C:/DATA/big1.bin", "C:/DATA/big2.bin"}));
    EXPECT_FALSE(program->run.error) << ::testing::PrintToString(program->run.warnings);
}

TEST_F(BackupRunTest, DisketteTargetAsksForADiskAndCancelEndsWithoutDates) {
    Tick({1});
    Configure("Target", "A:\\");
    machine->setDriveMedia('A', root + "/no-disk");
    ui.PushAnswer("Cancel");
    Start();
    Run();
    EXPECT_TRUE(Contains(ui.Messages(), "Insert Disk - Brellix 2000: Please insert a disk."));
    const auto warnings = LastWarningList();
    EXPECT_TRUE(Contains(warnings, kBackupCanceled));
    EXPECT_EQ(Get("Last Backup", "Year"), "");
}

TEST_F(BackupRunTest, DisketteInTheDriveIsWipedWithoutAQuestion) {
    Tick({1});
    Configure("Target", "A:\\");
    Configure("DeleteFiles", "1");
    fs::create_directories(root + "/machine/A/old");
    std::ofstream(root + "/machine/A/old/letter.txt") << "old";
    Start();
    Run();
    EXPECT_EQ(SetContents("A:\\"), Names{"autoexec.ntz"});
    EXPECT_FALSE(Contains(ui.Messages(), "Insert Disk - Brellix 2000: Please insert a disk.  Warning - "
                                         "all data will be deleted from the disk."));
    EXPECT_EQ(UnzipTest(root + "/machine/A/autoexec.ntz"), 0);
}

TEST_F(BackupRunTest, OnlyTheLastConfigurationOfAButtonPressReportsTheTotal) {
    Tick({1}, 1);
    Tick({2, 7}, 3);
    Set("BackupPreferences3", "Target", "C:\\THIRD");
    Set("BackupPreferences", "Config3", "1");
    Start();
    EXPECT_FALSE(backup->BackupTickedConfigurations());
    Names finished;
    for (const auto& message : ui.Messages())
        if (message.find("Backup Finished") != std::string::npos) finished.push_back(message);
    EXPECT_EQ(finished, Names{"Brellix 2000: Backup Finished\n\n3 files backed up."});
    EXPECT_EQ(Entries().size(), 2u);
    EXPECT_EQ(Entries()[1].rfind("C:\\THIRD\\", 0), 0u);
}

TEST_F(BackupRunTest, SafeModeWarnsAndBacksUpAllTheSame) {
    EditMachine("SafeMode=0", "SafeMode=1");
    Tick({7});
    Start();
    Run();
    const auto messages = ui.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], std::string("Brellix 2000: ") + kSafeModeText);
    EXPECT_EQ(messages[1], "Brellix 2000: Backup Finished\n\n1 files backed up.");
    EXPECT_EQ(SetContents(Entries().at(0)), Names{"boot.inz"});
}

TEST_F(BackupRunTest, CancelInTheProgressWindowEndsTheRun) {
    HostFile("DATA/big.bin", Random(3'000'000, 5));
    Tick({1});
    AddPackage(0, "Big", {"|C:\\DATA\\big.bin"}, {});
    Start();
    ui.CancelAtPump(ui.PumpCount() + 8);
    EXPECT_THROW(Run(), RunEnded);
    EXPECT_TRUE(Contains(LastWarningList(), "User Cancelled"));
    EXPECT_EQ(Get("Last Backup", "Year"), "");
    EXPECT_FALSE(ui.ProgressVisible());
}

}  // namespace
}  // namespace brx::backup::test

namespace brx::backup::test {
namespace {

class RegistryBackupTest : public BackupRunTest {
protected:
    RegistryBackupTest() { withHives = true; }
};

TEST_F(RegistryBackupTest, FullSetThenIncrementalWithoutChangesHoldsOnlyTheRegistry) {
    Tick({0, 1, 2, 5, 7, 13});
    Start();
    Run();
    ASSERT_EQ(Entries().size(), 1u);
    const std::string full = Entries()[0];
    EXPECT_EQ(full, "C:\\BACKUPS\\12-09-2026\\");
    EXPECT_EQ(SetContents(full), (Names{"autoexec.ntz", "boot.inz", "config.ntz", "desktop.zip",
                                        "ntldr.--z", "registry.daz", "system.inz", "win.inz"}));
    const std::string registry = ::testing::PrintToString(ArchiveNames(Host(full) + "/registry.daz"));
    for (const char* hive : {"SYSTEM", "SOFTWARE", "SAM", "SECURITY", "DEFAULT", "user0", "user.ini"})
        EXPECT_NE(registry.find(std::string("/") + hive + "\""), std::string::npos) << hive << registry;
    EXPECT_TRUE(fs::exists(Host(layout.windowsDirectory + "\\registry.daz")));
    ExpectArchivesPass(full);
    EXPECT_EQ(Get("Last Backup", "Month"), "12");
    EXPECT_FALSE(program->run.error) << ::testing::PrintToString(program->run.warnings);

    Model().backupType = core::kBackupIncremental;
    Run();
    ASSERT_EQ(Entries().size(), 2u);
    EXPECT_EQ(Entries()[1], "C:\\BACKUPS\\12-09-2026(1)\\");
    EXPECT_EQ(SetContents(Entries()[1]), (Names{"registry.daz", "system.inz", "win.inz"}));
    ExpectArchivesPass(Entries()[1]);
}

TEST_F(RegistryBackupTest, UncompressedSetHoldsPlainHivesAndNotesFilesInUse) {
    Tick({0});
    Configure("Compress", "0");
    AddPackage(0, "Live", {}, {"+C:\\WINNT\\system32\\config\\SOFTWARE"});
    Start();
    Run();
    const std::string set = Entries().at(0);
    for (const char* name : {"SYSTEM", "SOFTWARE", "DEFAULT", "user0", "user.ini", "win.ini", "system.ini"})
        EXPECT_TRUE(fs::is_regular_file(fs::path(Host(set)) / name)) << name;
    // The live hive cannot be read: it is taken at the next start instead of being copied.
    const std::string wininit = layout.windowsDirectory + "\\wininit.ini";
    const auto keys = machine->profile().keys(wininit, "Rename");
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0], *machine->files().shortPathName("C:\\WINNT\\system32\\config\\SOFTWARE"));
    EXPECT_EQ(machine->profile().readString(wininit, "Rename", keys[0], ""),
              *machine->files().shortPathName(set) + "C\\WINNT\\system32\\config\\SOFTWARE");
    EXPECT_FALSE(fs::exists(fs::path(Host(set)) / "C" / "WINNT" / "system32" / "config" / "SOFTWARE"));
}

TEST_F(RegistryBackupTest, UserWithoutBackupPrivilegeGetsTheWarningListAndNoHives) {
    EditMachine("Backup=1", "Backup=0");
    Tick({0});
    Start();
    Run();
    EXPECT_TRUE(Contains(ui.Messages(), "Brellix 2000: You do not have Backup Privileges.  Backup is "
                                        "not possible for this user."));
    const auto warnings = LastWarningList();
    EXPECT_TRUE(Contains(warnings, "SYSTEM key"));
    EXPECT_TRUE(Contains(warnings, "SOFTWARE key"));
    EXPECT_TRUE(program->run.error);
}

}  // namespace
}  // namespace brx::backup::test

namespace brx::backup::test {
namespace {

class NtBackupTest : public BackupRunTest {
protected:
    NtBackupTest() {
        withHives = true;
        ntEdition = true;
    }
};

TEST_F(NtBackupTest, RegistryAndProfileFoldersOfAnNtMachine) {
    Tick({0, 13});
    Start();
    Run();
    EXPECT_FALSE(program->run.error) << ::testing::PrintToString(program->run.warnings);
    const std::string set = Entries().at(0);
    EXPECT_EQ(SetContents(set), (Names{"desktop.zip", "registry.daz", "system.inz", "win.inz"}));
    ExpectArchivesPass(set);
    EXPECT_TRUE(Contains(ui.Messages(), "Brellix NT: Backup Finished\n\n" +
                                            std::to_string(program->run.fileCount) + " files backed up."));
}

}  // namespace
}  // namespace brx::backup::test
