// Everything the program's logic asks of Windows, in one place. The logic holds a Platform&
// and never touches the host directly.
#pragma once

#include "platform/CodePage.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/Profile.h"
#include "platform/Registry.h"
#include "platform/Security.h"
#include "platform/Shell.h"
#include "platform/System.h"

namespace brx::platform {

class Platform {
public:
    virtual ~Platform() = default;
    virtual Files& files() = 0;
    virtual System& system() = 0;
    virtual Profile& profile() = 0;
    virtual Processes& processes() = 0;
    virtual Shell& shell() = 0;
    virtual Registry& registry() = 0;
    virtual Security& security() = 0;
};

}  // namespace brx::platform
