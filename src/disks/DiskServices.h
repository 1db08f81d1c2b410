// What the boot disk, the setup disks and the troubleshooters need from the rest of the program:
// the window's own dialogs and help, the plain copy of the backup and the registry save.
#pragma once

#include <string>

namespace brx::disks {

// Things only the window can do.
class WindowServices {
public:
    virtual ~WindowServices() = default;
    // The shell's format dialog for drive number `drive` (A = 0); its result is not examined.
    virtual void FormatDrive(int drive) = 0;
    virtual void RepaintMainWindow() = 0;
    virtual void WarningBeep() = 0;
    // Shows `page` of the compiled HTML help file `chmPath` (a Windows path); false when it
    // cannot be shown.
    virtual bool ShowCompiledHelpPage(const std::string& chmPath, const std::string& page) = 0;
    // Makes `helpFile` (a Windows path) the application's help file and jumps to `topic`.
    virtual bool JumpToHelpTopic(const std::string& helpFile, const std::string& topic) = 0;
};

// The copy and registry work of the boot disk.
class BootDiskWork {
public:
    virtual ~BootDiskWork() = default;
    // A plain copy that keeps the file's attributes. A missing source goes to the warning list
    // and sets the error flag; a destination that cannot be written throws. The whole-run gauge
    // advances by `step` either way.
    virtual void CopyFile(const std::string& source, const std::string& destination, int step) = 0;
    virtual void SetRunGauge(int percent) = 0;
    // The per-file gauge is split into `parts` shares from `base`.
    virtual void SetProgressParts(int parts, int base) = 0;
    // Every loaded hive as plain files with their user.ini into `directory` (ends with "\").
    virtual void SaveRegistry(const std::string& directory, int step) = 0;
};

}  // namespace brx::disks
