#include <gtest/gtest.h>

#include "core/Marquee.h"
#include "platform/hosted/PendingReplacements.h"
#include "support/ProgramOnMachine.h"
#include "zip/ZipEngine.h"

namespace brx::core {
namespace {

using namespace brx::platform;
using test::ProgramOnMachine;

constexpr const char* kAdvice =
    "DorAdur will rearrange the registry making it smaller and faster.  If you install and uninstall many "
    "programs, we suggest that you perform DorAdur once a month, otherwise you should DorAdur at least once a year.";
constexpr const char* kTail = "   Please tell your friends about Brellix.   ";

hosted::MachineOptions OnDay(int year, int month, int day)
{
    auto options = test::testMachineOptions();
    options.withHives = false;
    options.today = LocalTime{year, month, day, 9, 30, 0, 0};
    return options;
}

struct Marquee : ::testing::Test {
    ProgramOnMachine m{OnDay(2026, 12, 11)};
    Program& program = m.Start();

    void Write(const std::string& section, const std::string& key, const std::string& value)
    {
        program.platform.profile().write(program.paths.settingsFile, section, key, value);
    }
    std::string Read(const std::string& section, const std::string& key)
    {
        return program.platform.profile().readString(program.paths.settingsFile, section, key, "<none>");
    }
    std::string Text()
    {
        program.settings.dateFormat = "MM/dd/yyyy";
        return GetMarqueeText(program);
    }
    std::string Config() { return m.Windows() + "System32\\config\\"; }
    void WriteHives(const std::string& directory, std::size_t each)
    {
        for (const char* hive : {"SYSTEM", "SOFTWARE", "SAM", "SECURITY", "DEFAULT"})
            m.machine.writeFile(directory + hive, std::string(each, 'h'));
    }
    // An archive of five hive files of `each` bytes, as DorAdur leaves it.
    void WriteDorAdurArchive(std::size_t each)
    {
        const std::string work = m.Windows() + "r27\\";
        WriteHives(work, each);
        zip::ZipEngine& engine = *program.Zip();
        engine.SetZipName(m.Windows() + "registry.zzz");
        engine.FilesList = {work + "*.*"};
        engine.WriteArchive();
        engine.CloseArchive();
    }
};

TEST_F(Marquee, WelcomesANewUserWithTheTipAndTheDorAdurAdvice)
{
    EXPECT_EQ(Text(), std::string("Welcome to Brellix.   ") + MarqueeTip(11, false) + "   " + kAdvice + kTail);
}

TEST_F(Marquee, DatesTheBackupsWithTheirAge)
{
    struct Case {
        const char* name;
        int lastDay;         // of the "Last Backup" and of configuration 1, December 2026
        const char* configName;
        const char* expected;
    };
    const Case cases[] = {
        {"today, named", 11, "Daily", "Last Backup made on 12/11/2026 (Today) - Daily: 12/11/2026 (Today)."},
        {"yesterday, unnamed", 10, nullptr, "Last Backup made on 12/10/2026 (1 day ago) - Config1: 12/10/2026 (1 day ago)."},
        {"three days ago", 8, nullptr, "Last Backup made on 12/08/2026 (3 days ago) - Config1: 12/08/2026 (3 days ago)."},
        {"two days ahead", 13, nullptr, "Last Backup made on 12/13/2026 (-2 days ago) - Config1: 12/13/2026 (-2 days ago)."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Write("Last Backup", "Year", "2026");
        Write("Last Backup", "Month", "12");
        Write("Last Backup", "Day", std::to_string(c.lastDay));
        Write("BackupPreferences1", "LastYear", "2026");
        Write("BackupPreferences1", "LastMonth", "12");
        Write("BackupPreferences1", "LastDay", std::to_string(c.lastDay));
        if (c.configName)
            Write("BackupPreferences1", "ConfigName", c.configName);
        else
            program.platform.profile().deleteKey(program.paths.settingsFile, "BackupPreferences1", "ConfigName");
        EXPECT_EQ(Text().rfind(c.expected, 0), 0u) << Text();
    }
}

TEST_F(Marquee, FinishesAJustDoneDorAdurOnceAndReportsTheReduction)
{
    WriteDorAdurArchive(8192);                                            // the compact hives
    WriteHives(Config(), 8192);                                            // installed by the restart
    WriteHives(m.Windows() + "System32\\config\\Undo\\", 8192 + 2048);     // the hives they replaced
    m.machine.writeFile(m.Windows() + "System32\\config\\Redo\\user.ini", "[Key]\r\n");
    m.machine.writeFile(m.Windows() + "System32\\config\\Redo\\SOFTWARE.log", "log");
    Write("DorAdur", "JustDone", "1");

    const std::string text = Text();
    EXPECT_EQ(Read("DorAdur", "JustDone"), "0");
    EXPECT_EQ(Read("DorAdur", "LastReduction"), "10");   // 5 × 2 KB
    EXPECT_NE(text.find("The last DorAdur was done on "), std::string::npos) << text;
    EXPECT_NE(text.find(" and reduced the registry by 10kb."), std::string::npos) << text;
    EXPECT_EQ(text.find("Since then"), std::string::npos) << text;

    zip::ZipEngine& engine = *program.Zip();
    engine.SetZipName(m.Windows() + "registry.zzz");
    engine.ReadDirectory();
    std::vector<std::string> names;
    for (int i = 0; i < engine.EntryCount(); ++i) names.push_back(engine.EntryFileName(i));
    const LocalTime first = engine.EntryDateTime(0);
    engine.CloseArchive();
    EXPECT_NE(std::find(names.begin(), names.end(), "user.ini"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "SYSTEM"), names.end());   // updated, not rewritten
    EXPECT_EQ(std::find(names.begin(), names.end(), "SOFTWARE.log"), names.end());
    const auto archive = program.platform.files().stat(m.Windows() + "registry.zzz");
    ASSERT_TRUE(archive);
    EXPECT_EQ(archive->modified, program.platform.system().fromLocal(first));

    // The step runs once: a second build leaves the archive as it is.
    m.machine.writeFile(m.Windows() + "System32\\config\\Redo\\later", "x");
    Text();
    engine.SetZipName(m.Windows() + "registry.zzz");
    engine.ReadDirectory();
    EXPECT_EQ(engine.EntryCount(), static_cast<int>(names.size()));
    engine.CloseArchive();
}

TEST_F(Marquee, KeepsReportingTheLastReductionAndAddsTheGrowthSinceThen)
{
    WriteDorAdurArchive(8192);
    WriteHives(Config(), 8192 + 1024);    // the registry grew by 5 KB since
    Write("DorAdur", "LastReduction", "250");
    const std::string text = Text();
    EXPECT_NE(text.find(" and reduced the registry by 250kb.  Since then the registry has grown 5kb." + std::string(kTail)),
              std::string::npos)
        << text;

    WriteHives(Config(), 8192);           // no growth: no sentence
    EXPECT_EQ(Text().find("Since then"), std::string::npos);
}

TEST(MarqueeTip, EveryDayHasATipAndTheEditionsDifferWhereTheyShould)
{
    for (int day = 1; day <= 31; ++day) {
        EXPECT_FALSE(MarqueeTip(day, false).empty()) << day;
        EXPECT_FALSE(MarqueeTip(day, true).empty()) << day;
    }
    for (int day : {1, 7, 10, 25, 27, 30}) EXPECT_NE(MarqueeTip(day, false), MarqueeTip(day, true)) << day;
    EXPECT_EQ(MarqueeTip(3, true), "To restore all files in a Backup, use the Dazur Edozi.");
    EXPECT_NE(MarqueeTip(1, true).find("WinNT"), std::string::npos);
}

TEST(FormatShortDate, FollowsThePicture)
{
    EXPECT_EQ(FormatShortDate("MM/dd/yyyy", 2026, 3, 7), "03/07/2026");
    EXPECT_EQ(FormatShortDate("d.M.yy", 2026, 3, 7), "7.3.26");
    EXPECT_EQ(FormatShortDate("yyyy-MM-dd", 1999, 12, 31), "1999-12-31");
}

}  // namespace
}  // namespace brx::core
