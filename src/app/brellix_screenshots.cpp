// brellix-screenshots OUTDIR: opens every window and dialog of the program for both editions on
// fresh demo machines and saves one PNG per view, so that anyone can look at them.
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>
#include <iostream>

#include "core/Startup.h"
#include "core/ZipSetup.h"
#include "disks/BootDisk.h"
#include "platform/hosted/Machine.h"
#include "platform/hosted/MachineBuilder.h"
#include "ui/Extractor.h"
#include "ui/HelpWindow.h"
#include "ui/MainWindow.h"
#include "ui/ProgramActions.h"
#include "ui/QtUi.h"

namespace {

using namespace brx;

class Shooter {
public:
    explicit Shooter(QString outDir) : m_outDir(std::move(outDir)) {}

    void Save(QWidget& widget, const QString& name)
    {
        widget.show();
        widget.raise();
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
            QThreadWait();
        }
        const QString file = QDir(m_outDir).filePath(name + ".png");
        if (!widget.grab().save(file))
            std::cerr << "could not save " << file.toStdString() << "\n";
        else
            std::cout << file.toStdString() << "\n";
    }

private:
    static void QThreadWait()
    {
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    QString m_outDir;
};

// An archive of a few files of the machine, as a backup set would hold them.
std::string MakeDemoArchive(core::Program& program)
{
    zip::ZipEngine& engine = *program.Zip();
    const std::string archive = "C:\\Brellix Backups\\demo.zip";
    program.platform.files().createDirectory("C:\\Brellix Backups");
    engine.MultiZipInfo.MultiMode = zip::mmNone;
    engine.SetZipName(archive);
    engine.FilesList = {"C:\\WINNT\\win.ini", "C:\\WINNT\\system.ini", "C:\\WINNT\\control.ini",
                        "C:\\boot.ini", "C:\\WINNT\\System32\\config.nt",
                        "C:\\WINNT\\System32\\autoexec.nt"};
    engine.WriteArchive();
    return archive;
}

void ShootEdition(Shooter& shoot, const editions::Edition& edition, const QString& prefix)
{
    QTemporaryDir machineDir;
    platform::hosted::MachineOptions options;
    options.edition = edition.IsNT() ? platform::hosted::WindowsEdition::WindowsNT
                                     : platform::hosted::WindowsEdition::Windows2000;
    platform::hosted::createMachine(machineDir.path().toStdString() + "/m", options);
    auto platform = platform::hosted::openMachine(machineDir.path().toStdString() + "/m");

    ui::QtUi qtUi(platform->files());
    core::Program program(*platform, edition, qtUi);
    core::InstallZipEngine(program);
    ui::HelpSystem help(ui::HelpSystem::DefaultHelpDirectory());
    ui::ProgramActions actions(program, qtUi, help);
    core::Startup startup(program, actions);
    startup.Enter({});
    ui::MainWindow window(program, actions, help);
    actions.SetWindow(&window);
    qtUi.SetMainWindow(&window);
    startup.MainWindowStart();
    actions.RestorePage()->Load();
    window.LoadFromProgram();
    window.RefreshMarquee();
    for (int i = 0; i < 40; ++i)
        window.Status()->Tick();

    shoot.Save(window, prefix + "main-introduction");
    const char* pages[] = {"backup", "dazur-edozi", "doradur", "extractor", "boot-disk",
                           "repair", "help"};
    for (int page = 0; page < 7; ++page) {
        window.ShowPage(page);
        shoot.Save(window, prefix + "main-" + pages[page]);
    }

    ui::ProgressWindow& progress = qtUi.Progress();
    progress.setWindowTitle("Backup in Process Config 1");
    progress.SetStatus("Producing registry.daz");
    progress.RunBar()->setValue(35);
    progress.ArchiveBar()->setValue(70);
    progress.Animation()->Start();
    shoot.Save(progress, prefix + "progress-window");
    progress.Animation()->Stop();
    progress.hide();

    ui::WarningList& warnings = qtUi.Warnings();
    warnings.SetMode(ui::WarningList::Mode::Notice);
    warnings.SetLines({"The following file(s) could not be copied:", "",
                       "C:\\ntbootdd.sys", "C:\\bootsect.dos", "", "12 files backed up."});
    shoot.Save(warnings, prefix + "warning-list-notice");
    warnings.SetMode(ui::WarningList::Mode::Question);
    warnings.SetLines({"The following hive(s) could not be restored:", "", "\\SAM key", "",
                       "Restart Windows anyway?"});
    shoot.Save(warnings, prefix + "warning-list-question");
    warnings.hide();

    help.ShowContents(program.paths.helpFile);
    shoot.Save(*help.MainWindow(), prefix + "help-contents");
    help.ShowTopic(program.paths.helpFile, "Topic6");
    shoot.Save(*help.MainWindow(), prefix + "help-restore-by-hand");
    help.MainWindow()->hide();
    help.ShowTopic(program.paths.helpFile + ">tutorial", "Topic23");
    shoot.Save(*help.TutorialWindow(), prefix + "help-tutorial");
    help.TutorialWindow()->hide();

    ui::Extractor& extractor = window.ExtractorDialog();
    extractor.show();
    extractor.OpenArchive(MakeDemoArchive(program));
    extractor.Tree()->expandAll();
    extractor.Tree()->SetTicked(extractor.Tree()->topLevelItem(1)->child(1), true);
    shoot.Save(extractor, prefix + "extractor");
    extractor.hide();

    const bool nt = edition.IsNT();
    auto drive = ui::BuildInputBox(nt ? "Disk Drive" : "Diskette Drive",
                                   nt ? "Please insert a disk and Enter the letter of the Disk Drive."
                                      : "Please insert a diskette and Enter the letter of the Diskette Drive.",
                                   "A", &window);
    shoot.Save(*drive, prefix + "boot-disk-drive");
    drive->hide();
    auto format = ui::BuildMessageBox({disks::kCaptionFormat, disks::kMsgFormatQuestion,
                                       core::MessageIcon::Question, core::MessageButtons::YesNo,
                                       core::Answer::Yes},
                                      &window);
    shoot.Save(*format, prefix + "boot-disk-format");
    format->hide();
    if (!nt) {
        auto regBack = ui::BuildMessageBox({disks::kCaptionRegBack, disks::kMsgRegBackQuestion,
                                            core::MessageIcon::Question,
                                            core::MessageButtons::YesNo, core::Answer::Yes},
                                           &window);
        shoot.Save(*regBack, prefix + "boot-disk-regback");
        regBack->hide();
    }
    auto done = ui::BuildMessageBox({edition.title, disks::kMsgDisketteCompleted,
                                     core::MessageIcon::Information, core::MessageButtons::Ok,
                                     core::Answer::Ok},
                                    &window);
    shoot.Save(*done, prefix + "boot-disk-completed");
    done->hide();
    shoot.Save(*window.TroubleshooterMenu(), prefix + "troubleshooter-menu");
    window.TroubleshooterMenu()->hide();
    window.hide();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: brellix-screenshots OUTDIR\n";
        return 2;
    }
    QApplication application(argc, argv);
    QDir().mkpath(argv[1]);
    Shooter shoot(argv[1]);
    try {
        ShootEdition(shoot, brx::editions::Edition::Win2000(), "2000-");
        ShootEdition(shoot, brx::editions::Edition::WinNT(), "nt-");
    } catch (const std::exception& error) {
        std::cerr << "screenshots failed: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
