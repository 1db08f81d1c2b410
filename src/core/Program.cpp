#include "core/Program.h"

namespace brx::core {

Program::Program(platform::Platform& platform_, const editions::Edition& edition_, Ui& ui_)
    : platform(platform_)
    , edition(edition_)
    , ui(ui_)
{
    ui.SetCancelHandler([this] { CancelOperation(); });
}

Program::~Program()
{
    ui.SetCancelHandler({});
}

SettingsStore& Program::Settings()
{
    if (!m_settings) SetProgramPath(platform.system().programPath());
    return *m_settings;
}

static std::string DirectoryOf(const std::string& path)
{
    const auto slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void Program::SetProgramPath(const std::string& programPath)
{
    paths.programPath = programPath;
    paths.programDirectory = DirectoryOf(programPath);
    paths.settingsFile = paths.programDirectory + kSettingsFileName;
    paths.helpFile = paths.programDirectory + edition.helpFile;
    m_settings = std::make_unique<SettingsStore>(platform, paths.programDirectory);
}

void Program::SetZipEngine(ZipEnginePtr engine, std::function<void()> cancel)
{
    m_zip = std::move(engine);
    m_cancelZip = std::move(cancel);
}

void Program::CancelOperation()
{
    if (run.Cancel() && m_cancelZip) m_cancelZip();
}

}  // namespace brx::core
