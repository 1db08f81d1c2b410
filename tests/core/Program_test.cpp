#include <gtest/gtest.h>

#include "core/ZipSetup.h"
#include "support/CoreMachine.h"

namespace brx::core {
namespace {

TEST(Program, CancelButtonStopsTheEngineOnceAndListsTheCancelOnce)
{
    test::CoreMachine machine(editions::Edition::Win2000());
    Program& program = machine.program;
    InstallZipEngine(program);
    ASSERT_NE(program.Zip(), nullptr);

    // Cancel is pressed while the engine pumps messages during its first buffer.
    machine.ui.CancelAtPump(1);
    program.Zip()->SetZipName("C:\\x.zip");
    program.Zip()->FilesList = {"C:\\boot.ini"};
    try {
        program.Zip()->WriteArchive();
        FAIL() << "the archive was written in spite of Cancel";
    } catch (const zip::ZipError& error) {
        EXPECT_EQ(std::string(error.what()), "User Aborted Operation");
    }
    program.CancelOperation();  // pressed a second time

    EXPECT_TRUE(program.run.cancel);
    EXPECT_TRUE(program.run.error);
    EXPECT_EQ(program.run.warnings, std::vector<std::string>{"User Cancelled"});
}

}  // namespace
}  // namespace brx::core
