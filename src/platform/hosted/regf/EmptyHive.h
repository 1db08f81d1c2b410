// A new, empty hive: a root key named `rootName` with a security descriptor that gives the
// Administrators and SYSTEM full control and Everyone read access.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brx::platform::hosted::regf {

std::vector<std::uint8_t> emptyHive(const std::string& rootName);

// Writes an empty hive to `path`, replacing what is there. Returns 0 or an errno value.
int writeEmptyHive(const std::string& path, const std::string& rootName);

}  // namespace brx::platform::hosted::regf
