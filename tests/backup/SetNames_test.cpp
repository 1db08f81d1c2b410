#include <gtest/gtest.h>

#include "backup/Packaging.h"
#include "backup/Paths.h"
#include "backup/SetNames.h"

namespace brx::backup {
namespace {

const platform::LocalTime kDecember9{2026, 12, 9, 10, 30, 0, 3};

TEST(SetNames, FormatsDatesWithDashesInSetNames) {
    struct Case {
        const char* format;
        const char* expected;
    } cases[] = {
        {"mm/dd/yyyy", "12-09-2026"},
        {"MM/dd/yyyy", "12-09-2026"},
        {"d/m/yy", "9-12-26"},
        {"dddd, mmmm d", "Wednesday, December 9"},
        {"ddd mmm", "Wed Dec"},
        {"yyyy\"/\"mm", "2026/12"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatDate(c.format, kDecember9, "-"), c.expected) << c.format;
}

TEST(SetNames, DateNamesCountUpWhileTheTextAppearsAnywhereInTheList) {
    EXPECT_EQ(NameByDate("12-09-2026", "", {}), "12-09-2026");
    EXPECT_EQ(NameByDate("12-09-2026", "", {"D:\\B\\12-09-2026\\"}), "12-09-2026(1)");
    EXPECT_EQ(NameByDate("12-09-2026", "", {"D:\\B\\12-09-2026\\", "D:\\B\\12-09-2026(1)\\"}),
              "12-09-2026(2)");
    // "112-09-2026\" contains "12-09-2026\".
    EXPECT_EQ(NameByDate("12-09-2026", "", {"D:\\B\\112-09-2026\\"}), "12-09-2026(1)");
    EXPECT_EQ(NameByDate("12-09-2026", " Config 2", {"D:\\B\\12-09-2026 Config 2\\"}),
              "12-09-2026(1) Config 2");
    EXPECT_EQ(NameByDate("12-09-2026", " Config 2", {"D:\\B\\12-09-2026\\"}), "12-09-2026 Config 2");
}

TEST(SetNames, NumberNamesFollowTheNewestEntry) {
    EXPECT_EQ(NameByNumber(std::nullopt, ""), "1");
    EXPECT_EQ(NameByNumber(std::string("D:\\B\\8\\"), ""), "9");
    EXPECT_EQ(NameByNumber(std::string("D:\\B\\12-09-2026\\"), ""), "1");
    EXPECT_EQ(NameByNumber(std::string("D:\\B\\3 Config 1\\"), " Config 1"), "1 Config 1");
}

TEST(SetNames, RefusesEmptyNamesAndIllegalCharacters) {
    EXPECT_TRUE(IsValidSetName("Monday"));
    for (const char* bad : {"", "a\\b", "a/b", "c:", "x*", "q?", "\"q\"", "<", ">", "a|b"})
        EXPECT_FALSE(IsValidSetName(bad)) << bad;
}

TEST(Paths, BackslashHelpersAndSynthesisedShortNames) {
    EXPECT_EQ(CheckPath("C:\\A"), "C:\\A\\");
    EXPECT_EQ(CheckPath("C:\\A\\"), "C:\\A\\");
    EXPECT_EQ(RemoveBackSl("C:\\A\\"), "C:\\A");
    EXPECT_EQ(RemoveBackSl("C:\\A"), "C:\\A");

    struct Case {
        const char* component;
        const char* expected;
    } cases[] = {
        {"12-09-2026", "12-09-2026"},      // no dot: never cut
        {"win.ini", "win.ini"},
        {"Program Files", "ProgramFiles"}, // blanks dropped, no dot: not cut
        {"My Backup.zip", "MyBack~1.zip"}, // a dropped blank forces the alias
        {"longername.txt", "longer~1.txt"},
        {"a.b.c", "ab~1.c"},               // inner dots dropped
        {"data.html", "data~1.htm"},
        {"x+y.txt", "x_y~1.txt"},
    };
    for (const auto& c : cases) EXPECT_EQ(SynthesizeShortComponent(c.component), c.expected) << c.component;
}

TEST(Packaging, PackedNamesOfSingleFiles) {
    struct Case {
        const char* name;
        const char* packed;
    } cases[] = {
        {"win.ini", "win.inz"},         {"autoexec.nt", "autoexec.ntz"}, {"command.com", "command.coz"},
        {"ntldr", "ntldr.--z"},         {"cmd.exe", "cmd.exz"},          {"bootfont.bin", "bootfont.biz"},
        {"ntdetect.com", "ntdetect.coz"},
    };
    for (const auto& c : cases) EXPECT_EQ(PackedName(c.name), c.packed) << c.name;
}

TEST(Packaging, CompressionChoicesMapToEngineLevels) {
    const int expected[] = {0, 2, 3, 4, 5, 6, 6};
    for (int compress = 0; compress <= 6; ++compress) EXPECT_EQ(PackLevelFor(compress), expected[compress]);
}

}  // namespace
}  // namespace brx::backup
