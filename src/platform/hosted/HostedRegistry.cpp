#include "platform/hosted/HostedRegistry.h"

#include <hivex.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/Security.h"
#include "platform/hosted/PendingReplacements.h"
#include "platform/hosted/regf/CompactCopy.h"
#include "platform/hosted/regf/EmptyHive.h"
#include "platform/hosted/regf/HiveFile.h"
#include "platform/hosted/regf/HiveImage.h"
#include "platform/hosted/regf/SubkeyLists.h"

namespace brx::platform::hosted {

namespace {

constexpr const char* kMachinePrefix = "\\REGISTRY\\MACHINE\\";
constexpr const char* kUserPrefix = "\\REGISTRY\\USER\\";
constexpr const char* kSystemHive = "\\REGISTRY\\MACHINE\\SYSTEM";
constexpr std::size_t kMaxKeyNameLength = 255;

struct HivexCloser {
    void operator()(hive_h* h) const {
        if (h) hivex_close(h);
    }
};
using HivexHandle = std::unique_ptr<hive_h, HivexCloser>;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <class T>
using CBuffer = std::unique_ptr<T, FreeDeleter>;

// Removes a host file when it goes out of scope.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : m_path(std::move(path)) {}
    ~TemporaryFile() {
        if (!m_path.empty()) ::unlink(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

std::string temporaryHostFile() {
    std::string pattern = (std::filesystem::temp_directory_path() / "brx-hive-XXXXXX").string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) return {};
    ::close(fd);
    return pattern;
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

bool startsWithName(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && sameName(text.substr(0, prefix.size()), prefix);
}

std::vector<std::string> splitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '\\') {
            if (!part.empty()) parts.push_back(std::move(part));
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(std::move(part));
    return parts;
}

std::uint32_t characterCount(const std::string& utf8) {
    std::uint32_t count = 0;
    for (unsigned char c : utf8)
        if ((c & 0xC0) != 0x80) ++count;
    return count;
}

FileTime fromFileTime(std::int64_t fileTime) {
    constexpr std::int64_t kEpochDifference = 116444736000000000ll;
    if (fileTime <= kEpochDifference) return 0;
    return (fileTime - kEpochDifference) / 10000000;
}

bool fileExists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

bool parentDirectoryExists(const std::string& path) {
    const auto parent = std::filesystem::path(path).parent_path();
    std::error_code error;
    return parent.empty() || std::filesystem::is_directory(parent, error);
}

ErrorCode fromErrno(int error) {
    switch (error) {
        case 0: return kErrorSuccess;
        case EEXIST: return kErrorAlreadyExists;
        case ENOENT:
        case ENOTDIR: return kErrorPathNotFound;
        case EACCES:
        case EPERM: return kErrorAccessDenied;
        case EROFS: return kErrorWriteProtect;
        case ENOSPC: return kErrorDiskFull;
        default: return kErrorRegistryIoFailed;
    }
}

std::string lastComponent(const std::string& registryPath) {
    const auto slash = registryPath.find_last_of('\\');
    return slash == std::string::npos ? registryPath : registryPath.substr(slash + 1);
}

}  // namespace

// One mounted hive, open in hivex with its changes in memory until committed.
class Hive {
public:
    // nullptr when the file is not a hive hivex can open.
    static std::unique_ptr<Hive> open(const HiveMount& mount) {
        if (!mount.hostFile.empty()) {
            HivexHandle handle(hivex_open(mount.hostFile.c_str(), HIVEX_OPEN_WRITE));
            if (!handle) return nullptr;
            return std::unique_ptr<Hive>(new Hive(std::move(handle), mount.hostFile));
        }
        // A hive without a file starts empty each time, as the hardware hive does at boot.
        TemporaryFile seed(temporaryHostFile());
        if (seed.path().empty() || regf::writeEmptyHive(seed.path(), lastComponent(mount.registryPath)) != 0)
            return nullptr;
        HivexHandle handle(hivex_open(seed.path().c_str(), HIVEX_OPEN_WRITE));
        if (!handle) return nullptr;
        return std::unique_ptr<Hive>(new Hive(std::move(handle), {}));
    }

    ~Hive() { commit(); }

    hive_h* handle() const { return m_handle.get(); }
    hive_node_h root() const { return hivex_root(m_handle.get()); }
    bool hasFile() const { return !m_file.empty(); }
    const std::string& file() const { return m_file; }
    void markDirty() { m_dirty = true; }

    // Writes hivex's image through a temporary file that replaces the hive once complete; the
    // lists hivex wrote as "lh" become "lf" on the way.
    ErrorCode commit() {
        if (!m_dirty || !hasFile()) return kErrorSuccess;
        const std::string temporary = regf::temporarySibling(m_file);
        if (hivex_commit(m_handle.get(), temporary.c_str(), 0) != 0) {
            ::unlink(temporary.c_str());
            return kErrorRegistryIoFailed;
        }
        try {
            regf::convertSubkeyListsToLf(temporary);
        } catch (const regf::HiveError&) {
            ::unlink(temporary.c_str());
            return kErrorRegistryIoFailed;
        }
        if (const int error = regf::syncAndRename(temporary, m_file); error != 0) return fromErrno(error);
        m_dirty = false;
        return kErrorSuccess;
    }

    // The hive as it is in memory, written to a host file that a save can read.
    ErrorCode snapshot(const std::string& path) {
        return hivex_commit(m_handle.get(), path.c_str(), 0) == 0 ? kErrorSuccess : kErrorRegistryIoFailed;
    }

private:
    Hive(HivexHandle handle, std::string file) : m_handle(std::move(handle)), m_file(std::move(file)) {}

    HivexHandle m_handle;
    std::string m_file;
    bool m_dirty = false;
};

enum class KeyKind { Machine, Users, Node, HiveList };

struct OpenKey {
    KeyKind kind = KeyKind::Machine;
    std::size_t mount = 0;
    hive_node_h node = 0;
    std::string hivePath;  // below the hive's root, names as stored
    bool deleted = false;

    static OpenKey root(KeyKind kind) {
        OpenKey key;
        key.kind = kind;
        return key;
    }
    static OpenKey at(KeyKind kind, std::size_t mount, hive_node_h node, std::string hivePath) {
        OpenKey key;
        key.kind = kind;
        key.mount = mount;
        key.node = node;
        key.hivePath = std::move(hivePath);
        return key;
    }
};

namespace {

std::string nodeName(hive_h* h, hive_node_h node) {
    CBuffer<char> name(hivex_node_name(h, node));
    return name ? std::string(name.get()) : std::string();
}

std::string valueName(hive_h* h, hive_value_h value) {
    CBuffer<char> name(hivex_value_key(h, value));
    return name ? std::string(name.get()) : std::string();
}

bool readValue(hive_h* h, hive_value_h value, RegValue* out) {
    hive_type type{};
    std::size_t length = 0;
    CBuffer<char> data(hivex_value_value(h, value, &type, &length));
    if (!data) return false;
    out->name = valueName(h, value);
    out->type = static_cast<std::uint32_t>(type);
    out->data.assign(reinterpret_cast<std::uint8_t*>(data.get()),
                     reinterpret_cast<std::uint8_t*>(data.get()) + length);
    return true;
}

std::vector<hive_node_h> children(hive_h* h, hive_node_h node) {
    std::vector<hive_node_h> result;
    CBuffer<hive_node_h> list(hivex_node_children(h, node));
    if (list)
        for (hive_node_h* p = list.get(); *p; ++p) result.push_back(*p);
    return result;
}

std::vector<hive_value_h> values(hive_h* h, hive_node_h node) {
    std::vector<hive_value_h> result;
    CBuffer<hive_value_h> list(hivex_node_values(h, node));
    if (list)
        for (hive_value_h* p = list.get(); *p; ++p) result.push_back(*p);
    return result;
}

// The class name of a key, read from the hive file: hivex does not report class names.
std::string className(const std::string& file, hive_node_h node) {
    try {
        regf::MappedFile mapped(file);
        const regf::HiveImage image(mapped.bytes());
        const auto nk = image.keyNode(static_cast<std::uint32_t>(node - regf::kBaseBlockSize));
        const std::uint16_t length = regf::readU16(nk.data() + regf::kNkClassLength);
        const std::uint32_t offset = regf::readU32(nk.data() + regf::kNkClass);
        if (length == 0 || offset == regf::kNoCell) return {};
        const auto bytes = image.cell(offset, length, "class name").first(length);
        RegValue text;
        text.data.assign(bytes.begin(), bytes.end());
        return text.text();
    } catch (const regf::HiveError&) {
        return {};
    }
}

}  // namespace

HostedRegistry::HostedRegistry(HostedRegistryConfig config) : m_config(std::move(config)) {
    m_hives.resize(m_config.mounts.size());
}

HostedRegistry::~HostedRegistry() { closeAllHives(); }

void HostedRegistry::closeAllHives() {
    m_handles.clear();
    for (auto& hive : m_hives) hive.reset();
}

Hive* HostedRegistry::hiveFor(std::size_t mountIndex) {
    if (!m_hives[mountIndex]) m_hives[mountIndex] = Hive::open(m_config.mounts[mountIndex]);
    return m_hives[mountIndex].get();
}

std::optional<std::size_t> HostedRegistry::mountByPath(const std::string& registryPath) const {
    for (std::size_t i = 0; i < m_config.mounts.size(); ++i)
        if (sameName(m_config.mounts[i].registryPath, registryPath)) return i;
    return std::nullopt;
}

// The index-th mount directly below `prefix`, in the order of the mounts.
std::optional<std::size_t> HostedRegistry::mountUnder(const std::string& prefix,
                                                      std::size_t index) const {
    for (std::size_t i = 0; i < m_config.mounts.size(); ++i) {
        const std::string& path = m_config.mounts[i].registryPath;
        if (!startsWithName(path, prefix) || path.find('\\', prefix.size()) != std::string::npos)
            continue;
        if (index-- == 0) return i;
    }
    return std::nullopt;
}

HKey HostedRegistry::newHandle(const OpenKey& key) {
    const HKey handle = m_nextHandle;
    m_nextHandle += 4;
    m_handles.emplace(handle, key);
    return handle;
}

ErrorCode HostedRegistry::resolve(HKey key, OpenKey* out) {
    switch (key) {
        case kHKeyLocalMachine: *out = OpenKey::root(KeyKind::Machine); return kErrorSuccess;
        case kHKeyUsers: *out = OpenKey::root(KeyKind::Users); return kErrorSuccess;
        case kHKeyCurrentUser: return walk(OpenKey::root(KeyKind::Users), m_config.userSid, false, out, nullptr);
        case kHKeyClassesRoot: return walk(OpenKey::root(KeyKind::Machine), "SOFTWARE\\Classes", false, out, nullptr);
        default: break;
    }
    const auto found = m_handles.find(key);
    if (found == m_handles.end()) return kErrorInvalidHandle;
    if (found->second.deleted) return kErrorKeyDeleted;
    *out = found->second;
    return kErrorSuccess;
}

ErrorCode HostedRegistry::walk(OpenKey start, const std::string& subKey, bool create, OpenKey* out,
                               bool* created) {
    if (created) *created = false;
    OpenKey current = std::move(start);
    for (const std::string& component : splitPath(subKey)) {
        OpenKey next;
        if (const ErrorCode error = step(current, component, create, &next, created); error != kErrorSuccess)
            return error;
        current = std::move(next);
    }
    *out = std::move(current);
    return kErrorSuccess;
}

ErrorCode HostedRegistry::step(const OpenKey& from, const std::string& component, bool create,
                               OpenKey* out, bool* created) {
    if (from.kind == KeyKind::Machine || from.kind == KeyKind::Users) {
        const std::string prefix = from.kind == KeyKind::Machine ? kMachinePrefix : kUserPrefix;
        const auto mount = mountByPath(prefix + component);
        if (!mount) return create ? kErrorAccessDenied : kErrorFileNotFound;
        Hive* hive = hiveFor(*mount);
        if (!hive) return kErrorBadDb;
        *out = OpenKey::at(KeyKind::Node, *mount, hive->root(), {});
        return kErrorSuccess;
    }
    if (from.kind == KeyKind::HiveList) return create ? kErrorAccessDenied : kErrorFileNotFound;

    Hive* hive = hiveFor(from.mount);
    if (!hive) return kErrorBadDb;
    hive_h* h = hive->handle();
    const bool inSystemHive = sameName(m_config.mounts[from.mount].registryPath, kSystemHive);
    std::string name = component;
    if (inSystemHive && from.hivePath.empty() && sameName(component, "CurrentControlSet")) {
        const hive_node_h select = hivex_node_get_child(h, from.node, "Select");
        const hive_value_h current = select ? hivex_node_get_value(h, select, "Current") : 0;
        if (!current) return kErrorFileNotFound;
        char set[32];
        std::snprintf(set, sizeof set, "ControlSet%03u", static_cast<unsigned>(hivex_value_dword(h, current)));
        name = set;
    }
    if (inSystemHive && sameName(component, "hivelist")) {
        const auto parts = splitPath(from.hivePath);
        if (parts.size() == 2 && startsWithName(parts[0], "ControlSet") && sameName(parts[1], "Control")) {
            *out = OpenKey::at(KeyKind::HiveList, from.mount, 0, from.hivePath + "\\hivelist");
            return kErrorSuccess;
        }
    }
    if (name.size() > kMaxKeyNameLength) return kErrorInvalidParameter;

    errno = 0;
    hive_node_h child = hivex_node_get_child(h, from.node, name.c_str());
    if (!child && errno != 0) return kErrorBadDb;
    if (!child) {
        if (!create) return kErrorFileNotFound;
        child = hivex_node_add_child(h, from.node, name.c_str());
        if (!child) return kErrorRegistryIoFailed;
        hive->markDirty();
        if (created) *created = true;
    }
    const std::string stored = nodeName(h, child);
    *out = OpenKey::at(KeyKind::Node, from.mount, child,
                      from.hivePath.empty() ? stored : from.hivePath + "\\" + stored);
    return kErrorSuccess;
}

ErrorCode HostedRegistry::openKey(HKey parent, const std::string& subKey, std::uint32_t,
                                  HKey* result) {
    OpenKey base;
    if (const ErrorCode error = resolve(parent, &base); error != kErrorSuccess) return error;
    OpenKey key;
    if (const ErrorCode error = walk(base, subKey, false, &key, nullptr); error != kErrorSuccess)
        return error;
    *result = newHandle(key);
    return kErrorSuccess;
}

ErrorCode HostedRegistry::createKey(HKey parent, const std::string& subKey, std::uint32_t,
                                    HKey* result, bool* created) {
    OpenKey base;
    if (const ErrorCode error = resolve(parent, &base); error != kErrorSuccess) return error;
    OpenKey key;
    bool made = false;
    if (const ErrorCode error = walk(base, subKey, true, &key, &made); error != kErrorSuccess)
        return error;
    if (created) *created = made;
    *result = newHandle(key);
    return kErrorSuccess;
}

ErrorCode HostedRegistry::closeKey(HKey key) {
    if (key >= kHKeyClassesRoot && key <= kHKeyUsers) return kErrorSuccess;
    const auto found = m_handles.find(key);
    if (found == m_handles.end()) return kErrorInvalidHandle;
    const OpenKey open = found->second;
    m_handles.erase(found);
    if (open.kind == KeyKind::Node && m_hives[open.mount]) return m_hives[open.mount]->commit();
    return kErrorSuccess;
}

ErrorCode HostedRegistry::flushKey(HKey key) {
    OpenKey open;
    if (const ErrorCode error = resolve(key, &open); error != kErrorSuccess) return error;
    if (open.kind != KeyKind::Node) return kErrorSuccess;
    Hive* hive = hiveFor(open.mount);
    return hive ? hive->commit() : kErrorBadDb;
}

std::vector<RegValue> HostedRegistry::hiveListValues() const {
    std::vector<RegValue> list;
    for (const HiveMount& mount : m_config.mounts)
        list.push_back(RegValue::string(mount.registryPath, mount.devicePath));
    return list;
}

ErrorCode HostedRegistry::queryInfoKey(HKey key, RegKeyInfo* info) {
    OpenKey open;
    if (const ErrorCode error = resolve(key, &open); error != kErrorSuccess) return error;
    *info = {};
    if (open.kind == KeyKind::Machine || open.kind == KeyKind::Users) {
        const std::string prefix = open.kind == KeyKind::Machine ? kMachinePrefix : kUserPrefix;
        for (std::size_t i = 0; auto mount = mountUnder(prefix, i); ++i) {
            ++info->subKeys;
            info->maxSubKeyLength = std::max(
                info->maxSubKeyLength, characterCount(lastComponent(m_config.mounts[*mount].registryPath)));
        }
        return kErrorSuccess;
    }
    if (open.kind == KeyKind::HiveList) {
        for (const RegValue& value : hiveListValues()) {
            ++info->values;
            info->maxValueNameLength = std::max(info->maxValueNameLength, characterCount(value.name));
            info->maxValueLength = std::max(info->maxValueLength, static_cast<std::uint32_t>(value.data.size()));
        }
        return kErrorSuccess;
    }
    Hive* hive = hiveFor(open.mount);
    if (!hive) return kErrorBadDb;
    hive_h* h = hive->handle();
    for (hive_node_h child : children(h, open.node)) {
        ++info->subKeys;
        info->maxSubKeyLength = std::max(info->maxSubKeyLength, characterCount(nodeName(h, child)));
    }
    for (hive_value_h value : values(h, open.node)) {
        ++info->values;
        info->maxValueNameLength = std::max(info->maxValueNameLength, characterCount(valueName(h, value)));
        hive_type type{};
        std::size_t length = 0;
        if (hivex_value_type(h, value, &type, &length) == 0)
            info->maxValueLength = std::max(info->maxValueLength, static_cast<std::uint32_t>(length));
    }
    info->lastWrite = fromFileTime(hivex_node_timestamp(h, open.node));
    if (hive->hasFile() && hive->commit() == kErrorSuccess) info->className = className(hive->file(), open.node);
    return kErrorSuccess;
}

ErrorCode HostedRegistry::enumKey(HKey key, std::uint32_t index, std::string* name) {
    OpenKey open;
    if (const ErrorCode error = resolve(key, &open); error != kErrorSuccess) return error;
    if (open.kind == KeyKind::Machine || open.kind == KeyKind::Users) {
        const auto mount = mountUnder(open.kind == KeyKind::Machine ? kMachinePrefix : kUserPrefix, index);
        if (!mount) return kErrorNoMoreItems;
        *name = lastComponent(m_config.mounts[*mount].registryPath);
        return kErrorSuccess;
    }
    if (open.kind == KeyKind::HiveList) return kErrorNoMoreItems;
    Hive* hive = hiveFor(open.mount);
    if (!hive) return kErrorBadDb;
    const auto list = children(hive->handle(), open.node);
    if (index >= list.size()) return kErrorNoMoreItems;
    *name = nodeName(hive->handle(), list[index]);
    return kErrorSuccess;
}

ErrorCode HostedRegistry::enumValue(HKey key, std::uint32_t index, RegValue* value) {
    OpenKey open;
    if (const ErrorCode error = resolve(key, &open); error != kErrorSuccess) return error;
    if (open.kind == KeyKind::HiveList) {
        const auto list = hiveListValues();
        if (index >= list.size()) return kErrorNoMoreItems;
        *value = list[index];
        return kErrorSuccess;
    }
    if (open.kind != KeyKind::Node) return kErrorNoMoreItems;
    Hive* hive = hiveFor(open.mount);
    if (!hive) return kErrorBadDb;
    const auto list = values(hive->handle(), open.node);
    if (index >= list.size()) return kErrorNoMoreItems;
    return readValue(hive->handle(), list[index], value) ? kErrorSuccess : kErrorBadDb;
}

ErrorCode HostedRegistry::queryValue(HKey key, const std::string& name, RegValue* value) {
    OpenKey open;
    if (const ErrorCode error = resolve(key, &open); error != kErrorSuccess) return error;
    if (open.kind == KeyKind::HiveList) {
        for (const RegValue& entry : hiveListValues()) {
            if (!sameName(entry.name, name)) continue;
            *value = entry;
            return kErrorSuccess;
        }
        return kErrorFileNotFound;
    }
    if (open.kind != KeyKind::Node) return kErrorFileNotFound;
    Hive* hive = hiveFor(open.mount);
    if (!hive) return kErrorBadDb;
    errno = 0;
    const hive_value_h found = hivex_node_get_value(hive->handle(), open.node, name.c_str());
    if (!found) return errno == 0 || errno == ENOENT ? kErrorFileNotFound : kErrorBadDb;
    return readValue(hive->handle(), found, value) ? kErrorSuccess : kErrorBadDb;
}

ErrorCode HostedRegistry::setValue(HKey key, const RegValue& value) {
    OpenKey open;
    if (const ErrorCode error = resolve(key, &open); error != kErrorSuccess) return error;
    if (open.kind != KeyKind::Node) return kErrorAccessDenied;
    Hive* hive = hiveFor(open.mount);
    if (!hive) return kErrorBadDb;
    std::string name = value.name;
    std::vector<std::uint8_t> data = value.data;
    hive_set_value entry{name.data(), static_cast<hive_type>(value.type), data.size(),
                         reinterpret_cast<char*>(data.data())};
    if (hivex_node_set_value(hive->handle(), open.node, &entry, 0) != 0) return kErrorRegistryIoFailed;
    hive->markDirty();
    return kErrorSuccess;
}

ErrorCode HostedRegistry::deleteValue(HKey key, const std::string& name) {
    OpenKey open;
    if (const ErrorCode error = resolve(key, &open); error != kErrorSuccess) return error;
    if (open.kind != KeyKind::Node) return kErrorAccessDenied;
    Hive* hive = hiveFor(open.mount);
    if (!hive) return kErrorBadDb;
    hive_h* h = hive->handle();
    std::vector<RegValue> kept;
    bool found = false;
    for (hive_value_h handle : values(h, open.node)) {
        RegValue value;
        if (!readValue(h, handle, &value)) return kErrorBadDb;
        if (!found && sameName(value.name, name)) {
            found = true;
            continue;
        }
        kept.push_back(std::move(value));
    }
    if (!found) return kErrorFileNotFound;
    std::vector<hive_set_value> entries;
    for (RegValue& value : kept)
        entries.push_back({value.name.data(), static_cast<hive_type>(value.type), value.data.size(),
                           reinterpret_cast<char*>(value.data.data())});
    if (hivex_node_set_values(h, open.node, entries.size(), entries.data(), 0) != 0)
        return kErrorRegistryIoFailed;
    hive->markDirty();
    return kErrorSuccess;
}

ErrorCode HostedRegistry::deleteKey(HKey parent, const std::string& subKey) {
    OpenKey base;
    if (const ErrorCode error = resolve(parent, &base); error != kErrorSuccess) return error;
    OpenKey target;
    if (const ErrorCode error = walk(base, subKey, false, &target, nullptr); error != kErrorSuccess)
        return error;
    if (target.kind != KeyKind::Node || target.hivePath.empty()) return kErrorAccessDenied;
    Hive* hive = hiveFor(target.mount);
    if (!hive) return kErrorBadDb;
    if (hivex_node_nr_children(hive->handle(), target.node) != 0) return kErrorAccessDenied;
    if (hivex_node_delete_child(hive->handle(), target.node) != 0) return kErrorRegistryIoFailed;
    hive->markDirty();
    for (auto& [handle, open] : m_handles)
        if (open.kind == KeyKind::Node && open.mount == target.mount && open.node == target.node)
            open.deleted = true;
    return kErrorSuccess;
}

ErrorCode HostedRegistry::saveKey(HKey key, const std::string& file) {
    OpenKey open;
    if (const ErrorCode error = resolve(key, &open); error != kErrorSuccess) return error;
    if (!m_config.privilegeEnabled || !m_config.privilegeEnabled(kSeBackupName))
        return kErrorPrivilegeNotHeld;
    if (open.kind != KeyKind::Node) return kErrorAccessDenied;
    const auto target = m_config.hostPath ? m_config.hostPath(file) : std::nullopt;
    if (!target || !parentDirectoryExists(*target)) return kErrorPathNotFound;
    if (fileExists(*target)) return kErrorAlreadyExists;

    Hive* hive = hiveFor(open.mount);
    if (!hive) return kErrorBadDb;
    TemporaryFile snapshot(hive->hasFile() ? std::string() : temporaryHostFile());
    std::string source = hive->file();
    if (hive->hasFile()) {
        if (const ErrorCode error = hive->commit(); error != kErrorSuccess) return error;
    } else {
        if (snapshot.path().empty()) return kErrorRegistryIoFailed;
        if (const ErrorCode error = hive->snapshot(snapshot.path()); error != kErrorSuccess) return error;
        source = snapshot.path();
    }
    try {
        const auto cell = static_cast<std::uint32_t>(open.node - regf::kBaseBlockSize);
        return fromErrno(regf::saveCompactHive(source, *target, cell));
    } catch (const regf::HiveError&) {
        return kErrorBadDb;
    }
}

ErrorCode HostedRegistry::replaceKey(HKey key, const std::string& subKey, const std::string& newFile,
                                     const std::string& oldFile) {
    OpenKey base;
    if (const ErrorCode error = resolve(key, &base); error != kErrorSuccess) return error;
    if (!m_config.privilegeEnabled || !m_config.privilegeEnabled(kSeRestoreName))
        return kErrorPrivilegeNotHeld;
    OpenKey target;
    if (const ErrorCode error = walk(base, subKey, false, &target, nullptr); error != kErrorSuccess)
        return error;
    // Only a whole hive with a file of its own can be replaced.
    if (target.kind != KeyKind::Node || !target.hivePath.empty()) return kErrorInvalidParameter;
    const HiveMount& mount = m_config.mounts[target.mount];
    if (mount.hostFile.empty()) return kErrorInvalidParameter;

    const auto newHost = m_config.hostPath ? m_config.hostPath(newFile) : std::nullopt;
    const auto oldHost = m_config.hostPath ? m_config.hostPath(oldFile) : std::nullopt;
    if (!newHost || !oldHost || !parentDirectoryExists(*oldHost)) return kErrorPathNotFound;
    if (!fileExists(*newHost)) return kErrorFileNotFound;
    if (!regf::isValidHiveFile(*newHost)) return kErrorNotRegistryFile;

    const PendingReplacement replacement{mount.registryPath, mount.hostFile, *newHost, *oldHost};
    return recordPendingReplacement(m_config.machineDirectory, replacement) ? kErrorSuccess
                                                                            : kErrorRegistryIoFailed;
}

}  // namespace brx::platform::hosted
