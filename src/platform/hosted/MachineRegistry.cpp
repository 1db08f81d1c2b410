#include "platform/hosted/MachineRegistry.h"

#include "platform/hosted/HostedRegistry.h"
#include "platform/hosted/Machine.h"

namespace brx::platform::hosted {

std::unique_ptr<Registry> openMachineRegistry(HostedPlatform& machine) {
    HostedRegistryConfig config;
    config.userSid = machine.machine().userSid;
    config.machineDirectory = machine.machineDir();
    for (const auto& [key, device] : machine.machine().hives) {
        HiveMount mount{key, {}, device};
        if (!device.empty()) mount.hostFile = machine.hostedFiles().hostPathOfDevicePath(device).value_or("");
        config.mounts.push_back(std::move(mount));
    }
    Security& security = machine.security();
    config.privilegeEnabled = [&security](const std::string& name) { return security.privilegeEnabled(name); };
    Files& files = machine.files();
    config.hostPath = [&files](const std::string& path) { return files.hostPath(path); };
    return std::make_unique<HostedRegistry>(std::move(config));
}

BootReport restartMachine(HostedPlatform& machine) {
    if (auto* registry = dynamic_cast<HostedRegistry*>(&machine.registry())) registry->closeAllHives();
    return applyPendingReplacements(machine.machineDir());
}

}  // namespace brx::platform::hosted
