#include "platform/hosted/HostedFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <vector>

#include "platform/hosted/DosAttributes.h"
#include "platform/hosted/HostFile.h"
#include "platform/hosted/IniText.h"
#include "platform/hosted/ShortNames.h"

namespace brx::platform::hosted {

namespace {

// Diskettes are allocated in clusters of one sector.
constexpr std::uint64_t kClusterSize = 512;

std::uint64_t clusters(std::uint64_t bytes) {
    return (bytes + kClusterSize - 1) / kClusterSize;
}

bool hostStat(const std::string& hostPath, struct stat& status) {
    return ::stat(hostPath.c_str(), &status) == 0;
}

bool isHostDirectory(const std::string& hostPath) {
    struct stat status {};
    return hostStat(hostPath, status) && S_ISDIR(status.st_mode);
}

CreationKey creationKey(const std::string& hostPath) {
    struct statx status {};
    if (statx(AT_FDCWD, hostPath.c_str(), 0, STATX_BTIME | STATX_INO, &status) != 0) return {};
    // Without a birth time, the inode number alone still orders names by creation on most
    // file systems.
    if (!(status.stx_mask & STATX_BTIME)) return {0, status.stx_ino};
    return {status.stx_btime.tv_sec * 1'000'000'000LL + status.stx_btime.tv_nsec, status.stx_ino};
}

FileInfo infoFor(const std::string& hostPath, const std::string& name, const std::string& alias,
                 const struct stat& status, bool ntfs) {
    FileInfo info;
    info.name = name;
    info.shortName = alias;
    info.attributes = readDosAttributes(hostPath, status, ntfs);
    info.size = S_ISDIR(status.st_mode) ? 0 : static_cast<std::uint64_t>(status.st_size);
    info.modified = status.st_mtim.tv_sec;
    return info;
}

std::string joinHost(const std::string& dir, const std::string& name) {
    return dir.back() == '/' ? dir + name : dir + "/" + name;
}

bool sameHostFile(const struct stat& status, const HostedFiles::Resolved& other) {
    return other.exists && status.st_dev == other.status.st_dev && status.st_ino == other.status.st_ino;
}

// Windows lists a directory in the order of its names without regard to case.
void sortByFoldedName(std::vector<std::string>& names) {
    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(names.size());
    for (auto& name : names) keyed.emplace_back(foldCase(name), std::move(name));
    std::sort(keyed.begin(), keyed.end());
    for (std::size_t i = 0; i < keyed.size(); ++i) names[i] = std::move(keyed[i].second);
}

struct SplitPattern {
    std::string directory;
    std::string mask;
};

// "C:\dir\*.txt" → "C:\dir" and "*.txt". Masks cannot go through the path parser, which
// would drop the trailing dot of "*.".
std::optional<SplitPattern> splitPattern(const std::string& pattern) {
    const auto slash = pattern.find_last_of("\\/");
    if (slash == std::string::npos) return std::nullopt;
    SplitPattern split{pattern.substr(0, slash + 1), pattern.substr(slash + 1)};
    if (split.mask.empty()) split.mask = "*";
    return split;
}

}  // namespace

const DriveConfig* HostedFiles::drive(char letter) const {
    auto it =
        machine_.drives.find(static_cast<char>(std::toupper(static_cast<unsigned char>(letter))));
    return it == machine_.drives.end() ? nullptr : &it->second;
}

const DriveConfig* HostedFiles::driveOf(const std::string& path) const {
    if (path.size() < 2 || path[1] != ':') return nullptr;
    return drive(path[0]);
}

bool HostedFiles::mediaPresent(const DriveConfig& drive) const {
    return isHostDirectory(drive.hostDir);
}

std::uint32_t HostedFiles::attributesOf(const Resolved& target) const {
    return readDosAttributes(target.host, target.status, onNtfsVolume(*target.drive));
}

bool HostedFiles::onNtfsVolume(const DriveConfig& drive) const {
    auto known = ntfsVolumes_.find(drive.hostDir);
    if (known != ntfsVolumes_.end()) return known->second;
    const bool ntfs = isNtfsVolume(drive.hostDir);
    // A drive without media says nothing yet about the media that comes.
    if (mediaPresent(drive)) ntfsVolumes_[drive.hostDir] = ntfs;
    return ntfs;
}

std::vector<std::string> HostedFiles::aliasesOf(const std::string& hostDir,
                                                const std::vector<std::string>& names) const {
    return assignShortNames(
        names, [&](std::size_t i) { return creationKey(joinHost(hostDir, names[i])); });
}

std::optional<std::string> HostedFiles::findComponent(const std::string& hostDir,
                                                      const std::string& name) const {
    const std::vector<std::string> names = listHostDirectory(hostDir);
    const std::string folded = foldCase(name);
    for (const auto& candidate : names)
        if (candidate.size() == name.size() && foldCase(candidate) == folded) return candidate;
    if (name.find('~') == std::string::npos || !isValidShortName(name)) return std::nullopt;
    const std::vector<std::string> aliases = aliasesOf(hostDir, names);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (!aliases[i].empty() && aliases[i] == folded) return names[i];
    return std::nullopt;
}

std::optional<HostedFiles::Resolved> HostedFiles::resolve(const std::string& path) {
    auto parsed = parseWindowsPath(path);
    if (!parsed) return std::nullopt;
    const DriveConfig* root = drive(parsed->drive);
    if (!root) return std::nullopt;

    Resolved result;
    result.drive = root;
    result.host = root->hostDir;

    // Most paths come from directory listings in their stored spelling: one stat settles them.
    std::string direct = root->hostDir;
    for (const auto& component : parsed->components) direct = joinHost(direct, component);
    struct stat status {};
    if (!parsed->components.empty() && hostStat(direct, status)) {
        result.host = direct;
        result.storedNames = parsed->components;
        result.mediaPresent = result.exists = result.parentExists = true;
        result.status = status;
        return result;
    }
    if (!hostStat(root->hostDir, status) || !S_ISDIR(status.st_mode)) return result;
    result.mediaPresent = true;
    result.parentExists = parsed->components.empty();
    result.exists = true;
    result.status = status;

    for (std::size_t i = 0; i < parsed->components.size(); ++i) {
        const std::string& component = parsed->components[i];
        const bool last = i + 1 == parsed->components.size();
        if (result.exists) {
            std::string exact = joinHost(result.host, component);
            if (hostStat(exact, status)) {
                result.host = std::move(exact);
                result.storedNames.push_back(component);
                result.status = status;
            } else if (auto stored = findComponent(result.host, component)) {
                result.host = joinHost(result.host, *stored);
                result.storedNames.push_back(*stored);
                hostStat(result.host, result.status);
            } else {
                result.exists = false;
                result.parentExists = last;
                result.host = joinHost(result.host, component);
            }
            if (result.exists && last) result.parentExists = true;
        } else {
            result.host = joinHost(result.host, component);
        }
    }
    if (parsed->components.empty()) result.parentExists = true;
    return result;
}

std::optional<std::string> HostedFiles::hostPath(const std::string& path) {
    if (!path.empty() && path[0] == '\\') return hostPathOfDevicePath(path);
    auto resolved = resolve(path);
    if (!resolved) return std::nullopt;
    return resolved->host;
}

std::optional<std::string> HostedFiles::hostPathOfDevicePath(const std::string& devicePath) {
    if (devicePath.size() >= 2 && devicePath[1] == ':') return hostPath(devicePath);
    std::string path = devicePath;
    if (path.rfind("\\??\\", 0) == 0) return hostPath(path.substr(4));
    for (const auto& [device, letter] : machine_.devices) {
        if (path.size() < device.size() || !equalsNoCase(path.substr(0, device.size()), device))
            continue;
        const std::string rest = path.substr(device.size());
        if (!rest.empty() && rest[0] != '\\') continue;
        return hostPath(std::string{letter, ':'} + (rest.empty() ? "\\" : rest));
    }
    return std::nullopt;
}

bool HostedFiles::isFileInUse(const std::string& hostFile) {
    // Only a file named like a hive file can be one; the rest is decided without resolving the
    // hive list, which keeps this cheap enough for every open of a backup.
    const std::string name = foldCase(std::filesystem::path(hostFile).filename().string());
    bool candidate = false;
    for (const auto& [key, device] : machine_.hives) {
        if (!device.empty() && foldCase(windowsFileName(device)) == name) candidate = true;
    }
    if (!candidate) return false;
    struct stat target {};
    if (!hostStat(hostFile, target)) return false;
    for (const auto& [key, device] : machine_.hives) {
        if (device.empty() || foldCase(windowsFileName(device)) != name) continue;
        auto hive = hostPathOfDevicePath(device);
        struct stat status {};
        if (hive && hostStat(*hive, status) && status.st_dev == target.st_dev &&
            status.st_ino == target.st_ino)
            return true;
    }
    return false;
}

ErrorCode HostedFiles::failureFor(const std::optional<Resolved>& target) const {
    if (!target) return kErrorPathNotFound;
    if (!target->mediaPresent) return kErrorNotReady;
    if (!target->exists) return target->parentExists ? kErrorFileNotFound : kErrorPathNotFound;
    return kErrorSuccess;
}

ErrorCode HostedFiles::checkWritable(const Resolved& target) const {
    if (target.drive->type == DriveType::CdRom) return kErrorAccessDenied;
    return kErrorSuccess;
}

std::uint64_t HostedFiles::usedBytes(const DriveConfig& drive) const {
    std::uint64_t used = 0;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(drive.hostDir, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        std::error_code sizeError;
        if (it->is_directory(sizeError)) {
            used += kClusterSize;
        } else {
            const auto size = it->file_size(sizeError);
            if (!sizeError) used += clusters(size) * kClusterSize;
        }
    }
    return used;
}

SpaceCheck HostedFiles::spaceCheckFor(const DriveConfig& drive) const {
    if (!drive.capacity) return nullptr;
    const DriveConfig copy = drive;
    return [this, copy](std::uint64_t currentSize, std::uint64_t newSize) {
        if (clusters(newSize) <= clusters(currentSize)) return true;
        const std::uint64_t used = usedBytes(copy);
        const std::uint64_t free = used >= *copy.capacity ? 0 : *copy.capacity - used;
        return (clusters(newSize) - clusters(currentSize)) * kClusterSize <= free;
    };
}

namespace {

int openFlags(OpenMode mode) {
    switch (mode) {
        case OpenMode::Read:
            return O_CLOEXEC | O_RDONLY;
        case OpenMode::Write:
            return O_CLOEXEC | O_WRONLY | O_CREAT | O_TRUNC;
        case OpenMode::CreateNew:
            return O_CLOEXEC | O_WRONLY | O_CREAT | O_EXCL;
        case OpenMode::ReadWrite:
            return O_CLOEXEC | O_RDWR;
    }
    return O_CLOEXEC | O_RDONLY;
}

bool createsFile(OpenMode mode) {
    return mode == OpenMode::Write || mode == OpenMode::CreateNew;
}

}  // namespace

// Why Windows would refuse to open the file in this mode; kErrorSuccess when it would not.
ErrorCode HostedFiles::refusalToOpen(const std::optional<Resolved>& target, OpenMode mode) {
    if (!target || !target->mediaPresent) return failureFor(target);
    if (!target->exists)
        return createsFile(mode) && target->parentExists ? checkWritable(*target)
                                                         : failureFor(target);
    if (S_ISDIR(target->status.st_mode)) return kErrorAccessDenied;
    if (mode == OpenMode::CreateNew) return kErrorFileExists;
    if (isFileInUse(target->host)) return kErrorSharingViolation;
    if (mode == OpenMode::Read) return kErrorSuccess;
    if (attributesOf(*target) & kAttrReadOnly) return kErrorAccessDenied;
    return checkWritable(*target);
}

OpenResult HostedFiles::open(const std::string& path, OpenMode mode) {
    const auto target = resolve(path);
    OpenResult result;
    result.error = refusalToOpen(target, mode);
    if (result.error != kErrorSuccess) return result;
    // A new file needs a directory entry on a full diskette too.
    if (!target->exists && target->drive->capacity && !spaceCheckFor(*target->drive)(0, 1)) {
        result.error = kErrorDiskFull;
        return result;
    }
    const int fd = ::open(target->host.c_str(), openFlags(mode), 0644);
    if (fd < 0) {
        result.error = errorFromErrno(errno);
        return result;
    }
    result.file =
        File(makeHostFile(fd, mode == OpenMode::Read ? nullptr : spaceCheckFor(*target->drive)));
    return result;
}

std::optional<FileInfo> HostedFiles::stat(const std::string& path) {
    auto target = resolve(path);
    if (!target || !target->exists) return std::nullopt;
    // The alias would cost a look at the whole directory on every call; stat is called for each
    // file of a backup, so aliases come from find and shortPathName only.
    const std::string name =
        target->storedNames.empty() ? std::string() : target->storedNames.back();
    FileInfo info =
        infoFor(target->host, name, std::string(), target->status, onNtfsVolume(*target->drive));
    return info;
}

std::vector<FileInfo> HostedFiles::find(const std::string& pattern) {
    std::vector<FileInfo> found;
    auto split = splitPattern(pattern);
    if (!split) return found;
    auto directory = resolve(split->directory);
    if (!directory || !directory->exists || !isHostDirectory(directory->host)) return found;

    std::vector<std::string> names = listHostDirectory(directory->host);
    // Names Windows cannot show (a backslash inside) stay invisible.
    std::erase_if(names,
                  [](const std::string& name) { return name.find('\\') != std::string::npos; });
    sortByFoldedName(names);
    const std::vector<std::string> aliases = aliasesOf(directory->host, names);
    const bool ntfs = onNtfsVolume(*directory->drive);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!matchesMask(names[i], split->mask) &&
            (aliases[i].empty() || !matchesMask(aliases[i], split->mask)))
            continue;
        const std::string host = joinHost(directory->host, names[i]);
        struct stat status {};
        if (!hostStat(host, status)) continue;
        found.push_back(infoFor(host, names[i], aliases[i], status, ntfs));
    }
    return found;
}

ErrorCode HostedFiles::createDirectory(const std::string& path) {
    auto target = resolve(path);
    if (!target || !target->mediaPresent) return failureFor(target);
    if (target->exists) return kErrorAlreadyExists;
    if (!target->parentExists) return kErrorPathNotFound;
    if (ErrorCode error = checkWritable(*target); error != kErrorSuccess) return error;
    if (target->drive->capacity && !spaceCheckFor(*target->drive)(0, 1)) return kErrorDiskFull;
    if (::mkdir(target->host.c_str(), 0755) != 0) return errorFromErrno(errno);
    return kErrorSuccess;
}

ErrorCode HostedFiles::removeDirectory(const std::string& path) {
    auto target = resolve(path);
    if (!target || !target->exists) return failureFor(target);
    if (target->storedNames.empty()) return kErrorAccessDenied;  // a drive's root stays
    if (ErrorCode error = checkWritable(*target); error != kErrorSuccess) return error;
    if (!isHostDirectory(target->host)) return kErrorDirectoryInvalid;
    if (::rmdir(target->host.c_str()) != 0)
        return errno == EEXIST ? kErrorDirNotEmpty : errorFromErrno(errno);
    return kErrorSuccess;
}

ErrorCode HostedFiles::deleteFile(const std::string& path) {
    auto target = resolve(path);
    if (!target || !target->exists) return failureFor(target);
    if (ErrorCode error = checkWritable(*target); error != kErrorSuccess) return error;
    if (S_ISDIR(target->status.st_mode)) return kErrorAccessDenied;
    if (attributesOf(*target) & kAttrReadOnly) return kErrorAccessDenied;
    if (isFileInUse(target->host)) return kErrorSharingViolation;
    if (::unlink(target->host.c_str()) != 0) return errorFromErrno(errno);
    return kErrorSuccess;
}

ErrorCode HostedFiles::copyContent(const std::string& from, const std::string& to,
                                   bool failIfExists) {
    OpenResult source = open(from, OpenMode::Read);
    if (!source.file) return source.error;
    OpenResult target = open(to, failIfExists ? OpenMode::CreateNew : OpenMode::Write);
    if (!target.file) return target.error == kErrorFileExists ? kErrorFileExists : target.error;
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const std::size_t got = source.file.read(buffer.data(), buffer.size());
        if (got == 0) break;
        if (!target.file.write(buffer.data(), got)) {
            const ErrorCode error = target.file.lastError();
            target.file.close();
            // A copy that did not fit is not left behind half written.
            deleteFile(to);
            return error;
        }
    }
    if (source.file.lastError() != kErrorSuccess) {
        target.file.close();
        deleteFile(to);
        return kErrorReadFault;
    }
    return kErrorSuccess;
}

ErrorCode HostedFiles::copyFile(const std::string& from, const std::string& to, bool failIfExists) {
    auto source = stat(from);
    if (!source) return failureFor(resolve(from));
    if (source->isDirectory()) return kErrorAccessDenied;
    // A copy onto itself would empty the file before reading it; Windows finds it in use.
    if (auto target = resolve(to); target && target->exists && !failIfExists &&
                                   sameHostFile(target->status, *resolve(from)))
        return kErrorSharingViolation;
    if (ErrorCode error = copyContent(from, to, failIfExists); error != kErrorSuccess) return error;
    setFileTime(to, source->modified);
    // The copy carries the source's attributes; a copy is a new file for the next backup.
    setAttributes(to, (source->attributes & ~kAttrDirectory & ~kAttrNormal) | kAttrArchive);
    return kErrorSuccess;
}

ErrorCode HostedFiles::moveFile(const std::string& from, const std::string& to) {
    auto source = resolve(from);
    if (!source || !source->exists) return failureFor(source);
    auto target = resolve(to);
    if (!target || !target->mediaPresent) return failureFor(target);
    // A change of case only is a rename of the same file.
    const bool sameFile = target->exists && target->host == source->host;
    if (target->exists && !sameFile) return kErrorAlreadyExists;
    if (!target->parentExists && !sameFile) return kErrorPathNotFound;
    if (ErrorCode error = checkWritable(*source); error != kErrorSuccess) return error;
    if (ErrorCode error = checkWritable(*target); error != kErrorSuccess) return error;
    if (isFileInUse(source->host)) return kErrorSharingViolation;

    std::string destination = target->host;
    if (sameFile) {
        destination =
            std::filesystem::path(source->host).parent_path().string() + "/" + windowsFileName(to);
    }
    const bool sameDrive = source->drive == target->drive;
    if ((sameDrive || !target->drive->capacity) &&
        ::rename(source->host.c_str(), destination.c_str()) == 0)
        return kErrorSuccess;
    if (sameDrive && errno != EXDEV) return errorFromErrno(errno);
    if (isHostDirectory(source->host)) return kErrorNotSameDevice;
    if (ErrorCode error = copyFile(from, to, true); error != kErrorSuccess) return error;
    return deleteFile(from);
}

ErrorCode HostedFiles::replaceFile(const std::string& from, const std::string& to) {
    auto source = resolve(from);
    if (!source || !source->exists) return failureFor(source);
    auto target = resolve(to);
    if (!target || !target->exists || target->drive != source->drive)
        return Files::replaceFile(from, to);
    if (ErrorCode error = checkWritable(*target); error != kErrorSuccess) return error;
    if (S_ISDIR(target->status.st_mode)) return kErrorAccessDenied;
    if (attributesOf(*target) & kAttrReadOnly) return kErrorAccessDenied;
    if (isFileInUse(target->host) || isFileInUse(source->host)) return kErrorSharingViolation;
    if (::rename(source->host.c_str(), target->host.c_str()) != 0) return errorFromErrno(errno);
    return kErrorSuccess;
}

ErrorCode HostedFiles::writeFileAtomically(const std::string& path, const std::string& bytes) {
    const std::uint32_t attributes = getAttributes(path);
    const bool existed = attributes != kInvalidAttributes;
    if (existed && (attributes & (kAttrReadOnly | kAttrDirectory))) return kErrorAccessDenied;

    const std::string directory = windowsParent(path);
    const std::string prefix = directory + (directory.back() == '\\' ? "" : "\\") + "~brx";
    std::string temporary;
    File file;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        temporary = prefix + std::to_string(attempt) + ".tmp";
        OpenResult opened = open(temporary, OpenMode::CreateNew);
        if (opened.file)
            file = std::move(opened.file);
        else if (opened.error != kErrorFileExists)
            return opened.error;
    }
    if (!file) return kErrorFileExists;
    ErrorCode error = kErrorSuccess;
    if (!file.write(bytes.data(), bytes.size()) || !file.flush()) error = file.lastError();
    file.close();
    if (error == kErrorSuccess) error = replaceFile(temporary, path);
    if (error != kErrorSuccess) {
        deleteFile(temporary);
        return error;
    }
    if (existed && (attributes & (kAttrHidden | kAttrSystem)))
        setAttributes(path, (attributes & (kAttrHidden | kAttrSystem)) | kAttrArchive);
    return kErrorSuccess;
}

ErrorCode HostedFiles::setFileTime(const std::string& path, FileTime modified) {
    auto target = resolve(path);
    if (!target || !target->exists) return failureFor(target);
    if (ErrorCode error = checkWritable(*target); error != kErrorSuccess) return error;
    const std::uint32_t before = attributesOf(*target);
    const struct timespec times[2] = {{0, UTIME_OMIT}, {modified, 0}};
    if (utimensat(AT_FDCWD, target->host.c_str(), times, 0) != 0) return errorFromErrno(errno);
    // Setting a time is no change of content: a cleared archive bit stays cleared.
    if (!(before & kAttrArchive) && !(before & kAttrDirectory))
        writeDosAttributes(target->host, before, onNtfsVolume(*target->drive));
    return kErrorSuccess;
}

std::uint32_t HostedFiles::getAttributes(const std::string& path) {
    auto target = resolve(path);
    if (!target || !target->exists) return kInvalidAttributes;
    return attributesOf(*target);
}

ErrorCode HostedFiles::setAttributes(const std::string& path, std::uint32_t attributes) {
    auto target = resolve(path);
    if (!target || !target->exists) return failureFor(target);
    if (ErrorCode error = checkWritable(*target); error != kErrorSuccess) return error;
    if (!writeDosAttributes(target->host, attributes, onNtfsVolume(*target->drive)))
        return kErrorAccessDenied;
    return kErrorSuccess;
}

std::optional<std::string> HostedFiles::shortPathName(const std::string& path) {
    auto parsed = parseWindowsPath(path);
    auto target = resolve(path);
    if (!parsed || !target || !target->exists) return std::nullopt;
    std::string shortPath{parsed->drive, ':', '\\'};
    std::string hostDir = target->drive->hostDir;
    for (std::size_t i = 0; i < target->storedNames.size(); ++i) {
        const std::string& name = target->storedNames[i];
        std::string component = name;
        if (!isValidShortName(name)) {
            const auto names = listHostDirectory(hostDir);
            const auto aliases = aliasesOf(hostDir, names);
            for (std::size_t j = 0; j < names.size(); ++j)
                if (names[j] == name) component = aliases[j];
        }
        if (i > 0) shortPath += '\\';
        shortPath += component;
        hostDir = joinHost(hostDir, name);
    }
    if (parsed->trailingSeparator && !target->storedNames.empty()) shortPath += '\\';
    return shortPath;
}

std::optional<std::string> HostedFiles::longPathName(const std::string& path) {
    auto parsed = parseWindowsPath(path);
    auto target = resolve(path);
    if (!parsed || !target || !target->exists) return std::nullopt;
    WindowsPath stored = *parsed;
    stored.components = target->storedNames;
    return stored.text();
}

DriveType HostedFiles::driveType(const std::string& root) {
    const DriveConfig* config = driveOf(root);
    return config ? config->type : DriveType::NoRootDir;
}

bool HostedFiles::driveReady(const std::string& root) {
    const DriveConfig* config = driveOf(root);
    return config && mediaPresent(*config);
}

std::optional<DiskSpace> HostedFiles::diskFreeSpace(const std::string& root) {
    const DriveConfig* config = driveOf(root);
    if (!config || !mediaPresent(*config)) return std::nullopt;
    if (config->capacity) {
        const std::uint64_t used = usedBytes(*config);
        return DiskSpace{used >= *config->capacity ? 0 : *config->capacity - used,
                         *config->capacity};
    }
    std::error_code error;
    const auto space = std::filesystem::space(config->hostDir, error);
    if (error) return std::nullopt;
    return DiskSpace{space.available, space.capacity};
}

std::string HostedFiles::volumeLabel(const std::string& root) {
    const DriveConfig* config = driveOf(root);
    return config && mediaPresent(*config) ? config->label : std::string();
}

std::string HostedFiles::logicalDrives() {
    std::string letters;
    for (const auto& [letter, config] : machine_.drives) letters += letter;
    return letters;
}

ErrorCode HostedFiles::formatDrive(const std::string& root) {
    const DriveConfig* config = driveOf(root);
    if (!config) return kErrorInvalidDrive;
    if (config->type != DriveType::Removable) return kErrorAccessDenied;
    if (!mediaPresent(*config)) return kErrorNotReady;
    for (const auto& name : listHostDirectory(config->hostDir)) {
        std::error_code error;
        std::filesystem::remove_all(joinHost(config->hostDir, name), error);
        if (error) return errorFromErrno(error.value());
    }
    return kErrorSuccess;
}

}  // namespace brx::platform::hosted
