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
    EXPECT_FALSE(fs::exists(Host("C:\\") + "BACKUPS"));
}

TEST_F(BackupRunTest, DifferentialLeavesArchiveBitsAndIncrementalClearsThem) {
    Tick({1, 2});
    Start();
    Run();  // Full clears the bits
    const std::string autoexec = layout.windowsDirectory + "\\system32\\autoexec.nt";
    EXPECT_EQ(machine->files().getAttributes(autoexec) & platform::kAttrArchive, 0u);
    std::ofstream(Host(autoexec), std::ios::app) << "rem changed\r\n";
    ASSERT_NE(machine->files().getAttributes(autoexec) & platform::kAttrArchive, 0u);

    Configure("BackupType", "2");
    Run();
    Run();
    const auto entries = Entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(SetContents(entries[1]), Names{"autoexec.ntz"});
    EXPECT_EQ(SetContents(entries[2]), Names{"autoexec.ntz"});
    EXPECT_NE(machine->files().getAttributes(autoexec) & platform::kAttrArchive, 0u);

    Configure("BackupType", "1");
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

    Configure("BackupType", "3");
    Configure("Target", "C:\\PLAIN");
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
    fs::remove(Host("C:\\") + "/bootfont.bin");
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
    EXPECT_GE(ui.disksUsed, 2);
    EXPECT_TRUE(Entries().empty());
    EXPECT_FALSE(program->run.error) << ::testing::PrintToString(program->run.warnings);
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
