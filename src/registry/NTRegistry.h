// A small registry-access object: one root, one current key, and access fall-backs so that a
// user with fewer rights still gets the best handle Windows will give.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace brx::registry {

// Raised by ReadText with the program's own texts.
class RegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TNTRegistry {
public:
    explicit TNTRegistry(platform::Registry& registry);
    ~TNTRegistry();
    TNTRegistry(const TNTRegistry&) = delete;
    TNTRegistry& operator=(const TNTRegistry&) = delete;

    platform::HKey RootKey() const { return m_root; }
    platform::HKey CurrentKey() const { return m_current; }
    const std::string& CurrentPath() const { return m_currentPath; }
    // Off: releasing the current key only flushes it and forgets the handle.
    void SetCloseMode(bool close) { m_closeMode = close; }

    void UseRoot(platform::HKey root);
    // A path beginning with a backslash is absolute (below the root key); any other path is
    // relative to the current key if one is open, else to the root key.
    bool OpenPath(const std::string& path, bool mayCreate);
    void ClosePath();

    // String value of the current key; "" when missing or empty. Throws RegistryError
    // "Invalid data type for '<name>'" or "Failed to get data for '<name>'".
    std::string ReadText(const std::string& name);
    std::vector<std::string> ListValueNames();

    // RegSaveKeyA of the key at `path` into `file`; true when Windows reported success.
    bool SaveToFile(const std::string& path, const std::string& file);
    // RegReplaceKeyA on the root key; true when Windows reported success.
    bool ReplaceWithFile(const std::string& path, const std::string& newFile,
                         const std::string& oldFile);

private:
    struct Target {
        platform::HKey base;
        std::string subKey;
    };
    Target Resolve(const std::string& path) const;
    platform::HKey OpenForSave(const std::string& path);

    platform::Registry& m_registry;
    platform::HKey m_root = platform::kHKeyCurrentUser;
    platform::HKey m_current = 0;
    std::string m_currentPath;
    bool m_closeMode = true;
};

}  // namespace brx::registry
