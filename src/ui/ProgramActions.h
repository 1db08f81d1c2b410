// The main window's buttons wired to the program's runs: backup, restore page, DorAdur, boot disk,
// troubleshooters and the marquee.
#pragma once

#include <memory>

#include "backup/BackupRun.h"
#include "core/Program.h"
#include "disks/DiskServices.h"
#include "restore/RestoreSources.h"
#include "ui/MainWindow.h"

namespace brx::ui {

class HelpSystem;
class QtUi;

// The shell's format dialog over a removable drive of the machine.
bool RunFormatDialog(core::Program& program, QtUi& ui, int drive, QWidget* parent);

class ProgramActions : public MainActions, public disks::WindowServices, public core::RunItems {
public:
    ProgramActions(core::Program& program, QtUi& ui, HelpSystem& help);
    ~ProgramActions() override;

    void SetWindow(MainWindow* window) { m_window = window; }
    // Made at its first use: it takes the settings file's place, known once the start-up ran.
    backup::BackupRun& Backups();

    // MainActions
    bool BackupTicked() override;
    void DorAdur() override;
    void UndoDorAdur() override;
    void MakeBootDisk() override;
    void OpenTroubleshooter(int item) override;
    std::string MarqueeText() override;
    void PrepareReading(bool removable) override;
    restore::RestorePage* RestorePage() override { return m_restore.get(); }

    // WindowServices
    void FormatDrive(int drive) override;
    void RepaintMainWindow() override;
    void WarningBeep() override;
    bool ShowCompiledHelpPage(const std::string& chmPath, const std::string& page) override;
    bool JumpToHelpTopic(const std::string& helpFile, const std::string& topic) override;

    // RunItems: the runs the start-up hands over.
    void RunBackup(int config) override;
    void RunDorAdur() override;
    void FillList() override;

private:
    void AfterRegistryChange();

    core::Program& m_program;
    QtUi& m_ui;
    HelpSystem& m_help;
    MainWindow* m_window = nullptr;
    std::unique_ptr<backup::BackupRun> m_backup;
    std::unique_ptr<restore::RestorePage> m_restore;
};

}  // namespace brx::ui
