#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/Startup.h"
#include "platform/hosted/HostedRegistry.h"
#include "platform/hosted/regf/HiveAuthor.h"
#include "support/CoreMachine.h"

namespace brx::core {
namespace {

using test::CoreMachine;

// Rewrites the [Environment] section of the machine's description: `drop` names variables that
// are no longer set, `add` lines are added.
void EditEnvironment(const std::string& machineDir, const std::vector<std::string>& drop,
                     const std::vector<std::string>& add)
{
    const std::string path = machineDir + "/machine.ini";
    std::ifstream in(path);
    std::ostringstream out;
    for (std::string line; std::getline(in, line);) {
        bool dropped = false;
        for (const std::string& name : drop) dropped = dropped || line.rfind(name + "=", 0) == 0;
        if (!dropped) out << line << "\n";
        if (line == "[Environment]")
            for (const std::string& extra : add) out << extra << "\n";
    }
    in.close();
    std::ofstream(path) << out.str();
}

TEST(SystemPaths, ComeFromTheMachineWithTheirFallbacks)
{
    CoreMachine machine(editions::Edition::Win2000());
    machine.Ini("DefaultDirectories", "Temp", "C:\\NOWHERE\\");
    machine.Ini("DefaultDirectories", "Root", "");
    machine.Ini("DefaultDirectories", "User", "");
    {
        CoreMachine started(editions::Edition::Win2000(), machine.Root());
        ComputeFirstPaths(started.program);
        ComputeRemainingPaths(started.program);
        const SystemPaths& paths = started.program.paths;
        const SettingsModel& model = started.program.settings;
        EXPECT_EQ(paths.windowsDirectory, "C:\\WINNT\\");
        EXPECT_EQ(paths.systemDirectory, "C:\\WINNT\\SYSTEM32\\");
        EXPECT_EQ(paths.windowsDrive, "C:");
        EXPECT_EQ(paths.bootRoot, "C:\\");
        EXPECT_EQ(model.root, "C:\\") << "an empty Root means the boot root";
        EXPECT_EQ(model.user, paths.userProfile) << "an empty User means the user profile";
        EXPECT_EQ(paths.windowsBootDirectory, "C:\\WINNT\\");
        EXPECT_EQ(paths.commandInterpreter, "C:\\WINNT\\System32\\cmd.exe");
        EXPECT_EQ(paths.tempDirectory,
                  "C:\\Documents and Settings\\Tester\\Local Settings\\Temp\\");
        EXPECT_EQ(model.temp, paths.tempDirectory) << "a Temp that does not exist is replaced";
    }

    EditEnvironment(machine.Root(), {"ComSpec", "TEMP"}, {"winbootdir=C:\\WINNT"});
    machine.Ini("DefaultDirectories", "Root", "C:\\BOOT");
    CoreMachine started(editions::Edition::Win2000(), machine.Root());
    ComputeFirstPaths(started.program);
    ComputeRemainingPaths(started.program);
    const SystemPaths& paths = started.program.paths;
    EXPECT_EQ(paths.commandInterpreter, "C:\\WINNT\\SYSTEM32\\cmd.exe");
    EXPECT_EQ(started.program.settings.root, "C:\\BOOT\\");
    EXPECT_EQ(paths.tempDirectory, "C:\\BOOT\\Temp\\");
    EXPECT_EQ(paths.windowsBootDirectory, "C:\\WINNT\\");
}

TEST(SystemPaths, StartupFolderComesFromTheUsersShellFolders)
{
    CoreMachine machine(editions::Edition::Win2000());
    ComputeFirstPaths(machine.program);
    EXPECT_EQ(machine.program.paths.startupFolder, "C:\\WINNT\\Startm~1\\Programs\\StartUp\\")
        << "without the key";

    platform::hosted::HostedPlatform& hosted = machine.Hosted();
    const std::string hive = machine.Root() + "/user-hive";
    platform::hosted::regf::HiveAuthor user("USER");
    user.text("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Startup",
              "C:\\Documents and Settings\\Tester\\Start Menu\\Programs\\Startup");
    user.save(hive);
    platform::hosted::HostedRegistryConfig config;
    config.userSid = hosted.machine().userSid;
    config.machineDirectory = machine.Root();
    config.mounts = {{"\\REGISTRY\\USER\\" + config.userSid, hive, ""}};
    config.privilegeEnabled = [](const std::string&) { return true; };
    config.hostPath = [&hosted](const std::string& path) { return hosted.files().hostPath(path); };
    hosted.setRegistry(std::make_unique<platform::hosted::HostedRegistry>(config));

    ComputeFirstPaths(machine.program);
    EXPECT_EQ(machine.program.paths.startupFolder,
              "C:\\Documents and Settings\\Tester\\Start Menu\\Programs\\Startup\\");
}

TEST(SystemPaths, UserProfileNeedsItsNtuserDat)
{
    CoreMachine machine(editions::Edition::Win2000());
    const std::string profile = "C:\\Documents and Settings\\Tester\\";
    if (!machine.Exists(profile + "ntuser.dat")) machine.WriteFile(profile + "ntuser.dat", "regf");
    ComputeFirstPaths(machine.program);
    EXPECT_EQ(machine.program.paths.userProfile, profile);

    // NT keeps profiles elsewhere: the Windows directory stands in.
    CoreMachine nt(editions::Edition::WinNT());
    ComputeFirstPaths(nt.program);
    EXPECT_EQ(nt.program.paths.userProfile, nt.program.paths.windowsDirectory);
}

TEST(SystemPaths, StartUpDirectoryFallsBackToTheStartupFolder)
{
    CoreMachine machine(editions::Edition::Win2000());
    machine.Ini("DefaultDirectories", "StartUp", "C:\\GONE\\");
    ComputeFirstPaths(machine.program);
    EXPECT_EQ(machine.program.settings.startUp, machine.program.paths.startupFolder);

    machine.WriteFile("C:\\Mine\\x", "");
    machine.Ini("DefaultDirectories", "StartUp", "c:\\mine");
    ComputeFirstPaths(machine.program);
    EXPECT_EQ(machine.program.settings.startUp, "C:\\MINE\\");
}

}  // namespace
}  // namespace brx::core
