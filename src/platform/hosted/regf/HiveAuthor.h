// Writes a new hive key by key through hivex: the machine's demo hives and test hives are
// made with it. The saved file has "lf" subkey lists.
#pragma once

#include <memory>
#include <string>

#include "platform/Registry.h"

struct hive_h;

namespace brx::platform::hosted::regf {

class HiveAuthor {
public:
    // Starts from an empty hive whose root key has the given name. Throws HiveError.
    explicit HiveAuthor(const std::string& rootName);
    ~HiveAuthor();
    HiveAuthor(const HiveAuthor&) = delete;
    HiveAuthor& operator=(const HiveAuthor&) = delete;

    // Creates the key (and its parents) below the root; "A\B\C".
    HiveAuthor& key(const std::string& path);
    HiveAuthor& value(const std::string& path, const RegValue& value);
    HiveAuthor& text(const std::string& path, const std::string& name, const std::string& text);
    HiveAuthor& dword(const std::string& path, const std::string& name, std::uint32_t number);
    // Deletes the key with everything below it. hivex leaves the cells it used as free space.
    HiveAuthor& remove(const std::string& path);

    // Writes the hive to `file` (replacing it) through a temporary file. Throws HiveError.
    void save(const std::string& file);

private:
    std::uint64_t node(const std::string& path, bool create);

    std::string m_seedFile;
    hive_h* m_hive = nullptr;
};

}  // namespace brx::platform::hosted::regf
