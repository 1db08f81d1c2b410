#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/hosted/MachineBuilder.h"
#include "support/TestMachine.h"

namespace brx::platform {
namespace {

using test::TestMachine;

const std::string kHive = [] {
    std::string content = "regf";
    for (int i = 0; i < 3000; ++i) content += static_cast<char>((i * 7) % 256);
    return content + std::string(5000, 'A');
}();

int shell(const std::string& command) {
    return std::system(command.c_str());
}

std::optional<std::uint32_t> run(TestMachine& machine, const std::string& commandLine) {
    int pumps = 0;
    auto result =
        machine.platform().processes().run(commandLine, "", ShowWindow::Hide, [&] { ++pumps; });
    return result;
}

// The NT repair directory: copies packed by an independent tool and by our own writer.
TEST(Processes, ExpandRestoresSzddAndCabinetCopies) {
    TestMachine machine(test::testMachineOptions(hosted::WindowsEdition::WindowsNT));
    const std::string repair = machine.layout().windowsDirectory + "\\repair\\";
    machine.writeFile(repair + "sam", kHive);
    ASSERT_EQ(shell("mscompress '" + machine.host(repair + "sam") + "' >/dev/null 2>&1"), 0);
    std::filesystem::rename(machine.host(repair + "sam_"), machine.host(repair) + "/sam._");
    machine.writeFile(repair + "system._", hosted::szddCompress(kHive, "system"));
    ASSERT_EQ(
        shell("cd '" + machine.host(repair) + "' && gcab -c software.cab sam >/dev/null 2>&1"), 0);
    std::filesystem::rename(machine.host(repair) + "/software.cab",
                            machine.host(repair) + "/software._");

    for (const char* name : {"sam", "system", "software"}) {
        SCOPED_TRACE(name);
        const std::string packed = repair + name + "._";
        const std::string expanded = repair + name + ".out";
        EXPECT_EQ(run(machine, "cmd.exe /c Expand \"" + packed + "\" \"" + expanded + "\""), 0u);
        EXPECT_EQ(machine.readFile(expanded), kHive);
    }
    // Expand copies a file that is not packed, and fails on one that is missing.
    EXPECT_EQ(run(machine, "cmd.exe /c Expand \"C:\\boot.ini\" \"C:\\boot.out\""), 0u);
    EXPECT_EQ(machine.readFile("C:\\boot.out"), machine.readFile("C:\\boot.ini"));
    EXPECT_EQ(run(machine, "cmd.exe /c Expand \"C:\\none._\" \"C:\\none\""), 1u);
    EXPECT_FALSE(machine.exists("C:\\none"));
    // Nor onto the packed file itself, which would be lost.
    const std::string packedBefore = machine.readFile(repair + "system._");
    EXPECT_EQ(run(machine, "cmd.exe /c Expand \"" + repair + "system._\" \"" + repair + "SYSTEM._\""), 1u);
    EXPECT_EQ(machine.readFile(repair + "system._"), packedBefore);
    // Nothing is expanded onto a CD.
    EXPECT_EQ(run(machine, "cmd.exe /c Expand \"" + repair + "sam._\" \"D:\\sam\""), 1u);
    EXPECT_FALSE(machine.exists("D:\\sam"));
}

TEST(Processes, OurSzddIsReadByTheIndependentExpander) {
    TestMachine machine;
    machine.writeFile("C:\\sam._", hosted::szddCompress(kHive, "sam"));
    ASSERT_EQ(shell("cd '" + machine.host("C:\\") + "' && msexpand sam._ >/dev/null 2>&1"), 0);
    // msexpand ignores the missing character of the header and writes "sam.".
    std::ifstream in(machine.host("C:\\") + "/sam.", std::ios::binary);
    const std::string expanded((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(expanded, kHive);
}

TEST(Processes, ProgramsStartOnlyWhenTheMachineHasThem) {
    TestMachine machine;
    // The interpreter is found in the System directory; without it nothing starts.
    EXPECT_TRUE(run(machine, "cmd.exe /c Expand \"C:\\boot.ini\" \"C:\\b.out\""));
    ASSERT_EQ(machine.platform().files().deleteFile(machine.layout().systemDirectory + "\\cmd.exe"),
              kErrorSuccess);
    EXPECT_FALSE(run(machine, "cmd.exe /c Expand \"C:\\boot.ini\" \"C:\\b2.out\""));
    EXPECT_FALSE(machine.exists("C:\\b2.out"));
    // A copy beside the program is found first, as on Windows.
    ASSERT_EQ(machine.platform().files().copyFile(
                  "C:\\WINNT\\notepad.exe", machine.layout().programDirectory + "\\cmd.exe", false),
              kErrorSuccess);
    EXPECT_EQ(run(machine, "cmd.exe /c Expand \"C:\\boot.ini\" \"C:\\b3.out\""), 0u);

    EXPECT_FALSE(run(machine, "C:\\WINNT\\system32\\rdisk.exe /s"));
    EXPECT_EQ(machine.platform().processes().winExec("setup.exe /OX", ShowWindow::Normal), 2u);
}

// A machine.ini with a [Programs] line and a viewer of our own, both host shell scripts.
class ProcessesWithHostPrograms : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string script = machine.dir() + "/record.sh";
        std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$PWD\" \"$@\" > \"$(dirname "
                                 "\"$0\")/recorded.txt\"\nexit 7\n";
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        machine.setMachineValue("Programs", "rdisk.exe", script + " --from-machine");
        machine.setMachineValue("Machine", "Viewer", script);
    }

    std::string recorded() {
        std::ifstream in(machine.dir() + "/recorded.txt");
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }

    TestMachine machine;
};

TEST_F(ProcessesWithHostPrograms, MappedProgramGetsHostPathsAndGivesItsExitCode) {
    const auto exitCode = machine.platform().processes().run(
        "C:\\WINNT\\system32\\RDISK.EXE /s \"C:\\WINNT\\win.ini\"", "C:\\WINNT", ShowWindow::Normal,
        nullptr);
    EXPECT_EQ(exitCode, 7u);
    EXPECT_EQ(recorded(), machine.host("C:\\WINNT") + "\n--from-machine\n/s\n" +
                              machine.host("C:\\WINNT\\win.ini") + "\n");
}

TEST_F(ProcessesWithHostPrograms, NotepadShowsTheFileWithTheViewer) {
    const std::string text = machine.layout().programDirectory + "\\ConfigInfo.txt";
    machine.writeFile(text, "Config 1\r\n");
    EXPECT_GT(machine.platform().processes().winExec("C:\\WINNT\\notepad.exe " + text,
                                                     ShowWindow::Normal),
              31u);
    for (int i = 0; i < 200 && recorded().empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_NE(recorded().find(machine.host(text)), std::string::npos) << recorded();
}

}  // namespace
}  // namespace brx::platform
