// The archive file(s) being written. In one file the room is unlimited; block files and spanned
// disks each have their room, and a record (local header, central header, end record) never
// straddles two parts while entry data may. Output is buffered in large pieces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "platform/Files.h"

namespace brx::zip {

class ArchiveOutput {
public:
    struct Part {
        std::string name;
        std::uint64_t room = std::numeric_limits<std::uint64_t>::max();
    };
    // Gives the next part (1-based number of the part about to be written).
    using NextPart = std::function<Part(int number)>;

    ArchiveOutput(platform::Files& files, NextPart nextPart);
    ~ArchiveOutput();

    void open(const Part& first);
    // Moves to the next part unless `size` bytes fit. A local header also moves when it would
    // fill the part exactly, since its data must follow it.
    void fitRecord(std::size_t size, bool localHeader);
    void writeRecord(const std::string& bytes);
    void writeData(const void* data, std::size_t size);
    // Rewrites bytes at an offset of the current part (the final local header in one file).
    void patch(std::uint64_t offset, const std::string& bytes);
    // Forgets everything from `offset` of the current part on (an entry that has to be redone).
    void rewindTo(std::uint64_t offset);
    void close();
    // Closes without writing what is still buffered (after a failure).
    void abandon();

    int partIndex() const { return m_partIndex; }
    std::uint64_t offset() const { return m_used; }
    const std::string& partName() const { return m_part.name; }
    bool isOpen() const { return static_cast<bool>(m_file); }

private:
    void append(const void* data, std::size_t size);
    void flush();
    void nextPart();

    platform::Files& m_files;
    NextPart m_nextPart;
    platform::File m_file;
    Part m_part;
    int m_partIndex = 0;
    std::uint64_t m_used = 0;     // bytes of the current part, buffered ones included
    std::uint64_t m_flushed = 0;  // bytes of the current part already in the file
    std::vector<unsigned char> m_pending;
};

}  // namespace brx::zip
