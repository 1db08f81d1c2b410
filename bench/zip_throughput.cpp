// zip_throughput CORPUS WORKDIR [LEVEL...]
//
// Writes an archive of every file below CORPUS at each level (default 2 and 6) into WORKDIR and
// tests it, timing both, through the same engine and hosted platform the program uses (the host
// root is drive Z:). Prints one line per step: "write -6 12.345 s 11.9 cpu ...", "test -6 ...",
// and the peak memory of the process at the end.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "platform/hosted/Machine.h"
#include "zip/ZipEngine.h"

namespace {

std::string ToZ(const std::filesystem::path& host)
{
    std::string path = std::filesystem::absolute(host).lexically_normal().string();
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return "Z:" + path;
}

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// User plus system time of the process so far: on a busy machine it says more than the clock.
double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::cerr << "usage: zip_throughput CORPUS WORKDIR [LEVEL...]\n";
        return 2;
    }
    std::vector<int> levels;
    for (int i = 3; i < argc; ++i)
        levels.push_back(std::stoi(argv[i]));
    if (levels.empty())
        levels = {2, 6};
    auto platform = brx::platform::hosted::openHostRoot();
    std::filesystem::create_directories(argv[2]);
    try {
        for (int level : levels) {
            const std::filesystem::path archive = std::filesystem::path(argv[2]) / ("brx-" + std::to_string(level) + ".zip");
            std::filesystem::remove(archive);
            brx::zip::ZipEngine engine(*platform);
            engine.UseProgramSettings();
            engine.MultiZipInfo.MultiMode = brx::zip::mmNone;
            engine.PackLevel = level;
            engine.SetZipName(ToZ(archive));
            engine.FilesList.push_back(">" + ToZ(argv[1]) + "\\*.*");
            auto start = std::chrono::steady_clock::now();
            double cpu = CpuSeconds();
            const int added = engine.WriteArchive();
            std::printf("write -%d %.3f s %.3f cpu %d files %llu bytes\n", level, Seconds(start), CpuSeconds() - cpu, added,
                        static_cast<unsigned long long>(engine.ArchiveFileSize()));
            engine.CloseArchive();
            engine.SetZipName(ToZ(archive));
            start = std::chrono::steady_clock::now();
            cpu = CpuSeconds();
            const bool good = engine.TestArchive();
            std::printf("test -%d %.3f s %.3f cpu %s\n", level, Seconds(start), CpuSeconds() - cpu, good ? "ok" : "FAILED");
            std::fflush(stdout);
            if (!good)
                return 1;
        }
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory %ld KiB\n", usage.ru_maxrss);
    return 0;
}
