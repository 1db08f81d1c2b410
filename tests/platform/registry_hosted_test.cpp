// The hosted registry over real hive files: key paths, Windows' error codes, the hive list,
// writes that reach the file, compact saves and replacements that wait for a restart.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "platform/Security.h"
#include "platform/hosted/HostedRegistry.h"
#include "platform/hosted/PendingReplacements.h"
#include "platform/hosted/regf/HiveAuthor.h"
#include "support/hive_testing.h"
#include "support/raw_hive.h"

using namespace brx::platform;
using namespace brx::platform::hosted;
using namespace brx::test::hives;
namespace fs = std::filesystem;

namespace {

constexpr const char* kUserSid = "S-1-5-21-1004336348-1177238915-682003330-1000";
constexpr const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// A small machine: C: is <dir>/C, hives in C:\WINNT\system32\config and the user's profile.
class RegistryMachine : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(host("C:\\WINNT\\system32\\config"));
        fs::create_directories(host("C:\\Profiles\\Admin"));
        fs::create_directories(host("C:\\Save"));

        regf::HiveAuthor system("SYSTEM");
        system.dword("Select", "Current", 2).dword("Select", "Default", 2);
        system.text("ControlSet001\\Control", "Marker", "one");
        system.text("ControlSet002\\Control", "Marker", "two");
        system.key("ControlSet002\\Services\\Tcpip");
        system.save(host(kSystemFile));

        regf::HiveAuthor software("SOFTWARE");
        software.text(std::string("Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"),
                      "Common Desktop", "C:\\Profiles\\All Users\\Desktop");
        software.text("Classes\\.txt", "", "txtfile");
        software.save(host(kSoftwareFile));

        regf::HiveAuthor user("USER");
        user.text(kShellFolders, "Desktop", "C:\\Profiles\\Admin\\Desktop");
        user.save(host(kUserFile));

        openRegistry();
    }

    void openRegistry() {
        registry.reset();
        HostedRegistryConfig config;
        config.userSid = kUserSid;
        config.machineDirectory = dir.path();
        config.mounts = {
            {"\\REGISTRY\\MACHINE\\HARDWARE", "", ""},
            {"\\REGISTRY\\MACHINE\\SYSTEM", host(kSystemFile), "\\Device\\HarddiskVolume1\\WINNT\\system32\\config\\SYSTEM"},
            {"\\REGISTRY\\MACHINE\\SOFTWARE", host(kSoftwareFile), "\\Device\\HarddiskVolume1\\WINNT\\system32\\config\\SOFTWARE"},
            {std::string("\\REGISTRY\\USER\\") + kUserSid, host(kUserFile), "\\Device\\HarddiskVolume1\\Profiles\\Admin\\NTUSER.DAT"},
        };
        config.privilegeEnabled = [this](const std::string& name) { return privileges[name]; };
        config.hostPath = [this](const std::string& path) -> std::optional<std::string> {
            if (path.size() < 3 || path.compare(0, 3, "C:\\") != 0) return std::nullopt;
            return host(path);
        };
        registry = std::make_unique<HostedRegistry>(config);
    }

    std::string host(const std::string& windowsPath) const {
        std::string path = dir.path() + "/C/" + windowsPath.substr(3);
        for (char& c : path)
            if (c == '\\') c = '/';
        return path;
    }

    HKey open(HKey root, const std::string& path) {
        HKey key = 0;
        EXPECT_EQ(registry->openKey(root, path, kKeyRead, &key), kErrorSuccess) << path;
        return key;
    }

    std::string text(HKey root, const std::string& path, const std::string& name) {
        HKey key = 0;
        if (registry->openKey(root, path, kKeyRead, &key) != kErrorSuccess) return "<no key>";
        RegValue value;
        const ErrorCode error = registry->queryValue(key, name, &value);
        registry->closeKey(key);
        return error == kErrorSuccess ? value.text() : "<error " + std::to_string(error) + ">";
    }

    static constexpr const char* kSystemFile = "C:\\WINNT\\system32\\config\\SYSTEM";
    static constexpr const char* kSoftwareFile = "C:\\WINNT\\system32\\config\\SOFTWARE";
    static constexpr const char* kUserFile = "C:\\Profiles\\Admin\\NTUSER.DAT";

    ScratchDir dir;
    std::map<std::string, bool> privileges{{kSeBackupName, true}, {kSeRestoreName, true}};
    std::unique_ptr<HostedRegistry> registry;
};

TEST_F(RegistryMachine, FindsKeysThroughEveryRoot) {
    struct Case {
        const char* name;
        HKey root;
        std::string path;
        std::string value;
        std::string expected;
    };
    const std::string user = std::string(kUserSid) + "\\" + kShellFolders;
    const Case cases[] = {
        {"current control set follows Select", kHKeyLocalMachine, "SYSTEM\\CurrentControlSet\\Control", "Marker", "two"},
        {"a control set by name", kHKeyLocalMachine, "SYSTEM\\ControlSet001\\Control", "Marker", "one"},
        {"names without regard to case", kHKeyLocalMachine,
         "software\\MICROSOFT\\windows\\currentversion\\explorer\\shell folders", "common desktop",
         "C:\\Profiles\\All Users\\Desktop"},
        {"current user", kHKeyCurrentUser, kShellFolders, "Desktop", "C:\\Profiles\\Admin\\Desktop"},
        {"the user under HKEY_USERS", kHKeyUsers, user, "Desktop", "C:\\Profiles\\Admin\\Desktop"},
        {"classes root", kHKeyClassesRoot, ".txt", "", "txtfile"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(text(c.root, c.path, c.value), c.expected);
    }

    HKey machine = open(kHKeyLocalMachine, "");
    std::vector<std::string> hives;
    std::string name;
    for (std::uint32_t i = 0; registry->enumKey(machine, i, &name) == kErrorSuccess; ++i) hives.push_back(name);
    EXPECT_EQ(hives, (std::vector<std::string>{"HARDWARE", "SYSTEM", "SOFTWARE"}));
}

TEST_F(RegistryMachine, ReportsWindowsErrorCodes) {
    HKey control = open(kHKeyLocalMachine, "SYSTEM\\CurrentControlSet\\Control");
    HKey key = 0;
    RegValue value;
    std::string name;
    bool created = false;
    struct Case {
        const char* name;
        ErrorCode actual;
        ErrorCode expected;
    };
    const Case cases[] = {
        {"missing key", registry->openKey(kHKeyLocalMachine, "SOFTWARE\\Nowhere", kKeyRead, &key), kErrorFileNotFound},
        {"missing hive", registry->openKey(kHKeyLocalMachine, "SECURITY", kKeyRead, &key), kErrorFileNotFound},
        {"missing value", registry->queryValue(control, "Nothing", &value), kErrorFileNotFound},
        {"values run out", registry->enumValue(control, 1, &value), kErrorNoMoreItems},
        {"subkeys run out", registry->enumKey(control, 0, &name), kErrorNoMoreItems},
        {"unknown handle", registry->queryValue(0x4321, "Marker", &value), kErrorInvalidHandle},
        {"closing an unknown handle", registry->closeKey(0x4321), kErrorInvalidHandle},
        {"a key with subkeys", registry->deleteKey(kHKeyLocalMachine, "SYSTEM\\ControlSet002"), kErrorAccessDenied},
        {"a new hive", registry->createKey(kHKeyLocalMachine, "NEWHIVE", kKeyAllAccess, &key, &created), kErrorAccessDenied},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.actual, c.expected);
    }
}

TEST_F(RegistryMachine, HiveListShowsEveryMountAndEmptyDataForAHiveWithoutFile) {
    HKey list = open(kHKeyLocalMachine, "SYSTEM\\CurrentControlSet\\Control\\hivelist");
    RegKeyInfo info;
    ASSERT_EQ(registry->queryInfoKey(list, &info), kErrorSuccess);
    ASSERT_EQ(info.values, 4u);

    std::vector<std::pair<std::string, std::string>> entries;
    RegValue value;
    for (std::uint32_t i = 0; i < info.values; ++i) {
        ASSERT_EQ(registry->enumValue(list, i, &value), kErrorSuccess);
        EXPECT_EQ(value.type, kRegSz);
        entries.emplace_back(value.name, value.text());
        if (value.name == "\\REGISTRY\\MACHINE\\HARDWARE") {
            EXPECT_EQ(value.data, (std::vector<std::uint8_t>{0, 0}));
        }
    }
    EXPECT_EQ(registry->enumValue(list, info.values, &value), kErrorNoMoreItems);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"\\REGISTRY\\MACHINE\\HARDWARE", ""},
        {"\\REGISTRY\\MACHINE\\SYSTEM", "\\Device\\HarddiskVolume1\\WINNT\\system32\\config\\SYSTEM"},
        {"\\REGISTRY\\MACHINE\\SOFTWARE", "\\Device\\HarddiskVolume1\\WINNT\\system32\\config\\SOFTWARE"},
        {std::string("\\REGISTRY\\USER\\") + kUserSid, "\\Device\\HarddiskVolume1\\Profiles\\Admin\\NTUSER.DAT"},
    };
    EXPECT_EQ(entries, expected);
    EXPECT_EQ(text(kHKeyLocalMachine, "SYSTEM\\CurrentControlSet\\Control\\hivelist", "\\REGISTRY\\MACHINE\\SOFTWARE"),
              "\\Device\\HarddiskVolume1\\WINNT\\system32\\config\\SOFTWARE");
}

TEST_F(RegistryMachine, WritesReachTheHiveFileOnFlush) {
    HKey key = 0;
    bool created = false;
    ASSERT_EQ(registry->createKey(kHKeyCurrentUser, "Software\\Brellix\\Settings", kKeyAllAccess, &key, &created),
              kErrorSuccess);
    EXPECT_TRUE(created);
    ASSERT_EQ(registry->setValue(key, RegValue::string("Folder", "C:\\Brellix")), kErrorSuccess);
    ASSERT_EQ(registry->setValue(key, RegValue::dword("Count", 7)), kErrorSuccess);
    EXPECT_EQ(text(kHKeyCurrentUser, "Software\\Brellix\\Settings", "Folder"), "C:\\Brellix");
    ASSERT_EQ(registry->flushKey(key), kErrorSuccess);

    const std::string file = host(kUserFile);
    EXPECT_EQ(runTool("printf 'cd Software\\\\Brellix\\\\Settings\\nlsval\\n' | hivexsh " + quoted(file)).output,
              "\"Folder\"=\"C:\\\\Brellix\"\n\"Count\"=dword:00000007\n");
    for (const std::string& kind : subkeyListKinds(file)) EXPECT_EQ(kind, "lf");

    ASSERT_EQ(registry->deleteValue(key, "Count"), kErrorSuccess);
    ASSERT_EQ(registry->closeKey(key), kErrorSuccess);
    openRegistry();
    RegKeyInfo info;
    HKey again = open(kHKeyCurrentUser, "Software\\Brellix\\Settings");
    ASSERT_EQ(registry->queryInfoKey(again, &info), kErrorSuccess);
    EXPECT_EQ(info.values, 1u);
    ASSERT_EQ(registry->createKey(kHKeyCurrentUser, "Software\\Brellix\\Settings", kKeyAllAccess, &key, &created),
              kErrorSuccess);
    EXPECT_FALSE(created);
}

TEST_F(RegistryMachine, SaveWritesACompactCopyOfTheHiveAsItIsInMemory) {
    HKey software = open(kHKeyLocalMachine, "SOFTWARE");
    HKey added = 0;
    ASSERT_EQ(registry->createKey(software, "Unflushed", kKeyAllAccess, &added, nullptr), kErrorSuccess);

    ASSERT_EQ(registry->saveKey(software, "C:\\Save\\software"), kErrorSuccess);
    const std::string saved = host("C:\\Save\\software");
    EXPECT_EQ(reglookupDump(saved), reglookupDump(host(kSoftwareFile)));
    EXPECT_NE(reglookupDump(saved).find("/Unflushed,KEY"), std::string::npos);

    // The hardware hive has no file; its save is still a hive.
    HKey hardware = open(kHKeyLocalMachine, "HARDWARE");
    ASSERT_EQ(registry->saveKey(hardware, "C:\\Save\\hardware"), kErrorSuccess);
    EXPECT_EQ(runTool("regfinfo " + quoted(host("C:\\Save\\hardware"))).exitCode, 0);
}

TEST_F(RegistryMachine, SaveRefusesAnExistingFileAndAUserWithoutTheBackupPrivilege) {
    HKey software = open(kHKeyLocalMachine, "SOFTWARE");
    const std::string existing = host("C:\\Save\\existing");
    writeBytes(existing, {'o', 'l', 'd'});
    EXPECT_EQ(registry->saveKey(software, "C:\\Save\\existing"), kErrorAlreadyExists);
    EXPECT_EQ(fileBytes(existing), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(registry->saveKey(software, "C:\\Missing\\software"), kErrorPathNotFound);

    privileges[kSeBackupName] = false;
    EXPECT_EQ(registry->saveKey(software, "C:\\Save\\software"), kErrorPrivilegeNotHeld);
    EXPECT_FALSE(fs::exists(host("C:\\Save\\software")));
}

TEST_F(RegistryMachine, ReplacementWaitsForTheRestartThenSwapsTheFiles) {
    regf::HiveAuthor replacement("SOFTWARE");
    replacement.text("Brellix", "Marker", "restored");
    replacement.save(host("C:\\Save\\software.new"));
    writeBytes(host("C:\\Save\\not-a-hive"), std::vector<std::uint8_t>(9000, 'x'));
    fs::create_directories(host("C:\\WINNT\\system32\\config\\Undo"));
    const std::string oldFile = "C:\\WINNT\\system32\\config\\Undo\\SOFTWARE";
    const auto liveBefore = fileBytes(host(kSoftwareFile));

    struct Case {
        const char* name;
        bool restorePrivilege;
        std::string subKey;
        std::string newFile;
        ErrorCode expected;
    };
    const Case refused[] = {
        {"without the restore privilege", false, "SOFTWARE", "C:\\Save\\software.new", kErrorPrivilegeNotHeld},
        {"a file that is not a hive", true, "SOFTWARE", "C:\\Save\\not-a-hive", kErrorNotRegistryFile},
        {"a missing file", true, "SOFTWARE", "C:\\Save\\missing", kErrorFileNotFound},
        {"a key that is not a hive", true, "SOFTWARE\\Classes", "C:\\Save\\software.new", kErrorInvalidParameter},
        {"the hive without a file", true, "HARDWARE", "C:\\Save\\software.new", kErrorInvalidParameter},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        privileges[kSeRestoreName] = c.restorePrivilege;
        EXPECT_EQ(registry->replaceKey(kHKeyLocalMachine, c.subKey, c.newFile, oldFile), c.expected);
        EXPECT_TRUE(readPendingReplacements(dir.path()).empty());
    }

    privileges[kSeRestoreName] = true;
    ASSERT_EQ(registry->replaceKey(kHKeyLocalMachine, "SOFTWARE", "C:\\Save\\software.new", oldFile), kErrorSuccess);
    const auto pending = readPendingReplacements(dir.path());
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].hive, "\\REGISTRY\\MACHINE\\SOFTWARE");
    EXPECT_EQ(fileBytes(host(kSoftwareFile)), liveBefore);
    EXPECT_EQ(text(kHKeyLocalMachine, "SOFTWARE\\Brellix", "Marker"), "<no key>");

    registry->closeAllHives();
    const BootReport boot = applyPendingReplacements(dir.path());
    EXPECT_EQ(boot.applied.size(), 1u);
    EXPECT_TRUE(boot.problems.empty());
    EXPECT_EQ(fileBytes(host(oldFile)), liveBefore);
    EXPECT_FALSE(fs::exists(host("C:\\Save\\software.new")));
    EXPECT_TRUE(readPendingReplacements(dir.path()).empty());
    EXPECT_EQ(text(kHKeyLocalMachine, "SOFTWARE\\Brellix", "Marker"), "restored");
    std::ifstream log(dir.file("boot.log"));
    std::string line;
    ASSERT_TRUE(std::getline(log, line));
    EXPECT_NE(line.find("1 hive(s) replaced"), std::string::npos) << line;
}

TEST(PendingReplacements, AStartCutOffAfterTheFirstMoveIsFinishedByTheNext) {
    ScratchDir dir;
    for (const char* name : {"live", "new"}) writeBytes(dir.file(name), {static_cast<std::uint8_t>(name[0])});
    ASSERT_TRUE(recordPendingReplacement(dir.path(), {"\\REGISTRY\\MACHINE\\SAM", dir.file("live"), dir.file("new"), dir.file("old")}));
    // A later replacement of the same hive takes the place of the first.
    writeBytes(dir.file("newer"), {'N'});
    ASSERT_TRUE(recordPendingReplacement(dir.path(), {"\\REGISTRY\\MACHINE\\SAM", dir.file("live"), dir.file("newer"), dir.file("old")}));
    ASSERT_EQ(readPendingReplacements(dir.path()).size(), 1u);

    fs::rename(dir.file("live"), dir.file("old"));  // the machine stopped here
    const BootReport boot = applyPendingReplacements(dir.path());
    EXPECT_EQ(boot.applied.size(), 1u);
    EXPECT_EQ(fileBytes(dir.file("live")), std::vector<std::uint8_t>{'N'});
    EXPECT_EQ(fileBytes(dir.file("old")), std::vector<std::uint8_t>{'l'});
    EXPECT_FALSE(fs::exists(dir.file("pending.ini")));
}

// Replacements staged on other media (a diskette, a RAM disk) cannot be renamed into place.
TEST(PendingReplacements, MovesANewFileFromAnotherFileSystem) {
    ScratchDir dir;
    struct stat here{}, other{};
    if (::stat(dir.path().c_str(), &here) != 0 || ::stat("/dev/shm", &other) != 0 || here.st_dev == other.st_dev)
        GTEST_SKIP() << "no second file system at /dev/shm";
    const std::string newFile = "/dev/shm/brx-pending-" + std::to_string(::getpid());
    writeBytes(newFile, {'n', 'e', 'w'});
    writeBytes(dir.file("live"), {'l', 'i', 'v', 'e'});
    ASSERT_TRUE(recordPendingReplacement(dir.path(), {"\\REGISTRY\\MACHINE\\SYSTEM", dir.file("live"), newFile, dir.file("old")}));

    const BootReport boot = applyPendingReplacements(dir.path());
    EXPECT_TRUE(boot.problems.empty());
    EXPECT_EQ(fileBytes(dir.file("live")), (std::vector<std::uint8_t>{'n', 'e', 'w'}));
    EXPECT_EQ(fileBytes(dir.file("old")), (std::vector<std::uint8_t>{'l', 'i', 'v', 'e'}));
    EXPECT_FALSE(fs::exists(newFile));
}

TEST_F(RegistryMachine, ADamagedHiveFileIsReportedNotRead) {
    registry.reset();
    auto bytes = fileBytes(host(kSoftwareFile));
    bytes.resize(0x1800);
    writeBytes(host(kSoftwareFile), bytes);
    openRegistry();
    HKey key = 0;
    EXPECT_EQ(registry->openKey(kHKeyLocalMachine, "SOFTWARE\\Classes", kKeyRead, &key), kErrorBadDb);
    EXPECT_EQ(text(kHKeyLocalMachine, "SYSTEM\\CurrentControlSet\\Control", "Marker"), "two");
}

// Class names and time stamps come from the hive itself; hivex reports neither class names
// nor lets us write them, so the hive is built cell by cell.
TEST_F(RegistryMachine, KeyInformationCarriesClassNamesAndTimeStamps) {
    registry.reset();
    RawHive raw = richHive(3);
    writeBytes(host(kSoftwareFile), raw.build());
    openRegistry();
    struct Case {
        const char* path;
        std::string className;
        FileTime lastWrite;
        std::uint32_t subKeys, values;
    };
    // The fixture's time stamps as FILETIMEs (100 ns since 1601), in seconds since 1970.
    constexpr FileTime kRootTime = (130000000000000000ll - 116444736000000000ll) / 10000000;
    constexpr FileTime kChildTime = (131000000000000000ll - 116444736000000000ll) / 10000000;
    const Case cases[] = {
        {"SOFTWARE", "RootClass", kRootTime, 6, 11},
        {"SOFTWARE\\Child1", "Class1", kChildTime + 3600, 3, 1},
        {"SOFTWARE\\Child2", "", kChildTime + 7200, 3, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        HKey key = open(kHKeyLocalMachine, c.path);
        RegKeyInfo info;
        ASSERT_EQ(registry->queryInfoKey(key, &info), kErrorSuccess);
        EXPECT_EQ(info.className, c.className);
        EXPECT_EQ(info.lastWrite, c.lastWrite);
        EXPECT_EQ(info.subKeys, c.subKeys);
        EXPECT_EQ(info.values, c.values);
    }
    HKey root = open(kHKeyLocalMachine, "SOFTWARE");
    RegKeyInfo info;
    ASSERT_EQ(registry->queryInfoKey(root, &info), kErrorSuccess);
    EXPECT_EQ(info.maxValueLength, 40000u);
    EXPECT_EQ(info.maxValueNameLength, 10u);  // "Big endian"
    EXPECT_EQ(info.maxSubKeyLength, 6u);
    RegValue huge;
    ASSERT_EQ(registry->queryValue(root, "Huge", &huge), kErrorSuccess);
    EXPECT_EQ(huge.data, std::vector<std::uint8_t>(40000, 0x5A));
}

}  // namespace
