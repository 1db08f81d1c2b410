// The registry of a whole machine as brxmachine creates it: demo hives read by independent
// readers, the registry functions on the opened machine, and the restart that applies
// scheduled replacements.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/hosted/PendingReplacements.h"
#include "support/TestMachine.h"
#include "support/hive_testing.h"
#include "support/paths.h"

using namespace brx::platform;
using namespace brx::platform::hosted;
using namespace brx::test::hives;
namespace fs = std::filesystem;

namespace {

constexpr const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

void enablePrivilege(Platform& platform, const char* name) {
    Security& security = platform.security();
    const TokenHandle token = security.openProcessToken();
    ASSERT_NE(token, 0u);
    const auto luid = security.lookupPrivilegeValue(name);
    ASSERT_TRUE(luid);
    ASSERT_EQ(security.adjustTokenPrivilege(token, *luid, true), kErrorSuccess);
    security.closeToken(token);
}

std::optional<std::string> readText(Registry& registry, HKey root, const std::string& path, const std::string& name) {
    HKey key = 0;
    if (registry.openKey(root, path, kKeyRead, &key) != kErrorSuccess) return std::nullopt;
    RegValue value;
    const ErrorCode error = registry.queryValue(key, name, &value);
    registry.closeKey(key);
    if (error != kErrorSuccess) return std::nullopt;
    return value.text();
}

class DemoMachine : public ::testing::TestWithParam<WindowsEdition> {};

TEST_P(DemoMachine, ShellFoldersNameTheProfileFolders) {
    brx::test::TestMachine machine(brx::test::testMachineOptions(GetParam()));
    Registry& registry = machine.platform().registry();
    Files& files = machine.platform().files();
    for (const char* name : {"Desktop", "Favorites", "Programs", "Startup", "SendTo", "Recent", "NetHood",
                             "PrintHood", "AppData", "Cache", "Personal"}) {
        SCOPED_TRACE(name);
        const auto folder = readText(registry, kHKeyCurrentUser, kShellFolders, name);
        ASSERT_TRUE(folder);
        EXPECT_EQ(folder->rfind(machine.layout().profileDirectory + "\\", 0), 0u) << *folder;
        EXPECT_TRUE(files.isDirectory(*folder)) << *folder;
    }
    for (const char* name : {"Common Desktop", "Common Programs", "Common Startup"}) {
        SCOPED_TRACE(name);
        const auto folder = readText(registry, kHKeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\Shell Folders", name);
        ASSERT_TRUE(folder);
        EXPECT_TRUE(files.isDirectory(*folder)) << *folder;
    }
}

TEST_P(DemoMachine, HiveListMatchesTheMachine) {
    brx::test::TestMachine machine(brx::test::testMachineOptions(GetParam()));
    Registry& registry = machine.platform().registry();
    HKey list = 0;
    ASSERT_EQ(registry.openKey(kHKeyLocalMachine, "SYSTEM\\CurrentControlSet\\Control\\hivelist", kKeyRead, &list),
              kErrorSuccess);
    RegKeyInfo info;
    ASSERT_EQ(registry.queryInfoKey(list, &info), kErrorSuccess);
    const auto& hives = machine.hosted().machine().hives;
    ASSERT_EQ(info.values, hives.size());
    for (std::uint32_t i = 0; i < info.values; ++i) {
        RegValue listed;
        ASSERT_EQ(registry.enumValue(list, i, &listed), kErrorSuccess);
        EXPECT_EQ(listed.name, hives[i].first);
        EXPECT_EQ(listed.text(), hives[i].second);
        RegValue queried;
        ASSERT_EQ(registry.queryValue(list, listed.name, &queried), kErrorSuccess);
        EXPECT_EQ(queried.data, listed.data);
    }
    EXPECT_EQ(*readText(registry, kHKeyLocalMachine, "SYSTEM\\CurrentControlSet\\Control\\hivelist",
                        "\\REGISTRY\\MACHINE\\HARDWARE"), "");
}

// Every hive of the machine is read by three readers that share no code with us, and a compact
// save of each through RegSaveKeyA holds the same keys and values.
TEST_P(DemoMachine, HivesAndTheirCompactSavesReadTheSameInEveryReader) {
    brx::test::TestMachine machine(brx::test::testMachineOptions(GetParam()));
    enablePrivilege(machine.platform(), kSeBackupName);
    Registry& registry = machine.platform().registry();
    int saved = 0;
    for (const auto& [key, device] : machine.hosted().machine().hives) {
        if (device.empty()) continue;
        SCOPED_TRACE(key);
        const std::string live = machine.host(device);
        EXPECT_EQ(runTool("hivexsh -d " + quoted(live) + " </dev/null").exitCode, 0);
        for (const std::string& kind : subkeyListKinds(live)) EXPECT_EQ(kind, "lf");

        const bool user = key.rfind("\\REGISTRY\\USER\\", 0) == 0;
        const std::string subKey = key.substr(user ? 15 : 18);
        HKey hive = 0;
        ASSERT_EQ(registry.openKey(user ? kHKeyUsers : kHKeyLocalMachine, subKey, kKeyRead, &hive), kErrorSuccess);
        const std::string target = machine.layout().windowsDirectory + "\\saved" + std::to_string(saved++);
        ASSERT_EQ(registry.saveKey(hive, target), kErrorSuccess);
        registry.closeKey(hive);
        const std::string copy = machine.host(target);
        EXPECT_EQ(reglookupDump(copy), reglookupDump(live));
        EXPECT_EQ(regfexportDump(copy), regfexportDump(live));
        EXPECT_LE(fileSize(copy), fileSize(live));
        if (subKey == "SOFTWARE") {
            EXPECT_LT(fileSize(copy) * 2, fileSize(live)) << "the demo SOFTWARE hive is fragmented";
        }
    }
    EXPECT_GE(saved, 6);
}

TEST_P(DemoMachine, RepairDirectoryHoldsCopiesOfTheHives) {
    brx::test::TestMachine machine(brx::test::testMachineOptions(GetParam()));
    const std::string repair = machine.layout().windowsDirectory + "\\repair\\";
    const std::string config = machine.layout().systemDirectory + "\\config\\";
    for (const char* hive : {"SAM", "SECURITY", "SOFTWARE", "SYSTEM", "DEFAULT"}) {
        SCOPED_TRACE(hive);
        std::string name = hive;
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const auto live = fileBytes(machine.host(config + hive));
        if (GetParam() == WindowsEdition::Windows2000) {
            EXPECT_EQ(fileBytes(machine.host(repair + name)), live);
            continue;
        }
        const std::string packed = machine.host(repair + name + "._");
        EXPECT_LT(fileSize(packed), live.size());
        const std::string expanded = machine.host(machine.layout().windowsDirectory) + "/expanded";
        ASSERT_EQ(runTool("msexpand < " + quoted(packed) + " > " + quoted(expanded)).exitCode, 0);
        EXPECT_EQ(fileBytes(expanded), live);
    }
}

INSTANTIATE_TEST_SUITE_P(Editions, DemoMachine,
                         ::testing::Values(WindowsEdition::Windows2000, WindowsEdition::WindowsNT),
                         [](const auto& info) { return info.param == WindowsEdition::WindowsNT ? "NT" : "W2000"; });

TEST(MachineRestart, AppliesScheduledReplacementsOnlyAtTheReboot) {
    brx::test::TestMachine machine;
    Platform& platform = machine.platform();
    Registry& registry = platform.registry();
    const std::string config = machine.layout().systemDirectory + "\\config\\";
    ASSERT_EQ(platform.files().createDirectory(config + "Redo"), kErrorSuccess);
    ASSERT_EQ(platform.files().createDirectory(config + "Undo"), kErrorSuccess);
    enablePrivilege(platform, kSeBackupName);
    enablePrivilege(platform, kSeRestoreName);

    // A compact copy of SOFTWARE with one more key becomes the new hive.
    HKey marker = 0;
    ASSERT_EQ(registry.createKey(kHKeyLocalMachine, "SOFTWARE\\Restored", kKeyAllAccess, &marker, nullptr), kErrorSuccess);
    HKey software = 0;
    ASSERT_EQ(registry.openKey(kHKeyLocalMachine, "SOFTWARE", kKeyAllAccess, &software), kErrorSuccess);
    ASSERT_EQ(registry.saveKey(software, config + "Redo\\software"), kErrorSuccess);
    ASSERT_EQ(registry.deleteKey(kHKeyLocalMachine, "SOFTWARE\\Restored"), kErrorSuccess);
    ASSERT_EQ(registry.flushKey(software), kErrorSuccess);
    const auto newHive = fileBytes(machine.host(config + "Redo\\software"));
    const auto liveHive = fileBytes(machine.host(config + "SOFTWARE"));

    ASSERT_EQ(registry.replaceKey(kHKeyLocalMachine, "SOFTWARE", config + "Redo\\software", config + "Undo\\SOFTWARE"),
              kErrorSuccess);
    EXPECT_EQ(readPendingReplacements(machine.dir()).size(), 1u);
    EXPECT_EQ(fileBytes(machine.host(config + "SOFTWARE")), liveHive);
    EXPECT_FALSE(readText(registry, kHKeyLocalMachine, "SOFTWARE\\Restored", "").has_value());

    int exitCode = -1;
    machine.hosted().setTerminate([&](int code) { exitCode = code; });
    EXPECT_FALSE(platform.security().exitWindows(kEwxReboot)) << "no shutdown privilege enabled";
    EXPECT_EQ(fileBytes(machine.host(config + "SOFTWARE")), liveHive);

    enablePrivilege(platform, kSeShutdownName);
    ASSERT_TRUE(platform.security().exitWindows(kEwxReboot));
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(fileBytes(machine.host(config + "SOFTWARE")), newHive);
    EXPECT_EQ(fileBytes(machine.host(config + "Undo\\SOFTWARE")), liveHive);
    EXPECT_TRUE(readPendingReplacements(machine.dir()).empty());
    EXPECT_TRUE(fs::exists(machine.dir() + "/boot.log"));

    machine.reopen();
    HKey restored = 0;
    EXPECT_EQ(machine.platform().registry().openKey(kHKeyLocalMachine, "SOFTWARE\\Restored", kKeyRead, &restored),
              kErrorSuccess);
}

TEST(MachineRestart, BrxmachineShowsAndAppliesWhatIsPending) {
    brx::test::TestMachine machine;
    const std::string config = machine.layout().systemDirectory + "\\config\\";
    ASSERT_EQ(machine.platform().files().createDirectory(config + "Redo"), kErrorSuccess);
    enablePrivilege(machine.platform(), kSeBackupName);
    enablePrivilege(machine.platform(), kSeRestoreName);
    Registry& registry = machine.platform().registry();
    HKey sam = 0;
    ASSERT_EQ(registry.openKey(kHKeyLocalMachine, "SAM", kKeyRead, &sam), kErrorSuccess);
    ASSERT_EQ(registry.saveKey(sam, config + "Redo\\sam"), kErrorSuccess);
    ASSERT_EQ(registry.replaceKey(kHKeyLocalMachine, "SAM", config + "Redo\\sam", config + "sam.old"), kErrorSuccess);
    const auto newHive = fileBytes(machine.host(config + "Redo\\sam"));

    const std::string tool = brx::test::binaryDir() + "/src/app/brxmachine";
    const ToolRun status = runTool(quoted(tool) + " status " + quoted(machine.dir()));
    EXPECT_EQ(status.exitCode, 0) << status.output;
    EXPECT_NE(status.output.find("\\REGISTRY\\MACHINE\\SAM\n"), std::string::npos) << status.output;
    EXPECT_NE(status.output.find("\n      new  " + machine.host(config + "Redo\\sam") + "\n"), std::string::npos)
        << status.output;

    const ToolRun boot = runTool(quoted(tool) + " boot " + quoted(machine.dir()));
    EXPECT_EQ(boot.exitCode, 0) << boot.output;
    EXPECT_EQ(fileBytes(machine.host(config + "SAM")), newHive);
    EXPECT_TRUE(fs::exists(machine.host(config + "sam.old")));
    EXPECT_NE(runTool(quoted(tool) + " boot " + quoted(machine.dir())).output.find(": 0 hive replacement(s) applied"),
              std::string::npos);
}

}  // namespace
