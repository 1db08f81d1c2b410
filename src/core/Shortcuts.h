// Writing and reading the program's shortcut files. Failures throw Error with "Write error." or
// "Read error."; the readers return "" for a file that does not exist.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace brx::core {

inline constexpr const char* kOldStartupShortcut = "Brellix95.lnk";
inline constexpr const char* kCleanupShortcut = "cleanup.lnk";

// Writes (or replaces) `linkPath`, starting `target` with `arguments` in the directory of
// `programPath`, with a normal window and no hot key.
void MakeShortcut(platform::Platform& platform, const std::string& programPath,
                  const std::string& target, const std::string& arguments,
                  const std::string& linkPath, const std::string& description);
std::string CheckTarget(platform::Platform& platform, const std::string& linkPath);
std::string CheckParameters(platform::Platform& platform, const std::string& linkPath);

}  // namespace brx::core
