// Starting programs by Windows command line.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace brx::platform {

enum class ShowWindow { Hide = 0, Normal = 1, Minimized = 2, Maximized = 3 };

class Processes {
public:
    virtual ~Processes() = default;

    // CreateProcessA + wait + GetExitCodeProcess. `pump` is called while waiting so windows
    // stay alive. nullopt when the program could not be started.
    virtual std::optional<std::uint32_t> run(const std::string& commandLine,
                                             const std::string& workingDirectory, ShowWindow show,
                                             const std::function<void()>& pump) = 0;
    // WinExec: starts without waiting; a value above 31 means started.
    virtual std::uint32_t winExec(const std::string& commandLine, ShowWindow show) = 0;
};

}  // namespace brx::platform
