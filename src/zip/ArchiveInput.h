// Reading an archive that may be split into parts: block files or spanned diskettes. Reads go on
// into the next part when one ends; parts are asked for through the engine's disk event.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "zip/ZipJob.h"

namespace brx::zip {

class ArchiveInput : public ZipJob {
public:
    explicit ArchiveInput(ZipEngine& engine);

protected:
    // Opens ZipName as the part `part` (0-based) without asking for anything.
    void openAsPart(int part);
    // Makes `part` the open part, asking for it when another one is open.
    void openPart(int part);
    void seek(std::uint64_t offset);
    // Reads up to `size` bytes; in a multi-part archive the end of a part continues in the next.
    std::size_t read(void* buffer, std::size_t size);
    bool readExact(void* buffer, std::size_t size);
    bool skip(std::uint64_t bytes);
    std::uint64_t partSize() { return m_file.size(); }

    bool m_multi = false;
    int m_part = -1;
    platform::File m_file;

private:
    std::string nameOfPart(int part);
};

}  // namespace brx::zip
