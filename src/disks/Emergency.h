// The operating system's own emergency tools: the setup-diskette maker from the installation CD,
// the NT repair-disk program, and the troubleshooter guides of Windows' help.
#pragma once

#include <string>
#include <vector>

#include "core/Program.h"
#include "disks/DiskServices.h"

namespace brx::disks {

inline constexpr const char* kMsgTroubleshootersNotSetUp =
    "The Windows Troubleshooters that come with Win98 are not set up properly.";
inline constexpr const char* kMsgTroubleshooterNotFound =
    "The Windows Troubleshooter could not be found.";

struct Troubleshooter {
    std::string caption;
    std::string helpFile;  // 2000 edition: "tshoot.chm"; NT edition: the WinHelp file
    std::string page;      // 2000 edition: the page; NT edition: the topic identifier
};

// The troubleshooter menu of the edition, in menu order.
const std::vector<Troubleshooter>& Troubleshooters(const editions::Edition& edition);

// The Setup Disks button: finds the CD's diskette maker and runs it until it ends.
void MakeSetupDisks(core::Program& program);
// The NT edition's Repair Disk button.
void MakeRepairDisk(core::Program& program);
// One item of the troubleshooter menu (`item` counts from 0; anything else is not an item).
void OpenTroubleshooter(core::Program& program, WindowServices& window, int item);

}  // namespace brx::disks
