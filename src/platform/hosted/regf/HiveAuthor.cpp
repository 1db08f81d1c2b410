#include "platform/hosted/regf/HiveAuthor.h"

#include <hivex.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/hosted/regf/EmptyHive.h"
#include "platform/hosted/regf/HiveFile.h"
#include "platform/hosted/regf/RegfFormat.h"
#include "platform/hosted/regf/SubkeyLists.h"

namespace brx::platform::hosted::regf {

HiveAuthor::HiveAuthor(const std::string& rootName) {
    m_seedFile = (std::filesystem::temp_directory_path() / "brx-author-XXXXXX").string();
    const int fd = ::mkstemp(m_seedFile.data());
    if (fd < 0) throw HiveError("cannot create a temporary hive");
    ::close(fd);
    if (writeEmptyHive(m_seedFile, rootName) != 0) throw HiveError("cannot write a temporary hive");
    m_hive = hivex_open(m_seedFile.c_str(), HIVEX_OPEN_WRITE);
    ::unlink(m_seedFile.c_str());
    if (!m_hive) throw HiveError("hivex cannot open a new hive");
}

HiveAuthor::~HiveAuthor() {
    if (m_hive) hivex_close(m_hive);
}

std::uint64_t HiveAuthor::node(const std::string& path, bool create) {
    hive_node_h current = hivex_root(m_hive);
    std::size_t at = 0;
    while (at < path.size()) {
        std::size_t end = path.find('\\', at);
        if (end == std::string::npos) end = path.size();
        const std::string name = path.substr(at, end - at);
        at = end + 1;
        if (name.empty()) continue;
        hive_node_h child = hivex_node_get_child(m_hive, current, name.c_str());
        if (!child && create) child = hivex_node_add_child(m_hive, current, name.c_str());
        if (!child) throw HiveError("cannot reach key " + path);
        current = child;
    }
    return current;
}

HiveAuthor& HiveAuthor::key(const std::string& path) {
    node(path, true);
    return *this;
}

HiveAuthor& HiveAuthor::value(const std::string& path, const RegValue& value) {
    const hive_node_h target = node(path, true);
    std::string name = value.name;
    std::vector<std::uint8_t> data = value.data;
    hive_set_value set{name.data(), static_cast<hive_type>(value.type), data.size(),
                       reinterpret_cast<char*>(data.data())};
    if (hivex_node_set_value(m_hive, target, &set, 0) != 0)
        throw HiveError("cannot set value " + value.name + " of " + path);
    return *this;
}

HiveAuthor& HiveAuthor::text(const std::string& path, const std::string& name, const std::string& text) {
    return value(path, RegValue::string(name, text));
}

HiveAuthor& HiveAuthor::dword(const std::string& path, const std::string& name, std::uint32_t number) {
    return value(path, RegValue::dword(name, number));
}

HiveAuthor& HiveAuthor::remove(const std::string& path) {
    if (hivex_node_delete_child(m_hive, node(path, false)) != 0) throw HiveError("cannot delete " + path);
    return *this;
}

void HiveAuthor::save(const std::string& file) {
    const std::string temporary = temporarySibling(file);
    if (hivex_commit(m_hive, temporary.c_str(), 0) != 0) {
        ::unlink(temporary.c_str());
        throw HiveError("cannot write " + file);
    }
    try {
        convertSubkeyListsToLf(temporary);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    if (syncAndRename(temporary, file) != 0) throw HiveError("cannot write " + file);
}

}  // namespace brx::platform::hosted::regf
