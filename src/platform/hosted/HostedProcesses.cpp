#include "platform/hosted/HostedProcesses.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "platform/hosted/Expand.h"
#include "platform/hosted/IniText.h"

extern char** environ;

namespace brx::platform::hosted {

namespace {

// WinExec's answers: above 31 means started.
constexpr std::uint32_t kWinExecStarted = 33;
constexpr std::uint32_t kWinExecFileNotFound = 2;

std::string programStem(const std::string& program) {
    std::string name = toLowerAscii(windowsFileName(program));
    for (const char* extension : {".exe", ".com", ".bat", ".cmd"}) {
        const std::size_t length = std::strlen(extension);
        if (name.size() > length && name.compare(name.size() - length, length, extension) == 0)
            return name.substr(0, name.size() - length);
    }
    return name;
}

bool hasExtension(const std::string& program) {
    return windowsFileName(program).find('.') != std::string::npos;
}

// Splits a host command at blanks; double quotes group.
std::vector<std::string> splitHostCommand(const std::string& command) {
    return splitCommandLine(command);
}

}  // namespace

std::vector<std::string> splitCommandLine(const std::string& commandLine) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    bool inWord = false;
    for (char c : commandLine) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

HostedProcesses::~HostedProcesses() {
    reapFinished();
}

void HostedProcesses::reapFinished() {
    std::erase_if(detached_, [](pid_t pid) {
        int status = 0;
        return waitpid(pid, &status, WNOHANG) != 0;
    });
}

// Where Windows looks for a program named without a directory: the program's own directory,
// the current directory, the System directory and the Windows directory.
std::optional<std::string> HostedProcesses::locate(const std::string& program,
                                                   const std::string& workingDirectory) {
    std::vector<std::string> names{program};
    if (!hasExtension(program)) names = {program + ".exe", program + ".com", program};
    const bool hasDirectory = program.find_first_of("\\/:") != std::string::npos;
    std::vector<std::string> directories;
    if (hasDirectory) {
        directories.emplace_back();
    } else {
        directories = {windowsParent(machine_.programPath), workingDirectory,
                       machine_.systemDirectory, machine_.windowsDirectory};
    }
    for (const auto& directory : directories) {
        if (!hasDirectory && directory.empty()) continue;
        for (const auto& name : names) {
            const std::string candidate =
                hasDirectory ? name : directory + (directory.back() == '\\' ? "" : "\\") + name;
            auto info = files_.stat(candidate);
            if (info && !info->isDirectory()) return candidate;
        }
    }
    return std::nullopt;
}

std::optional<std::string> HostedProcesses::mappedCommand(const std::string& program) {
    for (const auto& [key, command] : machine_.programs) {
        if (equalsNoCase(key, program) || programStem(key) == programStem(program)) return command;
    }
    return std::nullopt;
}

HostedProcesses::Started HostedProcesses::execute(const std::vector<std::string>& words,
                                                  const std::string& workingDirectory, bool wait,
                                                  const std::function<void()>& pump) {
    if (words.empty()) return {};
    const std::string& program = words.front();
    const std::vector<std::string> arguments(words.begin() + 1, words.end());
    const std::string hostDirectory =
        files_.hostPath(workingDirectory).value_or(machine_.machineDir);

    if (auto command = mappedCommand(program)) {
        std::vector<std::string> argv = splitHostCommand(*command);
        if (argv.empty()) return {};
        for (const auto& argument : arguments) {
            auto parsed = parseWindowsPath(argument);
            auto host = parsed ? files_.hostPath(argument) : std::nullopt;
            argv.push_back(host ? *host : argument);
        }
        return spawn(argv, hostDirectory, wait, pump);
    }

    const std::string stem = programStem(program);
    if (stem != "cmd" && stem != "expand" && stem != "notepad") return {};
    if (!locate(program, workingDirectory)) return {};
    if (stem == "cmd") return runInterpreter(arguments, workingDirectory, wait, pump);
    if (stem == "expand") return runExpand(arguments);
    if (arguments.empty()) return {};
    // Notepad takes the rest of its command line as one file name, blanks and all.
    std::string name;
    for (const auto& argument : arguments) name += (name.empty() ? "" : " ") + argument;
    auto file = files_.hostPath(name);
    if (!file) return {};
    std::vector<std::string> argv = splitHostCommand(machine_.viewer);
    if (argv.empty()) return {};
    argv.push_back(*file);
    return spawn(argv, hostDirectory, wait, pump);
}

HostedProcesses::Started HostedProcesses::runInterpreter(const std::vector<std::string>& words,
                                                         const std::string& workingDirectory,
                                                         bool wait,
                                                         const std::function<void()>& pump) {
    // "/c COMMAND" and "/k COMMAND" run the command; the interpreter alone has nothing to do.
    std::size_t first = 0;
    while (first < words.size() && words[first].size() == 2 && words[first][0] == '/') {
        const char option =
            static_cast<char>(std::tolower(static_cast<unsigned char>(words[first][1])));
        ++first;
        if (option == 'c' || option == 'k') break;
    }
    if (first >= words.size()) return {true, 0};
    const std::vector<std::string> command(words.begin() + static_cast<std::ptrdiff_t>(first),
                                           words.end());
    if (programStem(command.front()) == "expand")
        return runExpand({command.begin() + 1, command.end()});
    Started inner = execute(command, workingDirectory, wait, pump);
    // The interpreter itself started; a command it cannot find ends it with code 1.
    return inner.started ? inner : Started{true, 1};
}

HostedProcesses::Started HostedProcesses::runExpand(const std::vector<std::string>& arguments) {
    std::vector<std::string> paths;
    for (const auto& argument : arguments)
        if (!argument.empty() && argument[0] != '-' && argument[0] != '/')
            paths.push_back(argument);
    if (paths.size() != 2) return {true, 1};
    auto source = files_.hostPath(paths[0]);
    auto target = files_.hostPath(paths[1]);
    if (!source || !target) return {true, 1};
    // Expand writes like any program: not onto a CD, not onto a drive without media.
    if (files_.driveType(paths[1]) == DriveType::CdRom || !files_.driveReady(paths[1]))
        return {true, 1};
    return {true, expandFile(*source, *target) ? 0u : 1u};
}

HostedProcesses::Started HostedProcesses::spawn(const std::vector<std::string>& argv,
                                                const std::string& hostDirectory, bool wait,
                                                const std::function<void()>& pump) {
    std::vector<char*> raw;
    for (const auto& word : argv) raw.push_back(const_cast<char*>(word.c_str()));
    raw.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, hostDirectory.c_str());
    pid_t pid = 0;
    const int failed = posix_spawnp(&pid, raw[0], &actions, nullptr, raw.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) return {};
    if (!wait) {
        detached_.push_back(pid);
        return {true, 0};
    }
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (done < 0) return {true, 1};
        if (pump) pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // A program that cannot be executed ends at once with 127 from the spawn's own shell rules.
    if (WIFEXITED(status)) return {true, static_cast<std::uint32_t>(WEXITSTATUS(status))};
    return {true, 1};
}

std::optional<std::uint32_t> HostedProcesses::run(const std::string& commandLine,
                                                  const std::string& workingDirectory, ShowWindow,
                                                  const std::function<void()>& pump) {
    reapFinished();
    const std::string directory =
        workingDirectory.empty() ? windowsParent(machine_.programPath) : workingDirectory;
    Started started = execute(splitCommandLine(commandLine), directory, true, pump);
    if (!started.started) return std::nullopt;
    return started.exitCode;
}

std::uint32_t HostedProcesses::winExec(const std::string& commandLine, ShowWindow) {
    reapFinished();
    Started started =
        execute(splitCommandLine(commandLine), windowsParent(machine_.programPath), false, nullptr);
    return started.started ? kWinExecStarted : kWinExecFileNotFound;
}

}  // namespace brx::platform::hosted
