// The description of a machine: machine.ini at the root of a machine directory. It says where
// each drive of the Windows installation lives on the host, who the user is, which hives are
// loaded and what the user may do. README.md documents the file field by field.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Files.h"
#include "platform/System.h"

namespace brx::platform::hosted {

inline constexpr const char* kMachineIniName = "machine.ini";

struct DriveConfig {
    char letter = 'C';
    DriveType type = DriveType::Fixed;
    std::string hostDir;                    // absolute host directory of the drive's root
    std::optional<std::uint64_t> capacity;  // bytes; free space is then counted against it
    std::string label;
    std::uint32_t serial = 0;
};

struct MachineConfig {
    std::string machineDir;  // absolute, without trailing '/'
    std::string windowsDirectory = "C:\\WINNT";
    std::string systemDirectory;  // empty: Windows directory + "\System32"
    std::string userName = "Administrator";
    std::string userSid;
    std::string computerName = "BRELLIX";
    int safeMode = 0;
    std::string programPath;
    std::optional<LocalTime> today;  // a fixed date (and time) instead of the clock
    std::string shortDateFormat = "M/d/yyyy";
    std::string viewer = "xdg-open";  // host program that shows a file for notepad.exe

    std::map<char, DriveConfig> drives;                 // by upper-case letter
    std::vector<std::pair<std::string, char>> devices;  // "\Device\HarddiskVolume1" → C
    std::vector<std::pair<std::string, std::string>> environment;
    std::vector<std::pair<std::string, std::string>> hives;     // key → device path (may be "")
    std::map<std::string, bool> privileges;                     // "Backup" → held
    std::vector<std::pair<std::string, std::string>> programs;  // "rdisk.exe" → host command
};

// Reads DIR/machine.ini. Throws std::runtime_error naming the file and the fault when it is
// missing, unreadable or describes no usable drive.
MachineConfig loadMachineConfig(const std::string& machineDir);

// Parses "2026-12-09" or "2026-12-09 14:30:00"; nullopt when it is no such date.
std::optional<LocalTime> parseMachineDate(const std::string& text);

// Reads a whole host file; nullopt when it cannot be read.
std::optional<std::string> readHostFile(const std::string& hostPath);

}  // namespace brx::platform::hosted
