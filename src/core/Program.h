// The program's state, held for the life of the process: the machine, the edition, the system
// paths, the settings model, the run flags, the run state, the Ui and the one ZIP engine.
// Windows read and write this object; they keep no state of their own beyond their widgets.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "core/RunState.h"
#include "core/Settings.h"
#include "core/SystemPaths.h"
#include "core/Ui.h"
#include "editions/Edition.h"
#include "platform/Platform.h"

namespace brx::zip {
class ZipEngine;
}

namespace brx::core {

// The six things a start can ask for, in the order of their automation sections.
enum RunItem : int {
    kRunStartAndWait = 0,
    kRunBackup1 = 1,
    kRunBackup2 = 2,
    kRunBackup3 = 3,
    kRunBackup4 = 4,
    kRunDorAdur = 5,
};
inline constexpr int kRunItems = 6;

struct RunFlags {
    std::array<bool, kRunItems> items{};
    // The command line asked for nothing: the process ends without showing a window.
    bool endWithoutWindow = false;
    // The last unattended run asked the program to close when it is done.
    bool closeAfterBackup = false;
    // The main window opens on its DorAdur page.
    bool openOnDorAdur = false;

    bool Any() const
    {
        for (bool flag : items)
            if (flag) return true;
        return false;
    }
};

// The runs the start-up hands work to; the application wires in the real ones.
class RunItems {
public:
    virtual ~RunItems() = default;
    // Backs up configuration `config` (0 to 3).
    virtual void RunBackup(int config) = 0;
    // DorAdur, unattended.
    virtual void RunDorAdur() = 0;
    // Re-reads the backup-set list and the package list after the settings were read.
    virtual void FillList() = 0;
};

// The engine is created and installed by whoever builds the program (InstallZipEngine in
// core/ZipSetup.h), so that code which never archives does not need the engine linked in.
using ZipEnginePtr = std::unique_ptr<zip::ZipEngine, void (*)(zip::ZipEngine*)>;

class Program {
public:
    Program(platform::Platform& platform, const editions::Edition& edition, Ui& ui);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    platform::Platform& platform;
    const editions::Edition& edition;
    Ui& ui;

    SystemPaths paths;
    StartupFacts facts;
    SettingsModel settings;
    RunFlags runFlags;
    RunState run;

    // brxset.ini; valid once the program's directory is known (after SetProgramPath).
    SettingsStore& Settings();
    // Records where the program lives: its directory, brxset.ini and the help file follow.
    void SetProgramPath(const std::string& programPath);

    // Loads the model; refreshing the backup-set list (RunItems::FillList) is the caller's.
    void ReadSettings() { Settings().ReadSettings(settings); }
    void WriteSettings() { Settings().WriteSettings(settings); }
    void SwitchConfiguration(int configuration)
    {
        Settings().SwitchConfiguration(settings, configuration);
    }

    // The one archive engine; null until one has been installed (the executables install it
    // before the start-up runs).
    zip::ZipEngine* Zip() { return m_zip.get(); }
    // `cancel` asks the engine to abandon its current operation.
    void SetZipEngine(ZipEnginePtr engine, std::function<void()> cancel);

    // The progress window's Cancel button.
    void CancelOperation();

private:
    std::unique_ptr<SettingsStore> m_settings;
    ZipEnginePtr m_zip{nullptr, nullptr};
    std::function<void()> m_cancelZip;
};

}  // namespace brx::core
