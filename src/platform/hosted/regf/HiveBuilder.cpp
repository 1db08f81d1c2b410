#include "platform/hosted/regf/HiveBuilder.h"

#include <algorithm>
#include <chrono>

namespace brx::platform::hosted::regf {

namespace {

std::size_t roundUp(std::size_t value, std::size_t unit) { return (value + unit - 1) / unit * unit; }

}  // namespace

std::uint64_t fileTimeNow() {
    using namespace std::chrono;
    constexpr std::uint64_t kEpochDifference = 116444736000000000ull;  // 1601 to 1970
    const auto since1970 = duration_cast<nanoseconds>(system_clock::now().time_since_epoch());
    return kEpochDifference + static_cast<std::uint64_t>(since1970.count() / 100);
}

void HiveBuilder::closeBin() {
    if (m_next == 0) return;
    const std::size_t binEnd = m_bins.size();
    if (m_next < binEnd) writeU32(m_bins.data() + m_next, static_cast<std::uint32_t>(binEnd - m_next));
    m_next = 0;
}

void HiveBuilder::openBin(std::size_t minimumCell) {
    closeBin();
    const std::size_t size = roundUp(minimumCell + kHbinHeaderSize, kHbinAlignment);
    m_binStart = m_bins.size();
    m_bins.resize(m_binStart + size, 0);
    std::uint8_t* bin = m_bins.data() + m_binStart;
    std::memcpy(bin, "hbin", 4);
    writeU32(bin + kHbinOffset, static_cast<std::uint32_t>(m_binStart));
    writeU32(bin + kHbinSize, static_cast<std::uint32_t>(size));
    m_next = m_binStart + kHbinHeaderSize;
}

std::uint32_t HiveBuilder::allocate(std::size_t dataSize) {
    const std::size_t cellSize = roundUp(dataSize + 4, 8);
    if (cellSize > 0x7FFFFFF0u) throw HiveError("cell too large");
    if (m_next == 0 || m_next + cellSize > m_bins.size()) openBin(cellSize);
    const auto offset = static_cast<std::uint32_t>(m_next);
    writeU32(m_bins.data() + offset, static_cast<std::uint32_t>(-static_cast<std::int32_t>(cellSize)));
    m_next += cellSize;
    return offset;
}

std::vector<std::uint8_t> HiveBuilder::finish(std::uint32_t rootCell, const Header& header) {
    if (m_bins.empty()) openBin(8);
    closeBin();
    std::vector<std::uint8_t> hive(kBaseBlockSize, 0);
    std::uint8_t* base = hive.data();
    std::memcpy(base, "regf", 4);
    writeU32(base + kBaseSequence1, 1);
    writeU32(base + kBaseSequence2, 1);
    writeU64(base + kBaseTimestamp, header.timestamp);
    writeU32(base + kBaseMajor, 1);
    writeU32(base + kBaseMinor, 3);
    writeU32(base + kBaseType, 0);
    writeU32(base + kBaseFormat, 1);
    writeU32(base + kBaseRootCell, rootCell);
    writeU32(base + kBaseDataSize, static_cast<std::uint32_t>(m_bins.size()));
    writeU32(base + kBaseClustering, 1);
    if (!header.fileName.empty())
        std::memcpy(base + kBaseFileName, header.fileName.data(), std::min(header.fileName.size(), kBaseFileNameSize));
    writeU32(base + kBaseChecksum, baseBlockChecksum(base));
    writeU64(m_bins.data() + kHbinTimestamp, header.timestamp);
    hive.insert(hive.end(), m_bins.begin(), m_bins.end());
    return hive;
}

}  // namespace brx::platform::hosted::regf
