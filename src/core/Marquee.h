// The status marquee's text: the last backups, the tip of the day and the state of DorAdur.
// Building it also finishes a DorAdur that was done before the last restart of Windows.
#pragma once

#include <string>

#include "platform/Platform.h"
#include "zip/ZipEngine.h"

namespace brx::core {

struct MarqueeSite {
    platform::Platform& platform;
    zip::ZipEngine& engine;          // the program's engine, with the preferences' password and blocks
    std::string windowsDirectory;    // with trailing backslash
    std::string programDirectory;    // with trailing backslash
    std::string settingsFile;        // brxset.ini
    std::string dateFormat;          // the program's short date format, Windows picture notation
    bool ntEdition = false;
};

// The whole text that scrolls. When a DorAdur was just done, its archive is completed with the
// files left in the Redo directory and the registry's reduction is recorded, once.
std::string GetMarqueeText(MarqueeSite& site);

class Program;
// The same for the running program: its paths, date format, edition and engine.
std::string GetMarqueeText(Program& program);

// The tip for a day of the month (1 to 31).
std::string MarqueeTip(int day, bool ntEdition);

// "Today", "1 day ago" or the day count followed by " days ago" (negative for future dates).
std::string DateAge(const platform::LocalTime& today, int year, int month, int day);

// A date in Windows picture notation: d, dd, M, MM, yy, yyyy; everything else is literal.
std::string FormatShortDate(const std::string& format, int year, int month, int day);

}  // namespace brx::core
