// The operating system's "Expand" for the compressed files of an installation: SZDD files
// ("sam._") and cabinets. A file that is not compressed is copied, as Expand does.
#pragma once

#include <string>

namespace brx::platform::hosted {

// Host paths. True when `target` holds the expanded content.
bool expandFile(const std::string& source, const std::string& target);

}  // namespace brx::platform::hosted
