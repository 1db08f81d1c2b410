// Failures that end an action carry the program's own message text; code branches on kind().
#pragma once

#include <stdexcept>
#include <string>

namespace brx::core {

enum class ErrorKind {
    General,
    UnableToWrite,  // a settings file could not be written
};

class Error : public std::runtime_error {
public:
    Error(ErrorKind kind, const std::string& message) : std::runtime_error(message), m_kind(kind) {}
    ErrorKind kind() const { return m_kind; }

private:
    ErrorKind m_kind;
};

}  // namespace brx::core
