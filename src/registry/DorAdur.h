// DorAdur shrinks the registry without parsing a hive: every hive is saved (which writes a
// compact copy), the copies are kept in "registry.zzz", and they are scheduled to replace the
// live hives at the next start. Undo DorAdur schedules the archived hives once more.
#pragma once

#include "core/Program.h"
#include "registry/HiveSave.h"

namespace brx::registry {

inline constexpr const char* kDorAdurArchiveName = "registry.zzz";

class DorAdur {
public:
    // `archiver` replaces the program's ZIP engine for the archive work when given.
    explicit DorAdur(core::Program& program, HiveArchiver* archiver = nullptr)
        : m_program(program), m_archiver(archiver)
    {
    }

    // The DorAdur button, and the unattended run when the DorAdur run flag is set.
    void Run();
    // The Undo DorAdur button; does nothing when there is no "registry.zzz".
    void Undo();

private:
    std::string ArchivePath() const;
    void WriteSetting(const char* section, const char* key, const std::string& value);
    bool AskToRestart(const std::string& operation);
    void ScheduleAndRestart();
    void OfferRestartAfterError(const std::string& operation);

    core::Program& m_program;
    HiveArchiver* m_archiver;
};

}  // namespace brx::registry
