#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/Startup.h"
#include "support/CoreMachine.h"

namespace brx::core {
namespace {

using test::CoreMachine;

const char* const kAutomation[] = {"AutoStart",   "AutoBackup",  "AutoBackup2",
                                   "AutoBackup3", "AutoBackup4", "AutoCompact"};

std::string Slurp(const std::string& hostPath)
{
    std::ifstream in(hostPath, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

struct EditionParam {
    const char* name;
    const editions::Edition& (*edition)();
};

class StartupTest : public ::testing::TestWithParam<EditionParam> {
protected:
    CoreMachine machine{GetParam().edition()};
    Program& program = machine.program;

    void SetDate(const char* section, const platform::LocalTime& date)
    {
        machine.Ini(section, "Year", std::to_string(date.year));
        machine.Ini(section, "Month", std::to_string(date.month));
        machine.Ini(section, "Day", std::to_string(date.day));
    }

    // Starts the program as Windows would and returns the runs it made; empty when it ended
    // without a window.
    std::vector<std::string> Start(const std::vector<std::string>& words)
    {
        if (machine.startup.Enter(words) == StartupOutcome::EndWithoutWindow) return {"(no window)"};
        machine.startup.MainWindowStart();
        std::vector<std::string> runs;
        for (const std::string& call : machine.runs.calls)
            if (call != "FillList") runs.push_back(call);
        return runs;
    }

    std::string StartupShortcut()
    {
        return program.settings.startUp + program.edition.startupShortcut;
    }
};

TEST_P(StartupTest, CommandLines)
{
    struct Case {
        const char* name;
        std::vector<std::string> words;
        std::vector<std::pair<const char*, const char*>> freq;  // section, "Freq"
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"no words shows the window", {}, {}, {}},
        {"schedule runs the Use Scheduler items", {"schedule"},
         {{"AutoBackup3", "4"}, {"AutoBackup", "1"}, {"AutoCompact", "5"}}, {"backup 3"}},
        {"schedule with nothing on Use Scheduler", {"schedule"}, {{"AutoBackup", "0"}},
         {"(no window)"}},
        {"schedule with item words", {"schedule", "1", "r"}, {{"AutoBackup2", "4"}},
         {"backup 1", "DorAdur"}},
        {"item words by their first character", {"schedule", "4th", "2", "Sx", "R"}, {},
         {"backup 2", "backup 4", "DorAdur"}},
        {"schedule with an unknown word", {"schedule", "x"}, {{"AutoBackup", "4"}},
         {"(no window)"}},
        {"start and wait only", {"schedule", "s"}, {}, {}},
        {"an unknown first word", {"backup"}, {{"AutoBackup", "4"}}, {"(no window)"}},
        {"words compare with case", {"Schedule", "1"}, {}, {"(no window)"}},
        {"BOOTUP is not bootup", {"BOOTUP"}, {}, {"(no window)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CoreMachine fresh(GetParam().edition());
        for (const auto& [section, freq] : c.freq) fresh.Ini(section, "Freq", freq);
        std::vector<std::string> runs;
        if (fresh.startup.Enter(c.words) == StartupOutcome::EndWithoutWindow) {
            runs = {"(no window)"};
        } else {
            fresh.startup.MainWindowStart();
            for (const std::string& call : fresh.runs.calls)
                if (call != "FillList") runs.push_back(call);
        }
        EXPECT_EQ(runs, c.expected);
    }
}

TEST_P(StartupTest, BootupRunsWhatIsDueAndMarksIt)
{
    machine.Ini("AutoBackup", "Freq", "1");
    SetDate("AutoBackup", machine.DaysAgo(7));
    machine.Ini("AutoBackup2", "Freq", "3");
    SetDate("AutoBackup2", machine.DaysAgo(29));  // a month is 30 days
    machine.Ini("AutoBackup3", "Freq", "0");       // no stored date: never due

    EXPECT_EQ(Start({"bootup"}), std::vector<std::string>{"backup 1"});

    const platform::LocalTime today = machine.DaysAgo(0);
    EXPECT_EQ(machine.IniValue("AutoBackup", "Year"), std::to_string(today.year));
    EXPECT_EQ(machine.IniValue("AutoBackup", "Month"), std::to_string(today.month));
    EXPECT_EQ(machine.IniValue("AutoBackup", "Day"), std::to_string(today.day));
    EXPECT_EQ(machine.IniValue("AutoBackup2", "Day"), std::to_string(machine.DaysAgo(29).day));
    EXPECT_FALSE(machine.IniValue("AutoBackup3", "Year").has_value());
    for (const char* section : kAutomation)
        EXPECT_EQ(machine.IniValue(section, "switch"),
                  std::string(section) == "AutoBackup" ? "1" : "0")
            << section;
}

TEST_P(StartupTest, BootupWithPendingMarkersSkipsTheDueTest)
{
    machine.Ini("AutoBackup2", "switch", "1");
    machine.Ini("AutoBackup2", "Freq", "5");
    machine.Ini("AutoBackup", "Freq", "0");
    SetDate("AutoBackup", machine.DaysAgo(3));

    EXPECT_EQ(Start({"bootup"}), std::vector<std::string>{"backup 2"});
    EXPECT_EQ(machine.IniValue("AutoBackup", "Day"), std::to_string(machine.DaysAgo(3).day));
    EXPECT_FALSE(machine.IniValue("AutoBackup", "switch").has_value());
}

TEST_P(StartupTest, BootupWithNothingDueEndsWithoutWindow)
{
    machine.Ini("AutoBackup", "Freq", "1");
    SetDate("AutoBackup", machine.DaysAgo(6));
    EXPECT_EQ(machine.startup.Enter({"bootup"}), StartupOutcome::EndWithoutWindow);
    EXPECT_EQ(machine.IniValue("AutoBackup", "switch"), "0");
}

TEST_P(StartupTest, CleanDeleteRemovesTheFileAndTheCleanupShortcut)
{
    ASSERT_EQ(machine.startup.Enter({}), StartupOutcome::ShowWindow);  // learn the paths
    const std::string cleanup = program.settings.startUp + "cleanup.lnk";
    machine.WriteFile("C:\\left.tmp", "x");
    machine.WriteFile(cleanup, "not really a link");

    CoreMachine again(GetParam().edition(), machine.Root());
    EXPECT_EQ(again.startup.Enter({"clean", "delete", "C:\\left.tmp"}),
              StartupOutcome::EndWithoutWindow);
    EXPECT_FALSE(machine.Exists("C:\\left.tmp"));
    EXPECT_FALSE(machine.Exists(cleanup));
}

TEST_P(StartupTest, CleanPrefixRemovesTheFirstMatchingLineOnly)
{
    machine.WriteFile("C:\\autoexec.bat", "@echo off\r\nSET BRX=1\r\nPATH C:\\\r\nSET BRX=2\r\n");
    EXPECT_EQ(machine.startup.Enter({"clean", "SET BRX", "C:\\autoexec.bat"}),
              StartupOutcome::EndWithoutWindow);
    EXPECT_EQ(machine.ReadFile("C:\\autoexec.bat"), "@echo off\r\nPATH C:\\\r\nSET BRX=2\r\n");

    CoreMachine again(GetParam().edition(), machine.Root());
    again.startup.Enter({"clean", "x", "C:\\new.txt"});
    EXPECT_TRUE(machine.Exists("C:\\new.txt"));
    EXPECT_EQ(machine.ReadFile("C:\\new.txt"), "");
}

TEST_P(StartupTest, CleanPrefixLeavesAFileItCannotReadAlone)
{
    // A loaded hive is in use by the running Windows: it cannot be opened for reading.
    const std::string hive = "C:\\WINNT\\System32\\config\\SOFTWARE";
    const std::string host = *machine.Platform().files().hostPath(hive);
    if (!machine.Exists(hive)) std::ofstream(host, std::ios::binary) << "regf and more";
    const std::string before = Slurp(host);
    ASSERT_FALSE(machine.Platform().files().open(hive, platform::OpenMode::Read).file);

    machine.startup.Enter({"clean", "regf", hive});

    EXPECT_EQ(Slurp(host), before);
    EXPECT_TRUE(machine.Platform().files().find("C:\\WINNT\\System32\\config\\*.TMP").empty())
        << "no temporary file is left behind";
}

TEST_P(StartupTest, TemporaryDeletesTheOldShortcut)
{
    ASSERT_EQ(machine.startup.Enter({}), StartupOutcome::ShowWindow);
    const std::string old = program.paths.startupFolder + "Brellix95.lnk";
    machine.WriteFile(old, "old");

    CoreMachine again(GetParam().edition(), machine.Root());
    EXPECT_EQ(again.startup.Enter({"temporary"}), StartupOutcome::EndWithoutWindow);
    EXPECT_FALSE(machine.Exists(old));
}

TEST_P(StartupTest, StartupShortcutFollowsTheSelectors)
{
    // One selector at log-on: the shortcut is written.
    machine.Ini("AutoBackup", "Freq", "2");
    Start({});
    const auto link = machine.Platform().shell().readShortcut(StartupShortcut());
    ASSERT_TRUE(link.has_value());
    EXPECT_EQ(link->target, program.paths.programPath);
    EXPECT_EQ(link->arguments, "bootup");
    EXPECT_EQ(link->description, program.edition.startupShortcutDescription);

    // Pointing at another copy of the program: rewritten.
    platform::ShellLink elsewhere = *link;
    elsewhere.target = "D:\\OLD\\BRELLIX.EXE";
    ASSERT_EQ(machine.Platform().shell().writeShortcut(StartupShortcut(), elsewhere),
              platform::kErrorSuccess);
    CoreMachine second(GetParam().edition(), machine.Root());
    second.startup.Enter({});
    second.startup.MainWindowStart();
    EXPECT_EQ(machine.Platform().shell().readShortcut(StartupShortcut())->target,
              program.paths.programPath);

    // A shortcut file that cannot be read: written anew.
    machine.WriteFile(StartupShortcut(), "not a shell link");
    CoreMachine fourth(GetParam().edition(), machine.Root());
    fourth.startup.Enter({});
    fourth.startup.MainWindowStart();
    ASSERT_TRUE(machine.Platform().shell().readShortcut(StartupShortcut()).has_value());
    EXPECT_EQ(machine.Platform().shell().readShortcut(StartupShortcut())->arguments, "bootup");

    // All five selectors on Use Scheduler or Do Not Perform: removed.
    for (const char* section : {"AutoStart", "AutoBackup", "AutoBackup2", "AutoBackup3"})
        machine.Ini(section, "Freq", "5");
    machine.Ini("AutoBackup4", "Freq", "4");
    machine.Ini("AutoCompact", "Freq", "0");  // DorAdur plays no part
    CoreMachine third(GetParam().edition(), machine.Root());
    third.startup.Enter({});
    third.startup.MainWindowStart();
    EXPECT_FALSE(machine.Exists(StartupShortcut()));
}

TEST_P(StartupTest, MainWindowStartWritesLocationFilesAndClearsStartAndWait)
{
    machine.Ini("AutoStart", "switch", "1");
    Start({});
    const std::string key = program.edition.locationKey;
    const auto local = machine.Platform().profile().read(
        program.paths.programDirectory + program.edition.locationFile, "Location", key);
    ASSERT_TRUE(local.has_value());
    EXPECT_EQ(local, machine.Platform().profile().read("C:\\" + program.edition.locationFile,
                                                       "Location", key));
    EXPECT_EQ(local->find(' '), std::string::npos) << "short form: " << *local;
    EXPECT_EQ(machine.IniValue("AutoStart", "switch"), "0");
    EXPECT_EQ(machine.IniValue("DefaultDirectories", "Windows"), program.paths.windowsDirectory);
}

TEST_P(StartupTest, FirstRunCopiesTheDosProgramAndRemovesTheMarker)
{
    ASSERT_EQ(machine.startup.Enter({}), StartupOutcome::ShowWindow);
    const std::string dir = program.paths.programDirectory;
    machine.WriteFile(dir + "afterset.bat", "rem");
    machine.WriteFile(dir + "command.com", "old");
    machine.WriteFile(dir + "brxdosnt.exe", "dos");
    machine.WriteFile(dir + "unzip.exe", "unzip");
    machine.startup.MainWindowStart();
    EXPECT_EQ(machine.ReadFile("C:\\brxdosnt.exe"), "dos");
    EXPECT_EQ(machine.ReadFile("C:\\unzip.exe"), "unzip");
    EXPECT_FALSE(machine.Exists(dir + "afterset.bat"));
    EXPECT_FALSE(machine.Exists(dir + "command.com"));
}

INSTANTIATE_TEST_SUITE_P(Editions, StartupTest,
                         ::testing::Values(EditionParam{"Win2000", &editions::Edition::Win2000},
                                           EditionParam{"NT", &editions::Edition::WinNT}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StartupNt, DorAdurActionReopensOnTheDorAdurPage)
{
    struct Case {
        const char* action;
        std::vector<std::string> words;
        bool window;
        bool startAndWait;
    };
    const Case cases[] = {
        {"1", {"schedule", "r"}, true, true},
        {"2", {"schedule", "r"}, false, false},  // DorAdur flag cleared: nothing left to do
        {"1", {"bootup"}, false, false},         // bootup decides the flags afresh
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("Action ") + c.action + " with " + c.words[0]);
        CoreMachine machine(editions::Edition::WinNT());
        machine.Ini("Bootup", "Action", c.action);
        ASSERT_EQ(machine.startup.Enter({}), StartupOutcome::ShowWindow);
        machine.WriteFile(machine.program.paths.programDirectory + "compact.reg", "REGEDIT4");

        CoreMachine started(editions::Edition::WinNT(), machine.Root());
        const auto outcome = started.startup.Enter(c.words);
        EXPECT_EQ(outcome == StartupOutcome::ShowWindow, c.window);
        EXPECT_EQ(started.program.runFlags.items[kRunStartAndWait], c.startAndWait);
        EXPECT_FALSE(started.program.runFlags.items[kRunDorAdur]);
        EXPECT_TRUE(started.program.runFlags.openOnDorAdur);
        EXPECT_EQ(machine.IniValue("Bootup", "Action"), "0");
        EXPECT_FALSE(machine.Exists(machine.program.paths.programDirectory + "compact.reg"));
    }
}

TEST(Startup2000, IgnoresTheDorAdurAction)
{
    CoreMachine machine(editions::Edition::Win2000());
    machine.Ini("Bootup", "Action", "1");
    EXPECT_EQ(machine.startup.Enter({"schedule", "r"}), StartupOutcome::ShowWindow);
    EXPECT_TRUE(machine.program.runFlags.items[kRunDorAdur]);
    EXPECT_EQ(machine.IniValue("Bootup", "Action"), "1");
}

}  // namespace
}  // namespace brx::core
