#include <gtest/gtest.h>

#include <algorithm>

#include "support/ProgramOnMachine.h"
#include "support/RegistryValues.h"
#include "support/hive_testing.h"
#include "platform/hosted/PendingReplacements.h"
#include "registry/HiveSave.h"
#include "registry/NTRegistry.h"
#include "registry/ProgramHive.h"
#include "registry/Restart.h"
#include "registry/WinPath.h"

namespace brx::registry {
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

std::vector<std::string> PendingHives(ProgramOnMachine& m)
{
    std::vector<std::string> hives;
    for (const auto& replacement : hosted::readPendingReplacements(m.machine.dir()))
        hives.push_back(replacement.hive);
    std::sort(hives.begin(), hives.end());
    return hives;
}

std::string Sid(ProgramOnMachine& m) { return m.machine.layout().userSid; }

TEST(TNTRegistry, ReadsTheHiveListAndRefusesValuesThatAreNotText)
{
    ProgramOnMachine m;
    core::Program& program = m.Start();
    TNTRegistry registry(program.platform.registry());
    registry.UseRoot(kHKeyLocalMachine);
    ASSERT_TRUE(registry.OpenPath(kHiveListPath, false));
    const auto names = registry.ListValueNames();
    ASSERT_NE(std::find(names.begin(), names.end(), "\\REGISTRY\\MACHINE\\HARDWARE"), names.end());
    EXPECT_EQ(registry.ReadText("\\REGISTRY\\MACHINE\\HARDWARE"), "");
    EXPECT_NE(registry.ReadText("\\REGISTRY\\MACHINE\\SAM").find("\\Device\\"), std::string::npos);
    EXPECT_EQ(registry.ReadText("no such value"), "");

    // Relative paths continue from the current key; absolute ones start at the root.
    ASSERT_TRUE(registry.OpenPath("\\SYSTEM", false));
    ASSERT_TRUE(registry.OpenPath("Select", false));
    EXPECT_EQ(registry.CurrentPath(), "\\SYSTEM\\Select");
    EXPECT_THROW(registry.ReadText("Current"), RegistryError);
    try {
        registry.ReadText("Current");
    } catch (const RegistryError& error) {
        EXPECT_STREQ(error.what(), "Invalid data type for 'Current'");
    }
}

TEST(SaveNTRegistry, SavesEveryHiveWithAFileUnderItsNameAndIndexesIt)
{
    ProgramOnMachine m;
    core::Program& program = m.Start();
    const std::string directory = m.Windows() + "Repair\\RegBack\\";
    program.platform.files().createDirectory(directory.substr(0, directory.size() - 1));
    ASSERT_TRUE(test::SetRegistryText(program.platform.registry(), kHKeyLocalMachine, kTestKey, "Colour", "blue"));

    for (int run = 0; run < 2; ++run) {   // the second run overwrites the first
        SCOPED_TRACE(run);
        program.run = {};
        ProgramHiveSite site(program);
        SaveNTRegistry(site.Site(), directory + "registry.daz", 0, true, false);
        EXPECT_FALSE(program.run.error) << Joined(program.run.warnings);
        EXPECT_EQ(program.run.fileCount, 7);
    }
    Files& files = program.platform.files();
    for (const char* name : {"SAM", "SECURITY", "SOFTWARE", "SYSTEM", "DEFAULT", "user0", "user1", "user.ini"})
        EXPECT_TRUE(files.exists(directory + name)) << name;
    EXPECT_FALSE(files.exists(directory + "HARDWARE"));
    EXPECT_FALSE(files.exists(directory + "user2"));

    const std::string index = directory + "user.ini";
    Profile& profile = program.platform.profile();
    EXPECT_EQ(profile.readString(index, "Key", "SAM", ""), "\\SAM");
    EXPECT_EQ(profile.readString(index, "Key", "DEFAULT", ""), "\\.DEFAULT");
    EXPECT_EQ(profile.readString(index, "Key", "user0", ""), "\\" + Sid(m));
    EXPECT_EQ(profile.readString(index, "Key", "user1", ""), "\\" + Sid(m) + "_Classes");
    EXPECT_EQ(profile.readString(index, "Location", "SOFTWARE", ""), "\\WINNT\\System32\\config\\SOFTWARE");
    EXPECT_EQ(profile.readString(index, "ShortLocation", "user0", "").find("\\DOCUME~1\\"), 0u);
    EXPECT_FALSE(profile.read(index, "Key", "HARDWARE").has_value());

    // The saved hive is a real hive that an independent reader agrees with.
    EXPECT_EQ(ProgramOnMachine::HiveValue(m.machine.host(directory + "SOFTWARE"), "\\Brellix Test", "Colour"), "blue");
}

TEST(SaveNTRegistry, ArchivedSaveUsesAFreeWorkDirectoryAndRefreshesTheSpareRegistry)
{
    ProgramOnMachine m;
    core::Program& program = m.Start();
    Files& files = program.platform.files();
    const std::string windows = m.Windows();
    ASSERT_EQ(files.createDirectory(windows + "r27"), kErrorSuccess);

    ProgramHiveSite site(program);
    SaveNTRegistry(site.Site(), windows + "registry.zzz", 0, true, true);
    EXPECT_FALSE(program.run.error) << Joined(program.run.warnings);

    EXPECT_TRUE(files.isDirectory(windows + "r27"));    // somebody else's, left alone
    EXPECT_FALSE(files.exists(windows + "r28"));        // ours, removed again
    const std::string archive = m.machine.host(windows + "registry.zzz");
    const auto listing = test::hives::runTool("unzip -l " + test::hives::quoted(archive));
    for (const char* name : {"r28/SAM", "r28/SOFTWARE", "r28/DEFAULT", "r28/user0", "r28/user1", "r28/user.ini"})
        EXPECT_NE(listing.output.find(name), std::string::npos) << name << "\n" << listing.output;
    EXPECT_EQ(test::hives::runTool("unzip -tq " + test::hives::quoted(archive)).exitCode, 0);
    EXPECT_EQ(test::hives::fileBytes(archive), test::hives::fileBytes(m.machine.host(windows + "registry.daz")));
}

struct PrivilegeCase {
    const char* name;
    const char* privilege;
    bool save;
    const char* message;
};

TEST(SaveNTRegistry, WithoutThePrivilegeEveryHiveIsReportedAndNothingHappens)
{
    const PrivilegeCase cases[] = {
        {"backup", "Backup", true, "You do not have Backup Privileges.  Backup is not possible for this user."},
        {"restore", "Restore", false, "You do not have Restore Privileges.  Restore is not possible for this user."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramOnMachine m;
        core::Program* program = &m.Start();
        const std::string directory = m.Windows() + "Repair\\";
        {
            ProgramHiveSite site(*program);   // hives to restore from
            SaveNTRegistry(site.Site(), directory, 0, true, false);
        }
        m.SetMachineKey("Privileges", c.privilege, "0");
        program = &m.Start();
        ProgramHiveSite site(*program);
        SaveNTRegistry(site.Site(), directory, 0, c.save, false);

        EXPECT_TRUE(program->run.error);
        EXPECT_EQ(program->run.fileCount, 0);
        const auto messages = m.ui().Messages();
        EXPECT_EQ(std::count(messages.begin(), messages.end(), "Brellix 2000: " + std::string(c.message)),
                  7);
        for (const char* line : {"SAM key", "SOFTWARE key", "DEFAULT key"})
            EXPECT_NE(std::find(program->run.warnings.begin(), program->run.warnings.end(), line),
                      program->run.warnings.end()) << line;
        EXPECT_TRUE(PendingHives(m).empty());
    }
}

TEST(SaveNTRegistry, RestoreSchedulesTheArchivedHivesAndTheRestartPutsThemBack)
{
    ProgramOnMachine m;
    core::Program* program = &m.Start();
    Registry* registry = &program->platform.registry();
    ASSERT_TRUE(test::SetRegistryText(*registry, kHKeyLocalMachine, kTestKey, "Colour", "blue"));
    ASSERT_TRUE(test::SetRegistryText(*registry, kHKeyCurrentUser, "Software\\Brellix Test", "Pet", "cat"));
    const std::string windows = m.Windows();
    const std::string archive = windows + "registry.zzz";
    {
        ProgramHiveSite site(*program);
        SaveNTRegistry(site.Site(), archive, 0, true, true);
    }
    ASSERT_TRUE(test::SetRegistryText(*registry, kHKeyLocalMachine, kTestKey, "Colour", "red"));
    ASSERT_TRUE(test::SetRegistryText(*registry, kHKeyCurrentUser, "Software\\Brellix Test", "Pet", "dog"));
    // Leftovers that must not survive into the replacement.
    m.machine.writeFile(windows + "System32\\config\\Undo\\SOFTWARE", "stale");
    m.machine.writeFile(program->paths.programDirectory + "Redo\\old", "stale");

    program->run = {};
    {
        ProgramHiveSite site(*program);
        SaveNTRegistry(site.Site(), archive, 0, false, true);
    }
    EXPECT_FALSE(program->run.error) << Joined(program->run.warnings);
    EXPECT_EQ(program->run.fileCount, 7);   // only the scheduled hives count
    EXPECT_FALSE(m.machine.exists(program->paths.programDirectory + "Redo"));
    EXPECT_FALSE(m.machine.exists(windows + "System32\\config\\Undo\\SOFTWARE"));
    const std::vector<std::string> expected = {
        "\\REGISTRY\\MACHINE\\SAM", "\\REGISTRY\\MACHINE\\SECURITY", "\\REGISTRY\\MACHINE\\SOFTWARE",
        "\\REGISTRY\\MACHINE\\SYSTEM", "\\REGISTRY\\USER\\" + Sid(m), "\\REGISTRY\\USER\\" + Sid(m) + "_Classes",
        "\\REGISTRY\\USER\\.DEFAULT"};
    auto sortedExpected = expected;
    std::sort(sortedExpected.begin(), sortedExpected.end());
    EXPECT_EQ(PendingHives(m), sortedExpected);
    // Nothing changes before the restart.
    EXPECT_EQ(test::RegistryText(*registry, kHKeyLocalMachine, kTestKey, "Colour"), "red");

    EXPECT_TRUE(RestartWinNT(*program));
    EXPECT_EQ(m.restarts(), 1);
    m.machine.reopen();
    program = &m.Start();
    registry = &program->platform.registry();
    EXPECT_EQ(test::RegistryText(*registry, kHKeyLocalMachine, kTestKey, "Colour"), "blue");
    EXPECT_EQ(test::RegistryText(*registry, kHKeyCurrentUser, "Software\\Brellix Test", "Pet"), "cat");
    EXPECT_EQ(ProgramOnMachine::HiveValue(m.machine.host(windows + "System32\\config\\Undo\\SOFTWARE"),
                                          "\\Brellix Test", "Colour"),
              "red");
}

TEST(SaveNTRegistry, UserHivesGoBackOnlyUnderTheirRecordedKeysAndWithoutGaps)
{
    struct Case {
        const char* name;
        std::vector<const char*> files;   // user hive files in the source
        bool withKeys;
        std::size_t scheduled;
    };
    const Case cases[] = {
        {"user0 and user2 without user1", {"user0", "user2"}, true, 1},
        {"no Key entry", {"user0"}, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramOnMachine m;
        core::Program& program = m.Start();
        const std::string source = m.Windows() + "Saved\\";
        program.platform.files().createDirectory(source.substr(0, source.size() - 1));
        {
            ProgramHiveSite site(program);
            SaveNTRegistry(site.Site(), source, 0, true, false);
        }
        Files& files = program.platform.files();
        for (const char* name : {"SAM", "SECURITY", "SOFTWARE", "SYSTEM", "DEFAULT", "user1"}) files.deleteFile(source + name);
        if (std::find(c.files.begin(), c.files.end(), std::string("user2")) != c.files.end())
            files.copyFile(source + "user0", source + "user2", false);
        if (!c.withKeys) program.platform.profile().deleteSection(source + "user.ini", "Key");

        // Callers of a plain restore provide the Undo directory.
        CreateDirectories(files, UndoDirectory(program.paths.windowsDirectory));
        program.run = {};
        ProgramHiveSite site(program);
        SaveNTRegistry(site.Site(), source, 0, false, false);
        EXPECT_FALSE(program.run.error) << Joined(program.run.warnings);
        const auto pending = PendingHives(m);
        EXPECT_EQ(pending.size(), c.scheduled);
        if (c.scheduled == 1) EXPECT_EQ(pending.front(), "\\REGISTRY\\USER\\" + Sid(m));
    }
}

}  // namespace
}  // namespace brx::registry
