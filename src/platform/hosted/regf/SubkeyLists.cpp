#include "platform/hosted/regf/SubkeyLists.h"

#include <cerrno>
#include <cstring>
#include <unordered_set>
#include <vector>

#include "platform/hosted/regf/HiveFile.h"
#include "platform/hosted/regf/HiveImage.h"

namespace brx::platform::hosted::regf {

namespace {

constexpr int kMaxKeyDepth = 512;

class ListConverter {
public:
    ListConverter(std::vector<std::uint8_t>& bytes) : m_bytes(bytes), m_image(bytes) {}

    std::size_t run() {
        visitKey(m_image.rootCell(), 0);
        return m_converted;
    }

private:
    std::uint8_t* writable(std::uint32_t cell) {
        return m_bytes.data() + kBaseBlockSize + cell + 4;
    }

    void visitKey(std::uint32_t cell, int depth) {
        if (depth > kMaxKeyDepth || !m_seen.insert(cell).second) throw HiveError("keys form a loop");
        const auto nk = m_image.keyNode(cell);
        if (readU32(nk.data() + kNkSubkeyCount) == 0) return;
        visitList(readU32(nk.data() + kNkSubkeyList), depth, 0);
    }

    void visitList(std::uint32_t cell, int depth, int level) {
        const auto list = m_image.cell(cell, kListEntries, "subkey list");
        const std::uint16_t count = readU16(list.data() + kListCount);
        const bool index = list[0] == 'r' && list[1] == 'i';
        const bool plain = list[0] == 'l' && list[1] == 'i';
        const std::size_t stride = index || plain ? 4 : 8;
        if (kListEntries + count * stride > list.size()) throw HiveError("subkey list runs past its cell");
        const bool hashed = list[0] == 'l' && list[1] == 'h';
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint32_t entry = readU32(list.data() + kListEntries + i * stride);
            if (index) {
                if (level > 0) throw HiveError("nested subkey index");
                visitList(entry, depth, level + 1);
                continue;
            }
            if (hashed) {
                const auto child = m_image.keyNode(entry);
                const bool compressed = (readU16(child.data() + kNkFlags) & kNkFlagCompressedName) != 0;
                const std::uint32_t hint =
                    lfHint(child.data() + kNkName, readU16(child.data() + kNkNameLength), compressed);
                writeU32(writable(cell) + kListEntries + i * 8 + 4, hint);
            }
            visitKey(entry, depth + 1);
        }
        if (hashed) {
            writable(cell)[1] = 'f';
            ++m_converted;
        }
    }

    std::vector<std::uint8_t>& m_bytes;
    HiveImage m_image;
    std::unordered_set<std::uint32_t> m_seen;
    std::size_t m_converted = 0;
};

}  // namespace

std::size_t convertSubkeyListsToLf(const std::string& path) {
    std::vector<std::uint8_t> bytes = readWholeFile(path);
    const std::size_t converted = ListConverter(bytes).run();
    if (converted == 0) return 0;
    if (const int error = writeFileAtomically(path, bytes, ExistingTarget::Replace); error != 0)
        throw HiveError("cannot write " + path + ": " + std::strerror(error));
    return converted;
}

}  // namespace brx::platform::hosted::regf
