#include "restore/Transfer.h"

#include <algorithm>

#include "core/Error.h"
#include "registry/WinPath.h"
#include "zip/ZipEngine.h"

namespace brx::restore {

using namespace brx::platform;
using registry::FileNamePart;

zip::ZipEngine& Transfer::Engine()
{
    if (m_program.Zip() == nullptr)
        throw core::Error(core::ErrorKind::General, "The archive engine is not available.");
    return *m_program.Zip();
}

void Transfer::Fail(const std::string& path, const std::string& message)
{
    m_program.run.error = true;
    m_program.run.AddWarning(path);
    throw core::Error(core::ErrorKind::General, message);
}

void Transfer::Advance(int step)
{
    if (step == 0) return;
    m_program.run.progressBase = std::min(100, m_program.run.progressBase + step);
    m_program.ui.SetRunGauge(m_program.run.progressBase);
    m_program.ui.Pump();
}

void Transfer::ExtractAll(const std::string& archive, const std::string& directory, int step)
{
    Files& files = m_program.platform.files();
    if (!files.exists(archive)) {
        m_program.run.error = true;
        m_program.run.AddWarning(archive);
        return;
    }
    m_program.ui.SetProgressStatus("Unzipping " + FileNamePart(archive));
    zip::ZipEngine& engine = Engine();
    try {
        engine.SetZipName(archive);
        engine.Password = m_program.settings.password;
        engine.TempPath = m_program.paths.tempDirectory;
        engine.DoAll = true;
        engine.RecreateDirs = false;
        engine.OverwriteMode = zip::TOverwriteMode::Always;
        engine.SetDestDir(directory);
        m_program.run.fileCount += engine.ExtractEntries();
    } catch (const std::exception& error) {
        engine.DoAll = false;
        engine.CloseArchive();
        Fail(archive, error.what());
    }
    engine.DoAll = false;
    engine.CloseArchive();
    Advance(step);
}

void Transfer::AddFile(const std::string& archive, const std::string& file)
{
    zip::ZipEngine& engine = Engine();
    try {
        engine.SetZipName(archive);
        engine.Password = m_program.settings.password;
        engine.TempPath = m_program.paths.tempDirectory;
        // Hives are collected on a fixed disk: each one is added to the archive in place.
        engine.MultiZipInfo.MultiMode = zip::mmNone;
        engine.FilesList = {file};
        engine.Recurse = false;
        engine.WriteArchive();
    } catch (const std::exception& error) {
        engine.CloseArchive();
        Fail(file, error.what());
    }
    engine.CloseArchive();
}

void Transfer::CopyFile(const std::string& from, const std::string& to, int step)
{
    Files& files = m_program.platform.files();
    const std::uint32_t attributes = files.getAttributes(from);
    if (attributes == kInvalidAttributes) {
        m_program.run.error = true;
        m_program.run.AddWarning(from);
        return;
    }
    m_program.ui.SetProgressStatus("Copying " + FileNamePart(to));
    if (files.exists(to)) files.setAttributes(to, kAttrNormal);
    if (files.copyFile(from, to, false) != kErrorSuccess) Fail(from, "Cannot copy " + from + " to " + to);
    files.setAttributes(to, attributes & ~kAttrDirectory);
    ++m_program.run.fileCount;
    Advance(step);
}

void Transfer::CopyAttributes(const std::string& from, const std::string& to)
{
    Files& files = m_program.platform.files();
    const std::uint32_t attributes = files.getAttributes(from);
    if (attributes != kInvalidAttributes && files.exists(to)) files.setAttributes(to, attributes);
}

void Transfer::ExtractToStoredPaths(const std::string& archive)
{
    m_program.ui.SetProgressStatus("Unzipping " + FileNamePart(archive));
    zip::ZipEngine& engine = Engine();
    try {
        engine.SetZipName(archive);
        engine.Password = m_program.settings.password;
        engine.TempPath = m_program.paths.tempDirectory;
        engine.SetDestDir("");
        engine.RecreateDirs = true;
        engine.DoAll = true;
        engine.OverwriteMode = zip::TOverwriteMode::Always;
        m_program.run.fileCount += engine.ExtractEntries();
    } catch (const std::exception& error) {
        engine.RecreateDirs = false;
        engine.DoAll = false;
        engine.CloseArchive();
        Fail(archive, error.what());
    }
    engine.RecreateDirs = false;
    engine.DoAll = false;
    engine.CloseArchive();
}

}  // namespace brx::restore
