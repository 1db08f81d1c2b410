// The program's state on a small test machine: a scripted Ui, the system paths computed as the
// start-up computes them, the archive engine installed, and restarts recorded instead of ending
// the test.
#pragma once

#include <memory>
#include <string>

#include "TestMachine.h"
#include "core/Program.h"
#include "core/ScriptedUi.h"
#include "editions/Edition.h"

namespace brx::test {

class ProgramOnMachine {
public:
    explicit ProgramOnMachine(const platform::hosted::MachineOptions& options = testMachineOptions());
    ~ProgramOnMachine();

    TestMachine machine;
    // Starts the program (again) on the machine as it is now, with a fresh Ui.
    core::Program& Start(const editions::Edition& edition = editions::Edition::Win2000());
    core::Program& program() { return *m_program; }
    core::ScriptedUi& ui() { return *m_ui; }
    int restarts() const { return m_restarts; }

    // Sets a machine.ini key and opens the machine again; Start() the program afterwards.
    void SetMachineKey(const std::string& section, const std::string& key, const std::string& value);
    // Windows path of the Windows directory, with trailing backslash.
    std::string Windows() const;
    // Value data of a hive file as hivexget prints it.
    static std::string HiveValue(const std::string& hostHive, const std::string& key, const std::string& value);

private:
    std::unique_ptr<core::ScriptedUi> m_ui;
    std::unique_ptr<core::Program> m_program;
    int m_restarts = 0;
};

}  // namespace brx::test
