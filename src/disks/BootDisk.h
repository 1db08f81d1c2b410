// The boot diskette: the boot loader files of the boot drive copied, unchanged, onto a diskette
// (optionally formatted first), so that a machine whose own boot files are damaged still reaches
// its boot menu. The 2000 edition adds the emergency-repair files and offers to save the registry
// into Repair\RegBack.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/Program.h"
#include "disks/DiskServices.h"

namespace brx::disks {

inline constexpr const char* kMsgSafeMode = "Boot Disk may not be Created in Safe Mode.";
inline constexpr const char* kMsgCmdNotSetUp = "Cmd.exe is not properly setup.\r\rPlease reinstall Brellix.";
inline constexpr const char* kMsgBootDiskFailed = "Boot Disk Failed.";
inline constexpr const char* kMsgDisketteCompleted = "Diskette Completed.  Please Remove";
inline constexpr const char* kMsgFormatQuestion = "Do you want to format the diskette?";
inline constexpr const char* kCaptionFormat = "Format Diskette?";
inline constexpr const char* kMsgRegBackQuestion =
    "Do you want to back up the Registry to the Repair\\RegBack directory?  This backup can be "
    "used to help recover your system if the registry is damaged.";
inline constexpr const char* kCaptionRegBack = "Back up Registry?";
inline constexpr const char* kCaptionCopying = "Copying Files";

struct BootDiskFile {
    std::string source;
    std::string name;      // in the root of the diskette
    bool onlyIfPresent;    // left out silently when the source does not exist
    int step;              // whole-run gauge step
};

// The files of the diskette, in copying order.
std::vector<BootDiskFile> BootDiskFiles(const core::Program& program);

// The drive letter of an answer to the drive question: its first character, upper case; none for
// an empty answer.
std::optional<char> DriveLetterOf(const std::string& answer);

// The Boot Disk button.
void MakeBootDisk(core::Program& program, WindowServices& window, BootDiskWork& work);

}  // namespace brx::disks
