#include "zip/ZipEngine.h"

#include "zip/Paths.h"
#include "zip/ZipFormat.h"

namespace brx::zip {

ZipEngine::ZipEngine(platform::Platform& platform)
    : m_platform(platform)
{
}

ZipEngine::~ZipEngine() = default;

void ZipEngine::UseProgramSettings()
{
    OverwriteMode = TOverwriteMode::Always;
    RetainAttributes = false;
    StorePaths = true;
    StoreVolumes = true;
    MultiZipInfo.MultiMode = mmSpan;
    MultiZipInfo.CheckDiskLabels = false;
}

void ZipEngine::SetZipName(const std::string& name)
{
    if (!EqualNoCase(name, m_zipName))
        ForgetDirectory();
    m_zipName = name;
}

void ZipEngine::SetDestDir(const std::string& folder)
{
    m_destDir = folder;
    if (!m_destDir.empty() && m_destDir.back() == '\\')
        m_destDir.pop_back();
}

void ZipEngine::ForgetDirectory()
{
    m_entries.clear();
    m_endCentral = TEndCentral{};
    m_directoryLoaded = false;
    m_directoryFile.clear();
    m_directoryTime = 0;
    m_spanned = false;
    m_openPart = -1;
}

void ZipEngine::CloseArchive()
{
    ForgetDirectory();
    m_zipName.clear();
}

void ZipEngine::CancelOperation()
{
    m_cancelRequested = true;
}

std::uint64_t ZipEngine::ArchiveFileSize()
{
    if (m_zipName.empty())
        return 0;
    const auto info = m_platform.files().stat(m_zipName);
    return info ? info->size : 0;
}

int ZipEngine::EntryCount() const
{
    return static_cast<int>(m_entries.size());
}

const TZipHeaderInfo& ZipEngine::Entry(int index) const
{
    if (index < 0 || index >= EntryCount())
        throw ZipError(ZipErrorKind::EListIndex, "Index " + std::to_string(index) + " is out of range");
    return m_entries[static_cast<std::size_t>(index)];
}

std::string ZipEngine::EntryFileName(int index) const
{
    return Entry(index).FileName;
}

std::string ZipEngine::EntryPathName(int index) const
{
    return Entry(index).PathName;
}

platform::LocalTime ZipEngine::EntryDateTime(int index) const
{
    return format::fromDosDateTime(Entry(index).DateTime);
}

std::uint64_t ZipEngine::EntryUncompressedSize(int index) const
{
    return Entry(index).UncompressedSize;
}

}  // namespace brx::zip
