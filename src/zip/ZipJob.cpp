#include "zip/ZipJob.h"

#include <algorithm>

#include "platform/CodePage.h"
#include "zip/Paths.h"
#include "zip/ZipFormat.h"

namespace brx::zip {

void Fail(ZipErrorKind kind, const std::string& message)
{
    throw ZipError(kind, message);
}

ZipJob::ZipJob(ZipEngine& engine)
    : m_engine(engine)
{
}

void ZipJob::advance(std::uint64_t bytes)
{
    m_done += bytes;
    int percent = 0;
    if (m_total > 0)
        percent = static_cast<int>(std::min<std::uint64_t>((m_done * 100 + m_total / 2) / m_total, 100));
    raisePercent(percent);
    checkpoint();
}

void ZipJob::raisePercent(int percent)
{
    if (m_engine.OnTotalPercentDone)
        m_engine.OnTotalPercentDone(m_engine, percent);
    m_lastPercent = percent;
}

void ZipJob::checkpoint()
{
    if (m_engine.OnPump)
        m_engine.OnPump();
    if (m_engine.m_cancelRequested) {
        m_engine.m_cancelRequested = false;
        Fail(ZipErrorKind::EUserCanceled, kMsgUserAborted);
    }
}

std::string ZipJob::requestPart(int nextDisk, bool mustExist, const char* cancelText)
{
    for (;;) {
        std::string name = m_engine.m_zipName;
        if (m_engine.OnGetNextDisk)
            m_engine.OnGetNextDisk(m_engine, nextDisk, name);
        else
            name.clear();
        if (Trimmed(name).empty())
            Fail(ZipErrorKind::EUserCanceled, cancelText);
        if (!mustExist || files().exists(name))
            return name;
    }
}

std::uint32_t ZipJob::dosTimeOf(platform::FileTime time)
{
    return format::toDosDateTime(system().toLocal(time));
}

platform::FileTime ZipJob::fileTimeOfDos(std::uint32_t dosDateTime)
{
    return system().fromLocal(format::fromDosDateTime(dosDateTime));
}

void EncodeStoredName(TZipHeaderInfo& entry, const std::string& windowsName)
{
    std::string slashed = windowsName;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    if (auto oem = platform::utf8ToOem(slashed)) {
        entry.StoredName = std::move(*oem);
        entry.Flags &= static_cast<std::uint16_t>(~format::kFlagUtf8);
    } else {
        entry.StoredName = std::move(slashed);
        entry.Flags |= format::kFlagUtf8;
    }
    entry.FileNameLength = static_cast<std::uint16_t>(entry.StoredName.size());
    DecodeStoredName(entry);
}

void DecodeStoredName(TZipHeaderInfo& entry)
{
    std::string name = (entry.Flags & format::kFlagUtf8) ? entry.StoredName
                                                          : platform::oemToUtf8(entry.StoredName);
    std::replace(name.begin(), name.end(), '/', '\\');
    const std::size_t slash = name.rfind('\\');
    if (slash == std::string::npos) {
        entry.PathName.clear();
        entry.FileName = std::move(name);
    } else {
        entry.PathName = name.substr(0, slash + 1);
        entry.FileName = name.substr(slash + 1);
    }
}

}  // namespace brx::zip
