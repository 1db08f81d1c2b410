#include "registry/EngineHiveArchiver.h"

#include "registry/NTRegistry.h"
#include "registry/WinPath.h"

namespace brx::registry {

using namespace brx::platform;

void EngineHiveArchiver::Report(const std::string& path)
{
    m_run.SetError();
    m_run.AddWarning(path);
}

void EngineHiveArchiver::ExtractAll(const std::string& archive, const std::string& directory, int)
{
    if (!m_platform.files().exists(archive)) {
        Report(archive);
        return;
    }
    m_run.SetStatus("Unzipping " + FileNamePart(archive));
    try {
        m_engine.SetZipName(archive);
        m_engine.DoAll = true;
        m_engine.RecreateDirs = false;
        m_engine.OverwriteMode = zip::TOverwriteMode::Always;
        m_engine.SetDestDir(directory);
        const int extracted = m_engine.ExtractEntries();
        for (int i = 0; i < extracted; ++i) m_run.CountFile();
    } catch (...) {
        m_engine.DoAll = false;
        m_engine.CloseArchive();
        Report(archive);
        throw;
    }
    m_engine.DoAll = false;
    m_engine.CloseArchive();
}

void EngineHiveArchiver::AddFile(const std::string& archive, const std::string& file)
{
    if (!m_platform.files().exists(file)) {
        Report(file);
        return;
    }
    try {
        m_engine.SetZipName(archive);
        // Hives are collected on a fixed disk: each one is added to the archive in place.
        m_engine.MultiZipInfo.MultiMode = zip::mmNone;
        m_engine.FilesList = {file};
        m_engine.Recurse = false;
        m_engine.WriteArchive();
    } catch (...) {
        m_engine.CloseArchive();
        Report(file);
        throw;
    }
    m_engine.CloseArchive();
}

void EngineHiveArchiver::CopyFile(const std::string& from, const std::string& to, int)
{
    Files& files = m_platform.files();
    if (!files.exists(from)) {
        Report(from);
        return;
    }
    m_run.SetStatus("Copying " + FileNamePart(to));
    files.setAttributes(to, kAttrNormal);
    if (files.copyFile(from, to, false) != kErrorSuccess) {
        Report(from);
        throw RegistryError("Cannot copy " + from + " to " + to);
    }
    m_run.CountFile();
}

}  // namespace brx::registry
