// The program with its real window on a small test machine; every dialog answers itself.
#pragma once

#include <memory>

#include "QtApp.h"
#include "core/Program.h"
#include "core/Startup.h"
#include "support/TestMachine.h"
#include "ui/HelpWindow.h"
#include "ui/MainWindow.h"
#include "ui/ProgramActions.h"
#include "ui/QtUi.h"

namespace brx::test {

class WindowFixture {
public:
    explicit WindowFixture(const editions::Edition& edition = editions::Edition::Win2000());
    ~WindowFixture();

    // Messages and warning lists shown so far that contain `text`.
    int CountShown(const std::string& text) const;

    TestMachine machine;
    ui::QtUi ui;
    core::Program program;
    ui::HelpSystem help;
    std::unique_ptr<ui::ProgramActions> actions;
    std::unique_ptr<core::Startup> startup;
    std::unique_ptr<ui::MainWindow> window;
};

}  // namespace brx::test
