#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/hosted/ShortNames.h"
#include "support/TestMachine.h"

namespace brx::platform {
namespace {

using test::TestMachine;

std::vector<std::string> namesOf(const std::vector<FileInfo>& found) {
    std::vector<std::string> names;
    for (const auto& info : found) names.push_back(info.name);
    return names;
}

void appendOnHost(const std::string& hostFile, const std::string& text) {
    std::ofstream(hostFile, std::ios::app) << text;
}

TEST(HostedFiles, ResolvesPathsWithoutRegardToCaseAndThroughShortAliases) {
    TestMachine machine;
    Files& files = machine.platform().files();
    machine.writeFile("C:\\Program Files\\Brellix\\brxset.ini", "[x]\r\n");

    struct Case {
        const char* path;
        const char* longPath;
    } cases[] = {
        {"c:\\winnt\\WIN.INI", "C:\\WINNT\\win.ini"},
        {"C:\\PROGRA~1\\brellix\\BRXSET.INI", "C:\\Program Files\\Brellix\\brxset.ini"},
        {"C:\\DOCUME~1\\tester\\LOCALS~1\\temp\\",
         "C:\\Documents and Settings\\Tester\\Local Settings\\Temp\\"},
        {"C:/WINNT/./System32/../system.ini", "C:\\WINNT\\system.ini"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(files.longPathName(c.path).value_or("(missing)"), c.longPath);
    }
    EXPECT_FALSE(files.exists("C:\\WINNT\\nothing.ini"));
    EXPECT_FALSE(files.exists("Q:\\WINNT"));

    // A new file keeps the case it was given, inside the directory's stored spelling.
    ASSERT_TRUE(files.open("c:\\program files\\BRELLIX\\New Name.TXT", OpenMode::Write).file);
    EXPECT_TRUE(std::filesystem::exists(machine.dir() + "/C/Program Files/Brellix/New Name.TXT"));
}

TEST(ShortNames, AliasesFollowTheDosRules) {
    struct Case {
        const char* name;
        const char* alias;
    } cases[] = {
        {"Program Files", "PROGRA~1"},
        {"readme.txt", ""},
        {"README.TXT", ""},
        {"report.html", "REPORT~1.HTM"},
        {"a+b c.txt", "A_BC~1.TXT"},
        {"my.long.name.txt", "MYLONG~1.TXT"},
        {".profile", "PROFIL~1"},
        {"Zoë.txt", "ZO_~1.TXT"},
        {"ntuser.dat.LOG", "NTUSER~1.LOG"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(
            hosted::assignShortNames({c.name}, [](std::size_t) { return hosted::CreationKey{}; })
                .front(),
            c.alias);
    }

    // Names that compete take numbers in the order they were made; ~10 and on shorten the stem.
    std::vector<std::string> names;
    for (int i = 0; i < 11; ++i) names.push_back("Document number " + std::to_string(i) + ".txt");
    names.push_back("DOCUME~1.TXT");  // a real name holding an alias is skipped
    const auto aliases = hosted::assignShortNames(names, [](std::size_t i) {
        return hosted::CreationKey{0, i};
    });
    EXPECT_EQ(aliases[0], "DOCUME~2.TXT");
    EXPECT_EQ(aliases[1], "DOCUME~3.TXT");
    EXPECT_EQ(aliases[8], "DOCUM~10.TXT");
    EXPECT_EQ(aliases[11], "");
}

TEST(HostedFiles, ShortPathNamesOfExistingPathsOnly) {
    TestMachine machine;
    Files& files = machine.platform().files();
    machine.writeFile("C:\\Program Files\\Brellix\\brxset.ini", "");
    EXPECT_EQ(files.shortPathName("c:\\program files\\brellix\\brxset.ini"),
              "C:\\PROGRA~1\\Brellix\\brxset.ini");
    EXPECT_EQ(files.shortPathName(machine.layout().profileDirectory + "\\Local Settings\\Temp\\"),
              "C:\\DOCUME~1\\Tester\\LOCALS~1\\Temp\\");
    EXPECT_EQ(files.shortPathName("C:\\"), "C:\\");
    EXPECT_FALSE(files.shortPathName("C:\\Program Files\\Not There\\x.txt"));

    // A later name that competes for the same alias does not take it from the older one. (The
    // pause lets the file system's coarse clock tell the two births apart.)
    ASSERT_EQ(files.createDirectory("C:\\Program Data"), kErrorSuccess);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    ASSERT_EQ(files.createDirectory("C:\\Progra Aardvark"), kErrorSuccess);
    EXPECT_EQ(files.shortPathName("C:\\Program Files"), "C:\\PROGRA~1");
    EXPECT_EQ(files.shortPathName("C:\\Program Data"), "C:\\PROGRA~2");
    EXPECT_EQ(files.shortPathName("C:\\Progra Aardvark"), "C:\\PROGRA~3");
    EXPECT_EQ(files.longPathName("C:\\PROGRA~3"), "C:\\Progra Aardvark");
}

TEST(HostedFiles, FindMatchesMasksAgainstLongAndShortNames) {
    TestMachine machine;
    Files& files = machine.platform().files();
    for (const char* name : {"win.ini", "WIN.INZ", "readme", "a.b.c", "Long Report.html"})
        machine.writeFile(std::string("C:\\Set\\") + name, "x");
    ASSERT_EQ(files.createDirectory("C:\\Set\\Sub Folder"), kErrorSuccess);

    struct Case {
        const char* mask;
        std::vector<std::string> names;
    } cases[] = {
        {"*.*", {"a.b.c", "Long Report.html", "readme", "Sub Folder", "win.ini", "WIN.INZ"}},
        {"*", {"a.b.c", "Long Report.html", "readme", "Sub Folder", "win.ini", "WIN.INZ"}},
        {"*.", {"readme", "Sub Folder"}},
        {"*.in?", {"win.ini", "WIN.INZ"}},
        {"readme.*", {"readme"}},
        {"LONGRE~1.HTM", {"Long Report.html"}},
        {"*.htm", {"Long Report.html"}},  // through its alias, as on Windows
        {"?.b.c", {"a.b.c"}},
        {"nothing*", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mask);
        EXPECT_EQ(namesOf(files.find(std::string("C:\\set\\") + c.mask)), c.names);
    }
    const auto folder = files.find("C:\\Set\\Sub*");
    ASSERT_EQ(folder.size(), 1u);
    EXPECT_TRUE(folder[0].isDirectory());
    EXPECT_EQ(folder[0].shortName, "SUBFOL~1");
    EXPECT_TRUE(files.find("C:\\Missing\\*.*").empty());
}

TEST(HostedFiles, ArchiveBitComesBackWhenAFileChangesEvenFromOutside) {
    TestMachine machine;
    Files& files = machine.platform().files();
    const std::string path = "C:\\WINNT\\win.ini";
    EXPECT_EQ(files.getAttributes(path), kAttrArchive);  // nobody has backed it up yet

    ASSERT_EQ(files.setAttributes(path, 0), kErrorSuccess);
    EXPECT_EQ(files.getAttributes(path), kAttrNormal);
    // Setting a time is no change of content.
    ASSERT_EQ(files.setFileTime(path, 1'000'000'000), kErrorSuccess);
    EXPECT_EQ(files.getAttributes(path), kAttrNormal);
    EXPECT_EQ(files.stat(path)->modified, 1'000'000'000);

    appendOnHost(machine.host(path), "[extra]\r\n");
    EXPECT_EQ(files.getAttributes(path), kAttrArchive);
    EXPECT_EQ(files.find("C:\\WINNT\\win.ini")[0].attributes, kAttrArchive);

    // Other bits survive the round trip through the store.
    ASSERT_EQ(files.setAttributes(path, kAttrHidden | kAttrSystem), kErrorSuccess);
    EXPECT_EQ(files.getAttributes(path), kAttrHidden | kAttrSystem);
    auto written = files.open(path, OpenMode::Write);
    ASSERT_TRUE(written.file);
    ASSERT_TRUE(written.file.write("x", 1));
    written.file.close();
    EXPECT_EQ(files.getAttributes(path), kAttrHidden | kAttrSystem | kAttrArchive);
    EXPECT_EQ(files.getAttributes("C:\\WINNT"), kAttrDirectory);
    EXPECT_EQ(files.getAttributes("C:\\WINNT\\gone.ini"), kInvalidAttributes);
}

TEST(HostedFiles, ReadOnlyFilesRefuseChangeButNotReading) {
    TestMachine machine;
    Files& files = machine.platform().files();
    const std::string path = "C:\\ntldr";  // the machine's boot files are read-only, hidden, system
    EXPECT_EQ(files.getAttributes(path), kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive);
    EXPECT_EQ(files.open(path, OpenMode::Write).error, kErrorAccessDenied);
    EXPECT_EQ(files.deleteFile(path), kErrorAccessDenied);
    EXPECT_TRUE(files.open(path, OpenMode::Read).file);
    ASSERT_EQ(files.setAttributes(path, kAttrArchive), kErrorSuccess);
    EXPECT_EQ(files.deleteFile(path), kErrorSuccess);
}

TEST(HostedFiles, FilesOfLoadedHivesCannotBeOpened) {
    TestMachine machine;
    Files& files = machine.platform().files();
    const std::string sam = machine.layout().systemDirectory + "\\config\\SAM";
    if (!files.exists(sam)) machine.writeFile(sam, "regf");
    const std::string userHive = machine.layout().profileDirectory + "\\NTUSER.DAT";
    if (!files.exists(userHive)) machine.writeFile(userHive, "regf");

    for (const auto& hive : {sam, std::string("c:\\winnt\\system32\\CONFIG\\sam"), userHive}) {
        SCOPED_TRACE(hive);
        EXPECT_EQ(files.open(hive, OpenMode::Read).error, kErrorSharingViolation);
        EXPECT_EQ(files.copyFile(hive, "C:\\copy", false), kErrorSharingViolation);
        EXPECT_EQ(files.deleteFile(hive), kErrorSharingViolation);
        EXPECT_TRUE(files.stat(hive));  // it is there, only in use
    }
    EXPECT_FALSE(files.exists("C:\\copy"));
    // A file of the same name elsewhere is an ordinary file.
    machine.writeFile("C:\\Temp\\SAM", "not a hive");
    EXPECT_TRUE(files.open("C:\\Temp\\SAM", OpenMode::Read).file);
    EXPECT_EQ(machine.hosted().hostedFiles().hostPathOfDevicePath(
                  "\\Device\\HarddiskVolume1\\WINNT\\System32\\config\\SAM"),
              machine.host(sam));
}

TEST(HostedFiles, DrivesHaveTheirKinds) {
    TestMachine machine;
    Files& files = machine.platform().files();
    EXPECT_EQ(files.logicalDrives(), "ACD");
    EXPECT_EQ(files.driveType("A:\\"), DriveType::Removable);
    EXPECT_EQ(files.driveType("c:\\WINNT"), DriveType::Fixed);
    EXPECT_EQ(files.driveType("D:\\"), DriveType::CdRom);
    EXPECT_EQ(files.driveType("Q:\\"), DriveType::NoRootDir);
    EXPECT_EQ(files.volumeLabel("C:\\"), "SYSTEM");
    // A CD cannot be written.
    EXPECT_EQ(files.open("D:\\new.txt", OpenMode::Write).error, kErrorAccessDenied);
    EXPECT_EQ(files.createDirectory("D:\\NEW"), kErrorAccessDenied);
}

TEST(HostedFiles, DisketteFillsUpAndCanBeSwapped) {
    TestMachine machine;
    Files& files = machine.platform().files();
    EXPECT_EQ(files.diskFreeSpace("A:\\")->totalBytes, 1'457'664u);
    EXPECT_EQ(files.diskFreeSpace("A:\\")->freeBytes, 1'457'664u);

    auto archive = files.open("A:\\backup.zip", OpenMode::Write);
    ASSERT_TRUE(archive.file);
    const std::string block(100'000, 'z');
    ASSERT_TRUE(archive.file.write(block.data(), block.size()));
    EXPECT_EQ(files.diskFreeSpace("A:\\")->freeBytes, 1'457'664u - 100'352u);  // whole sectors
    for (int i = 0; i < 13; ++i) ASSERT_TRUE(archive.file.write(block.data(), block.size())) << i;
    EXPECT_EQ(files.diskFreeSpace("A:\\")->freeBytes, 1'457'664u - 1'400'320u);
    EXPECT_FALSE(archive.file.write(block.data(), block.size()));
    EXPECT_EQ(archive.file.lastError(), kErrorDiskFull);
    EXPECT_EQ(archive.file.size(), 1'400'000u);  // a refused write writes nothing
    archive.file.close();
    EXPECT_EQ(files.copyFile("C:\\WINNT\\win.ini", "A:\\win.ini", false), kErrorSuccess);
    EXPECT_EQ(files.createDirectory("A:\\Sub"), kErrorSuccess);

    machine.ejectDiskette();
    EXPECT_FALSE(files.driveReady("A:\\"));
    EXPECT_FALSE(files.diskFreeSpace("A:\\"));
    EXPECT_EQ(files.open("A:\\backup.zip", OpenMode::Read).error, kErrorNotReady);
    EXPECT_EQ(files.open("A:\\new.zip", OpenMode::Write).error, kErrorNotReady);
    EXPECT_TRUE(files.find("A:\\*.*").empty());

    machine.insertDiskette("second");
    EXPECT_TRUE(files.driveReady("A:\\"));
    EXPECT_EQ(files.diskFreeSpace("A:\\")->freeBytes, 1'457'664u);
    machine.writeFile("A:\\old.txt", "old");
    EXPECT_EQ(files.formatDrive("A:\\"), kErrorSuccess);
    EXPECT_TRUE(files.find("A:\\*.*").empty());
    EXPECT_EQ(files.formatDrive("C:\\"), kErrorAccessDenied);
}

TEST(HostedFiles, CopyKeepsTimeAndFullDisketteLeavesNoHalfCopy) {
    TestMachine machine;
    Files& files = machine.platform().files();
    ASSERT_EQ(files.setFileTime("C:\\WINNT\\system.ini", 1'200'000'000), kErrorSuccess);
    ASSERT_EQ(files.copyFile("C:\\WINNT\\system.ini", "C:\\Temp\\system.ini", true),
              kErrorPathNotFound);
    ASSERT_EQ(files.createDirectory("C:\\Temp"), kErrorSuccess);
    ASSERT_EQ(files.copyFile("C:\\WINNT\\system.ini", "C:\\Temp\\system.ini", true), kErrorSuccess);
    EXPECT_EQ(files.stat("C:\\Temp\\system.ini")->modified, 1'200'000'000);
    EXPECT_EQ(machine.readFile("C:\\Temp\\system.ini"), machine.readFile("C:\\WINNT\\system.ini"));
    EXPECT_EQ(files.copyFile("C:\\WINNT\\system.ini", "C:\\Temp\\system.ini", true),
              kErrorFileExists);
    // A copy onto itself, under any spelling, leaves the file as it was.
    const std::string before = machine.readFile("C:\\WINNT\\system.ini");
    EXPECT_EQ(files.copyFile("C:\\WINNT\\system.ini", "c:\\winnt\\SYSTEM.INI", false),
              kErrorSharingViolation);
    EXPECT_EQ(machine.readFile("C:\\WINNT\\system.ini"), before);

    machine.writeFile("C:\\big.bin", std::string(1'500'000, 'b'));
    EXPECT_EQ(files.copyFile("C:\\big.bin", "A:\\big.bin", false), kErrorDiskFull);
    EXPECT_FALSE(files.exists("A:\\big.bin"));
}

TEST(HostedFiles, MovesFollowMoveFileRules) {
    TestMachine machine;
    Files& files = machine.platform().files();
    machine.writeFile("C:\\one.txt", "1");
    machine.writeFile("C:\\two.txt", "2");
    EXPECT_EQ(files.moveFile("C:\\one.txt", "C:\\TWO.TXT"), kErrorAlreadyExists);
    EXPECT_EQ(files.moveFile("C:\\one.txt", "C:\\ONE.TXT"), kErrorSuccess);  // a change of case
    EXPECT_EQ(files.longPathName("C:\\one.txt"), "C:\\ONE.TXT");
    EXPECT_EQ(files.moveFile("C:\\ONE.TXT", "A:\\one.txt"), kErrorSuccess);  // to another drive
    EXPECT_FALSE(files.exists("C:\\ONE.TXT"));
    EXPECT_EQ(machine.readFile("A:\\one.txt"), "1");
    EXPECT_EQ(files.moveFile("C:\\missing", "C:\\x"), kErrorFileNotFound);
    EXPECT_EQ(files.moveFile("C:\\Nowhere\\missing", "C:\\x"), kErrorPathNotFound);

    // Replacing puts the new file in place of the old one at once.
    EXPECT_EQ(files.replaceFile("C:\\two.txt", "C:\\WINNT\\win.ini"), kErrorSuccess);
    EXPECT_EQ(machine.readFile("C:\\WINNT\\win.ini"), "2");
    EXPECT_FALSE(files.exists("C:\\two.txt"));
}

TEST(HostedFiles, DirectoriesAreCreatedAndRemovedOnlyWhenEmpty) {
    TestMachine machine;
    Files& files = machine.platform().files();
    EXPECT_EQ(files.createDirectory("C:\\Backups\\Set"), kErrorPathNotFound);
    EXPECT_EQ(files.createDirectory("C:\\Backups"), kErrorSuccess);
    EXPECT_EQ(files.createDirectory("c:\\BACKUPS"), kErrorAlreadyExists);
    EXPECT_EQ(files.createDirectory("C:\\Backups\\Set"), kErrorSuccess);
    EXPECT_EQ(files.removeDirectory("C:\\Backups"), kErrorDirNotEmpty);
    EXPECT_EQ(files.removeDirectory("C:\\Backups\\Set"), kErrorSuccess);
    EXPECT_EQ(files.removeDirectory("C:\\Backups"), kErrorSuccess);
    EXPECT_EQ(files.removeDirectory("C:\\"), kErrorAccessDenied);
    EXPECT_EQ(files.deleteFile("C:\\WINNT"), kErrorAccessDenied);
}

}  // namespace
}  // namespace brx::platform
