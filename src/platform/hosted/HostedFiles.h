// Files, directories and drives of a machine, over the host directories of its drives.
//
// A Windows path finds its host file component by component: the exact spelling first, then a
// name that differs only in case, then an 8.3 alias. What does not exist yet keeps the spelling
// given, so new files take the case the program chose. Nothing about the host is cached: other
// programs may change the machine at any time, and the next call sees it.
#pragma once

#include <sys/stat.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/hosted/HostFile.h"
#include "platform/hosted/MachineConfig.h"
#include "platform/hosted/WindowsPath.h"

namespace brx::platform::hosted {

class HostedFiles final : public Files {
  public:
    explicit HostedFiles(MachineConfig& machine) : machine_(machine) {}

    OpenResult open(const std::string& path, OpenMode mode) override;
    std::optional<FileInfo> stat(const std::string& path) override;
    std::vector<FileInfo> find(const std::string& pattern) override;
    ErrorCode createDirectory(const std::string& path) override;
    ErrorCode removeDirectory(const std::string& path) override;
    ErrorCode deleteFile(const std::string& path) override;
    ErrorCode moveFile(const std::string& from, const std::string& to) override;
    ErrorCode replaceFile(const std::string& from, const std::string& to) override;
    ErrorCode copyFile(const std::string& from, const std::string& to, bool failIfExists) override;
    ErrorCode setFileTime(const std::string& path, FileTime modified) override;
    std::uint32_t getAttributes(const std::string& path) override;
    ErrorCode setAttributes(const std::string& path, std::uint32_t attributes) override;
    std::optional<std::string> shortPathName(const std::string& path) override;
    std::optional<std::string> longPathName(const std::string& path) override;
    DriveType driveType(const std::string& root) override;
    bool driveReady(const std::string& root) override;
    std::optional<DiskSpace> diskFreeSpace(const std::string& root) override;
    std::string volumeLabel(const std::string& root) override;
    std::string logicalDrives() override;
    ErrorCode formatDrive(const std::string& root) override;
    std::optional<std::string> hostPath(const std::string& path) override;

    // Writes the whole file through a temporary file beside it that takes its place only when
    // complete and on disk, so that an interrupted write leaves the old file whole. A read-only
    // file refuses; hidden and system stay as they were.
    ErrorCode writeFileAtomically(const std::string& path, const std::string& bytes);

    // The host path of a device path such as "\Device\HarddiskVolume1\WINNT\System32\config\SAM"
    // (through [Devices]) or of a plain Windows path; nullopt when no drive holds it.
    std::optional<std::string> hostPathOfDevicePath(const std::string& devicePath);
    // Whether the host file is the file of a loaded hive, which Windows keeps open.
    bool isFileInUse(const std::string& hostPath);

    // Where a path leads on the host.
    struct Resolved {
        const DriveConfig* drive = nullptr;
        std::string host;
        bool mediaPresent = false;
        bool exists = false;
        bool parentExists = false;
        struct stat status {};                 // of the host file, when it exists
        std::vector<std::string> storedNames;  // spelling on disk of every existing component
    };
    // nullopt for a malformed path or an unknown drive.
    std::optional<Resolved> resolve(const std::string& path);

  private:
    const DriveConfig* drive(char letter) const;
    const DriveConfig* driveOf(const std::string& path) const;
    bool mediaPresent(const DriveConfig& drive) const;
    ErrorCode checkWritable(const Resolved& target) const;
    ErrorCode failureFor(const std::optional<Resolved>& target) const;
    ErrorCode refusalToOpen(const std::optional<Resolved>& target, OpenMode mode);
    std::uint32_t attributesOf(const Resolved& target) const;
    bool onNtfsVolume(const DriveConfig& drive) const;
    std::uint64_t usedBytes(const DriveConfig& drive) const;
    SpaceCheck spaceCheckFor(const DriveConfig& drive) const;
    std::vector<std::string> aliasesOf(const std::string& hostDir,
                                       const std::vector<std::string>& names) const;
    std::optional<std::string> findComponent(const std::string& hostDir,
                                             const std::string& name) const;
    ErrorCode copyContent(const std::string& from, const std::string& to, bool failIfExists);

    MachineConfig& machine_;
    // Whether a drive's host directory is an NTFS volume (ntfs-3g), which keeps DOS attributes
    // itself. A mount does not change its kind while the program runs.
    mutable std::map<std::string, bool> ntfsVolumes_;
};

}  // namespace brx::platform::hosted
