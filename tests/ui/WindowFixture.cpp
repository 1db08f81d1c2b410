#include "WindowFixture.h"

#include "core/ZipSetup.h"

namespace brx::test {

namespace {
platform::hosted::MachineOptions OptionsFor(const editions::Edition& edition)
{
    return testMachineOptions(edition.IsNT() ? platform::hosted::WindowsEdition::WindowsNT
                                             : platform::hosted::WindowsEdition::Windows2000);
}
}  // namespace

WindowFixture::WindowFixture(const editions::Edition& edition)
    : machine(OptionsFor(edition))
    , ui((App(), machine.platform().files()))
    , program(machine.platform(), edition, ui)
    , help(ui::HelpSystem::DefaultHelpDirectory())
{
    ui.SetScripted(true);
    core::InstallZipEngine(program);
    actions = std::make_unique<ui::ProgramActions>(program, ui, help);
    startup = std::make_unique<core::Startup>(program, *actions);
    startup->Enter({});
    window = std::make_unique<ui::MainWindow>(program, *actions, help);
    actions->SetWindow(window.get());
    window->onClosing = [this] { startup->Close(); };
    ui.SetMainWindow(window.get());
    startup->MainWindowStart();
    actions->RestorePage()->Load();
    window->LoadFromProgram();
}

WindowFixture::~WindowFixture()
{
    actions->SetWindow(nullptr);
    window.reset();
}

int WindowFixture::CountShown(const std::string& text) const
{
    int count = 0;
    for (const std::string& line : ui.Shown())
        if (line.find(text) != std::string::npos)
            ++count;
    return count;
}

}  // namespace brx::test
