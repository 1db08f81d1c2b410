// Moving one file or archive from a restore source into place: a plain copy, a one-file
// archive extracted beside its destination, or a profile archive extracted to its stored paths.
// The registry's archive work goes through the same object.
#pragma once

#include <string>

#include "core/Program.h"
#include "registry/HiveSave.h"
#include "registry/ProgramHive.h"

namespace brx::restore {

// A source or destination that cannot be read or written goes to the warning list, sets the
// error flag and is raised, ending the operation. Every file written counts once.
class Transfer : public registry::HiveArchiver {
public:
    explicit Transfer(core::Program& program) : m_program(program) {}

    void ExtractAll(const std::string& archive, const std::string& directory, int step) override;
    void AddFile(const std::string& archive, const std::string& file) override;
    void CopyFile(const std::string& from, const std::string& to, int step) override;

    // A found source whose content is not to be written still hands its attributes on.
    void CopyAttributes(const std::string& from, const std::string& to);
    // A profile archive back to the full paths stored in it, folders recreated.
    void ExtractToStoredPaths(const std::string& archive);

private:
    zip::ZipEngine& Engine();
    [[noreturn]] void Fail(const std::string& path, const std::string& message);
    void Advance(int step);

    core::Program& m_program;
};

}  // namespace brx::restore
