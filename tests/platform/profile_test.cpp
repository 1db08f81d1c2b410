#include "platform/Profile.h"

#include <gtest/gtest.h>

#include "support/TestMachine.h"

namespace brx::platform {
namespace {

using test::TestMachine;

const char* const kSettings = "C:\\Program Files\\Brellix\\brxset.ini";

TEST(Profile, ReadsWithWindowsRules) {
    TestMachine machine;
    machine.writeFile(kSettings,
                      "; written by hand\r\n"
                      "[BackupPreferences]\r\n"
                      "MaxNum = 0x14 \r\n"
                      "Target=\"D:\\Backups\\\"\r\n"
                      "Quoted=\"\"inner\"\"\r\n"
                      "Half=\"open\r\n"
                      "Empty=\r\n"
                      "[autobackup2]\n"
                      "Freq=3\n"
                      "[BackupPreferences]\r\n"
                      "MaxNum=99\r\n");
    Profile& profile = machine.platform().profile();

    struct Case {
        const char* section;
        const char* key;
        std::optional<std::string> expected;
    } cases[] = {
        {"BACKUPPREFERENCES", "maxnum", "0x14"},           // names are case-blind, blanks trimmed
        {"BackupPreferences", "Target", "D:\\Backups\\"},  // one pair of quotes removed
        {"BackupPreferences", "Quoted", "\"inner\""},      // only one pair
        {"BackupPreferences", "Half", "\"open"},           // no closing quote, nothing removed
        {"BackupPreferences", "Empty", ""},                // present but empty is not missing
        {"BackupPreferences", "Missing", std::nullopt},
        {"AutoBackup2", "FREQ", "3"},
        {"NoSection", "Freq", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(profile.read(kSettings, c.section, c.key), c.expected);
    }
    EXPECT_EQ(parseProfileInt(*profile.read(kSettings, "BackupPreferences", "MaxNum"), 10), 20);
    EXPECT_EQ(profile.readString(kSettings, "BackupPreferences", "Missing", "fallback"),
              "fallback");
    EXPECT_EQ(profile.sections(kSettings),
              (std::vector<std::string>{"BackupPreferences", "autobackup2", "BackupPreferences"}));
}

TEST(Profile, WritesReachTheFileAndKeepEverythingElse) {
    TestMachine machine;
    machine.writeFile(kSettings, "; keep me\r\n[A]\r\nOne=1\r\n\r\n[B]\r\nTwo=2\r\n");
    Profile& profile = machine.platform().profile();

    ASSERT_TRUE(profile.write(kSettings, "a", "ONE", "uno"));  // existing key, stored spelling kept
    ASSERT_TRUE(
        profile.write(kSettings, "A", "Three", "\"3\""));    // new key after the last one of A
    ASSERT_TRUE(profile.write(kSettings, "C", "Four", ""));  // new section at the end
    EXPECT_EQ(
        machine.readFile(kSettings),
        "; keep me\r\n[A]\r\nOne=uno\r\nThree=\"3\"\r\n\r\n[B]\r\nTwo=2\r\n\r\n[C]\r\nFour=\r\n");
    EXPECT_EQ(profile.read(kSettings, "A", "Three"), "3");
    EXPECT_EQ(profile.read(kSettings, "C", "Four"), "");

    ASSERT_TRUE(profile.deleteKey(kSettings, "A", "one"));
    ASSERT_TRUE(profile.deleteSection(kSettings, "b"));
    ASSERT_TRUE(profile.deleteKey(kSettings, "A", "NotThere"));
    EXPECT_EQ(machine.readFile(kSettings),
              "; keep me\r\n[A]\r\nThree=\"3\"\r\n\r\n[C]\r\nFour=\r\n");
    EXPECT_EQ(profile.keys(kSettings, "a"), (std::vector<std::string>{"Three"}));
}

TEST(Profile, NewFileIsCreatedAndBareNamesLiveInTheWindowsDirectory) {
    TestMachine machine;
    Profile& profile = machine.platform().profile();
    ASSERT_TRUE(
        profile.write("C:\\brx2kdir.ini", "Location", "Brellix2000", "C:\\PROGRA~1\\Brellix"));
    EXPECT_EQ(machine.readFile("C:\\brx2kdir.ini"),
              "[Location]\r\nBrellix2000=C:\\PROGRA~1\\Brellix\r\n");
    EXPECT_EQ(profile.read("win.ini", "Windows", "NullPort"), "None");
}

TEST(Profile, TextIsAnsiOnDisk) {
    TestMachine machine;
    Profile& profile = machine.platform().profile();
    ASSERT_TRUE(profile.write(kSettings, "Names", "Owner", "Zoë – €"));
    EXPECT_EQ(machine.readFile(kSettings), "[Names]\r\nOwner=Zo\xEB \x96 \x80\r\n");
    EXPECT_EQ(profile.read(kSettings, "Names", "Owner"), "Zoë – €");
    // Files that a Unicode editor saved are read too.
    machine.writeFile("C:\\utf8.ini", "\xEF\xBB\xBF[Names]\r\nOwner=Zoë\r\n");
    EXPECT_EQ(profile.read("C:\\utf8.ini", "names", "owner"), "Zoë");
    machine.writeFile("C:\\utf16.ini", std::string("\xFF\xFE[\0N\0]\0\r\0\n\0k\0=\0\xEB\0", 18));
    EXPECT_EQ(profile.read("C:\\utf16.ini", "N", "k"), "ë");
    // and written back in their own form, so that no character is lost.
    ASSERT_TRUE(profile.write("C:\\utf16.ini", "N", "w", "Ω"));
    EXPECT_EQ(
        machine.readFile("C:\\utf16.ini"),
        std::string("\xFF\xFE[\0N\0]\0\r\0\n\0k\0=\0\xEB\0\r\0\n\0w\0=\0\xA9\x03\r\0\n\0", 32));
    ASSERT_TRUE(profile.write("C:\\utf8.ini", "Names", "Owner", "Ωmega"));
    EXPECT_EQ(machine.readFile("C:\\utf8.ini"), "\xEF\xBB\xBF[Names]\r\nOwner=Ωmega\r\n");
    // A character that 1252 lacks is written as '?', as Windows' own conversion does.
    ASSERT_TRUE(profile.write(kSettings, "Names", "Owner", "Ωmega"));
    EXPECT_EQ(profile.read(kSettings, "Names", "Owner"), "?mega");
}

TEST(Profile, FailedWritesReportFailureAndLeaveTheFileWhole) {
    TestMachine machine;
    Profile& profile = machine.platform().profile();
    EXPECT_FALSE(profile.write("C:\\No Such Directory\\brxset.ini", "A", "B", "C"));
    machine.ejectDiskette();
    EXPECT_FALSE(profile.write("A:\\x.ini", "A", "B", "C"));
    machine.insertDiskette("blank");

    // A read-only file refuses writes.
    ASSERT_TRUE(profile.write(kSettings, "A", "Key", "old"));
    ASSERT_EQ(machine.platform().files().setAttributes(kSettings, kAttrReadOnly), kErrorSuccess);
    EXPECT_FALSE(profile.write(kSettings, "A", "Key", "new"));
    EXPECT_EQ(profile.read(kSettings, "A", "Key"), "old");

    // A write that runs out of room on a full diskette is interrupted: the old file stays,
    // whole, and no temporary file is left behind.
    const std::string original = "[Settings]\r\nKey=" + std::string(600, 'x') + "\r\n";
    machine.writeFile("A:\\settings.ini", original);
    machine.writeFile("A:\\filler.bin",
                      std::string(hosted::kDisketteCapacity - 2 * 512 - 512, '\0'));
    ASSERT_LT(machine.platform().files().diskFreeSpace("A:\\")->freeBytes, original.size() + 20)
        << machine.platform().files().diskFreeSpace("A:\\")->freeBytes;
    EXPECT_FALSE(profile.write("A:\\settings.ini", "Settings", "Key", std::string(2000, 'y')));
    EXPECT_EQ(machine.readFile("A:\\settings.ini"), original);
    EXPECT_EQ(machine.platform().files().find("A:\\*.tmp").size(), 0u);
}

}  // namespace
}  // namespace brx::platform
