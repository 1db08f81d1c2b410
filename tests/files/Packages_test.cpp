#include "files/Packages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/hosted/Machine.h"
#include "platform/hosted/MachineBuilder.h"

namespace brx::files {
namespace {

namespace fs = std::filesystem;

class PackagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = (fs::temp_directory_path() /
                ("brx-packages-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                 "-" + std::to_string(::getpid())))
                   .string();
        fs::remove_all(root);
        platform::hosted::MachineOptions options;
        options.withHives = false;
        options.withDemoFiles = false;
        layout = platform::hosted::createMachine(root, options);
        machine = platform::hosted::openMachine(root);
        ini = layout.programDirectory + "\\brxset.ini";
        packages = std::make_unique<Packages>(machine->profile(), ini);
    }
    void TearDown() override {
        packages.reset();
        machine.reset();
        if (!HasFailure()) fs::remove_all(root);
    }
    std::string Get(int section, const std::string& key) {
        return machine->profile().readString(ini, Packages::SectionName(section), key, "<none>");
    }
    void Put(int section, const std::string& key, const std::string& value) {
        machine->profile().write(ini, Packages::SectionName(section), key, value);
    }
    PackageDefinition Package(const std::string& name, int includes) {
        PackageDefinition p;
        p.name = name;
        p.folder = "C:\\DATA\\";
        for (int i = 0; i < includes; ++i) p.includes.push_back(">C:\\DATA\\*." + std::to_string(i));
        return p;
    }
    std::string File(const std::string& relative, std::size_t size) {
        const fs::path host = fs::path(*machine->files().hostPath("C:\\")) / relative;
        fs::create_directories(host.parent_path());
        std::ofstream(host) << std::string(size, 'x');
        return host.string();
    }

    std::string root;
    std::string ini;
    platform::hosted::MachineLayout layout;
    std::unique_ptr<platform::hosted::HostedPlatform> machine;
    std::unique_ptr<Packages> packages;
};

TEST(PackageNames, ProposesTheFirstFreeBackupNumber) {
    EXPECT_EQ(Packages::ProposePackageName({}), "Backup1");
    EXPECT_EQ(Packages::ProposePackageName({"Backup1", "Backup3"}), "Backup2");
    EXPECT_EQ(Packages::ProposePackageName({"backup1"}), "Backup1");
}

TEST_F(PackagesTest, SaveWritesTheStoredFormAndLoadReadsItBack) {
    PackageDefinition p;
    p.name = "Docs";
    p.folder = "C:\\DATA\\";
    p.includes = {">C:\\DATA\\*.TXT", "|C:\\DATA\\*.DOC"};
    p.excludes = {">C:\\DATA\\*.TMP"};
    p.fileEntries = {"+C:\\DATA\\A.TMP", "-C:\\DATA\\B.TXT"};
    EXPECT_EQ(packages->SavePackage(0, p), std::nullopt);

    EXPECT_EQ(Get(0, "FileType2"), "->C:\\DATA\\*.TMP");
    EXPECT_EQ(Get(0, "Files1"), "-C:\\DATA\\B.TXT");
    EXPECT_EQ(Get(0, "SubDirectories"), "1");
    const auto loaded = packages->LoadPackage(0, "C:\\ELSEWHERE\\");
    EXPECT_EQ(loaded.name, p.name);
    EXPECT_EQ(loaded.folder, p.folder);
    EXPECT_EQ(loaded.includes, p.includes);
    EXPECT_EQ(loaded.excludes, p.excludes);
    EXPECT_EQ(loaded.fileEntries, p.fileEntries);
    EXPECT_EQ(packages->ListPackages(), std::vector<std::string>{"Docs"});
}

TEST_F(PackagesTest, SaveRefusesInOrderAndLeavesTheFileAlone) {
    ASSERT_EQ(packages->SavePackage(0, Package("Backup1", 1)), std::nullopt);
    struct Case {
        const char* name;
        PackageDefinition package;
        int index;
        std::string message;
    } cases[] = {
        {"empty name", Package("", 0), 1, kNoFileNameText},
        {"bad character", Package("a|b", 0), 1, kInvalidFileNameText},
        {"nothing selected", Package("Docs", 0), 1, kNothingSelectedText},
        {"name taken", Package("Backup1", 1), 1, std::string("Backup1") + kNameUsedSuffix},
    };
    for (const auto& c : cases) EXPECT_EQ(packages->SavePackage(c.index, c.package), c.message) << c.name;
    EXPECT_EQ(packages->ListPackages(), std::vector<std::string>{"Backup1"});
    // Names compare with case; an edited package may take any name.
    EXPECT_EQ(packages->SavePackage(1, Package("backup1", 1)), std::nullopt);
    EXPECT_EQ(packages->SavePackage(0, Package("backup1", 1)), std::nullopt);
}

TEST_F(PackagesTest, OldLayoutMasksTakeThePackagesFolder) {
    Put(0, "FileName", "Old");
    Put(0, "Path", "C:\\WORK\\");
    Put(0, "FileType", "*.doc");
    Put(0, "FileType0", "\"*.txt\"");
    Put(0, "FileType1", "\"-*.bak\"");
    const auto loaded = packages->LoadPackage(0, "C:\\");
    EXPECT_EQ(loaded.includes, std::vector<std::string>{"C:\\WORK\\*.txt"});
    EXPECT_EQ(loaded.excludes, std::vector<std::string>{"C:\\WORK\\*.bak"});
    const auto expanded = packages->ExpandPackage(0);
    EXPECT_EQ(expanded.name, "Old");
    EXPECT_EQ(expanded.filesList, (std::vector<std::string>{"C:\\WORK\\*.doc", "C:\\WORK\\*.txt"}));
    EXPECT_EQ(expanded.excludeList, std::vector<std::string>{"C:\\WORK\\*.bak"});
    EXPECT_TRUE(expanded.recurse);
}

TEST_F(PackagesTest, ExpandSplitsHandTickedFilesByTheirSign) {
    PackageDefinition p = Package("Docs", 1);
    p.excludes = {">C:\\DATA\\*.TMP"};
    p.fileEntries = {"+C:\\DATA\\A.TMP", "-C:\\DATA\\B.TXT"};
    ASSERT_EQ(packages->SavePackage(0, p), std::nullopt);
    const auto expanded = packages->ExpandPackage(0);
    EXPECT_EQ(expanded.filesList, (std::vector<std::string>{">C:\\DATA\\*.0", "C:\\DATA\\A.TMP"}));
    EXPECT_EQ(expanded.excludeList,
              (std::vector<std::string>{">C:\\DATA\\*.TMP", "C:\\DATA\\B.TXT"}));
}

TEST_F(PackagesTest, DeleteMovesLaterPackagesDownWithTheirTicksAndEntries) {
    ASSERT_EQ(packages->SavePackage(0, Package("One", 1)), std::nullopt);
    ASSERT_EQ(packages->SavePackage(1, Package("Two", 3)), std::nullopt);
    ASSERT_EQ(packages->SavePackage(2, Package("Three", 2)), std::nullopt);
    Put(1, "Check1", "1");
    Put(2, "Check3", "1");
    packages->DeletePackage(0);

    EXPECT_EQ(packages->ListPackages(), (std::vector<std::string>{"Two", "Three"}));
    EXPECT_EQ(Get(0, "FileType2"), ">C:\\DATA\\*.2");  // the longer list survives whole
    EXPECT_EQ(Get(1, "FileType1"), ">C:\\DATA\\*.1");
    EXPECT_EQ(Get(1, "FileType2"), "<none>");          // "Three" had two entries only
    EXPECT_TRUE(packages->IsTicked(0, 1));
    EXPECT_FALSE(packages->IsTicked(1, 1));
    EXPECT_TRUE(packages->IsTicked(1, 3));
    EXPECT_EQ(Get(2, "FileName"), "<none>");
}

TEST_F(PackagesTest, EstimateCountsWhatTheRuleSelects) {
    File("DATA/a.txt", 10);
    File("DATA/b.txt", 20);
    File("DATA/c.tmp", 40);
    File("DATA/sub/d.txt", 80);
    File("DATA/sub/e.tmp", 160);
    PackageDefinition p;
    p.name = "Docs";
    p.includes = {">C:\\DATA\\*.TXT"};
    p.excludes = {"|C:\\DATA\\*.TMP"};
    p.fileEntries = {"-C:\\DATA\\B.TXT", "+C:\\DATA\\SUB\\E.TMP"};
    const auto estimate = EstimatePackage(machine->files(), p, false, {});
    EXPECT_EQ(estimate.files, 3u);  // a.txt, sub\d.txt, sub\e.tmp
    EXPECT_EQ(estimate.bytes, 10u + 80u + 160u);

    p.includes = {"|C:\\DATA\\*.*"};
    p.fileEntries.clear();
    EXPECT_EQ(EstimatePackage(machine->files(), p, true, {}).files, 2u);  // c.tmp excluded here
}

}  // namespace
}  // namespace brx::files
