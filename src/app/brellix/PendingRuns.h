// The runs the start-up hands work to: the backup run of a configuration and DorAdur.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "backup/BackupRun.h"
#include "core/Program.h"

namespace brx::app {

class PendingRuns : public core::RunItems {
public:
    PendingRuns(core::Program& program, std::ostream& report);

    void RunBackup(int config) override;
    void RunDorAdur() override;
    void FillList() override;

    // What was asked for, in order ("backup 1", "DorAdur").
    const std::vector<std::string>& Requests() const { return m_requests; }

private:
    // Made at the first use, once the program's archive engine is installed; it lives as long
    // as the program, so the block count carries from one configuration to the next.
    backup::BackupRun& Backup();

    core::Program& m_program;
    std::unique_ptr<backup::BackupRun> m_backup;
    std::ostream& m_report;
    std::vector<std::string> m_requests;
};

}  // namespace brx::app
