#include "platform/hosted/HostFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

namespace brx::platform::hosted {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

class HostFile final : public File::Impl {
  public:
    HostFile(int fd, SpaceCheck spaceCheck) : fd_(fd), spaceCheck_(std::move(spaceCheck)) {}

    std::size_t read(void* buffer, std::size_t bytes) override {
        auto* out = static_cast<char*>(buffer);
        std::size_t total = 0;
        while (total < bytes) {
            const ssize_t got = ::read(fd_.get(), out + total, bytes - total);
            if (got < 0) {
                if (errno == EINTR) continue;
                error_ = kErrorReadFault;
                break;
            }
            if (got == 0) break;
            total += static_cast<std::size_t>(got);
        }
        return total;
    }

    bool write(const void* data, std::size_t bytes) override {
        if (spaceCheck_ && !roomFor(bytes)) {
            error_ = kErrorDiskFull;
            return false;
        }
        const auto* in = static_cast<const char*>(data);
        std::size_t done = 0;
        while (done < bytes) {
            const ssize_t put = ::write(fd_.get(), in + done, bytes - done);
            if (put < 0) {
                if (errno == EINTR) continue;
                error_ = errorFromErrno(errno);
                return false;
            }
            done += static_cast<std::size_t>(put);
        }
        return true;
    }

    std::optional<std::uint64_t> seek(std::int64_t offset, SeekFrom from) override {
        const int whence = from == SeekFrom::Begin     ? SEEK_SET
                           : from == SeekFrom::Current ? SEEK_CUR
                                                       : SEEK_END;
        const off_t position = lseek(fd_.get(), offset, whence);
        if (position < 0) {
            error_ = kErrorInvalidParameter;
            return std::nullopt;
        }
        return static_cast<std::uint64_t>(position);
    }

    std::uint64_t size() override {
        struct stat status {};
        return fstat(fd_.get(), &status) == 0 ? static_cast<std::uint64_t>(status.st_size) : 0;
    }

    bool truncate(std::uint64_t size) override {
        if (spaceCheck_ && !spaceCheck_(this->size(), size)) {
            error_ = kErrorDiskFull;
            return false;
        }
        if (ftruncate(fd_.get(), static_cast<off_t>(size)) == 0) return true;
        error_ = errorFromErrno(errno);
        return false;
    }

    bool flush() override {
        if (fsync(fd_.get()) == 0) return true;
        error_ = errorFromErrno(errno);
        return false;
    }

    ErrorCode lastError() const override { return error_; }

  private:
    bool roomFor(std::size_t bytes) {
        const std::uint64_t current = size();
        const off_t position = lseek(fd_.get(), 0, SEEK_CUR);
        const std::uint64_t end = static_cast<std::uint64_t>(position < 0 ? 0 : position) + bytes;
        return end <= current || spaceCheck_(current, end);
    }

    UniqueFd fd_;
    SpaceCheck spaceCheck_;
    ErrorCode error_ = kErrorSuccess;
};

}  // namespace

ErrorCode errorFromErrno(int error) {
    switch (error) {
        case 0:
            return kErrorSuccess;
        case ENOENT:
            return kErrorFileNotFound;
        case ENOTDIR:
            return kErrorPathNotFound;
        case EACCES:
        case EPERM:
        case EISDIR:
            return kErrorAccessDenied;
        case EROFS:
            return kErrorWriteProtect;
        case ENOSPC:
        case EDQUOT:
            return kErrorDiskFull;
        case EEXIST:
            return kErrorFileExists;
        case ENOTEMPTY:
            return kErrorDirNotEmpty;
        case ENAMETOOLONG:
        case EINVAL:
            return kErrorInvalidName;
        case EBUSY:
        case ETXTBSY:
            return kErrorSharingViolation;
        case ENOMEM:
            return kErrorNotEnoughMemory;
        case ENXIO:
        case ENODEV:
            return kErrorNotReady;
        default:
            return kErrorWriteFault;
    }
}

std::vector<std::string> listHostDirectory(const std::string& hostDir) {
    std::vector<std::string> names;
    std::unique_ptr<DIR, DirCloser> dir(opendir(hostDir.c_str()));
    if (!dir) return names;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        names.emplace_back(name);
    }
    return names;
}

std::unique_ptr<File::Impl> makeHostFile(int descriptor, SpaceCheck spaceCheck) {
    return std::make_unique<HostFile>(descriptor, std::move(spaceCheck));
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.release();
    }
    return *this;
}

UniqueFd::~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
}

bool replaceHostFileAtomically(const std::string& hostPath, const std::string& content) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    const std::string temporary = hostPath + ".brx" + std::to_string(random() % 1000000) + ".tmp";
    UniqueFd fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (!fd) return false;
    auto file = makeHostFile(fd.release(), nullptr);
    const bool written = file->write(content.data(), content.size()) && file->flush();
    file.reset();
    if (!written || ::rename(temporary.c_str(), hostPath.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace brx::platform::hosted
