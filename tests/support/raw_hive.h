// A hive written cell by cell, for tests that need what hivex cannot write (class names,
// several security descriptors, "li", "lh" and "ri" lists, big data, unused cells).
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/hosted/regf/HiveBuilder.h"
#include "platform/hosted/regf/HiveImage.h"

namespace brx::test::hives {

namespace regf = brx::platform::hosted::regf;

using Bytes = std::vector<std::uint8_t>;

inline Bytes utf16(const std::string& ascii) {
    Bytes out;
    for (char c : ascii) {
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(0);
    }
    return out;
}

// REG_SZ data: UTF-16LE with its NUL; several strings make REG_MULTI_SZ data.
inline Bytes strings(std::initializer_list<std::string> texts) {
    Bytes out;
    for (const std::string& text : texts) {
        const Bytes one = utf16(text);
        out.insert(out.end(), one.begin(), one.end());
        out.push_back(0);
        out.push_back(0);
    }
    return out;
}

// Security descriptors with distinct owners, so a copy that mixes them up shows.
inline Bytes descriptorOwnedBy(std::uint32_t rid) {
    Bytes sd{1, 0, 0x04, 0x80, 20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};  // owner only
    Bytes sid{1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0};
    for (int i = 0; i < 4; ++i) sid.push_back(static_cast<std::uint8_t>(rid >> (8 * i)));
    sd.insert(sd.end(), sid.begin(), sid.end());
    return sd;
}

// A hive written cell by cell, so that it can hold what hivex cannot write: class names,
// several security descriptors, "li", "lh" and "ri" lists, big data, and cells no key uses.
class RawHive {
public:
    struct Value {
        std::string name;
        std::uint32_t type;
        Bytes data;
    };
    struct Key {
        std::string name;
        std::string className;
        int security = 0;
        std::uint64_t time = 0;
        std::string listKind = "lf";
        std::vector<int> children;
        std::vector<Value> values;
    };
    static Key makeKey(std::string name, std::string className, int security, std::uint64_t time) {
        Key key;
        key.name = std::move(name);
        key.className = std::move(className);
        key.security = security;
        key.time = time;
        return key;
    }

    explicit RawHive(std::uint32_t minorVersion = 3) : m_minor(minorVersion) {
        m_keys.push_back(makeKey("ROOT", "RootClass", 0, 130000000000000000ull));
        m_security.push_back(descriptorOwnedBy(544));
    }
    int addSecurity(Bytes descriptor) {
        m_security.push_back(std::move(descriptor));
        return static_cast<int>(m_security.size() - 1);
    }
    int addKey(int parent, Key key) {
        m_keys.push_back(std::move(key));
        const int index = static_cast<int>(m_keys.size() - 1);
        m_keys[parent].children.push_back(index);
        return index;
    }
    Key& key(int index) { return m_keys[index]; }
    void addGarbage(std::size_t bytes) { m_garbage += bytes; }

    Bytes build() {
        regf::HiveBuilder out;
        m_out = &out;
        for (const Bytes& sd : m_security) {
            const std::uint32_t cell = out.allocate(regf::kSkDescriptor + sd.size());
            std::uint8_t* sk = out.data(cell);
            sk[0] = 's';
            sk[1] = 'k';
            regf::writeU32(sk + regf::kSkDescriptorSize, static_cast<std::uint32_t>(sd.size()));
            std::memcpy(sk + regf::kSkDescriptor, sd.data(), sd.size());
            m_securityCells.push_back(cell);
        }
        const std::uint32_t root = writeKey(0, 0);
        for (std::size_t i = 0; i < m_securityCells.size(); ++i) {
            std::uint8_t* sk = out.data(m_securityCells[i]);
            const std::size_t n = m_securityCells.size();
            regf::writeU32(sk + regf::kSkNext, m_securityCells[(i + 1) % n]);
            regf::writeU32(sk + regf::kSkPrevious, m_securityCells[(i + n - 1) % n]);
            regf::writeU32(sk + regf::kSkReferences, m_references[i]);
        }
        for (std::size_t done = 0; done < m_garbage; done += 1024) out.allocate(1020);
        Bytes hive = out.finish(root, {130000000000000000ull, {}});
        regf::writeU32(hive.data() + regf::kBaseMinor, m_minor);
        regf::writeU32(hive.data() + regf::kBaseChecksum, regf::baseBlockChecksum(hive.data()));
        return hive;
    }

private:
    std::uint32_t writeBytes(const Bytes& bytes) {
        const std::uint32_t cell = m_out->allocate(bytes.size());
        std::memcpy(m_out->data(cell), bytes.data(), bytes.size());
        return cell;
    }

    std::uint32_t writeData(const Bytes& data) {
        if (m_minor < 4 || data.size() <= regf::kBigDataThreshold) return writeBytes(data);
        std::vector<std::uint32_t> segments;
        for (std::size_t at = 0; at < data.size(); at += regf::kBigDataThreshold) {
            const std::size_t n = std::min<std::size_t>(regf::kBigDataThreshold, data.size() - at);
            segments.push_back(writeBytes(Bytes(data.begin() + at, data.begin() + at + n)));
        }
        Bytes list;
        for (std::uint32_t s : segments)
            for (int i = 0; i < 4; ++i) list.push_back(static_cast<std::uint8_t>(s >> (8 * i)));
        const std::uint32_t listCell = writeBytes(list);
        Bytes db{'d', 'b', static_cast<std::uint8_t>(segments.size()), static_cast<std::uint8_t>(segments.size() >> 8), 0, 0, 0, 0};
        regf::writeU32(db.data() + regf::kDbSegmentList, listCell);
        return writeBytes(db);
    }

    std::uint32_t writeValue(const Value& value) {
        Bytes vk(regf::kVkName + value.name.size(), 0);
        vk[0] = 'v';
        vk[1] = 'k';
        regf::writeU16(vk.data() + regf::kVkNameLength, static_cast<std::uint16_t>(value.name.size()));
        regf::writeU32(vk.data() + regf::kVkType, value.type);
        regf::writeU16(vk.data() + regf::kVkFlags, 1);
        std::memcpy(vk.data() + regf::kVkName, value.name.data(), value.name.size());
        if (value.data.size() <= 4) {
            regf::writeU32(vk.data() + regf::kVkDataSize,
                           static_cast<std::uint32_t>(value.data.size()) | regf::kVkDataInline);
            std::copy(value.data.begin(), value.data.end(), vk.begin() + regf::kVkDataOffset);
        } else {
            regf::writeU32(vk.data() + regf::kVkDataSize, static_cast<std::uint32_t>(value.data.size()));
            regf::writeU32(vk.data() + regf::kVkDataOffset, writeData(value.data));
        }
        return writeBytes(vk);
    }

    std::uint32_t writeList(const std::string& kind, const std::vector<std::uint32_t>& cells,
                            const std::vector<const Key*>& keys) {
        if (kind == "ri") {
            // Two "li" halves under one index.
            const std::size_t half = cells.size() / 2;
            std::vector<std::uint32_t> a(cells.begin(), cells.begin() + half), b(cells.begin() + half, cells.end());
            std::vector<const Key*> ka(keys.begin(), keys.begin() + half), kb(keys.begin() + half, keys.end());
            return writeOffsets("ri", {writeList("li", a, ka), writeList("lh", b, kb)});
        }
        if (kind == "li") return writeOffsets("li", cells);
        Bytes list{static_cast<std::uint8_t>(kind[0]), static_cast<std::uint8_t>(kind[1]), 0, 0};
        regf::writeU16(list.data() + 2, static_cast<std::uint16_t>(cells.size()));
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const auto* name = reinterpret_cast<const std::uint8_t*>(keys[i]->name.data());
            const std::uint32_t hint = kind == "lh" ? regf::lhHash(name, keys[i]->name.size(), true)
                                                    : regf::lfHint(name, keys[i]->name.size(), true);
            for (std::uint32_t v : {cells[i], hint})
                for (int b = 0; b < 4; ++b) list.push_back(static_cast<std::uint8_t>(v >> (8 * b)));
        }
        return writeBytes(list);
    }

    std::uint32_t writeOffsets(const char* kind, const std::vector<std::uint32_t>& cells) {
        Bytes list{static_cast<std::uint8_t>(kind[0]), static_cast<std::uint8_t>(kind[1]), 0, 0};
        regf::writeU16(list.data() + 2, static_cast<std::uint16_t>(cells.size()));
        for (std::uint32_t c : cells)
            for (int b = 0; b < 4; ++b) list.push_back(static_cast<std::uint8_t>(c >> (8 * b)));
        return writeBytes(list);
    }

    std::uint32_t writeKey(int index, std::uint32_t parent) {
        const Key& key = m_keys[index];
        const std::uint32_t node = m_out->allocate(regf::kNkName + key.name.size());
        std::vector<std::uint32_t> children;
        std::vector<const Key*> childKeys;
        for (int child : key.children) {
            children.push_back(writeKey(child, node));
            childKeys.push_back(&m_keys[child]);
        }
        std::vector<std::uint32_t> values;
        for (const Value& value : key.values) values.push_back(writeValue(value));
        const std::uint32_t list = children.empty() ? regf::kNoCell : writeList(key.listKind, children, childKeys);
        Bytes valueList;
        for (std::uint32_t v : values)
            for (int b = 0; b < 4; ++b) valueList.push_back(static_cast<std::uint8_t>(v >> (8 * b)));
        const std::uint32_t valueCell = values.empty() ? regf::kNoCell : writeBytes(valueList);
        const Bytes className = utf16(key.className);
        const std::uint32_t classCell = className.empty() ? regf::kNoCell : writeBytes(className);
        ++m_references[key.security];

        std::uint8_t* nk = m_out->data(node);
        nk[0] = 'n';
        nk[1] = 'k';
        regf::writeU16(nk + regf::kNkFlags, regf::kNkFlagCompressedName | (index == 0 ? 0x0C : 0));
        regf::writeU64(nk + regf::kNkTimestamp, key.time);
        regf::writeU32(nk + regf::kNkParent, parent);
        regf::writeU32(nk + regf::kNkSubkeyCount, static_cast<std::uint32_t>(children.size()));
        regf::writeU32(nk + regf::kNkSubkeyList, list);
        regf::writeU32(nk + regf::kNkVolatileSubkeyList, regf::kNoCell);
        regf::writeU32(nk + regf::kNkValueCount, static_cast<std::uint32_t>(values.size()));
        regf::writeU32(nk + regf::kNkValueList, valueCell);
        regf::writeU32(nk + regf::kNkSecurity, m_securityCells[key.security]);
        regf::writeU32(nk + regf::kNkClass, classCell);
        regf::writeU16(nk + regf::kNkNameLength, static_cast<std::uint16_t>(key.name.size()));
        regf::writeU16(nk + regf::kNkClassLength, static_cast<std::uint16_t>(className.size()));
        std::memcpy(nk + regf::kNkName, key.name.data(), key.name.size());
        return node;
    }

    std::uint32_t m_minor;
    std::vector<Key> m_keys;
    std::vector<Bytes> m_security;
    std::vector<std::uint32_t> m_securityCells;
    std::map<int, std::uint32_t> m_references;
    std::size_t m_garbage = 0;
    regf::HiveBuilder* m_out = nullptr;
};

inline Bytes bytesOf(std::initializer_list<int> values) {
    Bytes out;
    for (int v : values) out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

// A hive with one of everything the copy must keep.
inline RawHive richHive(std::uint32_t minorVersion) {
    RawHive hive(minorVersion);
    const int owner = hive.addSecurity(descriptorOwnedBy(545));
    hive.key(0).values = {
        {"", 1, strings({"default value"})},
        {"Text", 1, strings({"hello"})},
        {"Path", 2, strings({"%SystemRoot%\\x"})},
        {"Blob", 3, bytesOf({1, 2, 3, 4, 5, 6, 7, 8, 9})},
        {"Small", 3, bytesOf({0xAB, 0xCD})},
        {"Number", 4, bytesOf({0x78, 0x56, 0x34, 0x12})},
        {"Big endian", 5, bytesOf({0x12, 0x34, 0x56, 0x78})},
        {"List", 7, strings({"one", "two", ""})},
        {"Quad", 11, bytesOf({1, 0, 0, 0, 0, 0, 0, 0x80})},
        {"Empty", 3, {}},
        {"Huge", 3, Bytes(40000, 0x5A)},
    };
    hive.key(0).listKind = "ri";
    for (int i = 0; i < 6; ++i) {
        RawHive::Key key = RawHive::makeKey("Child" + std::to_string(i), i % 2 ? "Class" + std::to_string(i) : "",
                                            i % 3 == 0 ? owner : 0, 131000000000000000ull + i * 10000000ull * 3600);
        key.listKind = i % 2 ? "li" : "lh";
        key.values = {{"Index", 4, bytesOf({i, 0, 0, 0})}};
        const int child = hive.addKey(0, key);
        for (int j = 0; j < 3; ++j)
            hive.addKey(child, RawHive::makeKey("Grand" + std::to_string(j), "", 0, 132000000000000000ull));
    }
    return hive;
}


}  // namespace brx::test::hives
