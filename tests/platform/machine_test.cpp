#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/CodePage.h"
#include "support/TestMachine.h"

namespace brx::platform {
namespace {

using test::TempDir;
using test::TestMachine;

std::string openError(const std::string& dir) {
    try {
        hosted::openMachine(dir);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "(opened)";
}

TEST(Machine, OpeningABadDescriptionSaysWhatIsWrong) {
    TempDir temp;
    const std::string ini = temp.path() + "/machine.ini";
    EXPECT_EQ(openError(temp.path()), ini + ": cannot be read (is this a machine directory?)");

    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"[Machine]\nUserName=x\n", "[Drives] lists no drive"},
        {"[Drives]\nC=floppy,C\n", "drive C has an unknown type \"floppy\""},
        {"[Drives]\nC=fixed\n", "drive C needs a type and a host directory"},
        {"[Drives]\nCD=fixed,C\n", "[Drives] key \"CD\" is not a drive letter"},
        {"[Machine]\nToday=2026-12-09x\n[Drives]\nC=fixed,C\n",
         "[Machine] Today \"2026-12-09x\" is not a date"},
        {"[Machine]\nToday=2026-02-29\n[Drives]\nC=fixed,C\n",
         "[Machine] Today \"2026-02-29\" is not a date"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::ofstream(ini, std::ios::trunc) << c.text;
        EXPECT_EQ(openError(temp.path()), ini + ": " + c.message);
    }
    EXPECT_THROW(hosted::createMachine(temp.path()),
                 std::runtime_error);  // already a machine there
}

TEST(Machine, EditionsLayOutTheirOwnInstallation) {
    TestMachine w2000;
    TestMachine nt(test::testMachineOptions(hosted::WindowsEdition::WindowsNT));
    Files& files2000 = w2000.platform().files();
    Files& filesNt = nt.platform().files();

    for (Files* files : {&files2000, &filesNt}) {
        for (const char* path :
             {"C:\\ntldr", "C:\\ntdetect.com", "C:\\boot.ini", "C:\\bootfont.bin",
              "C:\\bootsect.dos", "C:\\WINNT\\win.ini", "C:\\WINNT\\system.ini",
              "C:\\WINNT\\control.ini", "C:\\WINNT\\system32\\autoexec.nt",
              "C:\\WINNT\\system32\\config.nt", "C:\\WINNT\\system32\\cmd.exe",
              "C:\\WINNT\\system32\\command.com", "C:\\WINNT\\system32\\attrib.exe",
              "C:\\WINNT\\system32\\main.cpl", "C:\\Program Files\\Brellix\\cmd.pif",
              "C:\\Program Files\\Brellix\\brxdosnt.exe",
              "C:\\Program Files\\Brellix\\unzip.exe"}) {
            EXPECT_TRUE(files->exists(path)) << path;
        }
        EXPECT_FALSE(files->exists("C:\\ntbootdd.sys"));
    }
    EXPECT_EQ(w2000.platform().system().programPath(), "C:\\Program Files\\Brellix\\Brellix2K.exe");
    EXPECT_EQ(nt.platform().system().programPath(), "C:\\Program Files\\Brellix\\BrellixNT.exe");
    EXPECT_EQ(w2000.platform().system().systemDirectory(), "C:\\WINNT\\System32");
    EXPECT_EQ(nt.platform().system().systemDirectory(), "C:\\WINNT\\system32");
    EXPECT_TRUE(
        files2000.isDirectory("C:\\Documents and Settings\\Tester\\Start Menu\\Programs\\Startup"));
    EXPECT_TRUE(files2000.isDirectory("C:\\Documents and Settings\\All Users\\Desktop"));
    EXPECT_TRUE(filesNt.isDirectory("C:\\WINNT\\Profiles\\Tester\\Start Menu\\Programs\\Startup"));
    EXPECT_TRUE(filesNt.isDirectory("C:\\WINNT\\Profiles\\Default User\\Desktop"));
    EXPECT_TRUE(files2000.isDirectory("C:\\Documents and Settings\\Default User\\Application Data"));
    EXPECT_EQ(nt.platform().system().environment("userprofile"), "C:\\WINNT\\Profiles\\Tester");
    EXPECT_EQ(filesNt.driveType("A:\\"), DriveType::Removable);
    EXPECT_TRUE(filesNt.isDirectory(nt.platform().system().tempPath()));
    EXPECT_TRUE(files2000.isDirectory(w2000.platform().system().tempPath()));
}

TEST(Machine, SystemValuesComeFromTheMachine) {
    TestMachine machine;
    System& system = machine.platform().system();
    EXPECT_EQ(system.windowsDirectory(), "C:\\WINNT");
    EXPECT_EQ(system.userName(), "Tester");
    EXPECT_EQ(system.computerName(), "TESTBOX");
    EXPECT_EQ(system.cleanBoot(), 0);
    EXPECT_EQ(system.environment("COMSPEC"), "C:\\WINNT\\System32\\cmd.exe");
    EXPECT_EQ(system.environment("windir"), "C:\\WINNT");
    EXPECT_FALSE(system.environment("winbootdir"));
    EXPECT_EQ(system.expandEnvironmentStrings("%SystemRoot%\\system32;%nothing%;100%;%windir%"),
              "C:\\WINNT\\system32;%nothing%;100%;C:\\WINNT");
    EXPECT_EQ(system.tempPath(), "C:\\Documents and Settings\\Tester\\Local Settings\\Temp\\");

    const std::string temp = system.tempFileName(system.tempPath(), "brxzip");
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.substr(temp.find_last_of('\\') + 1, 3), "brx");
    EXPECT_EQ(temp.substr(temp.size() - 4), ".TMP");
    EXPECT_TRUE(machine.platform().files().exists(temp));
    EXPECT_NE(system.tempFileName(system.tempPath(), "brx"), temp);
    EXPECT_EQ(system.tempFileName("C:\\Nowhere", "brx"), "");

    machine.setMachineValue("Machine", "SafeMode", "1");
    machine.setMachineValue("Machine", "Today", "2026-12-09");
    EXPECT_EQ(machine.platform().system().cleanBoot(), 1);
    const LocalTime today = machine.platform().system().now();
    EXPECT_EQ(std::tie(today.year, today.month, today.day, today.dayOfWeek),
              std::make_tuple(2026, 12, 9, 3));
    machine.hosted().setToday(LocalTime{2027, 1, 31, 8, 30, 0});
    EXPECT_EQ(machine.platform().system().now(), (LocalTime{2027, 1, 31, 8, 30, 0, 0}));
    const FileTime stamp =
        machine.platform().system().fromLocal(LocalTime{2026, 12, 9, 13, 45, 10});
    EXPECT_EQ(machine.platform().system().toLocal(stamp), (LocalTime{2026, 12, 9, 13, 45, 10, 3}));
}

TEST(Machine, PrivilegesAreGrantedOnlyWhenHeld) {
    TestMachine machine;
    machine.setMachineValue("Privileges", "Restore", "0");
    Security& security = machine.platform().security();
    const TokenHandle token = security.openProcessToken();
    ASSERT_NE(token, 0u);
    const auto backup = security.lookupPrivilegeValue("SeBackupPrivilege");
    const auto restore = security.lookupPrivilegeValue(kSeRestoreName);
    ASSERT_TRUE(backup && restore);
    EXPECT_FALSE(security.lookupPrivilegeValue("SeNoSuchPrivilege"));

    EXPECT_FALSE(security.privilegeEnabled(kSeBackupName));
    EXPECT_EQ(security.adjustTokenPrivilege(token, *backup, true), kErrorSuccess);
    EXPECT_TRUE(security.privilegeEnabled(kSeBackupName));
    EXPECT_EQ(security.adjustTokenPrivilege(token, *restore, true), kErrorNotAllAssigned);
    EXPECT_FALSE(security.privilegeEnabled(kSeRestoreName));
    EXPECT_EQ(security.adjustTokenPrivilege(token + 99, *backup, true), kErrorInvalidHandle);
    security.closeToken(token);
    EXPECT_EQ(security.adjustTokenPrivilege(token, *backup, false), kErrorInvalidHandle);
}

TEST(Machine, RebootNeedsTheShutdownPrivilegeThenEndsTheProgram) {
    TestMachine machine;
    int restarts = 0;
    std::optional<int> ended;
    machine.hosted().setRestartHook([&] { ++restarts; });
    machine.hosted().setTerminate([&](int code) { ended = code; });
    Security& security = machine.platform().security();

    EXPECT_FALSE(security.exitWindows(kEwxReboot));
    EXPECT_EQ(restarts, 0);
    EXPECT_FALSE(ended);

    const TokenHandle token = security.openProcessToken();
    ASSERT_EQ(
        security.adjustTokenPrivilege(token, *security.lookupPrivilegeValue(kSeShutdownName), true),
        kErrorSuccess);
    EXPECT_TRUE(security.exitWindows(kEwxReboot | kEwxForce));
    EXPECT_EQ(restarts, 1);
    EXPECT_EQ(ended, 0);
}

TEST(Machine, EndingTheSessionWritesTheHives) {
    TestMachine machine;
    std::optional<int> ended;
    machine.hosted().setTerminate([&](int code) { ended = code; });
    Registry& registry = machine.platform().registry();
    HKey key = 0;
    ASSERT_EQ(registry.createKey(kHKeyCurrentUser, "Software\\Brellix", kKeyAllAccess, &key, nullptr), kErrorSuccess);
    ASSERT_EQ(registry.setValue(key, RegValue::string("Written", "before logoff")), kErrorSuccess);

    // A log-off needs no privilege; the key is still open when the session ends.
    EXPECT_TRUE(machine.platform().security().exitWindows(kEwxLogoff));
    EXPECT_EQ(ended, 0);
    // The process ends without tidying up: what is not in the file by now is lost. Another
    // look at the machine, while this one still runs, reads the file.
    auto afterwards = hosted::openMachine(machine.dir());
    HKey reopened = 0;
    ASSERT_EQ(afterwards->registry().openKey(kHKeyCurrentUser, "Software\\Brellix", kKeyRead, &reopened),
              kErrorSuccess);
    RegValue value;
    ASSERT_EQ(afterwards->registry().queryValue(reopened, "Written", &value), kErrorSuccess);
    EXPECT_EQ(value.text(), "before logoff");
}

TEST(CodePages, AnsiIs1252AndOemIs437) {
    EXPECT_EQ(utf8ToAnsi("Zoë €"), "Zo\xEB \x80");
    EXPECT_EQ(utf8ToOem("Zoë ÄÖÜ"), "Zo\x89 \x8E\x99\x9A");
    EXPECT_EQ(ansiToUtf8("Zo\xEB \x80\x81"), "Zoë €\xC2\x81");
    EXPECT_EQ(oemToUtf8("\x89\xE1\xB0"), "ë\xC3\x9F░");
    EXPECT_FALSE(utf8ToOem("€"));   // 437 has no euro
    EXPECT_FALSE(utf8ToAnsi("Ω"));  // nor 1252 an omega
    EXPECT_EQ(utf8ToAnsi(""), "");
}

TEST(Machine, HostRootSeesTheHostAsDriveZ) {
    TempDir temp;
    std::ofstream(temp.path() + "/Data File.txt") << "host";
    auto host = hosted::openHostRoot();
    std::string windowsPath = "Z:";
    for (char c : temp.path()) windowsPath += c == '/' ? '\\' : c;
    EXPECT_EQ(host->files().logicalDrives(), "Z");
    auto opened = host->files().open(windowsPath + "\\DATA FILE.TXT", OpenMode::Read);
    ASSERT_TRUE(opened.file);
    char buffer[8] = {};
    EXPECT_EQ(opened.file.read(buffer, sizeof buffer), 4u);
    EXPECT_EQ(host->files().hostPath(windowsPath + "\\new.zip"), temp.path() + "/new.zip");
    EXPECT_EQ(host->system().tempPath().substr(0, 3), "Z:\\");
}

}  // namespace
}  // namespace brx::platform

namespace brx::platform {
namespace {

// Every folder the registry names for the users exists on the machine the builder made.
std::vector<std::string> missingShellFolders(Platform& platform, HKey root) {
    std::vector<std::string> missing;
    HKey key = 0;
    const std::string path = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    if (platform.registry().openKey(root, path, kKeyRead, &key) != kErrorSuccess) return {"(no " + path + ")"};
    RegValue value;
    std::uint32_t count = 0;
    for (; platform.registry().enumValue(key, count, &value) == kErrorSuccess; ++count) {
        if (!platform.files().isDirectory(value.text())) missing.push_back(value.name + "=" + value.text());
    }
    platform.registry().closeKey(key);
    if (count < 3) missing.push_back("(only " + std::to_string(count) + " folders named)");
    return missing;
}

TEST(Machine, ShellFoldersOfTheRegistryExistOnDisk) {
    for (auto edition : {hosted::WindowsEdition::Windows2000, hosted::WindowsEdition::WindowsNT}) {
        TestMachine machine(test::testMachineOptions(edition));
        SCOPED_TRACE(machine.layout().windowsDirectory + (edition == hosted::WindowsEdition::WindowsNT ? " NT" : " 2000"));
        EXPECT_EQ(missingShellFolders(machine.platform(), kHKeyCurrentUser), std::vector<std::string>());
        EXPECT_EQ(missingShellFolders(machine.platform(), kHKeyLocalMachine), std::vector<std::string>());
    }
}

}  // namespace
}  // namespace brx::platform
