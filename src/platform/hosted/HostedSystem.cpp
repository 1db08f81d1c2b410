#include "platform/hosted/HostedSystem.h"

#include <ctime>
#include <random>

#include "platform/hosted/IniText.h"

namespace brx::platform::hosted {

namespace {

std::string withBackslash(std::string path) {
    if (path.empty() || path.back() != '\\') path += '\\';
    return path;
}

int dayOfWeek(int year, int month, int day) {
    // Sakamoto's method; 0 = Sunday.
    static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3) year -= 1;
    return (year + year / 4 - year / 100 + year / 400 + offsets[month - 1] + day) % 7;
}

LocalTime fromTm(const std::tm& tm) {
    LocalTime time;
    time.year = tm.tm_year + 1900;
    time.month = tm.tm_mon + 1;
    time.day = tm.tm_mday;
    time.hour = tm.tm_hour;
    time.minute = tm.tm_min;
    time.second = tm.tm_sec;
    time.dayOfWeek = tm.tm_wday;
    return time;
}

}  // namespace

std::optional<std::string> HostedSystem::environment(const std::string& name) {
    for (const auto& [key, value] : machine_.environment)
        if (equalsNoCase(key, name)) return value;
    // Variables every Windows session has, derived from the machine when not listed.
    const std::string windows = machine_.windowsDirectory;
    if (equalsNoCase(name, "SystemRoot") || equalsNoCase(name, "windir")) return windows;
    if (equalsNoCase(name, "SystemDrive")) return windows.substr(0, 2);
    if (equalsNoCase(name, "USERNAME")) return machine_.userName;
    if (equalsNoCase(name, "COMPUTERNAME")) return machine_.computerName;
    return std::nullopt;
}

std::string HostedSystem::expandEnvironmentStrings(const std::string& text) {
    std::string out;
    std::size_t position = 0;
    while (position < text.size()) {
        const auto open = text.find('%', position);
        if (open == std::string::npos) break;
        const auto close = text.find('%', open + 1);
        if (close == std::string::npos) break;
        out += text.substr(position, open - position);
        const std::string name = text.substr(open + 1, close - open - 1);
        if (auto value = name.empty() ? std::nullopt : environment(name)) {
            out += *value;
            position = close + 1;
        } else {
            // An unknown name stays as written; its closing '%' may open the next name.
            out += text.substr(open, close - open);
            position = close;
        }
    }
    out += text.substr(position);
    return out;
}

std::string HostedSystem::tempPath() {
    for (const char* name : {"TMP", "TEMP", "USERPROFILE"}) {
        if (auto value = environment(name); value && !value->empty())
            return withBackslash(expandEnvironmentStrings(*value));
    }
    return withBackslash(machine_.windowsDirectory);
}

std::string HostedSystem::tempFileName(const std::string& directory, const std::string& prefix) {
    static thread_local std::mt19937 random{std::random_device{}()};
    const std::string dir = withBackslash(directory);
    const std::string stem = prefix.substr(0, 3);
    const unsigned start = random() % 0xFFFF;
    for (unsigned i = 0; i < 0xFFFF; ++i) {
        const unsigned unique = (start + i) % 0xFFFF + 1;
        char hex[8];
        std::snprintf(hex, sizeof hex, "%X", unique);
        const std::string candidate = dir + stem + hex + ".TMP";
        OpenResult created = files_.open(candidate, OpenMode::CreateNew);
        if (created.file) return candidate;
        if (created.error != kErrorFileExists) return std::string();
    }
    return std::string();
}

LocalTime HostedSystem::now() {
    const LocalTime clock = toLocal(static_cast<FileTime>(std::time(nullptr)));
    if (!machine_.today) return clock;
    LocalTime today = *machine_.today;
    // A date alone keeps the clock's time of day.
    if (today.hour == 0 && today.minute == 0 && today.second == 0) {
        today.hour = clock.hour;
        today.minute = clock.minute;
        today.second = clock.second;
    }
    today.dayOfWeek = dayOfWeek(today.year, today.month, today.day);
    return today;
}

LocalTime HostedSystem::toLocal(FileTime time) {
    const std::time_t seconds = static_cast<std::time_t>(time);
    std::tm tm{};
    localtime_r(&seconds, &tm);
    return fromTm(tm);
}

FileTime HostedSystem::fromLocal(const LocalTime& time) {
    std::tm tm{};
    tm.tm_year = time.year - 1900;
    tm.tm_mon = time.month - 1;
    tm.tm_mday = time.day;
    tm.tm_hour = time.hour;
    tm.tm_min = time.minute;
    tm.tm_sec = time.second;
    tm.tm_isdst = -1;
    return static_cast<FileTime>(std::mktime(&tm));
}

}  // namespace brx::platform::hosted
