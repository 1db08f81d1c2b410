// A bounds-checked, read-only view of a hive's bytes. Every cell access checks that the cell
// lies inside the hive bins and is allocated, and throws HiveError otherwise.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/hosted/regf/RegfFormat.h"

namespace brx::platform::hosted::regf {

class HiveImage {
public:
    // Checks the base block (signature, checksum) and the first hive bin.
    explicit HiveImage(std::span<const std::uint8_t> bytes);

    std::span<const std::uint8_t> baseBlock() const { return m_bytes.first(kBaseBlockSize); }
    std::uint32_t rootCell() const { return m_rootCell; }
    std::uint32_t minorVersion() const { return readU32(m_bytes.data() + kBaseMinor); }
    // Size of the hive bins area that cells may occupy.
    std::uint32_t binsSize() const { return m_binsSize; }

    // The data of the allocated cell at `offset` (without its size field), at least `minimum`
    // bytes long.
    std::span<const std::uint8_t> cell(std::uint32_t offset, std::size_t minimum,
                                       const char* what) const;
    // A key node cell, checked for its signature and for room for its name.
    std::span<const std::uint8_t> keyNode(std::uint32_t offset) const;
    // True when the cell at `offset` exists and starts with the two-letter signature.
    bool hasSignature(std::uint32_t offset, const char* signature) const;

private:
    std::span<const std::uint8_t> m_bytes;
    std::span<const std::uint8_t> m_bins;
    std::uint32_t m_binsSize = 0;
    std::uint32_t m_rootCell = 0;
};

// A key's name as UTF-8 (compressed names are Latin-1, others UTF-16LE).
std::string keyNodeName(std::span<const std::uint8_t> nk);

}  // namespace brx::platform::hosted::regf
