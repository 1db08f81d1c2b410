#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "zip/ZipFormat.h"
#include "ZipFixture.h"

namespace brx::zip::test {
namespace {

class ZipWriter : public ZipFixture {};

std::set<std::string> StoredNames(ZipEngine& engine)
{
    std::set<std::string> names;
    for (int i = 0; i < engine.EntryCount(); ++i)
        names.insert(engine.EntryPathName(i) + engine.EntryFileName(i));
    return names;
}

TEST_F(ZipWriter, RoundTripsAtEveryLevelWithDriveInStoredNames)
{
    putSample();
    for (int level : {0, 1, 6, 9}) {
        SCOPED_TRACE(level);
        const std::string archive = "level" + std::to_string(level) + ".zip";
        engine().PackLevel = level;
        EXPECT_EQ(writeArchive(archive, {">" + z("src") + "\\*.*"}), 4);
        engine().SetZipName(z(archive));
        engine().ReadDirectory();
        ASSERT_EQ(engine().EntryCount(), 4);
        EXPECT_TRUE(StoredNames(engine()).count(z("src\\sub\\deeper\\notes.ini")));
        const TZipHeaderInfo& first = engine().Entry(0);
        EXPECT_EQ(first.StoredName.substr(0, 3), "Z:/");
        EXPECT_EQ(first.CompressionMethod, level == 0 ? 0 : 8);
        EXPECT_TRUE(engine().TestArchive());

        engine().SetDestDir(z("out" + std::to_string(level)) + "\\");
        engine().RecreateDirs = true;
        engine().DoAll = true;
        EXPECT_EQ(engine().ExtractEntries(), 4);
        // The stored drive is dropped below the target folder; the rest of the path stays.
        expectSampleIn("out" + std::to_string(level) + root().string() + "/src");
    }
}

TEST_F(ZipWriter, EmptyListWritesOnlyTheEndRecord)
{
    EXPECT_EQ(writeArchive("empty.zip", {}), 0);
    EXPECT_EQ(fs::file_size(host("empty.zip")), 22u);
    EXPECT_EQ(engine().EntryCount(), 0);
    EXPECT_EQ(sh("7zz t empty.zip"), 0);
    // A name of blanks writes nothing at all.
    engine().SetZipName("  ");
    engine().FilesList = {z("x")};
    EXPECT_EQ(engine().WriteArchive(), 0);
    EXPECT_TRUE(engine().FilesList.empty());
}

TEST_F(ZipWriter, ExpandsMasksWithoutTheArchiveDuplicatesOrExclusions)
{
    putSample();
    put("src/NOEXT", "no extension");
    put("src/skip.tmp", "excluded");
    engine().ExcludeList = {"*.tmp"};
    // The archive lies inside the searched folder; the random file is named twice.
    const int added = writeArchive("src/self.zip", {"|" + z("src") + "\\*.*", z("src\\random.bin"), z("src\\gone.txt")});
    const auto names = StoredNames(engine());
    EXPECT_EQ(added, 4);
    EXPECT_EQ(names, (std::set<std::string>{z("src\\readme.txt"), z("src\\random.bin"), z("src\\empty.dat"), z("src\\NOEXT")}));
    EXPECT_EQ(engine().FilesList.size(), 0u);

    engine().ExcludeList.clear();
    engine().Recurse = true;
    EXPECT_EQ(writeArchive("deep.zip", {z("src") + "\\*.ini"}), 1);
    engine().Recurse = false;
    EXPECT_EQ(writeArchive("flat.zip", {z("src") + "\\*.ini"}), 0);
    EXPECT_EQ(writeArchive("forced.zip", {">" + z("src") + "\\*.ini"}), 1);
    EXPECT_EQ(writeArchive("missing.zip", {z("nowhere") + "\\*.*"}), 0);
}

TEST_F(ZipWriter, StoresFolderEntries)
{
    putSample();
    EXPECT_EQ(writeArchive("folders.zip", {z("src\\sub") + "\\", z("src\\readme.txt")}), 2);
    const TZipHeaderInfo& folder = engine().Entry(0);
    EXPECT_EQ(folder.FileName, "");
    EXPECT_EQ(folder.PathName, z("src\\sub") + "\\");
    EXPECT_EQ(folder.CompressionMethod, 0);
    EXPECT_EQ(folder.UncompressedSize, 0u);
    EXPECT_EQ(sh("unzip -tq folders.zip"), 0);
}

TEST_F(ZipWriter, SkipsAndListsFilesTooLargeForTheFormat)
{
    put("small.txt", "small");
    put("huge.bin", "");
    fs::resize_file(host("huge.bin"), 5ull << 30);  // sparse: nothing is really written
    EXPECT_EQ(writeArchive("big.zip", {z("huge.bin"), z("small.txt")}), 1);
    EXPECT_EQ(engine().EntryCount(), 1);
    ASSERT_EQ(engine().Skipped().size(), 1u);
    EXPECT_EQ(engine().Skipped()[0].rfind(z("huge.bin"), 0), 0u);
}

TEST_F(ZipWriter, HonoursAndClearsTheArchiveBit)
{
    put("a.txt", "a");
    put("b.txt", "b");
    auto& files = machine().files();
    files.setAttributes(z("a.txt"), platform::kAttrArchive);
    files.setAttributes(z("b.txt"), 0);
    engine().SkipIfArchiveBitNotSet = true;
    engine().ResetArchiveBitOnZip = true;
    EXPECT_EQ(writeArchive("bits.zip", {z("a.txt"), z("b.txt")}), 1);
    EXPECT_EQ(engine().EntryFileName(0), "a.txt");
    EXPECT_EQ(files.getAttributes(z("a.txt")) & platform::kAttrArchive, 0u);
    // Nothing changed since: the next incremental run adds nothing.
    EXPECT_EQ(writeArchive("bits2.zip", {z("a.txt"), z("b.txt")}), 0);
}

TEST_F(ZipWriter, UpdateKeepsCurrentEntriesReplacesOlderOnesAndCopiesTheRest)
{
    put("keep.txt", "keep");
    put("old.txt", "old");
    put("other.txt", textOf(100000));
    auto& files = machine().files();
    files.setFileTime(z("keep.txt"), 1000000000);
    files.setFileTime(z("old.txt"), 1000000000);
    ASSERT_EQ(writeArchive("set.zip", {z("keep.txt"), z("old.txt"), z("other.txt")}), 3);
    fs::remove(host("other.txt"));
    put("old.txt", "newer content");
    files.setFileTime(z("old.txt"), 1100000000);
    put("new.txt", "new");

    EXPECT_EQ(writeArchive("set.zip", {z("keep.txt"), z("old.txt"), z("new.txt")}), 2);
    ASSERT_EQ(engine().EntryCount(), 4);
    EXPECT_EQ(engine().EntryFileName(0), "keep.txt");
    EXPECT_EQ(engine().EntryFileName(1), "old.txt");
    EXPECT_EQ(engine().EntryUncompressedSize(1), 13u);
    EXPECT_EQ(engine().EntryFileName(2), "other.txt");
    EXPECT_EQ(engine().EntryFileName(3), "new.txt");
    EXPECT_TRUE(engine().TestArchive());
    EXPECT_EQ(sh("unzip -tq set.zip"), 0);
    std::string listing;
    sh("unzip -p set.zip '*other.txt'", &listing);
    EXPECT_EQ(listing, textOf(100000));
}

TEST_F(ZipWriter, FailedUpdateLeavesTheOldArchiveWhole)
{
    put("a.txt", textOf(600000));
    ASSERT_EQ(writeArchive("set.zip", {z("a.txt")}), 1);
    const std::string before = get("set.zip");
    put("b.txt", randomBytes(600000, 3));
    engine().OnPump = [this] { engine().CancelOperation(); };
    ExpectZipError([&] { writeArchive("set.zip", {z("b.txt")}); }, ZipErrorKind::EUserCanceled, "User Aborted Operation");
    EXPECT_EQ(get("set.zip"), before);
    EXPECT_TRUE(engine().FilesList.empty());
}

TEST_F(ZipWriter, CancelStopsAWriteAndDeletesTheNewArchive)
{
    put("big.bin", randomBytes(2 * 1024 * 1024, 1));
    int pumps = 0;
    engine().OnPump = [&] {
        if (++pumps == 2)
            engine().CancelOperation();
    };
    ExpectZipError([&] { writeArchive("new.zip", {z("big.bin")}); }, ZipErrorKind::EUserCanceled, "User Aborted Operation");
    EXPECT_FALSE(fs::exists(host("new.zip")));

    // A request made while nothing runs is not carried into the next operation.
    engine().OnPump = nullptr;
    engine().CancelOperation();
    EXPECT_EQ(writeArchive("new.zip", {z("big.bin")}), 1);
}

TEST_F(ZipWriter, ReportsProgressUpToOneHundred)
{
    put("a.bin", randomBytes(1024 * 1024, 2));
    put("b.bin", randomBytes(512 * 1024, 3));
    std::vector<int> percents;
    engine().OnTotalPercentDone = [&](ZipEngine&, int percent) { percents.push_back(percent); };
    writeArchive("p.zip", {z("a.bin"), z("b.bin")});
    ASSERT_FALSE(percents.empty());
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(percents.back(), 100);
}

TEST_F(ZipWriter, EncryptsSoThatOnlyThePasswordOpensIt)
{
    putSample();
    engine().Password = "Geheim!";
    ASSERT_EQ(writeArchive("secret.zip", {">" + z("src") + "\\*.*"}), 4);
    EXPECT_TRUE(engine().Entry(0).encrypted());
    EXPECT_TRUE(engine().TestArchive());

    engine().Password = "wrong";
    EXPECT_FALSE(engine().TestArchive());
    engine().SetDestDir(z("out"));
    engine().DoAll = true;
    EXPECT_EQ(engine().ExtractEntries(), 0);
    EXPECT_FALSE(fs::exists(host("out/random.bin")));
}

TEST_F(ZipWriter, EncryptedFileThatChangesWhileStoredIsReadAgainOrLeftOut)
{
    for (TMultiMode mode : {mmNone, mmBlocks}) {
        SCOPED_TRACE(mode);
        const std::string archive = mode == mmNone ? "one.zip" : "blocks.zip";
        engine().MultiZipInfo.MultiMode = mode;
        engine().MultiZipInfo.FirstBlockSize = engine().MultiZipInfo.BlockSize = 10000000;
        engine().Password = "pw";
        put("log.txt", textOf(600000));
        put("other.txt", "steady");
        // Another program rewrites the log once, while its first buffer is being compressed.
        int pumps = 0;
        engine().OnPump = [&] {
            if (++pumps == 1)
                put("log.txt", randomBytes(600000, 5));
        };
        ASSERT_EQ(writeArchive(archive, {z("log.txt"), z("other.txt")}), 2);
        EXPECT_TRUE(engine().Skipped().empty());
        EXPECT_TRUE(engine().TestArchive());
        std::string content;
        sh("unzip -p -P pw " + archive + " '*log.txt'", &content);
        EXPECT_EQ(content, randomBytes(600000, 5));

        // A file that never holds still is left out and listed; the rest of the archive is sound.
        engine().OnPump = [&] { put("log.txt", randomBytes(600000, ++pumps)); };
        ASSERT_EQ(writeArchive("restless-" + archive, {z("log.txt"), z("other.txt")}), 1);
        ASSERT_EQ(engine().Skipped().size(), 1u);
        EXPECT_NE(engine().Skipped()[0].find("log.txt"), std::string::npos);
        EXPECT_EQ(engine().EntryFileName(0), "other.txt");
        std::string output;
        EXPECT_EQ(sh("unzip -tq -P pw restless-" + archive, &output), 0) << output;
        engine().OnPump = nullptr;
    }
}

struct BlockCase {
    const char* name;
    std::uint32_t firstBlock, block;
    int blocks;
};

TEST_F(ZipWriter, SplitsIntoBlocksThatNeverCutARecord)
{
    put("a.bin", randomBytes(70000, 11));
    put("b.txt", textOf(30000));
    put("c.bin", randomBytes(50000, 12));
    const BlockCase cases[] = {
        {"fits into the first block", 1000000, 1000000, 1},
        {"three blocks", 60000, 60000, 3},
        {"small first block", 30000, 100000, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string dir = std::string("blocks-") + std::to_string(c.firstBlock);
        fs::create_directories(host(dir));
        engine().MultiZipInfo.MultiMode = mmBlocks;
        engine().MultiZipInfo.FirstBlockSize = c.firstBlock;
        engine().MultiZipInfo.BlockSize = c.block;
        std::vector<int> percents;
        engine().OnTotalPercentDone = [&](ZipEngine&, int percent) { percents.push_back(percent); };
        ASSERT_EQ(writeArchive(dir + "/set.zip", {z("a.bin"), z("b.txt"), z("c.bin")}), 3);
        EXPECT_EQ(percents.back(), 100);
        if (c.blocks == 1) {
            EXPECT_EQ(engine().ZipName(), z(dir + "/set.zip"));
            EXPECT_FALSE(fs::exists(host(dir + "/set.001")));
            EXPECT_EQ(sh("unzip -tq " + dir + "/set.zip"), 0);
            continue;
        }
        const std::string last = dir + "/set.00" + std::to_string(c.blocks);
        EXPECT_EQ(engine().ZipName(), z(last));
        EXPECT_EQ(engine().ArchiveFileSize(), fs::file_size(host(last)));
        EXPECT_FALSE(fs::exists(host(dir + "/set.00" + std::to_string(c.blocks + 1))));
        EXPECT_LE(fs::file_size(host(dir + "/set.001")), c.firstBlock);
        for (int i = 2; i <= c.blocks; ++i)
            EXPECT_LE(fs::file_size(host(dir + "/set.00" + std::to_string(i))), c.block);
        // Each local header sits whole inside the block its entry names.
        for (int i = 0; i < engine().EntryCount(); ++i) {
            const TZipHeaderInfo& entry = engine().Entry(i);
            const std::string block = get(dir + "/set.00" + std::to_string(entry.DiskNumberStart + 1));
            ASSERT_LE(entry.RelativeOffset + 30u + entry.StoredName.size(), block.size());
            EXPECT_EQ(block.substr(entry.RelativeOffset, 4), "PK\x03\x04");
            EXPECT_EQ(block.substr(entry.RelativeOffset + 30, entry.StoredName.size()), entry.StoredName);
        }

        // Read again from the last block: the earlier ones are found by number.
        engine().CloseArchive();
        engine().MultiZipInfo.MultiMode = mmNone;
        engine().SetZipName(z(last));
        EXPECT_TRUE(engine().TestArchive());
        engine().SetDestDir(z(dir + "/out"));
        engine().RecreateDirs = false;
        engine().DoAll = true;
        EXPECT_EQ(engine().ExtractEntries(), 3);
        EXPECT_EQ(get(dir + "/out/a.bin"), randomBytes(70000, 11));
        EXPECT_EQ(get(dir + "/out/c.bin"), randomBytes(50000, 12));
    }
}

TEST_F(ZipWriter, BlockArchiveKeepsItsDirectoryBesideTheFirstBlock)
{
    put("a.bin", randomBytes(70000, 11));
    put("b.bin", randomBytes(70000, 12));
    engine().MultiZipInfo.MultiMode = mmBlocks;
    engine().MultiZipInfo.FirstBlockSize = 60000;
    engine().MultiZipInfo.BlockSize = 60000;
    engine().MultiZipInfo.SaveZipInfoOnFirstDisk = true;
    ASSERT_EQ(writeArchive("set.zip", {z("a.bin"), z("b.bin")}), 2);
    EXPECT_EQ(engine().ZipName(), z("set.003"));
    ASSERT_TRUE(fs::exists(host("set.zfc")));
    // The reserve is kept for the rest of the run.
    EXPECT_EQ(engine().MultiZipInfo.SaveOnFirstDisk, 22u + 2048u + 2u * 83u);

    // Opened by its first block, the archive reads its directory from the copy, asking nobody.
    engine().CloseArchive();
    int incomplete = 0;
    engine().OnInCompleteZip = [&](ZipEngine&, TIncompleteZipMode&) { ++incomplete; };
    std::vector<int> requested;
    engine().OnGetNextDisk = [&](ZipEngine&, int disk, std::string& name) {
        requested.push_back(disk);
        name = z("set.00" + std::to_string(disk));
    };
    engine().SetZipName(z("set.001"));
    engine().ReadDirectory();
    EXPECT_EQ(incomplete, 0);
    EXPECT_EQ(engine().EntryCount(), 2);
    EXPECT_TRUE(engine().TestArchive());
    EXPECT_EQ(requested, (std::vector<int>{2, 3}));
}

}  // namespace
}  // namespace brx::zip::test
