#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/hosted/ShellLinkFormat.h"
#include "support/TestMachine.h"

namespace brx::platform {
namespace {

using test::TestMachine;

// What an independent reader of shell links makes of the file.
std::string lnkinfo(const std::string& hostFile) {
    std::string output;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(
        popen(("lnkinfo '" + hostFile + "' 2>&1").c_str(), "r"), pclose);
    if (!pipe) return output;
    std::array<char, 4096> buffer;
    while (std::size_t got = fread(buffer.data(), 1, buffer.size(), pipe.get()))
        output.append(buffer.data(), got);
    return output;
}

ShellLink startupLink(const test::TestMachine& machine) {
    ShellLink link;
    link.target = "\"" + machine.layout().programPath + "\"";
    link.arguments = "schedule 1 r";
    link.workingDirectory = machine.layout().programDirectory;
    link.description = "Nightly backup – Ä";
    return link;
}

TEST(ShellLinks, IndependentReaderSeesTargetArgumentsDirectoryAndDescription) {
    TestMachine machine;
    const std::string linkPath = machine.layout().profileDirectory + "\\Desktop\\Nightly.lnk";
    ASSERT_EQ(machine.platform().shell().writeShortcut(linkPath, startupLink(machine)),
              kErrorSuccess);

    const std::string report = lnkinfo(machine.host(linkPath));
    EXPECT_NE(report.find("Local path\t\t\t: C:\\Program Files\\Brellix\\Brellix2K.exe\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("Command line arguments\t\t: schedule 1 r\n"), std::string::npos)
        << report;
    EXPECT_NE(report.find("Working directory\t\t: C:\\Program Files\\Brellix\n"), std::string::npos)
        << report;
    EXPECT_NE(report.find("Description\t\t\t: Nightly backup – Ä\n"), std::string::npos) << report;
    EXPECT_NE(report.find("Drive type\t\t\t: Fixed (3)"), std::string::npos) << report;
}

TEST(ShellLinks, ReadBackGivesWhatWasWrittenWithTheTargetUnquoted) {
    TestMachine machine;
    const std::string linkPath =
        machine.layout().profileDirectory + "\\Start Menu\\Programs\\Startup\\Brellix2K.lnk";
    ShellLink written = startupLink(machine);
    written.show = ShowWindow::Minimized;
    written.hotKey = 0x0642;
    written.iconLocation = machine.layout().programPath;
    written.iconIndex = 2;
    ASSERT_EQ(machine.platform().shell().writeShortcut(linkPath, written), kErrorSuccess);

    auto read = machine.platform().shell().readShortcut(linkPath);
    ASSERT_TRUE(read);
    ShellLink expected = written;
    expected.target = machine.layout().programPath;
    EXPECT_EQ(*read, expected);
    EXPECT_FALSE(machine.platform().shell().readShortcut(linkPath + ".missing"));
}

TEST(ShellLinks, DamagedFilesAreNoLinks) {
    ShellLink link;
    link.target = "C:\\WINNT\\notepad.exe";
    link.arguments = "C:\\boot.ini";
    const std::string bytes = hosted::encodeShellLink(link, {}, {});
    ASSERT_TRUE(hosted::decodeShellLink(bytes));
    // Every cut through the file, and a string count that runs past the end, must be refused.
    for (std::size_t size = 0; size + 4 < bytes.size(); ++size)
        EXPECT_FALSE(hosted::decodeShellLink(std::string_view(bytes).substr(0, size))) << size;
    std::string overlong = bytes;
    overlong[overlong.size() - 4 - 2 * link.arguments.size() - 2] = '\x7F';
    EXPECT_FALSE(hosted::decodeShellLink(overlong));
}

}  // namespace
}  // namespace brx::platform
