#include "core/Program.h"

#if __has_include("zip/ZipEngine.h")
#include "zip/ZipEngine.h"
#define BRX_HAVE_ZIP_ENGINE 1
#endif

namespace brx::core {

void ZipEngineDeleter::operator()(zip::ZipEngine* engine) const
{
#ifdef BRX_HAVE_ZIP_ENGINE
    delete engine;
#else
    (void)engine;  // no engine type exists to create one from yet
#endif
}

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

void Program::SetZipEngine(std::unique_ptr<zip::ZipEngine, ZipEngineDeleter> engine)
{
    m_zip = std::move(engine);
}

void Program::CancelOperation()
{
    const bool first = run.Cancel();
#ifdef BRX_HAVE_ZIP_ENGINE
    if (first && m_zip) m_zip->CancelOperation();
#else
    (void)first;
#endif
}

}  // namespace brx::core
