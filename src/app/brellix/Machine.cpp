#include "app/brellix/Machine.h"

#include <cstdlib>
#include <exception>
#include <filesystem>

#include "core/ZipSetup.h"
#include "platform/hosted/Machine.h"
#include "platform/hosted/MachineBuilder.h"

namespace brx::app {

namespace {

namespace fs = std::filesystem;

std::string EnvironmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The demo machine lives with the user's data, one per edition.
std::string DemoMachineDirectory(const editions::Edition& edition)
{
    std::string data = EnvironmentValue("XDG_DATA_HOME");
    if (data.empty()) {
        const std::string home = EnvironmentValue("HOME");
        data = (home.empty() ? fs::temp_directory_path().string() : home) + "/.local/share";
    }
    return data + "/brellix/" + (edition.IsNT() ? "demo-nt" : "demo-2000");
}

void CreateDemoMachine(const std::string& directory, const editions::Edition& edition)
{
    platform::hosted::MachineOptions options;
    options.edition = edition.IsNT() ? platform::hosted::WindowsEdition::WindowsNT
                                     : platform::hosted::WindowsEdition::Windows2000;
    platform::hosted::createMachine(directory, options);
}

}  // namespace

std::unique_ptr<platform::Platform> OpenMachine(const std::string& directory,
                                                const editions::Edition& edition,
                                                std::string& error)
{
    std::string chosen = directory.empty() ? EnvironmentValue("BRELLIX_MACHINE") : directory;
    try {
        if (chosen.empty()) {
            chosen = DemoMachineDirectory(edition);
            if (!fs::exists(fs::path(chosen) / "machine.ini")) CreateDemoMachine(chosen, edition);
        }
        return platform::hosted::openMachine(chosen);
    } catch (const std::exception& failure) {
        error = failure.what();
        return nullptr;
    }
}

void InstallEngine(core::Program& program)
{
    core::InstallZipEngine(program);
}

}  // namespace brx::app
