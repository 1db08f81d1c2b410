#include "backup/SetNames.h"

#include <cctype>
#include <cstdio>

#include "backup/Paths.h"

namespace brx::backup {
namespace {

constexpr const char* kMonthNames[] = {"January", "February", "March",     "April",
                                       "May",     "June",     "July",      "August",
                                       "September", "October", "November", "December"};
constexpr const char* kDayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};

std::string TwoDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value % 100);
    return text;
}

std::string Field(char code, std::size_t count, const platform::LocalTime& date) {
    switch (code) {
    case 'd':
        if (count == 1) return std::to_string(date.day);
        if (count == 2) return TwoDigits(date.day);
        if (count == 3) return std::string(kDayNames[date.dayOfWeek % 7]).substr(0, 3);
        return kDayNames[date.dayOfWeek % 7];
    case 'm':
        if (count == 1) return std::to_string(date.month);
        if (count == 2) return TwoDigits(date.month);
        if (count == 3) return std::string(kMonthNames[(date.month + 11) % 12]).substr(0, 3);
        return kMonthNames[(date.month + 11) % 12];
    default:  // 'y'
        if (count <= 2) return TwoDigits(date.year);
        return std::to_string(date.year);
    }
}

}  // namespace

std::string FormatDate(const std::string& format, const platform::LocalTime& date,
                       const std::string& separator) {
    std::string result;
    for (std::size_t i = 0; i < format.size();) {
        const char c = format[i];
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (c == '"' || c == '\'') {
            std::size_t end = format.find(c, i + 1);
            if (end == std::string::npos) end = format.size();
            result += format.substr(i + 1, end - i - 1);
            i = end + 1;
        } else if (c == '/') {
            result += separator;
            ++i;
        } else if (lower == 'd' || lower == 'm' || lower == 'y') {
            std::size_t count = 0;
            while (i + count < format.size() &&
                   std::tolower(static_cast<unsigned char>(format[i + count])) == lower)
                ++count;
            result += Field(lower, count, date);
            i += count;
        } else {
            result += c;
            ++i;
        }
    }
    return result;
}

std::string NameByDate(const std::string& formattedDate, const std::string& suffix,
                       const std::vector<std::string>& entries) {
    std::string candidate = formattedDate;
    for (int j = 1;; ++j) {
        const std::string needle = candidate + suffix + "\\";
        bool taken = false;
        for (const auto& entry : entries) taken = taken || entry.find(needle) != std::string::npos;
        if (!taken) return candidate + suffix;
        candidate = formattedDate + "(" + std::to_string(j) + ")";
    }
}

std::string NameByNumber(const std::optional<std::string>& newestEntry, const std::string& suffix) {
    long long number = 0;
    if (newestEntry) {
        const std::string path = RemoveBackSl(*newestEntry);
        const std::string last = path.substr(path.rfind('\\') + 1);
        bool digits = !last.empty() && last.size() < 18;
        for (char c : last) digits = digits && std::isdigit(static_cast<unsigned char>(c));
        if (digits) number = std::stoll(last);
    }
    return std::to_string(number + 1) + suffix;
}

bool IsValidSetName(const std::string& name) {
    return !name.empty() && name.find_first_of("\\/:*?\"<>|") == std::string::npos;
}

}  // namespace brx::backup
