// The runs the start-up hands work to, as far as this build has them. The backup run and
// DorAdur are not part of this build yet: their requests are recorded and reported, and nothing
// is backed up or compacted.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

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
    core::Program& m_program;
    std::ostream& m_report;
    std::vector<std::string> m_requests;
};

}  // namespace brx::app
