#include "zip/ArchiveInput.h"

#include <algorithm>
#include <vector>

#include "zip/Paths.h"

namespace brx::zip {

ArchiveInput::ArchiveInput(ZipEngine& engine)
    : ZipJob(engine)
{
}

void ArchiveInput::openAsPart(int part)
{
    m_file.close();
    auto opened = files().open(m_engine.m_zipName, platform::OpenMode::Read);
    if (!opened.file)
        Fail(ZipErrorKind::EBadZipFile, kMsgNotAZip);
    m_file = std::move(opened.file);
    m_part = part;
    m_engine.m_openPart = part;
}

std::string ArchiveInput::nameOfPart(int part)
{
    // Block files lie side by side, so without a handler the engine finds them by number;
    // diskettes need the user, so a spanned archive without a handler cannot go on.
    if (!m_engine.OnGetNextDisk && !m_engine.m_spanned) {
        std::string name = BlockName(m_engine.m_zipName, part + 1);
        if (!files().exists(name))
            Fail(ZipErrorKind::EUserCanceled, kMsgUserCanceledDisk);
        return name;
    }
    return requestPart(part + 1, true, kMsgUserCanceledDisk);
}

void ArchiveInput::openPart(int part)
{
    if (m_file && part == m_part)
        return;
    if (!m_multi || part == m_part) {
        openAsPart(part);
        return;
    }
    m_file.close();
    m_engine.m_zipName = nameOfPart(part);
    openAsPart(part);
}

void ArchiveInput::seek(std::uint64_t offset)
{
    m_file.seek(static_cast<std::int64_t>(offset));
}

std::size_t ArchiveInput::read(void* buffer, std::size_t size)
{
    std::size_t got = m_file.read(buffer, size);
    while (got == 0 && size > 0 && m_multi) {
        openPart(m_part + 1);
        got = m_file.read(buffer, size);
        if (got == 0 && m_file.size() > 0)
            break;
    }
    return got;
}

bool ArchiveInput::readExact(void* buffer, std::size_t size)
{
    auto* out = static_cast<unsigned char*>(buffer);
    while (size > 0) {
        const std::size_t got = read(out, size);
        if (got == 0)
            return false;
        out += got;
        size -= got;
    }
    return true;
}

bool ArchiveInput::skip(std::uint64_t bytes)
{
    std::vector<unsigned char> scratch(static_cast<std::size_t>(std::min<std::uint64_t>(bytes, 64 * 1024)));
    while (bytes > 0) {
        const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(bytes, scratch.size()));
        if (!readExact(scratch.data(), chunk))
            return false;
        bytes -= chunk;
    }
    return true;
}

}  // namespace brx::zip
