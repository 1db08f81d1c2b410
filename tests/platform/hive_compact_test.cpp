// The compact hive copy, the empty hive and the hive check, proven with reglookup, regfexport
// and hivexsh rather than with our own reader.
#include <gtest/gtest.h>
#include <hivex.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/hosted/regf/CompactCopy.h"
#include "platform/hosted/regf/EmptyHive.h"
#include "platform/hosted/regf/HiveBuilder.h"
#include "platform/hosted/regf/SubkeyLists.h"
#include "support/hive_testing.h"
#include "support/raw_hive.h"

namespace regf = brx::platform::hosted::regf;
using namespace brx::test::hives;

namespace {

TEST(HiveCompactCopy, KeepsEverythingAndWritesOnlyLfLists) {
    struct Case {
        const char* name;
        std::uint32_t minor;
    };
    for (const Case& c : {Case{"version 1.3", 3}, Case{"version 1.5 with big data", 5}}) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        const std::string source = dir.file("source");
        const std::string copy = dir.file("copy");
        RawHive hive = richHive(c.minor);
        hive.addGarbage(64 * 1024);
        writeBytes(source, hive.build());
        ASSERT_EQ(regf::saveCompactHive(source, copy), 0);

        const std::string before = reglookupDump(source);
        ASSERT_NE(before.find("RootClass"), std::string::npos) << before;
        ASSERT_NE(before.find("S-1-5-32-545"), std::string::npos) << before;
        EXPECT_EQ(reglookupDump(copy), before);
        EXPECT_EQ(regfexportDump(copy), regfexportDump(source));
        EXPECT_LT(fileSize(copy), fileSize(source));
        for (const std::string& kind : subkeyListKinds(copy)) EXPECT_EQ(kind, "lf");
        EXPECT_EQ(runTool("hivexsh -d " + quoted(copy) + " </dev/null").exitCode, 0);
    }
}

TEST(HiveCompactCopy, CopyOfOneKeyBecomesTheRootOfTheNewHive) {
    ScratchDir dir;
    const std::string source = dir.file("source");
    writeBytes(source, richHive(3).build());
    // Find Child1 through hivex, which names node handles by their file offset.
    std::unique_ptr<hive_h, int (*)(hive_h*)> h(hivex_open(source.c_str(), 0), hivex_close);
    ASSERT_TRUE(h);
    const hive_node_h child = hivex_node_get_child(h.get(), hivex_root(h.get()), "Child1");
    ASSERT_NE(child, 0u);
    ASSERT_EQ(regf::saveCompactHive(source, dir.file("copy"), static_cast<std::uint32_t>(child - 0x1000)), 0);

    const ToolRun run = runTool("printf 'ls\\nlsval\\n' | hivexsh " + quoted(dir.file("copy")));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "Grand0\nGrand1\nGrand2\n\"Index\"=dword:00000001\n");
}

// hivex never reuses freed cells: a hive that lost most of its keys keeps its size until a
// compact copy is made, and the copy can still be edited by hivex.
TEST(HiveCompactCopy, ShrinksAHiveThatLostMostOfItsKeys) {
    ScratchDir dir;
    const std::string source = dir.file("fragmented");
    ASSERT_EQ(regf::writeEmptyHive(source, "ROOT"), 0);
    {
        std::unique_ptr<hive_h, int (*)(hive_h*)> h(hivex_open(source.c_str(), HIVEX_OPEN_WRITE), hivex_close);
        ASSERT_TRUE(h);
        const hive_node_h root = hivex_root(h.get());
        std::vector<hive_node_h> keys;
        for (int i = 0; i < 600; ++i) {
            const std::string name = "Key" + std::to_string(1000 + i);
            keys.push_back(hivex_node_add_child(h.get(), root, name.c_str()));
            ASSERT_NE(keys.back(), 0u);
        }
        for (int i = 0; i < 600; i += 10) {
            char value[] = "v\0\0";
            hive_set_value set{const_cast<char*>("Value"), hive_t_REG_BINARY, 3, value};
            ASSERT_EQ(hivex_node_set_value(h.get(), keys[i], &set, 0), 0);
        }
        for (int i = 0; i < 600; ++i) {
            if (i % 10 == 0) continue;
            ASSERT_EQ(hivex_node_delete_child(h.get(), keys[i]), 0);
        }
        ASSERT_EQ(hivex_commit(h.get(), nullptr, 0), 0);
    }
    ASSERT_EQ(regf::saveCompactHive(source, dir.file("compact")), 0);

    EXPECT_LT(fileSize(dir.file("compact")) * 10, fileSize(source));
    EXPECT_EQ(reglookupDump(dir.file("compact")), reglookupDump(source));
    const ToolRun edit = runTool("printf 'add New\\ncommit\\n' | hivexsh -w " + quoted(dir.file("compact")) +
                                 " && printf 'ls\\n' | hivexsh " + quoted(dir.file("compact")) + " | wc -l");
    EXPECT_EQ(edit.output, "61\n");
}

TEST(HiveCompactCopy, RefusesAnExistingTargetAndLeavesItAlone) {
    ScratchDir dir;
    ASSERT_EQ(regf::writeEmptyHive(dir.file("source"), "ROOT"), 0);
    writeBytes(dir.file("target"), bytesOf({'k', 'e', 'e', 'p'}));
    EXPECT_EQ(regf::saveCompactHive(dir.file("source"), dir.file("target")), EEXIST);
    EXPECT_EQ(fileBytes(dir.file("target")), bytesOf({'k', 'e', 'e', 'p'}));
}

TEST(EmptyHive, IsAcceptedByEveryReader) {
    ScratchDir dir;
    const std::string hive = dir.file("empty");
    ASSERT_EQ(regf::writeEmptyHive(hive, "CMI-CreateHive"), 0);
    EXPECT_EQ(fileSize(hive), 8192u);
    EXPECT_TRUE(regf::isValidHiveFile(hive));
    for (const std::string tool : {"reglookup -s", "regfinfo", "regfexport", "hivexsh -d"}) {
        SCOPED_TRACE(tool);
        const ToolRun run = runTool(tool + " " + quoted(hive) + " </dev/null");
        EXPECT_EQ(run.exitCode, 0) << run.output;
    }
    // hivex can add keys under its root: the security cell is valid.
    EXPECT_EQ(runTool("printf 'add A\\ncd A\\nadd B\\ncommit\\n' | hivexsh -w " + quoted(hive)).exitCode, 0);
    EXPECT_NE(reglookupDump(hive).find("/A/B,KEY"), std::string::npos);
}

// Hives come from disks that may be damaged; each fault must be reported, never followed.
TEST(HiveCheck, RejectsDamagedHivesWithoutReadingOutsideThem) {
    ScratchDir dir;
    const std::string good = dir.file("good");
    writeBytes(good, richHive(3).build());
    ASSERT_TRUE(regf::isValidHiveFile(good));
    const Bytes original = fileBytes(good);
    const std::uint32_t root = regf::readU32(original.data() + regf::kBaseRootCell);
    const std::size_t rootNk = 0x1000 + root + 4;

    struct Case {
        const char* name;
        std::function<void(Bytes&)> damage;
    };
    const std::vector<Case> cases = {
        {"truncated to the base block", [](Bytes& b) { b.resize(0x1000); }},
        {"bins truncated", [](Bytes& b) { b.resize(b.size() / 2); }},
        {"wrong checksum", [](Bytes& b) { b[regf::kBaseChecksum] ^= 1; }},
        {"not a hive", [](Bytes& b) { std::memcpy(b.data(), "MZ\x90\0", 4); }},
        {"root cell outside the file",
         [](Bytes& b) {
             regf::writeU32(b.data() + regf::kBaseRootCell, 0x7FFFFFF0);
             regf::writeU32(b.data() + regf::kBaseChecksum, regf::baseBlockChecksum(b.data()));
         }},
        {"value list outside the file", [&](Bytes& b) { regf::writeU32(b.data() + rootNk + regf::kNkValueList, 0x7FFFFF00); }},
        {"subkey list pointing at its own key",
         [&](Bytes& b) {
             const std::uint32_t list = regf::readU32(b.data() + rootNk + regf::kNkSubkeyList);
             // The root's "ri" list gets one entry: a list made of the root itself.
             regf::writeU32(b.data() + 0x1000 + list + 4 + regf::kListEntries, root);
         }},
        {"class name longer than its cell", [&](Bytes& b) { regf::writeU16(b.data() + rootNk + regf::kNkClassLength, 0xFFF0); }},
        {"cell size beyond the bins",
         [&](Bytes& b) { regf::writeU32(b.data() + 0x1000 + root, static_cast<std::uint32_t>(-0x7FFFFF00)); }},
        {"free cell used as a key", [&](Bytes& b) { regf::writeU32(b.data() + 0x1000 + root, 0x60); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes damaged = original;
        c.damage(damaged);
        const std::string file = dir.file("damaged");
        writeBytes(file, damaged);
        std::string why;
        EXPECT_FALSE(regf::isValidHiveFile(file, &why));
        EXPECT_FALSE(why.empty());
        EXPECT_THROW(regf::saveCompactHive(file, dir.file("never")), regf::HiveError);
        EXPECT_FALSE(std::filesystem::exists(dir.file("never")));
    }
}

TEST(SubkeyLists, HivexListsBecomeLfWithTheSameContent) {
    ScratchDir dir;
    const std::string hive = dir.file("hive");
    ASSERT_EQ(regf::writeEmptyHive(hive, "ROOT"), 0);
    ASSERT_EQ(runTool("printf 'add Beta\\nadd alpha\\ncd Beta\\nadd Gamma\\ncommit\\n' | hivexsh -w " + quoted(hive)).exitCode, 0);
    ASSERT_NE(subkeyListKinds(hive), std::vector<std::string>({"lf", "lf"}));
    const std::string before = reglookupDump(hive);

    EXPECT_EQ(regf::convertSubkeyListsToLf(hive), 2u);
    EXPECT_EQ(subkeyListKinds(hive), std::vector<std::string>({"lf", "lf"}));
    EXPECT_EQ(reglookupDump(hive), before);
    EXPECT_EQ(runTool("printf 'cd Beta\\nls\\n' | hivexsh " + quoted(hive)).output, "Gamma\n");
}

}  // namespace
