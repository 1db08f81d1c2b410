// Host-side helpers shared by the hosted platform: an open file over a descriptor, directory
// listings, and errno turned into Windows' error codes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Errors.h"
#include "platform/Files.h"

namespace brx::platform::hosted {

ErrorCode errorFromErrno(int error);

// Names in a host directory, without "." and "..". Empty when it cannot be read.
std::vector<std::string> listHostDirectory(const std::string& hostDir);

// Asked before a write makes a file grow by `bytes` on a drive with a fixed capacity; false
// when the media has no room for them.
using SpaceCheck = std::function<bool(std::uint64_t currentSize, std::uint64_t newSize)>;

// A File over a host descriptor, which it closes.
std::unique_ptr<File::Impl> makeHostFile(int descriptor, SpaceCheck spaceCheck);

// Owns a descriptor.
class UniqueFd {
  public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd();
    int get() const { return fd_; }
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }
    explicit operator bool() const { return fd_ >= 0; }

  private:
    int fd_;
};

// Writes a host file through a temporary file beside it that replaces it only when complete
// and on disk; a crash or a failure at any moment leaves the old file as it was.
bool replaceHostFileAtomically(const std::string& hostPath, const std::string& content);

}  // namespace brx::platform::hosted
