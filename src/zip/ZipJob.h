// What every operation of the engine shares: progress, the cancel check after each buffer,
// requests for further parts, stored names, and the buffer size used for streaming.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "zip/ZipEngine.h"

namespace brx::zip {

// Large buffers keep the per-call cost of reading, writing and zlib small against the data.
inline constexpr std::size_t kStreamBufferSize = 256 * 1024;

[[noreturn]] void Fail(ZipErrorKind kind, const std::string& message);

class ZipJob {
public:
    explicit ZipJob(ZipEngine& engine);

protected:
    platform::Files& files() { return m_engine.m_platform.files(); }
    platform::System& system() { return m_engine.m_platform.system(); }

    void setProgressTotal(std::uint64_t total) { m_total = total; m_done = 0; m_lastPercent = -1; }
    // Counts processed bytes, raises the progress event, lets the window system breathe and
    // honours a cancel request.
    void advance(std::uint64_t bytes);
    void raisePercent(int percent);
    void checkpoint();

    // Asks the caller for part `nextDisk` (1-based; 0 for the last disk) until it names an
    // existing file (reading) or any file (writing). Empty answers cancel with `cancelText`.
    std::string requestPart(int nextDisk, bool mustExist, const char* cancelText);

    // The platform's local time of a file time stamp, as a DOS date and time.
    std::uint32_t dosTimeOf(platform::FileTime time);
    platform::FileTime fileTimeOfDos(std::uint32_t dosDateTime);

    ZipEngine& m_engine;

private:
    std::uint64_t m_total = 0;
    std::uint64_t m_done = 0;
    int m_lastPercent = -1;
};

// Sets StoredName and the UTF-8 flag for a Windows name (path and file, "\" separators). Names
// that the OEM code page cannot carry are stored in UTF-8 with flag bit 11, so none is lost.
void EncodeStoredName(TZipHeaderInfo& entry, const std::string& windowsName);
// Sets FileName and PathName from StoredName and the flags.
void DecodeStoredName(TZipHeaderInfo& entry);

}  // namespace brx::zip
