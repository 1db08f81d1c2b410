#include "platform/hosted/Machine.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "platform/hosted/HostedRegistry.h"
#include "platform/hosted/PendingReplacements.h"
#include "platform/hosted/UnavailableRegistry.h"

namespace brx::platform::hosted {

namespace {

std::string hostTempDirectory() {
    const char* temp = std::getenv("TMPDIR");
    std::string dir = temp && *temp ? temp : "/tmp";
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

// "/tmp" → "Z:\tmp"
std::string hostToZ(const std::string& hostPath) {
    std::string path = "Z:";
    for (char c : hostPath) path += c == '/' ? '\\' : c;
    if (path == "Z:") path += '\\';
    return path;
}

}  // namespace

HostedPlatform::HostedPlatform(MachineConfig machine)
    : machine_(std::move(machine)),
      files_(machine_),
      system_(machine_, files_),
      profile_(files_, system_),
      processes_(machine_, files_, system_),
      shell_(files_),
      security_(machine_),
      registry_(std::make_unique<UnavailableRegistry>()) {
    if (!machine_.hives.empty()) serveHives();
    // Every end of the session writes and closes the hives, as Windows does when it goes down;
    // a reboot then applies what waits for the next start, before the program ends.
    security_.setSessionEndHook([this] {
        if (auto* hosted = dynamic_cast<HostedRegistry*>(registry_.get())) hosted->closeAllHives();
    });
    security_.setRestartHook([this] { applyPendingReplacements(machine_.machineDir); });
}

void HostedPlatform::serveHives() {
    HostedRegistryConfig config;
    for (const auto& [key, device] : machine_.hives) {
        HiveMount mount;
        mount.registryPath = key;
        mount.devicePath = device;
        if (!device.empty())
            mount.hostFile = files_.hostPathOfDevicePath(device).value_or(std::string());
        config.mounts.push_back(std::move(mount));
    }
    config.userSid = machine_.userSid;
    config.machineDirectory = machine_.machineDir;
    config.privilegeEnabled = [this](const std::string& name) {
        return security_.privilegeEnabled(name);
    };
    config.hostPath = [this](const std::string& path) { return files_.hostPath(path); };
    registry_ = std::make_unique<HostedRegistry>(std::move(config));
}

HostedPlatform::~HostedPlatform() = default;

void HostedPlatform::setDriveMedia(char letter, const std::string& hostDir) {
    auto it =
        machine_.drives.find(static_cast<char>(std::toupper(static_cast<unsigned char>(letter))));
    if (it == machine_.drives.end())
        throw std::invalid_argument(std::string("no drive ") + letter + ":");
    std::string dir = std::filesystem::absolute(hostDir).lexically_normal().string();
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    it->second.hostDir = dir;
}

void HostedPlatform::setRegistry(std::unique_ptr<Registry> registry) {
    registry_ = registry ? std::move(registry) : std::make_unique<UnavailableRegistry>();
}

std::unique_ptr<HostedPlatform> openMachine(const std::string& machineDir) {
    return std::make_unique<HostedPlatform>(loadMachineConfig(machineDir));
}

std::unique_ptr<HostedPlatform> openHostRoot() {
    MachineConfig machine;
    machine.machineDir = "/";
    DriveConfig root;
    root.letter = 'Z';
    root.type = DriveType::Fixed;
    root.hostDir = "/";
    machine.drives['Z'] = root;
    const char* user = std::getenv("USER");
    machine.userName = user && *user ? user : "user";
    machine.windowsDirectory = hostToZ(hostTempDirectory());
    machine.systemDirectory = machine.windowsDirectory;
    const std::string temp = hostToZ(hostTempDirectory());
    machine.environment = {{"TEMP", temp}, {"TMP", temp}};
    machine.programPath = hostToZ(std::filesystem::current_path().string()) + "\\brxzip";
    return std::make_unique<HostedPlatform>(std::move(machine));
}

}  // namespace brx::platform::hosted
