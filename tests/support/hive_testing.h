// Helpers for tests that read hives with the independent tools (reglookup, regfexport, hivexsh)
// and build hives of their own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brx::test::hives {

// A fresh directory under the system's temporary directory, removed with everything in it.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

struct ToolRun {
    int exitCode = -1;
    std::string output;  // stdout and stderr together
};
// Runs a shell command line.
ToolRun runTool(const std::string& commandLine);
std::string quoted(const std::string& path);

// Every key and value with time stamps, security descriptors and class names, as reglookup
// prints them; the file name itself does not appear.
std::string reglookupDump(const std::string& hive);
// The export of regfexport (keys, values, data), without its version banner.
std::string regfexportDump(const std::string& hive);

std::uint64_t fileSize(const std::string& path);
std::vector<std::uint8_t> fileBytes(const std::string& path);
void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Two-letter signatures of the subkey lists reachable from the root ("lf", "lh", "li", "ri").
std::vector<std::string> subkeyListKinds(const std::string& hive);

}  // namespace brx::test::hives
