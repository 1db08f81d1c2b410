// Where the tests find the source tree and the build tree.
#include "support/paths.h"

namespace brx::test {

std::string sourceDir() { return BRX_SOURCE_DIR; }
std::string binaryDir() { return BRX_BINARY_DIR; }

}  // namespace brx::test
