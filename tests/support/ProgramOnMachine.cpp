#include "ProgramOnMachine.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "core/Startup.h"
#include "core/ZipSetup.h"
#include "hive_testing.h"

namespace brx::test {

ProgramOnMachine::ProgramOnMachine(const platform::hosted::MachineOptions& options) : machine(options) {}

ProgramOnMachine::~ProgramOnMachine() = default;

core::Program& ProgramOnMachine::Start(const editions::Edition& edition)
{
    m_program.reset();
    m_ui = std::make_unique<core::ScriptedUi>();
    machine.hosted().setTerminate([this](int) { ++m_restarts; });
    m_program = std::make_unique<core::Program>(machine.platform(), edition, *m_ui);
    m_program->SetProgramPath(machine.platform().system().programPath());
    core::ComputeFirstPaths(*m_program);
    core::ComputeRemainingPaths(*m_program);
    m_program->paths.safeMode = machine.platform().system().cleanBoot() != 0;
    m_program->ReadSettings();
    core::InstallZipEngine(*m_program);
    return *m_program;
}

void ProgramOnMachine::SetMachineKey(const std::string& section, const std::string& key, const std::string& value)
{
    m_program.reset();
    const std::string ini = machine.dir() + "/machine.ini";
    std::ifstream in(ini);
    std::stringstream text;
    std::string line;
    bool inSection = false, written = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.front() == '[') {
            if (inSection && !written) text << key << "=" << value << "\r\n", written = true;
            inSection = line == "[" + section + "]";
        } else if (inSection && line.rfind(key + "=", 0) == 0) {
            if (!written) text << key << "=" << value << "\r\n", written = true;
            continue;
        }
        text << line << "\r\n";
    }
    if (!written) text << (inSection ? "" : "[" + section + "]\r\n") << key << "=" << value << "\r\n";
    in.close();
    std::ofstream(ini) << text.str();
    machine.reopen();
}

std::string ProgramOnMachine::Windows() const { return machine.layout().windowsDirectory + "\\"; }

std::string ProgramOnMachine::HiveValue(const std::string& hostHive, const std::string& key, const std::string& value)
{
    auto run = hives::runTool("hivexget " + hives::quoted(hostHive) + " " + hives::quoted(key) + " " +
                              hives::quoted(value));
    while (!run.output.empty() && (run.output.back() == '\n' || run.output.back() == '\r')) run.output.pop_back();
    return run.output;
}

}  // namespace brx::test
