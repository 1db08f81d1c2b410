#include "app/brellix/PendingRuns.h"

#include <ostream>

namespace brx::app {

PendingRuns::PendingRuns(core::Program& program, std::ostream& report)
    : m_program(program)
    , m_report(report)
{
}

void PendingRuns::RunBackup(int config)
{
    m_program.runFlags.items[core::kRunBackup1 + config] = false;
    // Nothing was backed up: the run must not count as a clean one.
    m_program.run.error = true;
    m_requests.push_back("backup " + std::to_string(config + 1));
    m_report << "brellix: backup of configuration " << config + 1
             << " requested; this build cannot back up yet" << std::endl;
}

void PendingRuns::RunDorAdur()
{
    m_program.runFlags.items[core::kRunDorAdur] = false;
    m_program.run.error = true;
    m_requests.push_back("DorAdur");
    m_report << "brellix: DorAdur requested; this build cannot compact the registry yet"
             << std::endl;
}

void PendingRuns::FillList() {}

}  // namespace brx::app
