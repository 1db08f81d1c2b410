// Writing and reading string values of a machine's live registry in tests.
#pragma once

#include <string>

#include "platform/Registry.h"

namespace brx::test {

// Creates the key when needed and sets a REG_SZ value; false when the registry refused.
bool SetRegistryText(platform::Registry& registry, platform::HKey root, const std::string& key,
                     const std::string& name, const std::string& text);
// The REG_SZ value, or "<missing>" when the key or value cannot be read.
std::string RegistryText(platform::Registry& registry, platform::HKey root, const std::string& key,
                         const std::string& name);

}  // namespace brx::test
