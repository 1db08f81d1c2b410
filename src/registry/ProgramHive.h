// The hive operations wired to the running program: its run state, its Ui and its ZIP engine.
#pragma once

#include <memory>

#include "core/Program.h"
#include "registry/HiveSave.h"

namespace brx::registry {

class ProgramHiveRun : public HiveRun {
public:
    explicit ProgramHiveRun(core::Program& program) : m_program(program) {}

    void SetError() override { m_program.run.error = true; }
    void AddWarning(const std::string& line) override { m_program.run.AddWarning(line); }
    void CountFile() override { ++m_program.run.fileCount; }
    void ResetFileCount() override { m_program.run.fileCount = 0; }
    void ShowMessage(const std::string& text) override;
    void SetStatus(const std::string& text) override;
    void BeginProgress(int parts) override;
    void EndProgress() override;

    int Parts() const { return m_parts; }

private:
    core::Program& m_program;
    int m_parts = 1;
};

// Points the engine's events at this program's progress window for an operation of ours: a
// run that installed handlers of its own may have ended since.
void TakeEngineEvents(core::Program& program);

// Everything a hive save or restore needs, for one operation of the program. The archive work
// goes through `archiver` when given, else straight through the program's ZIP engine.
class ProgramHiveSite {
public:
    explicit ProgramHiveSite(core::Program& program, HiveArchiver* archiver = nullptr);
    ~ProgramHiveSite();

    HiveSite& Site() { return *m_site; }

private:
    ProgramHiveRun m_run;
    std::unique_ptr<HiveArchiver> m_ownArchiver;
    std::unique_ptr<HiveSite> m_site;
};

}  // namespace brx::registry
