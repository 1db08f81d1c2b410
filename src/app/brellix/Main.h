// The shared entry of brellix2k and brellixnt; each passes its edition.
#pragma once

#include "editions/Edition.h"

namespace brx::app {

int Main(const editions::Edition& edition, int argc, char** argv);

}  // namespace brx::app
