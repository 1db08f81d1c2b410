// System state: directories, user, environment, temporary files, clock, safe mode.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Files.h"

namespace brx::platform {

// A local date and time (SYSTEMTIME without milliseconds).
struct LocalTime {
    int year = 1980;
    int month = 1;   // 1..12
    int day = 1;     // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int dayOfWeek = 0;  // 0 = Sunday

    friend bool operator==(const LocalTime&, const LocalTime&) = default;
};

class System {
public:
    virtual ~System() = default;

    // Full path of the running program ("C:\Program Files\Brellix\Brellix2K.exe").
    virtual std::string programPath() = 0;
    virtual std::string windowsDirectory() = 0;  // GetWindowsDirectoryA: no trailing backslash
    virtual std::string systemDirectory() = 0;   // GetSystemDirectoryA: no trailing backslash
    virtual std::string userName() = 0;          // GetUserNameA
    virtual std::string computerName() = 0;
    // GetEnvironmentVariable; nullopt when unset.
    virtual std::optional<std::string> environment(const std::string& name) = 0;
    // ExpandEnvironmentStringsA: %NAME% replaced; unknown names stay as written.
    virtual std::string expandEnvironmentStrings(const std::string& text) = 0;
    // GetTempPathA: ends with a backslash.
    virtual std::string tempPath() = 0;
    // GetTempFileNameA(dir, prefix, 0): creates an empty unique "PREuuuu.TMP" and returns its
    // path; empty on failure.
    virtual std::string tempFileName(const std::string& directory, const std::string& prefix) = 0;
    // GetSystemMetrics(SM_CLEANBOOT): 0 normal boot, 1 safe mode, 2 safe mode with network.
    virtual int cleanBoot() = 0;

    virtual LocalTime now() = 0;
    virtual LocalTime toLocal(FileTime time) = 0;
    virtual FileTime fromLocal(const LocalTime& time) = 0;
    // The user's short date format in Windows picture notation ("M/d/yyyy", "dd.MM.yyyy").
    virtual std::string shortDateFormat() = 0;
};

}  // namespace brx::platform
