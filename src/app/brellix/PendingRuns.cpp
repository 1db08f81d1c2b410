#include "app/brellix/PendingRuns.h"

#include <ostream>

#include "registry/DorAdur.h"

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
    m_requests.push_back("DorAdur");
    registry::DorAdur(m_program).Run();
}

void PendingRuns::FillList()
{
    if (m_program.Zip()) Backup().Sets().FillList();
}

}  // namespace brx::app
