#include "registry/ProgramHive.h"

#include "core/Error.h"
#include "registry/EngineHiveArchiver.h"
#include "zip/ZipEngine.h"

namespace brx::registry {

void ProgramHiveRun::ShowMessage(const std::string& text)
{
    m_program.ui.Inform(m_program.edition.title, text);
}

void ProgramHiveRun::SetStatus(const std::string& text)
{
    m_program.ui.SetProgressStatus(text);
    m_program.ui.Pump();
}

void ProgramHiveRun::BeginProgress(int parts)
{
    m_parts = parts;
    m_program.run.progressBase = 0;
}

void ProgramHiveRun::EndProgress() { m_parts = 1; }

void TakeEngineEvents(core::Program& program)
{
    zip::ZipEngine* engine = program.Zip();
    if (engine == nullptr) return;
    core::Ui& ui = program.ui;
    engine->OnTotalPercentDone = [&ui](zip::ZipEngine&, int percent) { ui.SetArchiveGauge(percent); };
    engine->OnGetNextDisk = nullptr;
    engine->OnInCompleteZip = nullptr;
    engine->OnPump = [&ui] { ui.Pump(); };
}

ProgramHiveSite::ProgramHiveSite(core::Program& program, HiveArchiver* archiver) : m_run(program)
{
    if (archiver == nullptr) {
        if (program.Zip() == nullptr)
            throw core::Error(core::ErrorKind::General, "The archive engine is not available.");
        TakeEngineEvents(program);
        m_ownArchiver = std::make_unique<EngineHiveArchiver>(program.platform, *program.Zip(), m_run);
        archiver = m_ownArchiver.get();
    }
    m_site = std::make_unique<HiveSite>(HiveSite{program.platform, program.paths.windowsDirectory,
                                                 program.paths.programDirectory, m_run, *archiver});
}

ProgramHiveSite::~ProgramHiveSite() = default;

}  // namespace brx::registry
