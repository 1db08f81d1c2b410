#include <gtest/gtest.h>

#include <algorithm>

#include "core/Marquee.h"
#include "platform/hosted/PendingReplacements.h"
#include "registry/DorAdur.h"
#include "registry/EngineHiveArchiver.h"
#include "registry/ProgramHive.h"
#include "support/ProgramOnMachine.h"
#include "zip/ZipEngine.h"

namespace brx::registry {
namespace {

using namespace brx::platform;
using test::ProgramOnMachine;

constexpr const char* kRestartQuestion =
    "Brellix 2000: DorAdur must restart Windows to proceed.\rPlease quit all applications.\r\rContinue?";

std::string Setting(core::Program& program, const std::string& section, const std::string& key)
{
    return program.platform.profile().readString(program.paths.settingsFile, section, key, "<none>");
}

std::size_t PendingCount(ProgramOnMachine& m) { return hosted::readPendingReplacements(m.machine.dir()).size(); }

std::uint64_t HostSize(ProgramOnMachine& m, const std::string& path)
{
    return m.machine.platform().files().stat(path)->size;
}

// Lets the archive work happen, then spoils one extracted hive so that Windows refuses it.
class SpoilingArchiver : public HiveArchiver {
public:
    SpoilingArchiver(core::Program& program, std::string victim)
        : m_run(program), m_inner(program.platform, *program.Zip(), m_run), m_files(program.platform.files()),
          m_victim(std::move(victim))
    {
    }
    void ExtractAll(const std::string& archive, const std::string& directory, int step) override
    {
        m_inner.ExtractAll(archive, directory, step);
        m_files.setAttributes(directory + m_victim, kAttrNormal);
        auto file = m_files.open(directory + m_victim, OpenMode::Write).file;
        ASSERT_TRUE(file);
        file.write("not a hive", 10);
    }
    void AddFile(const std::string& archive, const std::string& file) override { m_inner.AddFile(archive, file); }
    void CopyFile(const std::string& from, const std::string& to, int step) override { m_inner.CopyFile(from, to, step); }

private:
    ProgramHiveRun m_run;
    EngineHiveArchiver m_inner;
    Files& m_files;
    std::string m_victim;
};

TEST(DorAdur, InSafeModeOnlyClearsItsMarker)
{
    ProgramOnMachine m;
    m.SetMachineKey("Machine", "SafeMode", "1");
    core::Program& program = m.Start();
    program.platform.profile().write(program.paths.settingsFile, "AutoCompact", "switch", "1");
    program.runFlags.items[core::kRunDorAdur] = true;

    DorAdur(program).Run();
    EXPECT_EQ(Setting(program, "AutoCompact", "switch"), "0");
    EXPECT_FALSE(program.runFlags.items[core::kRunDorAdur]);
    EXPECT_FALSE(m.machine.exists(m.Windows() + "registry.zzz"));
    EXPECT_TRUE(m.ui().Messages().empty());
    EXPECT_EQ(m.restarts(), 0);
}

TEST(DorAdur, AnsweringNoKeepsTheNewArchiveAndSchedulesNothing)
{
    ProgramOnMachine m;
    core::Program& program = m.Start();
    m.ui().PushAnswer("No");
    DorAdur(program).Run();
    EXPECT_EQ(m.ui().Messages(), std::vector<std::string>{kRestartQuestion});
    EXPECT_TRUE(m.machine.exists(m.Windows() + "registry.zzz"));
    EXPECT_TRUE(m.machine.exists(m.Windows() + "registry.daz"));
    EXPECT_EQ(PendingCount(m), 0u);
    EXPECT_EQ(Setting(program, "Bootup", "Action"), "<none>");
    EXPECT_EQ(m.restarts(), 0);
}

// The whole life of a DorAdur: unattended run, restart, the next start's status text, and the
// undo that schedules the archived hives again.
TEST(DorAdur, ShrinksTheFragmentedHiveAndTheNextStartReportsIt)
{
    for (const auto* edition : {&editions::Edition::Win2000(), &editions::Edition::WinNT()}) {
        SCOPED_TRACE(edition->title);
        ProgramOnMachine m;
        core::Program* program = &m.Start(*edition);
        const std::string live = m.Windows() + "System32\\config\\SOFTWARE";
        const std::uint64_t before = HostSize(m, live);
        program->runFlags.items[core::kRunDorAdur] = true;

        DorAdur(*program).Run();
        EXPECT_TRUE(m.ui().Messages().empty()) << m.ui().Messages().front();
        EXPECT_EQ(Setting(*program, "Bootup", "Action"), "2");
        EXPECT_EQ(Setting(*program, "DorAdur", "JustDone"), "1");
        EXPECT_EQ(m.restarts(), 1);
        EXPECT_TRUE(program->runFlags.closeAfterBackup);
        EXPECT_FALSE(program->runFlags.items[core::kRunDorAdur]);

        m.machine.reopen();
        program = &m.Start(*edition);
        EXPECT_LT(HostSize(m, live), before);
        EXPECT_EQ(HostSize(m, m.Windows() + "System32\\config\\Undo\\SOFTWARE"), before);
        program->settings.dateFormat = "MM/dd/yyyy";
        const std::string text = core::GetMarqueeText(*program);
        const long long reduction = std::stoll(Setting(*program, "DorAdur", "LastReduction"));
        EXPECT_GT(reduction, 0);
        EXPECT_NE(text.find(" and reduced the registry by " + std::to_string(reduction) + "kb."), std::string::npos)
            << text;
        EXPECT_EQ(Setting(*program, "DorAdur", "JustDone"), "0");

        zip::ZipEngine& engine = *program->Zip();
        engine.SetZipName(m.Windows() + "registry.zzz");
        engine.ReadDirectory();
        const FileTime first = program->platform.system().fromLocal(engine.EntryDateTime(0));
        engine.CloseArchive();
        EXPECT_EQ(program->platform.files().stat(m.Windows() + "registry.zzz")->modified, first);

        const std::uint64_t compact = HostSize(m, live);
        m.ui().PushAnswer("Yes");
        DorAdur(*program).Undo();
        EXPECT_EQ(m.ui().Messages().back(),
                  program->edition.title +
                      ": Undo DorAdur must restart Windows to proceed.\rPlease quit all applications.\r\rContinue?");
        // The restart put the archived hives in place again; the compact one it replaced is in Undo.
        EXPECT_EQ(m.restarts(), 2);
        EXPECT_EQ(PendingCount(m), 0u);
        EXPECT_EQ(HostSize(m, m.Windows() + "System32\\config\\Undo\\SOFTWARE"), compact);
    }
}

TEST(DorAdur, AHiveThatCannotBeReplacedIsListedAndNothingIsMarkedDone)
{
    ProgramOnMachine m;
    core::Program& program = m.Start();
    SpoilingArchiver archiver(program, "SAM");
    m.ui().PushAnswer("Yes");   // restart now
    m.ui().PushAnswer("No");    // but not after the error
    DorAdur(program, &archiver).Run();

    const auto& events = m.ui().Events();
    const auto list = std::find_if(events.begin(), events.end(),
                                   [](const core::UiEvent& e) { return e.kind == core::UiEvent::Kind::WarningList; });
    ASSERT_NE(list, events.end());
    const std::vector<std::string> expected = {"The following file(s) could not be DorAdured:",
                                               "",
                                               "SAM key",
                                               "",
                                               "WARNING - An Error has Occurred - DorAdur NOT Successful.",
                                               "If any keys were successfully restored, ",
                                               "   they will be implemented when Windows restarts.",
                                               "",
                                               "Do you want to Restart Windows?"};
    EXPECT_EQ(list->lines, expected);
    EXPECT_EQ(Setting(program, "DorAdur", "JustDone"), "<none>");
    EXPECT_EQ(m.restarts(), 0);
    EXPECT_EQ(PendingCount(m), 6u);   // the others still wait for the next start
}

TEST(DorAdur, UndoWithoutAnArchiveDoesNothing)
{
    ProgramOnMachine m;
    core::Program& program = m.Start();
    DorAdur(program).Undo();
    EXPECT_TRUE(m.ui().Events().empty());
    EXPECT_EQ(PendingCount(m), 0u);
}

}  // namespace
}  // namespace brx::registry
