#include "zip/ArchiveOutput.h"

#include <algorithm>
#include <cstring>

#include "zip/ZipJob.h"

namespace brx::zip {

ArchiveOutput::ArchiveOutput(platform::Files& files, NextPart nextPart)
    : m_files(files), m_nextPart(std::move(nextPart))
{
    m_pending.reserve(kStreamBufferSize);
}

ArchiveOutput::~ArchiveOutput() = default;

void ArchiveOutput::open(const Part& part)
{
    auto opened = m_files.open(part.name, platform::OpenMode::Write);
    if (!opened.file)
        Fail(ZipErrorKind::ENotEnoughRoom, kMsgNotEnoughRoom);
    m_file = std::move(opened.file);
    m_part = part;
    m_used = 0;
    m_flushed = 0;
}

void ArchiveOutput::fitRecord(std::size_t size, bool localHeader)
{
    const std::uint64_t left = m_part.room - m_used;
    if (left > size || (!localHeader && left == size))
        return;
    nextPart();
    if (m_part.room <= size)
        Fail(ZipErrorKind::ENotEnoughRoom, kMsgNotEnoughRoom);
}

void ArchiveOutput::writeRecord(const std::string& bytes)
{
    append(bytes.data(), bytes.size());
}

void ArchiveOutput::writeData(const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (size > 0) {
        if (m_used == m_part.room)
            nextPart();
        const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(size, m_part.room - m_used));
        append(bytes, chunk);
        bytes += chunk;
        size -= chunk;
    }
}

void ArchiveOutput::append(const void* data, std::size_t size)
{
    // Offsets in the format are 32-bit: a part cannot grow beyond 4 GB.
    if (m_used + size > 0xFFFFFFFFull)
        Fail(ZipErrorKind::ENotEnoughRoom, kMsgNotEnoughRoom);
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (m_pending.size() + size > kStreamBufferSize)
        flush();
    if (size >= kStreamBufferSize) {
        if (!m_file.write(bytes, size))
            Fail(ZipErrorKind::ENotEnoughRoom, kMsgNotEnoughRoom);
        m_flushed += size;
    } else {
        m_pending.insert(m_pending.end(), bytes, bytes + size);
    }
    m_used += size;
}

void ArchiveOutput::flush()
{
    if (m_pending.empty())
        return;
    if (!m_file.write(m_pending.data(), m_pending.size()))
        Fail(ZipErrorKind::ENotEnoughRoom, kMsgNotEnoughRoom);
    m_flushed += m_pending.size();
    m_pending.clear();
}

void ArchiveOutput::patch(std::uint64_t offset, const std::string& bytes)
{
    if (offset >= m_flushed) {
        std::memcpy(m_pending.data() + (offset - m_flushed), bytes.data(), bytes.size());
        return;
    }
    flush();
    if (!m_file.seek(static_cast<std::int64_t>(offset)) || !m_file.write(bytes.data(), bytes.size())
        || !m_file.seek(0, platform::SeekFrom::End))
        Fail(ZipErrorKind::ENotEnoughRoom, kMsgNotEnoughRoom);
}

void ArchiveOutput::rewindTo(std::uint64_t offset)
{
    if (offset >= m_flushed) {
        m_pending.resize(static_cast<std::size_t>(offset - m_flushed));
    } else {
        m_pending.clear();
        if (!m_file.truncate(offset) || !m_file.seek(static_cast<std::int64_t>(offset)))
            Fail(ZipErrorKind::ENotEnoughRoom, kMsgNotEnoughRoom);
        m_flushed = offset;
    }
    m_used = offset;
}

void ArchiveOutput::nextPart()
{
    close();
    ++m_partIndex;
    open(m_nextPart(m_partIndex + 1));
}

void ArchiveOutput::close()
{
    if (!m_file)
        return;
    flush();
    if (!m_file.flush())
        Fail(ZipErrorKind::ENotEnoughRoom, kMsgNotEnoughRoom);
    m_file.close();
}

void ArchiveOutput::abandon()
{
    m_pending.clear();
    m_file.close();
}

}  // namespace brx::zip
