#include "platform/hosted/regf/CompactCopy.h"

#include <algorithm>
#include <cerrno>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "platform/hosted/regf/HiveBuilder.h"
#include "platform/hosted/regf/HiveFile.h"

namespace brx::platform::hosted::regf {

namespace {

// Windows refuses keys nested deeper than this; a deeper chain is a loop in a damaged hive.
constexpr int kMaxKeyDepth = 512;
// An "lf" list counts its entries in 16 bits; longer lists are split under an "ri" index.
constexpr std::size_t kMaxLfEntries = 0xFFFF;
constexpr std::size_t kLfEntriesPerIndexedList = 1024;

struct SubkeyEntry {
    std::uint32_t cell;
    std::uint32_t hint;
};

class Copier {
public:
    Copier(const HiveImage& source, HiveBuilder& out) : m_source(source), m_out(out) {}

    std::uint32_t copyRoot(std::uint32_t keyCell) {
        const bool wholeHive = keyCell == m_source.rootCell();
        const std::uint32_t root = copyKey(keyCell, kNoCell, 0);
        std::uint8_t* nk = m_out.data(root);
        writeU16(nk + kNkFlags, readU16(nk + kNkFlags) | kNkFlagHiveEntry | kNkFlagNoDelete);
        const std::uint32_t parent =
            wholeHive ? readU32(m_source.keyNode(keyCell).data() + kNkParent) : 0;
        writeU32(nk + kNkParent, parent);
        linkSecurityCells();
        return root;
    }

private:
    std::uint32_t copyKey(std::uint32_t sourceCell, std::uint32_t parent, int depth) {
        if (depth > kMaxKeyDepth) throw HiveError("keys nested too deep");
        if (!m_seenKeys.insert(sourceCell).second)
            throw HiveError("a key is reached twice: the hive's lists form a loop");
        const auto source = m_source.keyNode(sourceCell);
        const std::size_t nodeSize = kNkName + readU16(source.data() + kNkNameLength);

        const std::uint32_t node = m_out.allocate(nodeSize);
        std::memcpy(m_out.data(node), source.data(), nodeSize);
        const std::uint32_t classCell = copyClassName(source);
        const std::uint32_t security = copySecurity(readU32(source.data() + kNkSecurity));
        const std::uint32_t valueCount = readU32(source.data() + kNkValueCount);
        const std::uint32_t values = copyValueList(readU32(source.data() + kNkValueList), valueCount);

        std::vector<std::uint32_t> children;
        if (readU32(source.data() + kNkSubkeyCount) != 0)
            collectSubkeys(readU32(source.data() + kNkSubkeyList), children, 0);
        std::vector<SubkeyEntry> copied;
        copied.reserve(children.size());
        for (std::uint32_t child : children) {
            const std::uint32_t cell = copyKey(child, node, depth + 1);
            copied.push_back({cell, hintOf(cell)});
        }
        const std::uint32_t list = copied.empty() ? kNoCell : writeSubkeyList(copied);

        std::uint8_t* nk = m_out.data(node);
        writeU32(nk + kNkParent, parent);
        writeU32(nk + kNkSubkeyCount, static_cast<std::uint32_t>(copied.size()));
        writeU32(nk + kNkSubkeyList, list);
        // Volatile keys live only in memory; a saved hive never holds them.
        writeU32(nk + kNkVolatileSubkeyCount, 0);
        writeU32(nk + kNkVolatileSubkeyList, kNoCell);
        writeU32(nk + kNkValueCount, values == kNoCell ? 0 : valueCount);
        writeU32(nk + kNkValueList, values);
        writeU32(nk + kNkSecurity, security);
        writeU32(nk + kNkClass, classCell);
        if (classCell == kNoCell) writeU16(nk + kNkClassLength, 0);
        if (security != kNoCell) ++m_securityReferences[security];
        return node;
    }

    std::uint32_t hintOf(std::uint32_t node) {
        const std::uint8_t* nk = m_out.data(node);
        const bool compressed = (readU16(nk + kNkFlags) & kNkFlagCompressedName) != 0;
        return lfHint(nk + kNkName, readU16(nk + kNkNameLength), compressed);
    }

    std::uint32_t copyBytes(std::span<const std::uint8_t> bytes) {
        const std::uint32_t cell = m_out.allocate(bytes.size());
        std::memcpy(m_out.data(cell), bytes.data(), bytes.size());
        return cell;
    }

    std::uint32_t copyClassName(std::span<const std::uint8_t> nk) {
        const std::uint16_t length = readU16(nk.data() + kNkClassLength);
        const std::uint32_t offset = readU32(nk.data() + kNkClass);
        if (length == 0 || offset == kNoCell) return kNoCell;
        return copyBytes(m_source.cell(offset, length, "class name").first(length));
    }

    std::uint32_t copySecurity(std::uint32_t offset) {
        if (offset == kNoCell) return kNoCell;
        if (auto known = m_securityMap.find(offset); known != m_securityMap.end())
            return known->second;
        const auto sk = m_source.cell(offset, kSkDescriptor, "security");
        if (sk[0] != 's' || sk[1] != 'k') throw HiveError("security cell without sk signature");
        const std::size_t size = kSkDescriptor + readU32(sk.data() + kSkDescriptorSize);
        if (size > sk.size()) throw HiveError("security descriptor runs past its cell");
        const std::uint32_t copy = copyBytes(sk.first(size));
        m_securityMap.emplace(offset, copy);
        m_securityOrder.push_back(copy);
        return copy;
    }

    // Security cells form one ring; each counts the keys that use it.
    void linkSecurityCells() {
        const std::size_t count = m_securityOrder.size();
        for (std::size_t i = 0; i < count; ++i) {
            std::uint8_t* sk = m_out.data(m_securityOrder[i]);
            writeU32(sk + kSkNext, m_securityOrder[(i + 1) % count]);
            writeU32(sk + kSkPrevious, m_securityOrder[(i + count - 1) % count]);
            writeU32(sk + kSkReferences, m_securityReferences[m_securityOrder[i]]);
        }
    }

    std::uint32_t copyValueList(std::uint32_t offset, std::uint32_t count) {
        if (count == 0) return kNoCell;
        const auto list = m_source.cell(offset, std::size_t{count} * 4, "value list");
        std::vector<std::uint32_t> copies;
        copies.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i) copies.push_back(copyValue(readU32(list.data() + 4 * i)));
        const std::uint32_t cell = m_out.allocate(std::size_t{count} * 4);
        std::uint8_t* out = m_out.data(cell);
        for (std::uint32_t i = 0; i < count; ++i) writeU32(out + 4 * i, copies[i]);
        return cell;
    }

    std::uint32_t copyValue(std::uint32_t offset) {
        const auto vk = m_source.cell(offset, kVkName, "value");
        if (vk[0] != 'v' || vk[1] != 'k') throw HiveError("value cell without vk signature");
        const std::size_t size = kVkName + readU16(vk.data() + kVkNameLength);
        if (size > vk.size()) throw HiveError("value name runs past its cell");
        const std::uint32_t dataSize = readU32(vk.data() + kVkDataSize);
        std::uint32_t data = readU32(vk.data() + kVkDataOffset);
        if ((dataSize & kVkDataInline) == 0) data = dataSize == 0 ? kNoCell : copyData(data, dataSize);
        const std::uint32_t cell = copyBytes(vk.first(size));
        writeU32(m_out.data(cell) + kVkDataOffset, data);
        return cell;
    }

    std::uint32_t copyData(std::uint32_t offset, std::uint32_t size) {
        if (m_source.minorVersion() >= 4 && size > kBigDataThreshold && m_source.hasSignature(offset, "db"))
            return copyBigData(offset, size);
        return copyBytes(m_source.cell(offset, size, "value data").first(size));
    }

    std::uint32_t copyBigData(std::uint32_t offset, std::uint32_t size) {
        const auto db = m_source.cell(offset, kDbSegmentList + 4, "big data");
        const std::uint16_t segments = readU16(db.data() + kDbSegmentCount);
        const auto list = m_source.cell(readU32(db.data() + kDbSegmentList), std::size_t{segments} * 4,
                                        "big data segment list");
        const std::uint32_t cell = m_out.allocate(size);
        std::size_t done = 0;
        for (std::uint16_t i = 0; i < segments && done < size; ++i) {
            const auto segment = m_source.cell(readU32(list.data() + 4 * i), 0, "big data segment");
            const std::size_t take = std::min<std::size_t>({segment.size(), std::size_t{kBigDataThreshold}, std::size_t{size - done}});
            std::memcpy(m_out.data(cell) + done, segment.data(), take);
            done += take;
        }
        if (done < size) throw HiveError("big data shorter than its value says");
        return cell;
    }

    void collectSubkeys(std::uint32_t offset, std::vector<std::uint32_t>& children, int level) {
        const auto list = m_source.cell(offset, kListEntries, "subkey list");
        const std::uint16_t count = readU16(list.data() + kListCount);
        const char a = static_cast<char>(list[0]);
        const char b = static_cast<char>(list[1]);
        const bool pairs = a == 'l' && (b == 'f' || b == 'h');
        const bool offsets = (a == 'l' && b == 'i') || (a == 'r' && b == 'i');
        if (!pairs && !offsets) throw HiveError("unknown subkey list");
        const std::size_t stride = pairs ? 8 : 4;
        if (kListEntries + count * stride > list.size()) throw HiveError("subkey list runs past its cell");
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint32_t entry = readU32(list.data() + kListEntries + i * stride);
            if (a == 'r') {
                if (level > 0) throw HiveError("nested subkey index");
                collectSubkeys(entry, children, level + 1);
            } else {
                children.push_back(entry);
            }
        }
    }

    std::uint32_t writeLf(std::span<const SubkeyEntry> entries) {
        const std::uint32_t cell = m_out.allocate(kListEntries + entries.size() * 8);
        std::uint8_t* lf = m_out.data(cell);
        lf[0] = 'l';
        lf[1] = 'f';
        writeU16(lf + kListCount, static_cast<std::uint16_t>(entries.size()));
        for (std::size_t i = 0; i < entries.size(); ++i) {
            writeU32(lf + kListEntries + 8 * i, entries[i].cell);
            writeU32(lf + kListEntries + 8 * i + 4, entries[i].hint);
        }
        return cell;
    }

    std::uint32_t writeSubkeyList(const std::vector<SubkeyEntry>& entries) {
        if (entries.size() <= kMaxLfEntries) return writeLf(entries);
        std::vector<std::uint32_t> lists;
        for (std::size_t at = 0; at < entries.size(); at += kLfEntriesPerIndexedList) {
            const std::size_t n = std::min(kLfEntriesPerIndexedList, entries.size() - at);
            lists.push_back(writeLf(std::span(entries).subspan(at, n)));
        }
        const std::uint32_t cell = m_out.allocate(kListEntries + lists.size() * 4);
        std::uint8_t* ri = m_out.data(cell);
        ri[0] = 'r';
        ri[1] = 'i';
        writeU16(ri + kListCount, static_cast<std::uint16_t>(lists.size()));
        for (std::size_t i = 0; i < lists.size(); ++i) writeU32(ri + kListEntries + 4 * i, lists[i]);
        return cell;
    }

    const HiveImage& m_source;
    HiveBuilder& m_out;
    std::unordered_set<std::uint32_t> m_seenKeys;
    std::unordered_map<std::uint32_t, std::uint32_t> m_securityMap;
    std::vector<std::uint32_t> m_securityOrder;
    std::unordered_map<std::uint32_t, std::uint32_t> m_securityReferences;
};

}  // namespace

std::vector<std::uint8_t> compactHive(const HiveImage& source, std::uint32_t keyCell) {
    if (keyCell == kNoCell) keyCell = source.rootCell();
    HiveBuilder out;
    Copier copier(source, out);
    const std::uint32_t root = copier.copyRoot(keyCell);
    const auto base = source.baseBlock();
    HiveBuilder::Header header;
    header.timestamp = readU64(base.data() + kBaseTimestamp);
    header.fileName = base.subspan(kBaseFileName, kBaseFileNameSize);
    return out.finish(root, header);
}

int saveCompactHive(const std::string& sourceFile, const std::string& targetFile,
                    std::uint32_t keyCell) {
    MappedFile file(sourceFile);
    const HiveImage image(file.bytes());
    const auto hive = compactHive(image, keyCell);
    return writeFileAtomically(targetFile, hive, ExistingTarget::Fail);
}

bool isValidHiveFile(const std::string& path, std::string* why) {
    try {
        MappedFile file(path);
        const HiveImage image(file.bytes());
        compactHive(image);
        return true;
    } catch (const HiveError& error) {
        if (why) *why = error.what();
        return false;
    }
}

}  // namespace brx::platform::hosted::regf
