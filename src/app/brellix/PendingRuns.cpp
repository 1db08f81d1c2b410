#include "app/brellix/PendingRuns.h"

#include <ostream>

namespace brx::app {

PendingRuns::PendingRuns(core::Program& program, std::ostream& report)
    : m_program(program)
    , m_report(report)
{
}

backup::BackupRun& PendingRuns::Backup()
{
    if (!m_backup) m_backup = std::make_unique<backup::BackupRun>(m_program);
    return *m_backup;
}

void PendingRuns::RunBackup(int config)
{
    m_requests.push_back("backup " + std::to_string(config + 1));
    Backup().BackupClick(config);
}

void PendingRuns::RunDorAdur()
{
    m_program.runFlags.items[core::kRunDorAdur] = false;
    m_program.run.error = true;
    m_requests.push_back("DorAdur");
    m_report << "brellix: DorAdur requested; this build cannot compact the registry yet"
             << std::endl;
}

void PendingRuns::FillList()
{
    if (m_program.Zip()) Backup().Sets().FillList();
}

}  // namespace brx::app
