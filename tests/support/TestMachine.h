// A small machine in a fresh temporary directory, built by the same code as
// `brxmachine create`, removed again when the test ends.
#pragma once

#include <memory>
#include <string>

#include "platform/Platform.h"
#include "platform/hosted/Machine.h"
#include "platform/hosted/MachineBuilder.h"

namespace brx::test {

// A fresh empty host directory, removed with everything in it at the end.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// Options of the test machines: a 2000 machine with its hives but without the demo documents,
// whose notepad shows nothing on the desktop. Set withHives to false for a machine whose hive
// files are missing.
platform::hosted::MachineOptions testMachineOptions(
    platform::hosted::WindowsEdition edition = platform::hosted::WindowsEdition::Windows2000);

class TestMachine {
  public:
    explicit TestMachine(const platform::hosted::MachineOptions& options = testMachineOptions());

    platform::Platform& platform() { return *platform_; }
    platform::hosted::HostedPlatform& hosted() { return *platform_; }
    const platform::hosted::MachineLayout& layout() const { return layout_; }
    // The machine's directory on the host (holds machine.ini).
    const std::string& dir() const { return layout_.machineDir; }
    // Opens the machine again from machine.ini, as a new start of the program would.
    void reopen();
    // Changes one value of machine.ini ("Privileges", "Backup", "0") and reopens the machine.
    void setMachineValue(const std::string& section, const std::string& key,
                         const std::string& value);

    // Host path of a Windows path of the machine (which need not exist).
    std::string host(const std::string& windowsPath);
    // Writes a file on the host, creating its directories; content as given.
    void writeFile(const std::string& windowsPath, const std::string& content);
    // The file's content, read on the host; throws when it cannot be read.
    std::string readFile(const std::string& windowsPath);
    bool exists(const std::string& windowsPath);

    // A media directory for the diskette drive (created empty), then put into A:.
    std::string insertDiskette(const std::string& name);
    // A: without media.
    void ejectDiskette();

  private:
    TempDir temp_;
    platform::hosted::MachineLayout layout_;
    std::unique_ptr<platform::hosted::HostedPlatform> platform_;
};

}  // namespace brx::test
