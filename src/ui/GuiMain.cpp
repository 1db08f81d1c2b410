#include "ui/GuiMain.h"

#include <QApplication>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>
#include <cstdlib>

#include "core/Startup.h"
#include "core/ZipSetup.h"
#include "platform/hosted/Machine.h"
#include "ui/HelpWindow.h"
#include "ui/MainWindow.h"
#include "ui/ProgramActions.h"
#include "ui/QtUi.h"

namespace brx::ui {

int RunMainWindow(platform::Platform& platform, const editions::Edition& edition,
                  const std::vector<std::string>& words, int argc, char** argv)
{
    // The application (and with it the display) is made only when something is to be shown:
    // a command line that asks for nothing ends without ever opening one.
    std::unique_ptr<QApplication> application;
    const auto ensureApplication = [&] {
        if (application)
            return;
        application = std::make_unique<QApplication>(argc, argv);
        QApplication::setApplicationName(QString::fromStdString(edition.title));
    };
    QtUi ui(platform.files(), ensureApplication);
    core::Program program(platform, edition, ui);
    core::InstallZipEngine(program);
    HelpSystem help(HelpSystem::DefaultHelpDirectory());
    ProgramActions actions(program, ui, help);
    core::Startup startup(program, actions);
    if (startup.Enter(words) == core::StartupOutcome::EndWithoutWindow)
        return 0;

    ensureApplication();
    MainWindow window(program, actions, help);
    actions.SetWindow(&window);
    ui.SetMainWindow(&window);
    window.onClosing = [&startup] { startup.Close(); };
    // A restart ends the session: the window closes the ordinary way, saving the settings,
    // before the program ends.
    if (auto* hosted = dynamic_cast<platform::hosted::HostedPlatform*>(&platform))
        hosted->setTerminate([&window](int code) {
            window.close();
            std::exit(code);
        });
    // The end of the Windows session closes the window the ordinary way, saving the settings.
    QObject::connect(application.get(), &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager&) { window.close(); });
    window.move(window.screen()->geometry().center() - window.rect().center());
    window.show();
    QTimer::singleShot(0, &window, [&] {
        const core::AfterStart after = startup.MainWindowStart();
        actions.RestorePage()->Load();
        window.LoadFromProgram();
        if (program.runFlags.openOnDorAdur)
            window.ShowPage(MainWindow::kDorAdurPage);
        window.RefreshMarquee();
        if (after == core::AfterStart::Close)
            window.close();
    });
    return QApplication::exec();
}

}  // namespace brx::ui
