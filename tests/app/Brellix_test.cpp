#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

#include "support/TestMachine.h"

namespace brx {
namespace {

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string Slurp(const std::string& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class BrellixProgram : public ::testing::Test {
protected:
    test::TestMachine machine;

    ProgramRun Start(const std::string& program, const std::vector<std::string>& arguments)
    {
        std::string command = std::string(BRX_APP_DIR) + "/" + program + " --machine "
                              + Quoted(machine.dir());
        for (const std::string& argument : arguments) command += " " + Quoted(argument);
        const std::string errFile = machine.dir() + "/stderr.txt";
        command += " 2>" + Quoted(errFile);

        ProgramRun run;
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return run;
        std::array<char, 4096> buffer;
        for (std::size_t got; (got = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
            run.out.append(buffer.data(), got);
        const int status = pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.err = Slurp(errFile);
        return run;
    }

    std::string ProgramFile(const std::string& name)
    {
        return machine.layout().programDirectory + "\\" + name;
    }
};

TEST_F(BrellixProgram, ScheduleWithAnUnknownItemEndsAtOnceWithoutOutput)
{
    for (const char* program : {"brellix2k", "brellixnt"}) {
        SCOPED_TRACE(program);
        const ProgramRun run = Start(program, {"--batch", "schedule", "x"});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "");
        EXPECT_FALSE(machine.exists(ProgramFile("brx2kdir.ini")));
    }
}

TEST_F(BrellixProgram, CleanDeleteRemovesTheFileAndTheCleanupShortcut)
{
    const std::string startup = machine.layout().profileDirectory + "\\Start Menu\\Programs\\Startup\\";
    machine.writeFile(ProgramFile("brxset.ini"), "[DefaultDirectories]\r\nStartUp=" + startup + "\r\n");
    machine.writeFile("C:\\leftover.bat", "@echo off\r\n");
    machine.writeFile(startup + "cleanup.lnk", "link");
    machine.writeFile(startup + "other.lnk", "link");

    const ProgramRun run = Start("brellix2k", {"--batch", "clean", "delete", "C:\\leftover.bat"});

    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out + run.err, "");
    EXPECT_FALSE(machine.exists("C:\\leftover.bat"));
    EXPECT_FALSE(machine.exists(startup + "cleanup.lnk"));
    EXPECT_TRUE(machine.exists(startup + "other.lnk"));
}

TEST_F(BrellixProgram, BatchPrintsMessagesAndReportsAFailedRunInItsStatus)
{
    // brxset.ini cannot be written: a directory stands in its way.
    std::filesystem::create_directories(machine.host(ProgramFile("brxset.ini")));

    const ProgramRun run = Start("brellixnt", {"--batch", "schedule", "s"});

    EXPECT_NE(run.status, 0);
    const std::string expected = "Brellix NT: Unable to write to " + ProgramFile("brxset.ini");
    EXPECT_NE(run.out.find(expected + "\n"), std::string::npos) << run.out;
}

TEST_F(BrellixProgram, ACommandLineThatAsksForNothingEndsWithoutAWindow)
{
    // No display is needed: the window's start ends before it would open one.
    const ProgramRun run = Start("brellix2k", {"BOOTUP"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err.find("platform plugin"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace brx
