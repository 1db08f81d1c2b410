#include "platform/hosted/regf/HiveFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/hosted/regf/RegfFormat.h"

namespace brx::platform::hosted::regf {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

std::string directoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

void syncDirectory(const std::string& path) {
    FileDescriptor dir(::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
}

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

MappedFile::MappedFile(const std::string& path) {
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0) throw HiveError("cannot open " + path + ": " + std::strerror(errno));
    struct stat info{};
    if (::fstat(m_fd, &info) != 0 || info.st_size <= 0) {
        ::close(m_fd);
        throw HiveError("cannot read " + path);
    }
    m_size = static_cast<std::size_t>(info.st_size);
    void* mapped = ::mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE, m_fd, 0);
    if (mapped == MAP_FAILED) {
        ::close(m_fd);
        throw HiveError("cannot map " + path);
    }
    m_data = static_cast<const std::uint8_t*>(mapped);
}

MappedFile::~MappedFile() {
    ::munmap(const_cast<std::uint8_t*>(m_data), m_size);
    ::close(m_fd);
}

std::string temporarySibling(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return path + ".brx" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
}

int writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                        ExistingTarget existing) {
    if (existing == ExistingTarget::Fail && ::access(path.c_str(), F_OK) == 0) return EEXIST;
    const std::string temporary = temporarySibling(path);
    FileDescriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (fd.get() < 0) return errno;
    if (!writeAll(fd.get(), bytes) || ::fsync(fd.get()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return error;
    }
    ::close(fd.release());
    // link() refuses an existing target, so a file that appeared meanwhile is not overwritten.
    const int result = existing == ExistingTarget::Fail ? ::link(temporary.c_str(), path.c_str())
                                                        : ::rename(temporary.c_str(), path.c_str());
    const int error = result == 0 ? 0 : errno;
    ::unlink(temporary.c_str());
    if (error == 0) syncDirectory(path);
    return error;
}

int syncAndRename(const std::string& temporary, const std::string& target) {
    FileDescriptor fd(::open(temporary.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0 || ::fsync(fd.get()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return error;
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return error;
    }
    syncDirectory(target);
    return 0;
}

std::vector<std::uint8_t> readWholeFile(const std::string& path) {
    MappedFile file(path);
    auto bytes = file.bytes();
    return {bytes.begin(), bytes.end()};
}

}  // namespace brx::platform::hosted::regf
