// A small machine with the program on it, ready for backup runs: the same machine code as
// `brxmachine create`, the program's own start-up, the real ZIP engine, and a scripted user
// who can swap diskettes when asked for another disk.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "backup/BackupRun.h"
#include "core/Program.h"
#include "core/ScriptedUi.h"
#include "core/Startup.h"
#include "core/ZipSetup.h"
#include "editions/Edition.h"
#include "platform/hosted/Machine.h"
#include "platform/hosted/MachineBuilder.h"

namespace brx::backup::test {

namespace fs = std::filesystem;

// A user at the diskette drive: asked for another disk, they put in a fresh empty one; asked
// for the first or the last disk of an archive, they put that one back.
class DiskSwappingUi : public core::ScriptedUi {
public:
    core::Answer ShowMessage(const core::Message& message) override {
        const std::string& text = message.text;
        if (swapDisks && platform && message.buttons == core::MessageButtons::OkCancel) {
            if (text.find("insert first disk") != std::string::npos) {
                platform->setDriveMedia('A', disks.front());
            } else if (text.find("insert the last disk") != std::string::npos) {
                platform->setDriveMedia('A', disks.back());
            } else if (text.find("nsert") != std::string::npos) {
                const std::string media = mediaRoot + "/disk" + std::to_string(++disksUsed);
                fs::create_directories(media);
                disks.push_back(media);
                platform->setDriveMedia('A', media);
            }
        }
        return core::ScriptedUi::ShowMessage(message);
    }

    platform::hosted::HostedPlatform* platform = nullptr;
    bool swapDisks = false;
    std::string mediaRoot;
    std::vector<std::string> disks;  // host directories, in the order they were first inserted
    int disksUsed = 0;
};

class NoRunItems : public core::RunItems {
public:
    void RunBackup(int) override {}
    void RunDorAdur() override {}
    void FillList() override {}
};

class BackupBench : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root = (fs::temp_directory_path() /
                ("brx-backup-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" +
                 std::to_string(::getpid())))
                   .string();
        fs::remove_all(root);
        platform::hosted::MachineOptions options;
        options.today = platform::LocalTime{2026, 12, 9, 10, 0, 0, 3};
        options.withHives = withHives;
        if (ntEdition) options.edition = platform::hosted::WindowsEdition::WindowsNT;
        layout = platform::hosted::createMachine(root + "/machine", options);
        machine = platform::hosted::openMachine(root + "/machine");
        ui.platform = machine.get();
        ui.mediaRoot = root + "/media";
        ui.disks = {root + "/machine/A"};
    }

    void TearDown() override {
        backup.reset();
        program.reset();
        machine.reset();
        if (!HasFailure()) fs::remove_all(root);
    }

    // Changes one line of machine.ini and opens the machine again, as a new start would.
    void EditMachine(const std::string& from, const std::string& to) {
        const std::string ini = root + "/machine/machine.ini";
        std::stringstream text;
        text << std::ifstream(ini).rdbuf();
        std::string content = text.str();
        const auto at = content.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        content.replace(at, from.size(), to);
        std::ofstream(ini, std::ios::trunc) << content;
        machine = platform::hosted::openMachine(root + "/machine");
        ui.platform = machine.get();
    }

    // Settings the test wants in brxset.ini before the program reads it.
    void Set(const std::string& section, const std::string& key, const std::string& value) {
        machine->profile().write(SettingsFile(), section, key, value);
    }
    std::string Get(const std::string& section, const std::string& key) {
        return machine->profile().readString(SettingsFile(), section, key, "");
    }
    std::string SettingsFile() { return layout.programDirectory + "\\brxset.ini"; }

    // Ticks exactly these items of configuration `config`.
    void Tick(std::vector<int> items, int config = 1) {
        const std::string section = "Checks" + std::to_string(config);
        for (int i = 0; i < 21; ++i) Set(section, std::to_string(i), "0");
        for (int i : items) Set(section, std::to_string(i), "1");
    }
    void Configure(const std::string& key, const std::string& value, int config = 1) {
        Set("BackupPreferences" + std::to_string(config), key, value);
    }

    // Starts the program the way the window does, without flagged runs.
    void Start() {
        // A settings file of this program version: the configurations have their own sections.
        if (Get("BackupPreferences", "curconfig").empty()) Set("BackupPreferences", "curconfig", "1");
        program = std::make_unique<core::Program>(
            *machine, ntEdition ? editions::Edition::WinNT() : editions::Edition::Win2000(), ui);
        core::InstallZipEngine(*program);
        core::Startup startup(*program, runItems);
        ASSERT_EQ(startup.Enter({}), core::StartupOutcome::ShowWindow);
        startup.MainWindowStart();
        backup = std::make_unique<BackupRun>(*program);
    }

    // The shown configuration: a run saves it to the file before it reads it back.
    core::Configuration& Model() { return program->settings.config; }

    void Run(int index = 0) {
        program->run.fileCount = 0;
        backup->BackupClick(index);
    }

    std::string Host(const std::string& windowsPath) { return *machine->files().hostPath(windowsPath); }

    std::vector<std::string> SetContents(const std::string& setDirectory) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(Host(setDirectory)))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Info-ZIP's verdict on an archive of the machine.
    static int UnzipTest(const std::string& hostFile) {
        return std::system(("unzip -tqq '" + hostFile + "' >/dev/null 2>&1").c_str());
    }
    static std::string UnzipList(const std::string& hostFile) {
        std::string command = "unzip -Z1 '" + hostFile + "' 2>&1";
        std::string out;
        if (FILE* pipe = ::popen(command.c_str(), "r")) {
            char buffer[512];
            while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
            ::pclose(pipe);
        }
        return out;
    }
    // Every archive in the set passes `unzip -t`.
    void ExpectArchivesPass(const std::string& setDirectory) {
        for (const auto& entry : fs::recursive_directory_iterator(Host(setDirectory))) {
            if (!entry.is_regular_file()) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            char magic[2] = {};
            in.read(magic, 2);
            if (magic[0] == 'P' && magic[1] == 'K')
                EXPECT_EQ(UnzipTest(entry.path().string()), 0) << entry.path();
        }
    }

    std::vector<std::string> Entries() { return backup->Sets().Entries(); }

    bool withHives = false;
    bool ntEdition = false;
    std::string root;
    platform::hosted::MachineLayout layout;
    std::unique_ptr<platform::hosted::HostedPlatform> machine;
    DiskSwappingUi ui;
    NoRunItems runItems;
    std::unique_ptr<core::Program> program;
    std::unique_ptr<BackupRun> backup;
};

}  // namespace brx::backup::test
