#include "registry/NTRegistry.h"

#include <initializer_list>

namespace brx::registry {

using namespace brx::platform;

namespace {

constexpr std::uint32_t kReadWriteCreate = kKeyRead | kKeySetValue | kKeyCreateSubKey;

}  // namespace

TNTRegistry::TNTRegistry(Registry& registry) : m_registry(registry) {}

TNTRegistry::~TNTRegistry() { ClosePath(); }

void TNTRegistry::UseRoot(HKey root)
{
    if (root == m_root) return;
    ClosePath();
    m_root = root;
}

TNTRegistry::Target TNTRegistry::Resolve(const std::string& path) const
{
    if (!path.empty() && path.front() == '\\') return {m_root, path.substr(1)};
    return {m_current != 0 ? m_current : m_root, path};
}

bool TNTRegistry::OpenPath(const std::string& path, bool mayCreate)
{
    const Target target = Resolve(path);
    HKey key = 0;
    bool opened = false;
    if (mayCreate && !path.empty()) {
        bool created = false;
        for (std::uint32_t access : {kKeyAllAccess, kReadWriteCreate}) {
            if (m_registry.createKey(target.base, target.subKey, access, &key, &created) ==
                kErrorSuccess) {
                opened = true;
                break;
            }
        }
    } else {
        for (std::uint32_t access : {kKeyAllAccess, kReadWriteCreate, kKeyRead}) {
            if (m_registry.openKey(target.base, target.subKey, access, &key) == kErrorSuccess) {
                opened = true;
                break;
            }
        }
    }
    if (!opened) return false;

    const bool relative = path.empty() || path.front() != '\\';
    std::string newPath = relative && m_current != 0 ? m_currentPath + "\\" + path : path;
    ClosePath();
    m_current = key;
    m_currentPath = std::move(newPath);
    return true;
}

void TNTRegistry::ClosePath()
{
    if (m_current == 0) return;
    if (m_closeMode)
        m_registry.closeKey(m_current);
    else
        m_registry.flushKey(m_current);
    m_current = 0;
    m_currentPath.clear();
}

std::string TNTRegistry::ReadText(const std::string& name)
{
    const HKey key = m_current != 0 ? m_current : m_root;
    RegValue value;
    const ErrorCode result = m_registry.queryValue(key, name, &value);
    if (result == kErrorFileNotFound) return {};
    if (result != kErrorSuccess)
        throw RegistryError("Failed to get data for '" + name + "'");
    if (value.data.empty()) return {};
    if (value.type != kRegSz && value.type != kRegExpandSz)
        throw RegistryError("Invalid data type for '" + name + "'");
    return value.text();
}

std::vector<std::string> TNTRegistry::ListValueNames()
{
    std::vector<std::string> names;
    const HKey key = m_current != 0 ? m_current : m_root;
    RegKeyInfo info;
    if (m_registry.queryInfoKey(key, &info) != kErrorSuccess) return names;
    for (std::uint32_t index = 0; index < info.values; ++index) {
        RegValue value;
        if (m_registry.enumValue(key, index, &value) != kErrorSuccess) break;
        names.push_back(value.name);
    }
    return names;
}

HKey TNTRegistry::OpenForSave(const std::string& path)
{
    const Target target = Resolve(path);
    HKey key = 0;
    for (std::uint32_t access : {kKeyAllAccess, kReadWriteCreate, kKeyRead})
        if (m_registry.openKey(target.base, target.subKey, access, &key) == kErrorSuccess)
            return key;
    // Last resort: a backup-restore open, which Windows grants to a holder of the backup
    // privilege even when the key's own security refuses every other access.
    bool created = false;
    for (std::uint32_t access : {kKeyQueryValue, kKeyWrite})
        if (m_registry.createKey(target.base, target.subKey, access, &key, &created) ==
            kErrorSuccess)
            return key;
    return 0;
}

bool TNTRegistry::SaveToFile(const std::string& path, const std::string& file)
{
    const HKey key = OpenForSave(path);
    if (key == 0) return false;
    const ErrorCode result = m_registry.saveKey(key, file);
    m_registry.closeKey(key);
    return result == kErrorSuccess;
}

bool TNTRegistry::ReplaceWithFile(const std::string& path, const std::string& newFile,
                                  const std::string& oldFile)
{
    const Target target = Resolve(path);
    return m_registry.replaceKey(target.base, target.subKey, newFile, oldFile) == kErrorSuccess;
}

}  // namespace brx::registry
