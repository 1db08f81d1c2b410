// Files, directories, drives and file attributes, addressed by Windows paths ("C:\WINNT\win.ini").
//
// Paths are UTF-8 strings holding Windows paths: a drive letter, a colon and backslash-separated
// components. Components match without regard to case and 8.3 aliases resolve, as on Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Errors.h"

namespace brx::platform {

// DOS file attributes (FILE_ATTRIBUTE_*).
enum FileAttribute : std::uint32_t {
    kAttrReadOnly = 0x01,
    kAttrHidden = 0x02,
    kAttrSystem = 0x04,
    kAttrDirectory = 0x10,
    kAttrArchive = 0x20,
    kAttrNormal = 0x80,
};
inline constexpr std::uint32_t kInvalidAttributes = 0xFFFFFFFFu;

// GetDriveTypeA's answers.
enum class DriveType : std::uint32_t {
    Unknown = 0,
    NoRootDir = 1,
    Removable = 2,
    Fixed = 3,
    Remote = 4,
    CdRom = 5,
    RamDisk = 6,
};

// Seconds since 1970-01-01 00:00:00 UTC; local-time conversion is the System's business.
using FileTime = std::int64_t;

// One directory entry, as FindFirstFile/FindNextFile return it.
struct FileInfo {
    std::string name;       // long name as stored
    std::string shortName;  // 8.3 alias; empty when the long name is already a valid 8.3 name
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
    FileTime modified = 0;

    bool isDirectory() const { return (attributes & kAttrDirectory) != 0; }
};

struct DiskSpace {
    std::uint64_t freeBytes = 0;
    std::uint64_t totalBytes = 0;
};

enum class OpenMode {
    Read,          // existing file, read only
    Write,         // create or truncate, write only
    CreateNew,     // create, fail with kErrorFileExists when present
    ReadWrite,     // existing file, read and write
};

enum class SeekFrom { Begin, Current, End };

// An open file. Move-only; closing happens in the destructor. Reads and writes are unbuffered
// calls on the underlying file: callers stream through buffers of their own size.
class File {
public:
    class Impl {
    public:
        virtual ~Impl() = default;
        virtual std::size_t read(void* buffer, std::size_t bytes) = 0;   // 0 at end of file
        virtual bool write(const void* data, std::size_t bytes) = 0;      // all or fail
        virtual std::optional<std::uint64_t> seek(std::int64_t offset, SeekFrom from) = 0;
        virtual std::uint64_t size() = 0;
        virtual bool truncate(std::uint64_t size) = 0;
        virtual bool flush() = 0;
        virtual ErrorCode lastError() const = 0;
    };

    File() = default;
    explicit File(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
    File(File&&) noexcept = default;
    File& operator=(File&&) noexcept = default;

    explicit operator bool() const { return impl_ != nullptr; }
    std::size_t read(void* buffer, std::size_t bytes) { return impl_->read(buffer, bytes); }
    bool write(const void* data, std::size_t bytes) { return impl_->write(data, bytes); }
    std::optional<std::uint64_t> seek(std::int64_t offset, SeekFrom from = SeekFrom::Begin) {
        return impl_->seek(offset, from);
    }
    std::uint64_t size() { return impl_->size(); }
    bool truncate(std::uint64_t size) { return impl_->truncate(size); }
    bool flush() { return impl_->flush(); }
    ErrorCode lastError() const { return impl_->lastError(); }
    void close() { impl_.reset(); }

private:
    std::unique_ptr<Impl> impl_;
};

// Result of an operation that can fail with a Windows error.
struct OpenResult {
    File file;
    ErrorCode error = kErrorSuccess;
};

class Files {
public:
    virtual ~Files() = default;

    // --- files and directories ------------------------------------------------------------
    virtual OpenResult open(const std::string& path, OpenMode mode) = 0;
    // One file's entry. Its shortName stays empty: aliases come from find and shortPathName.
    virtual std::optional<FileInfo> stat(const std::string& path) = 0;
    bool exists(const std::string& path) { return stat(path).has_value(); }
    bool isDirectory(const std::string& path) {
        auto info = stat(path);
        return info && info->isDirectory();
    }
    // FindFirstFile/FindNextFile over "DIR\MASK" ('*' and '?', matched against the long and the
    // short name as Windows does). "." and ".." are not returned.
    virtual std::vector<FileInfo> find(const std::string& pattern) = 0;
    virtual ErrorCode createDirectory(const std::string& path) = 0;
    virtual ErrorCode removeDirectory(const std::string& path) = 0;   // must be empty
    virtual ErrorCode deleteFile(const std::string& path) = 0;        // read-only files refuse
    virtual ErrorCode moveFile(const std::string& from, const std::string& to) = 0;  // MoveFileA
    // MoveFileExA with MOVEFILE_REPLACE_EXISTING: `from` takes the place of `to` (a file), at
    // once where the platform can, so that `to` is never missing or half written.
    virtual ErrorCode replaceFile(const std::string& from, const std::string& to) {
        if (exists(to)) {
            if (ErrorCode error = deleteFile(to); error != kErrorSuccess) return error;
        }
        return moveFile(from, to);
    }
    virtual ErrorCode copyFile(const std::string& from, const std::string& to,
                               bool failIfExists) = 0;  // keeps time and attributes
    virtual ErrorCode setFileTime(const std::string& path, FileTime modified) = 0;

    // --- attributes -------------------------------------------------------------------------
    // The archive bit is set again when the file was changed after it was last cleared, also
    // when the change came from outside the program.
    virtual std::uint32_t getAttributes(const std::string& path) = 0;  // kInvalidAttributes
    virtual ErrorCode setAttributes(const std::string& path, std::uint32_t attributes) = 0;

    // --- names --------------------------------------------------------------------------------
    // GetShortPathNameA: the 8.3 form of an existing path; nullopt when it does not exist.
    virtual std::optional<std::string> shortPathName(const std::string& path) = 0;
    // The existing path with every component in its stored spelling; nullopt when absent.
    virtual std::optional<std::string> longPathName(const std::string& path) = 0;

    // --- drives -------------------------------------------------------------------------------
    // Root like "C:\" (or any path on the drive).
    virtual DriveType driveType(const std::string& root) = 0;
    // Removable media present (or any other kind of drive that exists).
    virtual bool driveReady(const std::string& root) = 0;
    virtual std::optional<DiskSpace> diskFreeSpace(const std::string& root) = 0;
    virtual std::string volumeLabel(const std::string& root) = 0;
    // Letters of every drive, in order ("ACD").
    virtual std::string logicalDrives() = 0;
    // SHFormatDrive's effect on the media: empties the drive. The dialog is the window's.
    virtual ErrorCode formatDrive(const std::string& root) = 0;

    // Where the path lives on the host (for viewers and tests); nullopt when the drive has no
    // host directory. New components keep the case given.
    virtual std::optional<std::string> hostPath(const std::string& path) = 0;
};

}  // namespace brx::platform
