#include "registry/DorAdur.h"

#include "registry/ProgramHive.h"
#include "registry/Restart.h"

namespace brx::registry {

using core::kRunDorAdur;
using core::kRunStartAndWait;

namespace {

std::string NotSuccessful(const std::string& operation)
{
    return "WARNING - An Error has Occurred - " + operation + " NOT Successful.";
}

}  // namespace

std::string DorAdur::ArchivePath() const
{
    return m_program.paths.windowsDirectory + kDorAdurArchiveName;
}

void DorAdur::WriteSetting(const char* section, const char* key, const std::string& value)
{
    m_program.platform.profile().write(m_program.paths.settingsFile, section, key, value);
}

bool DorAdur::AskToRestart(const std::string& operation)
{
    return m_program.ui.AskYesNo(m_program.edition.title,
                                 operation + " must restart Windows to proceed.\r"
                                             "Please quit all applications.\r\rContinue?",
                                 core::MessageIcon::Information);
}

void DorAdur::OfferRestartAfterError(const std::string& operation)
{
    core::RunState& run = m_program.run;
    run.AddWarning("");
    run.AddWarning(NotSuccessful(operation));
    run.AddWarning("If any keys were successfully restored, ");
    run.AddWarning("   they will be implemented when Windows restarts.");
    run.AddWarning("");
    run.AddWarning("Do you want to Restart Windows?");
    if (m_program.ui.ShowWarningList(run.warnings, core::WarningListMode::Question) == core::Answer::Yes)
        RestartWinNT(m_program);
}

void DorAdur::Run()
{
    core::RunFlags& flags = m_program.runFlags;
    WriteSetting("AutoCompact", "switch", "0");
    if (m_program.paths.safeMode) {
        // The hives of a Safe Mode start are not the ones Windows normally runs with.
        flags.items[kRunDorAdur] = false;
        WriteSetting("AutoCompact", "switch", "0");
        return;
    }
    {
        core::BusyCursor busy(m_program.ui);
        ProgramHiveSite site(m_program, m_archiver);
        SaveNTRegistry(site.Site(), ArchivePath(), 0, true, true);
    }

    const bool unattended = flags.items[kRunDorAdur];
    struct FinishRun {
        core::RunFlags& flags;
        bool unattended;
        ~FinishRun()
        {
            if (unattended && !flags.items[kRunStartAndWait]) flags.closeAfterBackup = true;
            flags.items[kRunDorAdur] = false;
        }
    } finish{flags, unattended};

    if (unattended) {
        WriteSetting("Bootup", "Action", "2");
    } else {
        if (!AskToRestart("DorAdur")) return;
        WriteSetting("Bootup", "Action", "1");
    }

    try {
        m_program.run.BeginOperation();
        m_program.run.AddWarning("The following file(s) could not be DorAdured:");
        m_program.run.AddWarning("");
        {
            ProgramHiveSite site(m_program, m_archiver);
            SaveNTRegistry(site.Site(), ArchivePath(), 0, false, true);
        }
        if (m_program.run.error) {
            OfferRestartAfterError("DorAdur");
        } else if (m_program.edition.IsNT()) {
            // The NT edition marks the DorAdur done only once Windows accepted the restart. The
            // restart may end the program before the call returns, so the mark goes first and
            // is taken back when the restart is refused.
            WriteSetting("DorAdur", "JustDone", "1");
            if (!RestartWinNT(m_program)) WriteSetting("DorAdur", "JustDone", "0");
        } else {
            WriteSetting("DorAdur", "JustDone", "1");
            RestartWinNT(m_program);
        }
    } catch (...) {
        m_program.ui.Warn(m_program.edition.title, NotSuccessful("DorAdur"));
        throw;
    }
}

void DorAdur::Undo()
{
    if (!m_program.platform.files().exists(ArchivePath())) return;
    try {
        m_program.run.BeginOperation();
        m_program.run.AddWarning("The following file(s) could not be restored:");
        m_program.run.AddWarning("");
        if (!AskToRestart("Undo DorAdur")) return;
        {
            core::BusyCursor busy(m_program.ui);
            ProgramHiveSite site(m_program, m_archiver);
            SaveNTRegistry(site.Site(), ArchivePath(), 0, false, true);
        }
        if (m_program.run.error)
            OfferRestartAfterError("Undo DorAdur");
        else
            RestartWinNT(m_program);
    } catch (...) {
        m_program.ui.Warn(m_program.edition.title, NotSuccessful("Undo DorAdur"));
        throw;
    }
}

}  // namespace brx::registry
