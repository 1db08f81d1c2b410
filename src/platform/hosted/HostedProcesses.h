// Programs started by Windows command line. The machine's own tools that the program needs are
// built in: "cmd.exe /c ..." runs the command after it, "Expand SOURCE TARGET" expands SZDD and
// cabinet files, and "notepad.exe FILE" shows the file with the desktop's viewer. Each of them
// starts only when its program file exists on the machine, as on Windows. Any other program
// starts only when [Programs] in machine.ini maps it to a host command; its arguments that are
// paths of the machine are handed over as host paths.
#pragma once

#include <sys/types.h>

#include <vector>

#include "platform/Process.h"
#include "platform/System.h"
#include "platform/hosted/HostedFiles.h"
#include "platform/hosted/MachineConfig.h"

namespace brx::platform::hosted {

// Splits a Windows command line: blanks separate, double quotes group and are removed.
std::vector<std::string> splitCommandLine(const std::string& commandLine);

class HostedProcesses final : public Processes {
  public:
    HostedProcesses(MachineConfig& machine, HostedFiles& files, System& system)
        : machine_(machine), files_(files), system_(system) {}
    ~HostedProcesses() override;

    std::optional<std::uint32_t> run(const std::string& commandLine,
                                     const std::string& workingDirectory, ShowWindow show,
                                     const std::function<void()>& pump) override;
    std::uint32_t winExec(const std::string& commandLine, ShowWindow show) override;

  private:
    struct Started {
        bool started = false;
        std::uint32_t exitCode = 0;
    };
    Started execute(const std::vector<std::string>& words, const std::string& workingDirectory,
                    bool wait, const std::function<void()>& pump);
    std::optional<std::string> locate(const std::string& program,
                                      const std::string& workingDirectory);
    std::optional<std::string> mappedCommand(const std::string& program);
    Started runInterpreter(const std::vector<std::string>& words,
                           const std::string& workingDirectory, bool wait,
                           const std::function<void()>& pump);
    Started runExpand(const std::vector<std::string>& arguments);
    Started spawn(const std::vector<std::string>& argv, const std::string& hostDirectory, bool wait,
                  const std::function<void()>& pump);
    void reapFinished();

    MachineConfig& machine_;
    HostedFiles& files_;
    System& system_;
    std::vector<pid_t> detached_;
};

}  // namespace brx::platform::hosted
