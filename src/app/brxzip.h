// brxzip: the ZIP engine on the command line.
//
//   brxzip [--machine DIR] a [-0..-9] [-r] [-P PASSWORD] [-b BLOCKBYTES] [-x MASK]... ARCHIVE PATH...
//   brxzip [--machine DIR] l ARCHIVE
//   brxzip [--machine DIR] t [-P PASSWORD] ARCHIVE
//   brxzip [--machine DIR] x [-P PASSWORD] [-j] [-d DIR] ARCHIVE [MASK...]
//
// Without --machine, paths are host paths and the host root is drive Z:, so names are stored as
// "Z:/home/...". With --machine, paths are Windows paths on that machine.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace brx::app {

// Runs one command on a platform; `hostMode` turns host paths into Z: paths. Returns the exit
// status: 0 success, 1 failure (the engine's message on `err`), 2 wrong usage.
int RunBrxzip(platform::Platform& platform, bool hostMode, const std::vector<std::string>& arguments,
              std::ostream& out, std::ostream& err);

}  // namespace brx::app
