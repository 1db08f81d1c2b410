// INI files of the machine, read and written through its files. Every write replaces the
// whole file at once (a temporary file beside it, then a rename), so an interrupted write
// leaves either the old file or the new one, never a truncated one.
#pragma once

#include <optional>

#include "platform/Profile.h"
#include "platform/System.h"
#include "platform/hosted/HostedFiles.h"
#include "platform/hosted/IniText.h"

namespace brx::platform::hosted {

// How a profile file's text is stored: ANSI, or Unicode behind a byte-order mark.
enum class ProfileEncoding { Ansi, Utf8, Utf16 };

class HostedProfile final : public Profile {
  public:
    HostedProfile(HostedFiles& files, System& system) : files_(files), system_(system) {}

    std::optional<std::string> read(const std::string& file, const std::string& section,
                                    const std::string& key) override;
    bool write(const std::string& file, const std::string& section, const std::string& key,
               const std::string& value) override;
    bool deleteKey(const std::string& file, const std::string& section,
                   const std::string& key) override;
    bool deleteSection(const std::string& file, const std::string& section) override;
    std::vector<std::string> sections(const std::string& file) override;
    std::vector<std::string> keys(const std::string& file, const std::string& section) override;

  private:
    // A bare file name lives in the Windows directory, as it does for Windows.
    std::string fullPath(const std::string& file);
    // The file's text; an empty text when it does not exist, nullopt when it cannot be read.
    std::optional<IniText> load(const std::string& path, bool* exists, ProfileEncoding* encoding);
    bool store(const std::string& path, const IniText& ini, ProfileEncoding encoding);

    HostedFiles& files_;
    System& system_;
};

// UTF-8 text as ANSI bytes; characters that have no ANSI form become '?', as Windows' own
// conversion does.
std::string utf8ToAnsiLossy(const std::string& text);

}  // namespace brx::platform::hosted
