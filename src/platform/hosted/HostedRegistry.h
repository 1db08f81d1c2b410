// The registry of a machine: real regf hive files, read and written with hivex.
//
// HKEY_LOCAL_MACHINE and HKEY_USERS list the mounted hives by the last component of their
// registry path (\REGISTRY\MACHINE\SOFTWARE appears as HKLM\SOFTWARE); HKEY_CURRENT_USER is
// HKEY_USERS\<user SID>; HKEY_CLASSES_ROOT is HKLM\SOFTWARE\Classes. In the SYSTEM hive,
// CurrentControlSet follows Select\Current, and CurrentControlSet\Control\hivelist is made from
// the mounts, as Windows makes its volatile key.
//
// Writes go to hivex's copy in memory and reach the hive file on RegFlushKey, on closing a key
// that was written through, before a save, and when the registry is closed; each time through
// a temporary file that replaces the hive only once it is complete. A hive without a file (the
// hardware hive) lives in memory only.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace brx::platform::hosted {

struct HiveMount {
    std::string registryPath;  // \REGISTRY\MACHINE\SOFTWARE, \REGISTRY\USER\S-1-5-21-...
    std::string hostFile;      // empty for a hive without a file, which lives in memory
    std::string devicePath;    // what the hive list shows: \Device\HarddiskVolume1\WINNT\...;
                               // empty for a hive without a file
};

struct HostedRegistryConfig {
    std::vector<HiveMount> mounts;
    std::string userSid;
    // Where pending hive replacements are recorded (pending.ini).
    std::string machineDirectory;
    // Whether the named privilege ("SeBackupPrivilege") is enabled in the process token.
    std::function<bool(const std::string&)> privilegeEnabled;
    // The host file for a Windows path ("C:\WINNT\sam"), also for a file that does not exist
    // yet; nullopt when the drive has no host directory.
    std::function<std::optional<std::string>(const std::string&)> hostPath;
};

class Hive;
struct OpenKey;

class HostedRegistry final : public Registry {
public:
    explicit HostedRegistry(HostedRegistryConfig config);
    ~HostedRegistry() override;

    ErrorCode openKey(HKey parent, const std::string& subKey, std::uint32_t access,
                      HKey* result) override;
    ErrorCode createKey(HKey parent, const std::string& subKey, std::uint32_t access, HKey* result,
                        bool* created) override;
    ErrorCode closeKey(HKey key) override;
    ErrorCode flushKey(HKey key) override;
    ErrorCode queryInfoKey(HKey key, RegKeyInfo* info) override;
    ErrorCode enumValue(HKey key, std::uint32_t index, RegValue* value) override;
    ErrorCode enumKey(HKey key, std::uint32_t index, std::string* name) override;
    ErrorCode queryValue(HKey key, const std::string& name, RegValue* value) override;
    ErrorCode setValue(HKey key, const RegValue& value) override;
    ErrorCode deleteValue(HKey key, const std::string& name) override;
    ErrorCode deleteKey(HKey parent, const std::string& subKey) override;
    ErrorCode saveKey(HKey key, const std::string& file) override;
    ErrorCode replaceKey(HKey key, const std::string& subKey, const std::string& newFile,
                         const std::string& oldFile) override;

    // Writes every changed hive to its file and closes all hives and handles. Called before a
    // restart moves hive files, so that nothing is written over the replaced hives afterwards.
    void closeAllHives();

    const std::vector<HiveMount>& mounts() const { return m_config.mounts; }

private:
    ErrorCode resolve(HKey key, OpenKey* out);
    ErrorCode walk(OpenKey start, const std::string& subKey, bool create, OpenKey* out,
                   bool* created);
    ErrorCode step(const OpenKey& from, const std::string& component, bool create, OpenKey* out,
                   bool* created);
    Hive* hiveFor(std::size_t mountIndex);
    std::optional<std::size_t> mountByPath(const std::string& registryPath) const;
    std::optional<std::size_t> mountUnder(const std::string& prefix, std::size_t index) const;
    std::vector<RegValue> hiveListValues() const;
    HKey newHandle(const OpenKey& key);

    HostedRegistryConfig m_config;
    std::vector<std::unique_ptr<Hive>> m_hives;  // by mount index, opened on first use
    std::map<HKey, OpenKey> m_handles;
    HKey m_nextHandle = 0x100;
};

}  // namespace brx::platform::hosted
