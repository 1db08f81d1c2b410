// 8.3 aliases, made the way Windows makes them on its disks: a long name gets the first six
// valid characters of its name in upper case, "~" and a number, and the first three characters
// of its extension; a name that already is a valid 8.3 name keeps no alias. Numbers are handed
// out in the order the names were created, so an alias stays what it was when other names come.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace brx::platform::hosted {

// A name of at most 8 characters plus at most 3 after one dot, of characters DOS allows.
bool isValidShortName(std::string_view name);

// The alias of every name of one directory ("" for valid 8.3 names), in the order of `names`.
// `creationOrder(i)` is asked only for names whose aliases compete for the same number; it gives
// a key that sorts older names first: the birth time, then the inode number, which breaks ties
// between names made within one tick of the clock.
struct CreationKey {
    std::int64_t time = 0;
    std::uint64_t tie = 0;
    auto operator<=>(const CreationKey&) const = default;
};
std::vector<std::string> assignShortNames(
    const std::vector<std::string>& names,
    const std::function<CreationKey(std::size_t)>& creationOrder);

// FindFirstFile's masks: '*' and '?', "*.*" matches every name, a mask ending in ".*" also
// matches the name without extension, and a mask ending in "." matches only names without one.
// Case-blind.
bool matchesMask(std::string_view name, std::string_view mask);

}  // namespace brx::platform::hosted
