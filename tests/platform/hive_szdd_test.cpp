// Compressed repair copies: our SZDD files must expand byte for byte with msexpand and with
// libmspack, which the program's own expansion uses.
#include <gtest/gtest.h>
#include <mspack.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/hosted/SzddWriter.h"
#include "platform/hosted/regf/HiveAuthor.h"
#include "support/hive_testing.h"

using namespace brx::platform::hosted;
using namespace brx::test::hives;

namespace {

bool expandWithLibmspack(const std::string& from, const std::string& to) {
    std::unique_ptr<msszdd_decompressor, void (*)(msszdd_decompressor*)> expander(
        mspack_create_szdd_decompressor(nullptr), mspack_destroy_szdd_decompressor);
    if (!expander) return false;
    msszddd_header* header = expander->open(expander.get(), from.c_str());
    if (!header) return false;
    const int error = expander->extract(expander.get(), header, to.c_str());
    expander->close(expander.get(), header);
    return error == MSPACK_ERR_OK;
}

std::vector<std::uint8_t> sample(const std::string& kind, std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    std::mt19937 random(42);
    for (std::size_t i = 0; i < size; ++i) {
        if (kind == "random") bytes[i] = static_cast<std::uint8_t>(random());
        else if (kind == "runs") bytes[i] = static_cast<std::uint8_t>(i / 300);
        else bytes[i] = static_cast<std::uint8_t>("regf hbin nk vk sk lf "[i % 22] ^ (i % 7 == 0 ? random() & 3 : 0));
    }
    return bytes;
}

TEST(SzddWriter, ExpandsByteForByteWithMsexpandAndLibmspack) {
    ScratchDir dir;
    regf::HiveAuthor hive("SAM");
    for (int i = 0; i < 50; ++i) hive.text("SAM\\Domains\\Account\\Users\\Names\\User" + std::to_string(i), "", "x");
    hive.save(dir.file("hive"));

    struct Case {
        const char* name;
        std::vector<std::uint8_t> data;
    };
    const std::vector<Case> cases = {
        {"empty", {}},
        {"one byte", {'A'}},
        {"text with repeats", sample("text", 20000)},
        {"long runs", sample("runs", 70000)},
        {"incompressible", sample("random", 9000)},
        {"a hive", fileBytes(dir.file("hive"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(dir.file("packed"), szddCompress(c.data, 't'));
        ASSERT_TRUE(expandWithLibmspack(dir.file("packed"), dir.file("by-libmspack")));
        EXPECT_EQ(fileBytes(dir.file("by-libmspack")), c.data);
        const ToolRun run = runTool("msexpand < " + quoted(dir.file("packed")) + " > " + quoted(dir.file("by-msexpand")));
        ASSERT_EQ(run.exitCode, 0) << run.output;
        EXPECT_EQ(fileBytes(dir.file("by-msexpand")), c.data);
    }
    writeBytes(dir.file("packed"), szddCompress(sample("text", 20000), 't'));
    EXPECT_LT(fileSize(dir.file("packed")), 20000u / 2);
}

TEST(SzddWriter, NamesCompressedFilesAsTheRepairDirectoryDoes) {
    struct Case {
        std::string name, packed;
        char missing;
    };
    for (const Case& c : {Case{"sam", "sam._", 0}, Case{"ntuser.dat", "ntuser.da_", 't'},
                          Case{"usrclass.dat", "usrclass.da_", 't'}, Case{"a.b", "a.b_", 0}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(szddName(c.name), c.packed);
        EXPECT_EQ(szddMissingCharacter(c.name), c.missing);
    }
}

}  // namespace
