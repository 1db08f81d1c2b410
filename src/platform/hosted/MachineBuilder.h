// Writes machines: the demo machine of `brxmachine create` and the small machines of the
// tests, from the same code. A machine is a directory with machine.ini and one host directory
// per drive (C, A, D), filled with what a freshly installed Windows 2000 or NT 4 holds.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/System.h"

namespace brx::platform::hosted {

class HostedPlatform;

enum class WindowsEdition { Windows2000, WindowsNT };

struct MachineOptions {
    WindowsEdition edition = WindowsEdition::Windows2000;
    std::string userName = "Administrator";
    std::string computerName = "BRELLIX-DEMO";
    bool withDiskette = true;         // drive A: (removable, 1.44 MB)
    bool disketteInserted = true;     // A: has media (an empty diskette)
    bool withCdRom = true;            // drive D:
    bool withDemoFiles = true;        // documents, favourites, start menu entries and the like
    bool withHives = true;            // ask the hive writer, when there is one
    std::optional<LocalTime> today;   // [Machine] Today
    std::string viewer = "xdg-open";  // [Machine] Viewer: shows files opened with notepad.exe
};

// Where things are on a created machine (Windows paths, no trailing backslash).
struct MachineLayout {
    std::string machineDir;
    std::string windowsDirectory;
    std::string systemDirectory;
    std::string profileDirectory;
    std::string allUsersDirectory;
    std::string programDirectory;
    std::string programPath;
    std::string userSid;
};

inline constexpr std::uint64_t kDisketteCapacity = 1457664;

// Fills the machine's hive files; the registry's code provides it. Called with the new machine
// opened, after every other file is in place.
using HiveWriter = std::function<void(HostedPlatform& machine, const MachineOptions& options)>;
void setHiveWriter(HiveWriter writer);

// Creates the machine in `dir` (created when missing; it must not already hold a machine).
// Throws std::runtime_error naming what could not be written.
MachineLayout createMachine(const std::string& dir, const MachineOptions& options = {});

// The layout createMachine uses for these options, without writing anything.
MachineLayout machineLayout(const std::string& dir, const MachineOptions& options);

// SZDD ("sam._") form of a file, as the NT repair directory holds them. `name` is the original
// file name, whose last character the header keeps when the compressed name replaced it.
std::string szddCompress(const std::string& content, const std::string& name);

}  // namespace brx::platform::hosted
