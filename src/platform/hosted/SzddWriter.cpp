#include "platform/hosted/SzddWriter.h"

#include <array>
#include <cerrno>

#include "platform/hosted/regf/HiveFile.h"
#include "platform/hosted/regf/RegfFormat.h"

namespace brx::platform::hosted {

namespace {

constexpr std::size_t kWindowSize = 4096;
constexpr std::size_t kWindowStart = kWindowSize - 16;  // where the expander starts writing
constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 18;
// Matches reach back less than a whole window, so the bytes they name are never overwritten
// by the expander before it copies them.
constexpr std::size_t kMaxDistance = kWindowSize - kMaxMatch;
constexpr std::size_t kHashSize = 1 << 13;
constexpr int kMaxChainSteps = 64;
constexpr std::size_t kNoPosition = static_cast<std::size_t>(-1);

std::size_t hashAt(std::span<const std::uint8_t> data, std::size_t at) {
    return ((data[at] << 8) ^ (data[at + 1] << 4) ^ data[at + 2]) & (kHashSize - 1);
}

// The longest earlier repetition of the bytes at `at`, through chains of positions that share
// a three-byte hash.
class MatchFinder {
public:
    explicit MatchFinder(std::span<const std::uint8_t> data)
        : m_data(data), m_previous(data.size(), kNoPosition) {
        m_head.fill(kNoPosition);
    }

    void insert(std::size_t at) {
        if (at + kMinMatch > m_data.size()) return;
        const std::size_t hash = hashAt(m_data, at);
        m_previous[at] = m_head[hash];
        m_head[hash] = at;
    }

    // Length and position of the best match; length 0 when none is worth it.
    std::pair<std::size_t, std::size_t> find(std::size_t at) const {
        std::size_t bestLength = 0;
        std::size_t bestPosition = 0;
        if (at + kMinMatch > m_data.size()) return {0, 0};
        const std::size_t limit = std::min(kMaxMatch, m_data.size() - at);
        std::size_t candidate = m_head[hashAt(m_data, at)];
        for (int steps = 0; candidate != kNoPosition && steps < kMaxChainSteps; ++steps) {
            if (at - candidate > kMaxDistance) break;
            std::size_t length = 0;
            while (length < limit && m_data[candidate + length] == m_data[at + length]) ++length;
            if (length > bestLength) {
                bestLength = length;
                bestPosition = candidate;
                if (length == limit) break;
            }
            candidate = m_previous[candidate];
        }
        return bestLength >= kMinMatch ? std::make_pair(bestLength, bestPosition) : std::make_pair(std::size_t{0}, std::size_t{0});
    }

private:
    std::span<const std::uint8_t> m_data;
    std::array<std::size_t, kHashSize> m_head{};
    std::vector<std::size_t> m_previous;
};

// Collects up to eight items behind their flag byte.
class ItemWriter {
public:
    explicit ItemWriter(std::vector<std::uint8_t>& out) : m_out(out) {}
    ~ItemWriter() = default;

    void literal(std::uint8_t byte) {
        startItem(true);
        m_out.push_back(byte);
    }
    void match(std::size_t windowPosition, std::size_t length) {
        startItem(false);
        m_out.push_back(static_cast<std::uint8_t>(windowPosition & 0xFF));
        m_out.push_back(static_cast<std::uint8_t>(((windowPosition >> 4) & 0xF0) | (length - kMinMatch)));
    }

private:
    void startItem(bool literal) {
        if (m_items % 8 == 0) {
            m_flagAt = m_out.size();
            m_out.push_back(0);
        }
        if (literal) m_out[m_flagAt] |= static_cast<std::uint8_t>(1u << (m_items % 8));
        ++m_items;
    }

    std::vector<std::uint8_t>& m_out;
    std::size_t m_flagAt = 0;
    std::size_t m_items = 0;
};

}  // namespace

std::vector<std::uint8_t> szddCompress(std::span<const std::uint8_t> data, char missingCharacter) {
    std::vector<std::uint8_t> out{'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A',
                                  static_cast<std::uint8_t>(missingCharacter), 0, 0, 0, 0};
    regf::writeU32(out.data() + 10, static_cast<std::uint32_t>(data.size()));
    MatchFinder finder(data);
    ItemWriter items(out);
    std::size_t at = 0;
    while (at < data.size()) {
        const auto [length, position] = finder.find(at);
        if (length == 0) {
            items.literal(data[at]);
            finder.insert(at);
            ++at;
            continue;
        }
        items.match((kWindowStart + position) % kWindowSize, length);
        for (std::size_t i = 0; i < length; ++i) finder.insert(at + i);
        at += length;
    }
    return out;
}

std::string szddName(const std::string& name) {
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos) return name + "._";
    if (dot + 1 == name.size()) return name + "_";
    if (name.size() - dot - 1 < 3) return name + "_";
    return name.substr(0, name.size() - 1) + "_";
}

char szddMissingCharacter(const std::string& name) {
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos || name.size() - dot - 1 < 3) return 0;
    return name.back();
}

int writeSzddFile(const std::string& source, const std::string& target) {
    try {
        regf::MappedFile file(source);
        const auto slash = source.find_last_of('/');
        const std::string name = slash == std::string::npos ? source : source.substr(slash + 1);
        const auto compressed = szddCompress(file.bytes(), szddMissingCharacter(name));
        return regf::writeFileAtomically(target, compressed, regf::ExistingTarget::Replace);
    } catch (const regf::HiveError&) {
        return EIO;
    }
}

}  // namespace brx::platform::hosted
