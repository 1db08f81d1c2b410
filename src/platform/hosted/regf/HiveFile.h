// Host files for hives: a read-only mapping, and writes that never leave a half-written hive
// behind (temporary file beside the target, fsync, then rename or link).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace brx::platform::hosted::regf {

// A file mapped read-only for the life of the object.
class MappedFile {
public:
    // Throws HiveError when the file cannot be opened or mapped.
    explicit MappedFile(const std::string& path);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    std::span<const std::uint8_t> bytes() const { return {m_data, m_size}; }

private:
    const std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
    int m_fd = -1;
};

enum class ExistingTarget { Replace, Fail };

// Writes `bytes` to `path` all or nothing. With ExistingTarget::Fail an existing target is left
// alone and the call returns EEXIST. Returns 0 or an errno value.
int writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                        ExistingTarget existing);

// A temporary file name beside `path`, unique within this process and host.
std::string temporarySibling(const std::string& path);

// fsync of a file that was written by someone else (hivex), then rename over `target`.
int syncAndRename(const std::string& temporary, const std::string& target);

std::vector<std::uint8_t> readWholeFile(const std::string& path);

}  // namespace brx::platform::hosted::regf
