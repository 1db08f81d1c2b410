#include "support/TestMachine.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/hosted/HostFile.h"
#include "platform/hosted/IniText.h"

namespace brx::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "brx-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary directory");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Read-only files do not stop the removal: the directories are ours.
    fs::remove_all(path_, ignored);
}

platform::hosted::MachineOptions testMachineOptions(platform::hosted::WindowsEdition edition) {
    platform::hosted::MachineOptions options;
    options.edition = edition;
    options.userName = "Tester";
    options.computerName = "TESTBOX";
    options.withDemoFiles = false;
    // Tests never open windows on the desktop.
    options.viewer = "true";
    return options;
}

TestMachine::TestMachine(const platform::hosted::MachineOptions& options)
    : layout_(platform::hosted::createMachine(temp_.path() + "/machine", options)),
      platform_(platform::hosted::openMachine(layout_.machineDir)) {}

void TestMachine::reopen() {
    platform_ = platform::hosted::openMachine(layout_.machineDir);
}

void TestMachine::setMachineValue(const std::string& section, const std::string& key,
                                  const std::string& value) {
    const std::string file = dir() + "/" + platform::hosted::kMachineIniName;
    auto text = platform::hosted::readHostFile(file);
    if (!text) throw std::runtime_error("cannot read " + file);
    auto ini = platform::hosted::IniText::parse(*text);
    ini.setValue(section, key, value);
    if (!platform::hosted::replaceHostFileAtomically(file, ini.serialize()))
        throw std::runtime_error("cannot write " + file);
    reopen();
}

std::string TestMachine::host(const std::string& windowsPath) {
    auto path = platform_->files().hostPath(windowsPath);
    if (!path) throw std::runtime_error("no host path for " + windowsPath);
    return *path;
}

void TestMachine::writeFile(const std::string& windowsPath, const std::string& content) {
    const fs::path path = host(windowsPath);
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string TestMachine::readFile(const std::string& windowsPath) {
    const std::string path = host(windowsPath);
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool TestMachine::exists(const std::string& windowsPath) {
    return platform_->files().exists(windowsPath);
}

std::string TestMachine::insertDiskette(const std::string& name) {
    const std::string media = temp_.path() + "/media/" + name;
    fs::create_directories(media);
    platform_->setDriveMedia('A', media);
    return media;
}

void TestMachine::ejectDiskette() {
    platform_->setDriveMedia('A', temp_.path() + "/media/(none)");
}

}  // namespace brx::test
