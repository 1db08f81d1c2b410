// The compact copy of a hive: only the cells reachable from a key are copied, with every offset
// remapped, into a fresh hive. Keys, values of every type, class names, security descriptors,
// time stamps and the order of values and subkeys are kept; free space and cells no key refers
// to are dropped. Subkey lists are written as "lf" lists, the form NT 4 and 2000 read, and big
// data is joined into one cell.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/hosted/regf/HiveImage.h"

namespace brx::platform::hosted::regf {

// The compact hive whose root is a copy of the key `keyCell` of `source` (its root when
// kNoCell). Throws HiveError on a damaged source.
std::vector<std::uint8_t> compactHive(const HiveImage& source, std::uint32_t keyCell = kNoCell);

// Reads `sourceFile`, writes its compact copy to `targetFile`. Returns 0, EEXIST when the target
// exists (it is left alone), or another errno value. Throws HiveError on a damaged source.
int saveCompactHive(const std::string& sourceFile, const std::string& targetFile,
                    std::uint32_t keyCell = kNoCell);

// Whether the file is a hive that can be read from end to end: base block, bins and every cell
// reachable from its root. On failure `why` says what is wrong.
bool isValidHiveFile(const std::string& path, std::string* why = nullptr);

}  // namespace brx::platform::hosted::regf
