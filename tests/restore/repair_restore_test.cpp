#include <gtest/gtest.h>

#include <algorithm>

#include "platform/hosted/PendingReplacements.h"
#include "restore/RepairRestore.h"
#include "support/ProgramOnMachine.h"

namespace brx::restore {
namespace {

using namespace brx::platform;
using test::ProgramOnMachine;

std::vector<std::string> PendingFiles(ProgramOnMachine& m)
{
    std::vector<std::string> names;
    for (const auto& replacement : hosted::readPendingReplacements(m.machine.dir())) {
        const std::string& file = replacement.newFile;
        names.push_back(file.substr(file.find_last_of('/') + 1));
    }
    std::sort(names.begin(), names.end());
    return names;
}

hosted::MachineOptions NtMachine()
{
    return test::testMachineOptions(hosted::WindowsEdition::WindowsNT);
}

TEST(RestoreRepair, StagesOnlyTheCopiesThatArePresent)
{
    ProgramOnMachine m;
    core::Program& program = m.Start();
    const std::string repair = m.Windows() + "repair\\";
    for (const char* name : {"sam", "security", "default", "ntuser.dat", "usrclass.dat"})
        program.platform.files().deleteFile(repair + name);
    ASSERT_TRUE(m.machine.exists(repair + "system"));

    RestoreRepair(program, repair, RestoreSourceKind::RepairCopies);
    EXPECT_FALSE(program.run.error);
    EXPECT_EQ(PendingFiles(m), (std::vector<std::string>{"software", "system"}));
    EXPECT_EQ(program.run.fileCount, 2);
}

TEST(RestoreRepair, NtExpandsTheCompressedCopiesThroughTheCommandInterpreter)
{
    ProgramOnMachine m(NtMachine());
    core::Program& program = m.Start(editions::Edition::WinNT());
    const std::string repair = m.Windows() + "repair\\";
    ASSERT_TRUE(m.machine.exists(repair + "software._"));
    program.platform.files().deleteFile(program.paths.programDirectory + "cmd.exe");

    RestoreRepair(program, repair, RestoreSourceKind::RepairCopies);
    EXPECT_FALSE(program.run.error);
    EXPECT_EQ(PendingFiles(m),
              (std::vector<std::string>{"default", "ntuser.dat", "sam", "security", "software", "system"}));
    EXPECT_TRUE(m.machine.exists(program.paths.programDirectory + "cmd.exe"));   // copied for the expansion
    for (const char* expanded : {"software", "ntuser"}) EXPECT_FALSE(m.machine.exists(repair + expanded)) << expanded;
    EXPECT_TRUE(m.machine.exists(repair + "software._"));
    EXPECT_TRUE(m.ui().Messages().empty());
}

TEST(RestoreRepair, NtWithoutItsCommandSetupRestoresNothing)
{
    ProgramOnMachine m(NtMachine());
    core::Program& program = m.Start(editions::Edition::WinNT());
    program.platform.files().deleteFile(program.paths.programDirectory + "cmd.pif");
    RestoreRepair(program, m.Windows() + "repair\\", RestoreSourceKind::RepairCopies);
    EXPECT_EQ(m.ui().Messages(),
              std::vector<std::string>{"Brellix NT: Cmd.exe is not properly setup.\r\rPlease reinstall Brellix."});
    EXPECT_TRUE(PendingFiles(m).empty());
}

// An uncompressed backup set holds plain hive files; NT takes them as they are.
TEST(RestoreRepair, PlainBackupSetHivesAreStagedInBothEditions)
{
    for (const auto* edition : {&editions::Edition::Win2000(), &editions::Edition::WinNT()}) {
        SCOPED_TRACE(edition->title);
        ProgramOnMachine m(edition->IsNT() ? NtMachine() : test::testMachineOptions());
        core::Program& program = m.Start(*edition);
        const std::string set = "C:\\BACKUPS\\Plain\\";
        const std::string repair = m.Windows() + "repair\\";
        m.machine.writeFile(set + "win.ini", "[windows]\r\n");
        Files& files = program.platform.files();
        // The hives as a plain backup stores them: their names from the hive list, plus user0.
        for (const char* name : {"SOFTWARE", "SYSTEM"}) {
            const std::string from = files.exists(repair + name) ? repair + name : std::string();
            if (!from.empty()) {
                files.copyFile(from, set + name, false);
            } else {   // NT keeps only compressed copies: let the machine's expander make plain ones
                ASSERT_TRUE(Exec(program, std::string("cmd.exe /c Expand \"") + repair + name + "._\" \"" + set + name + "\"",
                                 ShowWindow::Hide));
            }
        }
        m.machine.writeFile(set + "user0", "not restored from here");

        RestoreRepair(program, set, RestoreSourceKind::PlainBackupSet);
        EXPECT_FALSE(program.run.error);
        EXPECT_EQ(PendingFiles(m), (std::vector<std::string>{"software", "system"}));
    }
}

TEST(Exec, ReportsAProgramThatCannotBeStarted)
{
    ProgramOnMachine m;
    core::Program& program = m.Start();
    EXPECT_FALSE(Exec(program, "nosuchprogram.exe /x", ShowWindow::Hide));
}

}  // namespace
}  // namespace brx::restore
