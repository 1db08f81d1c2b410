#include <gtest/gtest.h>

#include "support/TestMachine.h"

namespace brx::platform {
namespace {

using test::TestMachine;

TEST(HostedFiles, ResolvesPathsWithoutRegardToCaseAndThroughShortAliases) {
    TestMachine machine;
    Files& files = machine.platform().files();
    machine.writeFile("C:\\Program Files\\Brellix\\brxset.ini", "[x]\r\n");

    struct Case {
        const char* path;
        const char* longPath;
    } cases[] = {
        {"c:\\winnt\\WIN.INI", "C:\\WINNT\\win.ini"},
        {"C:\\PROGRA~1\\brellix\\BRXSET.INI", "C:\\Program Files\\Brellix\\brxset.ini"},
        {"C:\\DOCUME~1\\tester\\LOCALS~1\\temp\\", "C:\\Documents and Settings\\Tester\\Local Settings\\Temp\\"},
        {"C:/WINNT/./System32/../system.ini", "C:\\WINNT\\system.ini"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(files.longPathName(c.path).value_or("(missing)"), c.longPath);
    }
    EXPECT_FALSE(files.exists("C:\\WINNT\\nothing.ini"));
    EXPECT_FALSE(files.exists("Q:\\WINNT"));
}

}  // namespace
}  // namespace brx::platform
