#include "ui/ProgramActions.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "core/Marquee.h"
#include "core/Startup.h"
#include "disks/BootDisk.h"
#include "disks/Emergency.h"
#include "disks/ProgramDiskWork.h"
#include "registry/DorAdur.h"
#include "ui/HelpWindow.h"
#include "ui/QtUi.h"

namespace brx::ui {

bool RunFormatDialog(core::Program& program, QtUi& ui, int drive, QWidget* parent)
{
    const std::string root = std::string(1, static_cast<char>('A' + drive)) + ":\\";
    const std::string caption = "Format " + std::string(1, static_cast<char>('A' + drive)) + ":";
    const std::string text = "Formatting will erase ALL data on the disk in drive " + root + ".";
    bool start = false;
    if (ui.HasAnswersQueued()) {
        const auto answer = ui.InputBox(caption, text, "Start");
        start = answer && *answer == "Start";
    } else {
        QDialog dialog(parent);
        dialog.setWindowTitle(QString::fromStdString(caption));
        dialog.setFixedSize(300, 110);
        auto* label = new QLabel(QString::fromStdString(text), &dialog);
        label->setWordWrap(true);
        label->setGeometry(12, 10, 276, 48);
        auto* startButton = new QPushButton("&Start", &dialog);
        startButton->setGeometry(104, 70, 88, 28);
        auto* closeButton = new QPushButton("&Close", &dialog);
        closeButton->setGeometry(200, 70, 88, 28);
        QObject::connect(startButton, &QPushButton::clicked, &dialog, &QDialog::accept);
        QObject::connect(closeButton, &QPushButton::clicked, &dialog, &QDialog::reject);
        start = dialog.exec() == QDialog::Accepted;
    }
    if (!start)
        return false;
    if (program.platform.files().formatDrive(root) != platform::kErrorSuccess) {
        ui.Warn(caption, "Windows was unable to complete the format.");
        return false;
    }
    ui.Inform(caption, "Format Complete.");
    return true;
}

ProgramActions::ProgramActions(core::Program& program, QtUi& ui, HelpSystem& help)
    : m_program(program)
    , m_ui(ui)
    , m_help(help)
    , m_restore(std::make_unique<restore::RestorePage>(program))
{
}

backup::BackupRun& ProgramActions::Backups()
{
    if (!m_backup) {
        m_backup = std::make_unique<backup::BackupRun>(m_program);
        m_backup->RefreshMarquee = [this] {
            if (m_window)
                m_window->RefreshMarquee();
        };
    }
    return *m_backup;
}

ProgramActions::~ProgramActions() = default;

bool ProgramActions::BackupTicked()
{
    const bool close = Backups().BackupTickedConfigurations();
    FillList();
    return close;
}

void ProgramActions::AfterRegistryChange()
{
    // A DorAdur or a boot disk's registry save leaves a new spare registry behind.
    core::ComputeStartupFacts(m_program);
    m_restore->spareAvailable = m_program.facts.spareRegistry;
    m_restore->repairAvailable = m_program.facts.repairCopy;
    if (m_window)
        m_window->LoadFromProgram();
}

void ProgramActions::DorAdur()
{
    registry::DorAdur(m_program).Run();
    AfterRegistryChange();
}

void ProgramActions::UndoDorAdur()
{
    registry::DorAdur(m_program).Undo();
    AfterRegistryChange();
}

void ProgramActions::MakeBootDisk()
{
    disks::ProgramBootDiskWork work(m_program, Backups().Archives());
    disks::MakeBootDisk(m_program, *this, work);
    AfterRegistryChange();
}

void ProgramActions::OpenTroubleshooter(int item)
{
    disks::OpenTroubleshooter(m_program, *this, item);
}

std::string ProgramActions::MarqueeText()
{
    core::MarqueeSite site{m_program.platform,
                           *m_program.Zip(),
                           m_program.paths.windowsDirectory,
                           m_program.paths.programDirectory,
                           m_program.paths.settingsFile,
                           m_program.settings.dateFormat,
                           m_program.edition.IsNT()};
    return core::GetMarqueeText(site);
}

void ProgramActions::PrepareReading(bool removable)
{
    Backups().Archives().Options().removableTarget = removable;
}

void ProgramActions::FormatDrive(int drive)
{
    RunFormatDialog(m_program, m_ui, drive, m_window);
}

void ProgramActions::RepaintMainWindow()
{
    if (m_window)
        m_window->repaint();
}

void ProgramActions::WarningBeep()
{
    QApplication::beep();
}

bool ProgramActions::ShowCompiledHelpPage(const std::string& chmPath, const std::string& page)
{
    const auto host = m_program.platform.files().hostPath(chmPath);
    if (host && m_help.ShowCompiledPage(*host, page))
        return true;
    m_ui.Inform(m_program.edition.title, "The page " + page + " of " + chmPath
                                             + " could not be read.");
    return false;
}

bool ProgramActions::JumpToHelpTopic(const std::string& helpFile, const std::string& topic)
{
    if (m_help.ShowTopic(helpFile, topic))
        return true;
    // Help files of the old Windows help format can only be read by Windows itself.
    m_ui.Inform(m_program.edition.title,
                "This troubleshooter is the topic " + topic + " of " + helpFile
                    + ", a Windows help file that can only be shown on Windows itself.");
    return false;
}

void ProgramActions::RunBackup(int config)
{
    Backups().BackupClick(config);
}

void ProgramActions::RunDorAdur()
{
    registry::DorAdur(m_program).Run();
}

void ProgramActions::FillList()
{
    core::ComputeStartupFacts(m_program);
    m_restore->spareAvailable = m_program.facts.spareRegistry;
    m_restore->FillBackupList();
    m_restore->RefreshPage();
    if (m_window)
        m_window->RefreshRestorePage();
}

}  // namespace brx::ui
