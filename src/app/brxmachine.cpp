// brxmachine: creates a machine (a Windows installation in a host directory) and shows its
// state.
//
//   brxmachine create DIR [--edition 2000|nt] [--user NAME] [--no-demo-files] [--no-diskette]
//   brxmachine status DIR
//   brxmachine boot DIR      starts the machine: applies the pending hive replacements
#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/hosted/Machine.h"
#include "platform/hosted/MachineBuilder.h"
#include "platform/hosted/PendingReplacements.h"

namespace {

using namespace brx::platform;
using namespace brx::platform::hosted;

constexpr const char* kUsage =
    "usage: brxmachine create DIR [--edition 2000|nt] [--user NAME] [--no-demo-files] "
    "[--no-diskette]\n"
    "       brxmachine status DIR\n"
    "       brxmachine boot DIR\n";

const char* driveTypeName(DriveType type) {
    switch (type) {
        case DriveType::Fixed:
            return "fixed";
        case DriveType::Removable:
            return "removable";
        case DriveType::CdRom:
            return "cdrom";
        case DriveType::Remote:
            return "remote";
        case DriveType::RamDisk:
            return "ramdisk";
        default:
            return "unknown";
    }
}

int create(const std::vector<std::string>& args) {
    if (args.empty()) throw std::invalid_argument(kUsage);
    MachineOptions options;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--edition" && i + 1 < args.size()) {
            const std::string& edition = args[++i];
            if (edition == "2000")
                options.edition = WindowsEdition::Windows2000;
            else if (edition == "nt")
                options.edition = WindowsEdition::WindowsNT;
            else
                throw std::invalid_argument("unknown edition \"" + edition + "\" (2000 or nt)");
        } else if (option == "--user" && i + 1 < args.size()) {
            options.userName = args[++i];
        } else if (option == "--no-demo-files") {
            options.withDemoFiles = false;
        } else if (option == "--no-diskette") {
            options.disketteInserted = false;
        } else {
            throw std::invalid_argument("unknown option \"" + option + "\"\n" + kUsage);
        }
    }
    const MachineLayout layout = createMachine(args[0], options);
    std::cout << "Created "
              << (options.edition == WindowsEdition::WindowsNT ? "Windows NT" : "Windows 2000")
              << " machine in " << layout.machineDir << "\n"
              << "  Windows directory " << layout.windowsDirectory << "\n"
              << "  user profile      " << layout.profileDirectory << "\n"
              << "  program           " << layout.programPath << "\n";
    return 0;
}

void printDrives(HostedPlatform& machine) {
    Files& files = machine.files();
    std::cout << "Drives\n";
    for (const auto& [letter, drive] : machine.machine().drives) {
        const std::string root{letter, ':', '\\'};
        std::printf("  %c: %-9s %s", letter, driveTypeName(drive.type), drive.hostDir.c_str());
        if (!files.driveReady(root)) {
            std::printf("  (not ready)\n");
            continue;
        }
        if (auto space = files.diskFreeSpace(root))
            std::printf("  %llu of %llu bytes free",
                        static_cast<unsigned long long>(space->freeBytes),
                        static_cast<unsigned long long>(space->totalBytes));
        if (!drive.label.empty()) std::printf("  [%s]", drive.label.c_str());
        std::printf("\n");
    }
}

void printHives(HostedPlatform& machine) {
    std::cout << "Hives\n";
    for (const auto& [key, device] : machine.machine().hives) {
        if (device.empty()) {
            std::printf("  %s  (in memory)\n", key.c_str());
            continue;
        }
        auto host = machine.hostedFiles().hostPathOfDevicePath(device);
        std::printf("  %s\n      %s\n", key.c_str(),
                    host ? host->c_str() : "(no drive for this device)");
    }
}

void printReplacement(const PendingReplacement& replacement) {
    std::printf("  %s\n      live %s\n      new  %s\n      old  %s\n", replacement.hive.c_str(),
                replacement.liveFile.c_str(), replacement.newFile.c_str(),
                replacement.oldFile.c_str());
}

void printPending(HostedPlatform& machine) {
    const auto pending = readPendingReplacements(machine.machineDir());
    std::cout << "Pending until the next start" << (pending.empty() ? ": nothing" : "") << "\n";
    for (const auto& replacement : pending) printReplacement(replacement);
}

int boot(const std::vector<std::string>& args) {
    if (args.size() != 1) throw std::invalid_argument(kUsage);
    auto machine = openMachine(args[0]);
    const BootReport report = applyPendingReplacements(machine->machineDir());
    std::cout << "Started " << machine->machineDir() << ": " << report.applied.size()
              << " hive replacement(s) applied\n";
    for (const auto& replacement : report.applied) printReplacement(replacement);
    for (const auto& problem : report.problems) std::cerr << "  " << problem << "\n";
    return report.problems.empty() ? 0 : 1;
}

int status(const std::vector<std::string>& args) {
    if (args.size() != 1) throw std::invalid_argument(kUsage);
    auto machine = openMachine(args[0]);
    std::cout << "Machine " << machine->machineDir() << "\n"
              << "  Windows directory " << machine->system().windowsDirectory() << "\n"
              << "  user              " << machine->system().userName() << "\n"
              << "  program           " << machine->system().programPath() << "\n";
    printDrives(*machine);
    printHives(*machine);
    printPending(*machine);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.empty()) throw std::invalid_argument(kUsage);
        const std::string command = args.front();
        args.erase(args.begin());
        if (command == "create") return create(args);
        if (command == "status") return status(args);
        if (command == "boot") return boot(args);
        throw std::invalid_argument(kUsage);
    } catch (const std::exception& error) {
        std::cerr << "brxmachine: " << error.what() << "\n";
        return 2;
    }
}
