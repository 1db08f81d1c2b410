#include "RegistryValues.h"

namespace brx::test {

using namespace brx::platform;

bool SetRegistryText(Registry& registry, HKey root, const std::string& key, const std::string& name,
                     const std::string& text)
{
    HKey handle = 0;
    bool created = false;
    if (registry.createKey(root, key, kKeyAllAccess, &handle, &created) != kErrorSuccess) return false;
    RegValue value;
    value.name = name;
    value.type = kRegSz;
    for (char c : text) {   // test texts are ASCII
        value.data.push_back(static_cast<std::uint8_t>(c));
        value.data.push_back(0);
    }
    value.data.push_back(0);
    value.data.push_back(0);
    const bool written = registry.setValue(handle, value) == kErrorSuccess;
    registry.flushKey(handle);
    registry.closeKey(handle);
    return written;
}

std::string RegistryText(Registry& registry, HKey root, const std::string& key, const std::string& name)
{
    HKey handle = 0;
    if (registry.openKey(root, key, kKeyRead, &handle) != kErrorSuccess) return "<missing>";
    RegValue value;
    const ErrorCode result = registry.queryValue(handle, name, &value);
    registry.closeKey(handle);
    return result == kErrorSuccess ? value.text() : "<missing>";
}

}  // namespace brx::test
