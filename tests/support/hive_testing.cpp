#include "support/hive_testing.h"

#include <stdlib.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>

#include "platform/hosted/regf/HiveFile.h"
#include "platform/hosted/regf/HiveImage.h"

namespace brx::test::hives {

namespace fs = std::filesystem;
namespace regf = brx::platform::hosted::regf;

ScratchDir::ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "brx-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code error;
    fs::remove_all(m_path, error);
}

std::string quoted(const std::string& path) {
    std::string out = "'";
    for (char c : path) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

ToolRun runTool(const std::string& commandLine) {
    ToolRun run;
    struct PipeCloser {
        void operator()(FILE* f) const { run->exitCode = f ? ::pclose(f) : -1; }
        ToolRun* run;
    };
    {
        std::unique_ptr<FILE, PipeCloser> pipe(::popen((commandLine + " 2>&1").c_str(), "r"), PipeCloser{&run});
        if (!pipe) return run;
        std::array<char, 4096> buffer{};
        std::size_t got = 0;
        while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0)
            run.output.append(buffer.data(), got);
    }
    if (run.exitCode != -1 && WIFEXITED(run.exitCode)) run.exitCode = WEXITSTATUS(run.exitCode);
    return run;
}

std::string reglookupDump(const std::string& hive) {
    const ToolRun run = runTool("reglookup -s -i " + quoted(hive));
    if (run.exitCode != 0) return "reglookup failed: " + run.output;
    return run.output;
}

std::string regfexportDump(const std::string& hive) {
    const ToolRun run = runTool("regfexport " + quoted(hive));
    if (run.exitCode != 0) return "regfexport failed: " + run.output;
    // The first line names the tool's version.
    const auto firstLine = run.output.find('\n');
    return firstLine == std::string::npos ? run.output : run.output.substr(firstLine + 1);
}

std::uint64_t fileSize(const std::string& path) { return fs::file_size(path); }

std::vector<std::uint8_t> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> subkeyListKinds(const std::string& hive) {
    regf::MappedFile file(hive);
    const regf::HiveImage image(file.bytes());
    std::vector<std::string> kinds;
    std::function<void(std::uint32_t)> visitKey;
    std::function<void(std::uint32_t)> visitList = [&](std::uint32_t offset) {
        const auto list = image.cell(offset, regf::kListEntries, "list");
        const std::string kind{static_cast<char>(list[0]), static_cast<char>(list[1])};
        kinds.push_back(kind);
        const std::size_t stride = kind == "lf" || kind == "lh" ? 8 : 4;
        for (std::size_t i = 0; i < regf::readU16(list.data() + regf::kListCount); ++i) {
            const std::uint32_t entry = regf::readU32(list.data() + regf::kListEntries + i * stride);
            if (kind == "ri") visitList(entry);
            else visitKey(entry);
        }
    };
    visitKey = [&](std::uint32_t offset) {
        const auto nk = image.keyNode(offset);
        if (regf::readU32(nk.data() + regf::kNkSubkeyCount) != 0)
            visitList(regf::readU32(nk.data() + regf::kNkSubkeyList));
    };
    visitKey(image.rootCell());
    return kinds;
}

}  // namespace brx::test::hives
