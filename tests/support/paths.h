#pragma once

#include <string>

namespace brx::test {

std::string sourceDir();
std::string binaryDir();

}  // namespace brx::test
