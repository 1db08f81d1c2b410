// Names of new backup sets: by date or by consecutive number.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/System.h"

namespace brx::backup {

inline constexpr const char* kNameCaption = "Name of Backup";
inline constexpr const char* kNamePrompt = "Type Name of this Backup:";
inline constexpr const char* kBadNameText =
    "The Backup Name cannot be left blank and must not have any illegal characters, "
    "/,\\,:,*,?,<,>, or |";

// Formats a date with the codes d, dd, ddd, dddd, m, mm, mmm, mmmm, yy and yyyy (any case);
// text in quotes is copied as it stands, every other character too. `separator` replaces "/".
std::string FormatDate(const std::string& format, const platform::LocalTime& date,
                       const std::string& separator);

// The date name: the formatted date with "-" separators, followed by "(j)" for the smallest j
// that makes candidate + suffix + "\" appear in none of `entries`, then the suffix.
std::string NameByDate(const std::string& formattedDate, const std::string& suffix,
                       const std::vector<std::string>& entries);

// The number name: one more than the number that ends the newest entry (1 when there is none
// or it is not a number), followed by the suffix.
std::string NameByNumber(const std::optional<std::string>& newestEntry, const std::string& suffix);

// A name the user may give a set: not empty and without \ / : * ? " < > |.
bool IsValidSetName(const std::string& name);

}  // namespace brx::backup
