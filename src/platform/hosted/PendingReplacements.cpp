#include "platform/hosted/PendingReplacements.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/hosted/regf/HiveFile.h"
#include "platform/hosted/regf/RegfFormat.h"

namespace brx::platform::hosted {

namespace {

namespace fs = std::filesystem;

std::string pendingFile(const std::string& machineDirectory) {
    return (fs::path(machineDirectory) / "pending.ini").string();
}

std::string stored(const std::string& machineDirectory, const std::string& hostFile) {
    std::error_code error;
    const fs::path base = fs::weakly_canonical(machineDirectory, error);
    const fs::path file = fs::weakly_canonical(hostFile, error);
    const fs::path relative = file.lexically_relative(base);
    if (!relative.empty() && *relative.begin() != "..") return relative.generic_string();
    return file.string();
}

std::string loaded(const std::string& machineDirectory, const std::string& value) {
    const fs::path path(value);
    if (path.is_absolute()) return value;
    return (fs::path(machineDirectory) / path).lexically_normal().string();
}

bool writePending(const std::string& machineDirectory,
                  const std::vector<PendingReplacement>& replacements) {
    const std::string file = pendingFile(machineDirectory);
    if (replacements.empty()) {
        std::error_code error;
        fs::remove(file, error);
        return !error;
    }
    std::ostringstream out;
    int number = 1;
    for (const auto& r : replacements) {
        out << "[Replacement" << number++ << "]\n"
            << "Hive=" << r.hive << "\n"
            << "Live=" << stored(machineDirectory, r.liveFile) << "\n"
            << "New=" << stored(machineDirectory, r.newFile) << "\n"
            << "Old=" << stored(machineDirectory, r.oldFile) << "\n\n";
    }
    const std::string text = out.str();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    return regf::writeFileAtomically(file, {bytes, text.size()}, regf::ExistingTarget::Replace) == 0;
}

bool exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

// rename(), or for a file on another file system a complete copy beside the target that then
// replaces it, and only then the removal of the source. Returns 0 or an errno value.
int moveFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) == 0) return 0;
    if (errno != EXDEV) return errno;
    try {
        regf::MappedFile source(from);
        if (const int error = regf::writeFileAtomically(to, source.bytes(), regf::ExistingTarget::Replace); error != 0)
            return error;
    } catch (const regf::HiveError&) {
        return EIO;
    }
    return ::unlink(from.c_str()) == 0 ? 0 : errno;
}

// Moves one live hive aside and puts the new file in its place. A start that was cut off after
// the first move left the live file missing: then only the second move remains.
std::string applyOne(const PendingReplacement& r) {
    if (!exists(r.newFile)) return "the new file " + r.newFile + " is missing";
    if (exists(r.liveFile)) {
        if (const int error = moveFile(r.liveFile, r.oldFile); error != 0)
            return "cannot move " + r.liveFile + " to " + r.oldFile + ": " + std::strerror(error);
    }
    if (const int error = moveFile(r.newFile, r.liveFile); error != 0)
        return "cannot move " + r.newFile + " to " + r.liveFile + ": " + std::strerror(error);
    return {};
}

std::string timestampNow() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    char text[32];
    std::tm utc{};
    gmtime_r(&now, &utc);
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

void recordBoot(const std::string& machineDirectory, const BootReport& report) {
    std::ofstream log(fs::path(machineDirectory) / "boot.log", std::ios::app);
    log << timestampNow() << " start: " << report.applied.size() << " hive(s) replaced";
    for (const auto& r : report.applied) log << "; " << r.hive;
    for (const auto& problem : report.problems) log << "; NOT replaced: " << problem;
    log << "\n";
}

}  // namespace

std::vector<PendingReplacement> readPendingReplacements(const std::string& machineDirectory) {
    std::vector<PendingReplacement> result;
    std::ifstream in(pendingFile(machineDirectory));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line.front() == '[') {
            result.emplace_back();
            continue;
        }
        const auto equals = line.find('=');
        if (result.empty() || equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        auto& r = result.back();
        if (key == "Hive") r.hive = value;
        else if (key == "Live") r.liveFile = loaded(machineDirectory, value);
        else if (key == "New") r.newFile = loaded(machineDirectory, value);
        else if (key == "Old") r.oldFile = loaded(machineDirectory, value);
    }
    std::erase_if(result, [](const PendingReplacement& r) {
        return r.liveFile.empty() || r.newFile.empty() || r.oldFile.empty();
    });
    return result;
}

bool recordPendingReplacement(const std::string& machineDirectory,
                              const PendingReplacement& replacement) {
    auto pending = readPendingReplacements(machineDirectory);
    const std::string live = stored(machineDirectory, replacement.liveFile);
    std::erase_if(pending, [&](const PendingReplacement& r) {
        return stored(machineDirectory, r.liveFile) == live;
    });
    pending.push_back(replacement);
    return writePending(machineDirectory, pending);
}

BootReport applyPendingReplacements(const std::string& machineDirectory) {
    BootReport report;
    auto pending = readPendingReplacements(machineDirectory);
    while (!pending.empty()) {
        const PendingReplacement r = pending.front();
        if (const std::string problem = applyOne(r); problem.empty())
            report.applied.push_back(r);
        else
            report.problems.push_back(r.hive + ": " + problem);
        pending.erase(pending.begin());
        writePending(machineDirectory, pending);
    }
    recordBoot(machineDirectory, report);
    return report;
}

}  // namespace brx::platform::hosted
