// Rewrites the "lh" subkey lists of a hive as "lf" lists in place. Both hold (offset, 4 bytes)
// pairs, so only the signature and the second half of each pair change: hivex writes "lh",
// while NT 4 and 2000 expect "lf".
#pragma once

#include <string>

namespace brx::platform::hosted::regf {

// Converts the hive file at `path` (through a temporary file). Returns the number of lists
// rewritten. Throws HiveError on a damaged hive.
std::size_t convertSubkeyListsToLf(const std::string& path);

}  // namespace brx::platform::hosted::regf
