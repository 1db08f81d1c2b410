#include "disks/ProgramDiskWork.h"

#include <stdexcept>

#include "registry/HiveSave.h"
#include "registry/ProgramHive.h"

namespace brx::disks {

void ProgramBootDiskWork::CopyFile(const std::string& source, const std::string& destination,
                                   int step)
{
    auto& files = m_program.platform.files();
    const bool sourceThere = files.exists(source);
    const std::size_t warningsBefore = m_program.run.warnings.size();
    m_program.run.backupDirection = true;
    m_packaging.AttrCopy(source, destination, false, backup::FileMode::CopyAndStep, step);
    if (sourceThere && (m_program.run.warnings.size() != warningsBefore || !files.exists(destination)))
        throw std::runtime_error("Could not write " + destination);
}

void ProgramBootDiskWork::SaveRegistry(const std::string& directory, int step)
{
    registry::ProgramHiveSite site(m_program);
    registry::SaveNTRegistry(site.Site(), directory, step, true, false);
}

}  // namespace brx::disks
