// Builds a hive from scratch: cells are allocated one after another into 4 KiB hive bins, so
// the result holds no free space but the tail of each bin.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/hosted/regf/RegfFormat.h"

namespace brx::platform::hosted::regf {

class HiveBuilder {
public:
    // A zeroed, allocated cell with room for `dataSize` bytes; returns its offset. Pointers
    // from data() are invalid after the next allocate().
    std::uint32_t allocate(std::size_t dataSize);
    std::uint8_t* data(std::uint32_t offset) { return m_bins.data() + offset + 4; }

    struct Header {
        std::uint64_t timestamp = 0;                    // FILETIME of the last write
        std::span<const std::uint8_t> fileName;         // up to 64 bytes, UTF-16LE
    };
    // The whole hive: base block (version 1.3, the layout NT 4 and 2000 read) and bins.
    std::vector<std::uint8_t> finish(std::uint32_t rootCell, const Header& header);

private:
    void openBin(std::size_t minimumCell);
    void closeBin();

    std::vector<std::uint8_t> m_bins;
    std::size_t m_binStart = 0;
    std::size_t m_next = 0;  // next free byte in the open bin; 0 when none is open
};

// Windows FILETIME (100 ns since 1601) for the current time.
std::uint64_t fileTimeNow();

}  // namespace brx::platform::hosted::regf
