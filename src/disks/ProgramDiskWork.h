// The boot disk's copies and registry save, done by the program's own plain copy and hive save.
#pragma once

#include "backup/Packaging.h"
#include "core/Program.h"
#include "disks/DiskServices.h"

namespace brx::disks {

class ProgramBootDiskWork : public BootDiskWork {
public:
    ProgramBootDiskWork(core::Program& program, backup::Packaging& packaging)
        : m_program(program), m_packaging(packaging)
    {
    }

    // A source that is missing is listed and skipped; a copy that could not be written onto the
    // diskette throws, because a boot disk with holes in it must not be reported as made.
    void CopyFile(const std::string& source, const std::string& destination, int step) override;
    void SetRunGauge(int percent) override { m_packaging.SetRunGauge(percent); }
    void SetProgressParts(int parts, int base) override { m_packaging.SetProgressParts(parts, base); }
    void SaveRegistry(const std::string& directory, int step) override;

private:
    core::Program& m_program;
    backup::Packaging& m_packaging;
};

}  // namespace brx::disks
