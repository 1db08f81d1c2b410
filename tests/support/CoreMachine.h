// A small machine with the program on it, for the start-up and settings tests.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Program.h"
#include "core/ScriptedUi.h"
#include "core/Startup.h"
#include "editions/Edition.h"
#include "support/TestMachine.h"

namespace brx::core::test {

// Records the runs the start-up asks for, and does what every run does first: clears its flag.
class RecordingRuns : public RunItems {
public:
    explicit RecordingRuns(Program& program) : m_program(program) {}
    void RunBackup(int config) override
    {
        m_program.runFlags.items[kRunBackup1 + config] = false;
        calls.push_back("backup " + std::to_string(config + 1));
    }
    void RunDorAdur() override
    {
        m_program.runFlags.items[kRunDorAdur] = false;
        calls.push_back("DorAdur");
    }
    void FillList() override { calls.push_back("FillList"); }

    std::vector<std::string> calls;

private:
    Program& m_program;
};

class CoreMachine {
public:
    // A new machine of the edition, with no brxset.ini.
    explicit CoreMachine(const editions::Edition& edition);
    // The machine at `root` again, as the next start of the program sees it.
    CoreMachine(const editions::Edition& edition, const std::string& root);
    ~CoreMachine();

    platform::Platform& Platform() { return *m_platform; }
    platform::hosted::HostedPlatform& Hosted() { return *m_platform; }
    const std::string& Root() const { return m_root; }

    // brxset.ini of the program. A new machine starts without one, except that the StartUp
    // directory points at the user's Startup folder.
    void Ini(const std::string& section, const std::string& key, const std::string& value);
    std::optional<std::string> IniValue(const std::string& section, const std::string& key);
    std::vector<std::string> IniKeys(const std::string& section);

    void WriteFile(const std::string& path, const std::string& content);
    std::string ReadFile(const std::string& path);
    bool Exists(const std::string& path);

    // A date `days` before the machine's today.
    platform::LocalTime DaysAgo(int days);

private:
    static platform::hosted::HostedPlatform& Open(CoreMachine& self, const editions::Edition& edition,
                                                  const std::string& root);

    std::unique_ptr<brx::test::TestMachine> m_created;
    std::unique_ptr<platform::hosted::HostedPlatform> m_reopened;
    std::string m_root;
    platform::hosted::HostedPlatform* m_platform = nullptr;

public:
    ScriptedUi ui;
    Program program;
    RecordingRuns runs;
    Startup startup;
};

}  // namespace brx::core::test
