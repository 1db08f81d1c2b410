// The registry functions of advapi32, with Windows' error codes. Names and string data are
// UTF-8 here; the hives hold UTF-16LE.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Errors.h"
#include "platform/System.h"

namespace brx::platform {

using HKey = std::uintptr_t;
inline constexpr HKey kHKeyClassesRoot = 0x80000000u;
inline constexpr HKey kHKeyCurrentUser = 0x80000001u;
inline constexpr HKey kHKeyLocalMachine = 0x80000002u;
inline constexpr HKey kHKeyUsers = 0x80000003u;

// Access rights (REGSAM).
inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeySetValue = 0x0002;
inline constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
inline constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyWrite = 0x20006;
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;

// Value types.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

struct RegKeyInfo {
    std::string className;
    std::uint32_t subKeys = 0;
    std::uint32_t maxSubKeyLength = 0;
    std::uint32_t values = 0;
    std::uint32_t maxValueNameLength = 0;
    std::uint32_t maxValueLength = 0;
    FileTime lastWrite = 0;
};

struct RegValue {
    std::string name;
    std::uint32_t type = kRegNone;
    std::vector<std::uint8_t> data;  // raw bytes; for strings UTF-16LE as stored

    // REG_SZ / REG_EXPAND_SZ data as UTF-8, without the terminating NUL.
    std::string text() const;

    // A string value: `text` stored as UTF-16LE with its terminating NUL.
    static RegValue string(std::string name, const std::string& text, std::uint32_t type = kRegSz);
    static RegValue dword(std::string name, std::uint32_t number);
};

class Registry {
public:
    virtual ~Registry() = default;

    virtual ErrorCode openKey(HKey parent, const std::string& subKey, std::uint32_t access,
                              HKey* result) = 0;                                   // RegOpenKeyExA
    virtual ErrorCode createKey(HKey parent, const std::string& subKey, std::uint32_t access,
                                HKey* result, bool* created) = 0;                  // RegCreateKeyExA
    virtual ErrorCode closeKey(HKey key) = 0;                                      // RegCloseKey
    virtual ErrorCode flushKey(HKey key) = 0;                                      // RegFlushKey
    virtual ErrorCode queryInfoKey(HKey key, RegKeyInfo* info) = 0;                // RegQueryInfoKeyA
    virtual ErrorCode enumValue(HKey key, std::uint32_t index, RegValue* value) = 0;  // RegEnumValueA
    virtual ErrorCode enumKey(HKey key, std::uint32_t index, std::string* name) = 0;  // RegEnumKeyExA
    virtual ErrorCode queryValue(HKey key, const std::string& name, RegValue* value) = 0;  // RegQueryValueExA
    virtual ErrorCode setValue(HKey key, const RegValue& value) = 0;               // RegSetValueExA
    virtual ErrorCode deleteValue(HKey key, const std::string& name) = 0;
    virtual ErrorCode deleteKey(HKey parent, const std::string& subKey) = 0;       // no subkeys
    // RegSaveKeyA on a hive root: writes a compact copy; fails when `file` exists and without
    // the backup privilege.
    virtual ErrorCode saveKey(HKey key, const std::string& file) = 0;
    // RegReplaceKeyA: schedules `newFile` to become the hive at the next restart, the current
    // file moving to `oldFile`. Needs the restore privilege.
    virtual ErrorCode replaceKey(HKey key, const std::string& subKey, const std::string& newFile,
                                 const std::string& oldFile) = 0;
};

}  // namespace brx::platform
