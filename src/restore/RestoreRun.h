// The restore run: registry (with win.ini and system.ini), WinConfig files and User Profile
// folders from one source, then the restart that lets Windows take the replaced hives.
#pragma once

#include <memory>
#include <string>

#include "core/Program.h"
#include "restore/RestoreSourceKind.h"

namespace brx::backup {
class Packaging;
}

namespace brx::restore {

// Which extents the page asks for; each is true only when its box is both checked and enabled.
struct RestoreExtents {
    bool winCrash = false;    // registry, win.ini, system.ini
    bool winUsers = false;    // WinConfig files
    bool userFiles = false;   // User Profile folders
};

enum class TransferMode { Archive, Plain, None };

// "win.ini" is kept as "win.inz", "autoexec.nt" as "autoexec.ntz", "ntldr" as "ntldr.--z".
std::string ArchivedName(const std::string& path);

class RestoreRun {
public:
    explicit RestoreRun(core::Program& program) : m_program(program) {}

    // `filePath` is a file inside the source directory; its last character tells how a backup
    // set stores its files.
    void RunRestore(const std::string& filePath, RestoreSourceKind kind, const RestoreExtents& extents);
    // One WinConfig file: `source` names it under its plain name in the source directory.
    void RestoreFile(const std::string& source, const std::string& dest, TransferMode mode);

private:
    std::unique_ptr<backup::Packaging> EngineEvents();
    void Execute();
    bool FindAttrib();
    void RestoreRegistry();
    void RestoreFiles();
    void RestoreProfileArchive(const std::string& archive);
    void AdvanceGauge();
    void Finish();
    bool WantsRestart();
    void Restart();
    void CleanUp();

    core::Program& m_program;
    std::string m_source;
    RestoreSourceKind m_kind = RestoreSourceKind::BackupSet;
    RestoreExtents m_extents;
    TransferMode m_mode = TransferMode::None;
    int m_step = 0;
};

}  // namespace brx::restore
