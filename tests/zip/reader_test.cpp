#include <gtest/gtest.h>

#include <algorithm>

#include "zip/ZipFormat.h"
#include "ZipFixture.h"

namespace brx::zip::test {
namespace {

class ZipReader : public ZipFixture {
protected:
    // Writes a sample archive and loads it; returns its bytes.
    std::string sampleArchive(const std::string& name = "set.zip")
    {
        putSample();
        EXPECT_EQ(writeArchive(name, {">" + z("src") + "\\*.*"}), 4);
        engine().CloseArchive();
        engine().SetZipName(z(name));
        return get(name);
    }
    void putBytes(const std::string& name, const std::string& bytes) { put(name, bytes); }

    // Offset of the central header of the entry whose stored name ends with `suffix`.
    static std::size_t centralHeaderOf(const std::string& archive, const std::string& suffix)
    {
        const std::size_t nameAt = archive.rfind(suffix);
        std::size_t header = archive.rfind("PK\x01\x02", nameAt);
        return header;
    }
    static void patch32(std::string& bytes, std::size_t at, std::uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    void extractAllTo(const std::string& folder)
    {
        engine().SetDestDir(z(folder));
        engine().RecreateDirs = false;
        engine().DoAll = true;
    }
};

TEST_F(ZipReader, EmptyFileIsAnArchiveWithoutEntries)
{
    put("zero.zip", "");
    int raised = 0;
    engine().OnInCompleteZip = [&](ZipEngine&, TIncompleteZipMode&) { ++raised; };
    engine().SetZipName(z("zero.zip"));
    engine().ReadDirectory();
    EXPECT_EQ(engine().EntryCount(), 0);
    EXPECT_EQ(raised, 0);
}

TEST_F(ZipReader, FilesWithoutEndRecordGoThroughTheIncompleteHandler)
{
    const std::string archive = sampleArchive();
    // Cut just before the central directory: every entry's data is still whole.
    const std::string truncated = archive.substr(0, archive.find("PK\x01\x02"));
    struct Case {
        const char* name;
        std::string content;
        TIncompleteZipMode mode;
        int entries;  // -1: "Not a valid zip file!"
        ZipErrorKind kind;
    };
    const Case cases[] = {
        {"short file, not an archive", "PK\x03", izAssumeNotAZip, -1, ZipErrorKind::ENotAZipFile},
        {"short file, multi-part", std::string(21, 'x'), izAssumeMulti, 0, {}},
        {"truncated, rebuilt from local headers", truncated, izAssumeBad, 4, {}},
        {"truncated, multi-part", truncated, izAssumeMulti, 0, {}},
        {"garbage cannot be rebuilt", randomBytes(5000, 9), izAssumeBad, -1, ZipErrorKind::EBadZipFile},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        put("damaged.zip", c.content);
        int raised = 0;
        engine().OnInCompleteZip = [&](ZipEngine&, TIncompleteZipMode& mode) {
            ++raised;
            EXPECT_EQ(mode, izAssumeMulti);
            mode = c.mode;
        };
        engine().IncompleteZipMode = izAssumeMulti;
        engine().CloseArchive();
        engine().SetZipName(z("damaged.zip"));
        if (c.entries < 0) {
            ExpectZipError([&] { engine().ReadDirectory(); }, c.kind, "Not a valid zip file!");
            EXPECT_EQ(engine().ZipName(), "");
            EXPECT_EQ(engine().EntryCount(), 0);
        } else {
            engine().ReadDirectory();
            EXPECT_EQ(engine().EntryCount(), c.entries);
            if (c.entries > 0) {
                EXPECT_TRUE(engine().TestArchive());
            }
        }
        EXPECT_EQ(raised, 1);
    }
}

TEST_F(ZipReader, TagMakesTheEngineLookAgain)
{
    const std::string archive = sampleArchive();
    put("later.zip", "not yet");
    int raised = 0;
    engine().OnInCompleteZip = [&](ZipEngine& sender, TIncompleteZipMode&) {
        // The user puts the right disk in and asks to try again.
        ++raised;
        put("later.zip", archive);
        sender.Tag = 1;
    };
    engine().SetZipName(z("later.zip"));
    engine().ReadDirectory();
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(engine().Tag, 0);
    EXPECT_EQ(engine().EntryCount(), 4);
}

TEST_F(ZipReader, EntryAccessorsRejectBadIndexes)
{
    sampleArchive();
    engine().ReadDirectory();
    ExpectZipError([&] { engine().EntryFileName(4); }, ZipErrorKind::EListIndex, "Index 4 is out of range");
    ExpectZipError([&] { engine().EntryDateTime(-1); }, ZipErrorKind::EListIndex, "Index -1 is out of range");
}

TEST_F(ZipReader, ExtractsToTheFoldersTheTargetRulesGive)
{
    sampleArchive();
    const std::string src = root().string() + "/src";
    struct Case {
        const char* name;
        std::string destDir;
        bool recreate;
        std::string expectedFile;  // host path, relative to the test directory
    };
    const Case cases[] = {
        {"below the target with stored folders", z("t1"), true, "t1" + src + "/sub/deeper/notes.ini"},
        {"into the target alone", z("t2") + "\\", false, "t2/notes.ini"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        engine().SetDestDir(c.destDir);
        engine().RecreateDirs = c.recreate;
        engine().FilesList = {"*.INI"};
        EXPECT_EQ(engine().ExtractEntries(), 1);
        EXPECT_EQ(get(c.expectedFile), "[windows]\r\nload=\r\n");
        EXPECT_TRUE(engine().FilesList.empty());
    }

    // No target folder: every file goes back where it was archived from, on its drive.
    fs::remove_all(host("src"));
    engine().SetDestDir("");
    engine().RecreateDirs = true;
    engine().FilesList = {z("SRC\\SUB\\DEEPER\\Notes.Ini"), z("src\\readme.txt")};
    EXPECT_EQ(engine().ExtractEntries(), 2);
    EXPECT_EQ(get("src/sub/deeper/notes.ini"), "[windows]\r\nload=\r\n");
    EXPECT_EQ(get("src/readme.txt"), textOf(50000));
    EXPECT_FALSE(fs::exists(host("src/random.bin")));
}

TEST_F(ZipReader, OverwriteModesDecideAboutExistingFiles)
{
    put("a.txt", "archived");
    machine().files().setFileTime(z("a.txt"), 1000000000);
    ASSERT_EQ(writeArchive("set.zip", {z("a.txt")}), 1);
    struct Case {
        const char* name;
        TOverwriteMode mode;
        platform::FileTime existingTime;
        bool answer;
        bool replaced;
    };
    const Case cases[] = {
        {"always", TOverwriteMode::Always, 1000000000, false, true},
        {"never", TOverwriteMode::Never, 900000000, false, false},
        {"if newer, entry newer", TOverwriteMode::ifNewer, 900000000, false, true},
        {"if newer, entry same age", TOverwriteMode::ifNewer, 1000000000, false, false},
        {"if older, entry older", TOverwriteMode::ifOlder, 1100000000, false, true},
        {"if older, entry newer", TOverwriteMode::ifOlder, 900000000, false, false},
        {"prompt, yes", TOverwriteMode::Prompt, 900000000, true, true},
        {"prompt, no", TOverwriteMode::Prompt, 900000000, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        put("out/a.txt", "present");
        machine().files().setFileTime(z("out\\a.txt"), c.existingTime);
        std::string asked;
        engine().OnQuestion = [&](const std::string& caption, const std::string& text) {
            asked = caption + ": " + text;
            return c.answer;
        };
        engine().OverwriteMode = c.mode;
        extractAllTo("out");
        EXPECT_EQ(engine().ExtractEntries(), c.replaced ? 1 : 0);
        EXPECT_EQ(get("out/a.txt"), c.replaced ? "archived" : "present");
        if (c.mode == TOverwriteMode::Prompt) {
            EXPECT_EQ(asked, "File Exists Alert: Replace existing file " + z("a.txt") + "?");
        }
    }
}

TEST_F(ZipReader, ExtractedFilesGetTheStoredTimeAndOnRequestTheAttributes)
{
    put("a.txt", "a");
    auto& files = machine().files();
    files.setFileTime(z("a.txt"), 1000000001);  // DOS time keeps even seconds
    files.setAttributes(z("a.txt"), platform::kAttrHidden | platform::kAttrArchive);
    ASSERT_EQ(writeArchive("set.zip", {z("a.txt")}), 1);
    for (bool retain : {false, true}) {
        SCOPED_TRACE(retain);
        engine().RetainAttributes = retain;
        extractAllTo(retain ? "kept" : "plain");
        ASSERT_EQ(engine().ExtractEntries(), 1);
        const auto info = files.stat(z(retain ? "kept\\a.txt" : "plain\\a.txt"));
        ASSERT_TRUE(info);
        EXPECT_EQ(info->modified, 1000000000);
        EXPECT_EQ((info->attributes & platform::kAttrHidden) != 0, retain);
    }
}

TEST_F(ZipReader, ReadOnlyTargetsAreReplacedOnlyWhenAllowed)
{
    put("a.txt", "archived");
    ASSERT_EQ(writeArchive("set.zip", {z("a.txt")}), 1);
    for (bool allowed : {false, true}) {
        SCOPED_TRACE(allowed);
        put("out/a.txt", "protected");
        machine().files().setAttributes(z("out\\a.txt"), platform::kAttrReadOnly);
        engine().ReplaceReadOnly = allowed;
        extractAllTo("out");
        EXPECT_EQ(engine().ExtractEntries(), allowed ? 1 : 0);
        EXPECT_EQ(get("out/a.txt"), allowed ? "archived" : "protected");
        machine().files().setAttributes(z("out\\a.txt"), 0);
    }
}

TEST_F(ZipReader, EntriesLeavingTheTargetAreSkippedAndReported)
{
    ASSERT_EQ(sh("python3 -c \"import zipfile; z = zipfile.ZipFile('evil.zip', 'w'); "
                 "z.writestr('../evil.txt', 'x'); z.writestr('sub/../../evil2.txt', 'x'); z.writestr('ok.txt', 'fine')\""),
              0);
    engine().SetZipName(z("evil.zip"));
    engine().SetDestDir(z("out"));
    engine().RecreateDirs = true;
    engine().DoAll = true;
    EXPECT_EQ(engine().ExtractEntries(), 1);
    EXPECT_EQ(get("out/ok.txt"), "fine");
    EXPECT_FALSE(fs::exists(host("evil.txt")));
    EXPECT_FALSE(fs::exists(host("evil2.txt")));
    ASSERT_EQ(engine().Skipped().size(), 2u);
    EXPECT_NE(engine().Skipped()[0].find("..\\evil.txt"), std::string::npos);
}

TEST_F(ZipReader, DamagedEntryFailsAloneAndNeverReplacesAGoodFile)
{
    engine().PackLevel = 0;
    std::string archive = sampleArchive();
    // Damage the stored data of readme.txt inside its local entry.
    const std::size_t at = archive.find("line 100 of");
    ASSERT_NE(at, std::string::npos);
    archive[at] = 'X';
    put("set.zip", archive);
    engine().CloseArchive();
    engine().SetZipName(z("set.zip"));
    EXPECT_FALSE(engine().TestArchive());
    int bad = 0;
    for (int i = 0; i < engine().EntryCount(); ++i)
        bad += engine().Entry(i).TestState == TTestState::Bad;
    EXPECT_EQ(bad, 1);

    put("out/readme.txt", "the good copy");
    extractAllTo("out");
    EXPECT_EQ(engine().ExtractEntries(), 3);
    EXPECT_EQ(get("out/readme.txt"), "the good copy");
    EXPECT_EQ(get("out/random.bin"), randomBytes(300000, 7));
    // No temporary file is left beside the targets.
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(host("out")))
        ++files;
    EXPECT_EQ(files, 4);
}

TEST_F(ZipReader, UnknownMethodIsShownAndSkipped)
{
    ASSERT_EQ(sh("python3 -c \"import zipfile; z = zipfile.ZipFile('bz.zip', 'w'); "
                 "z.writestr('b.txt', 'bzip2 data', zipfile.ZIP_BZIP2); z.writestr('d.txt', 'deflated', zipfile.ZIP_DEFLATED)\""),
              0);
    std::vector<std::string> shown;
    engine().OnMessage = [&](const std::string& caption, const std::string& text) { shown.push_back(caption + ": " + text); };
    engine().SetZipName(z("bz.zip"));
    extractAllTo("out");
    EXPECT_EQ(engine().ExtractEntries(), 1);
    EXPECT_EQ(shown, std::vector<std::string>{"Zip Error: Unknown Compression Method"});
    EXPECT_FALSE(fs::exists(host("out/b.txt")));
    EXPECT_EQ(get("out/d.txt"), "deflated");
}

TEST_F(ZipReader, SizeLiesAreCaught)
{
    std::string archive = sampleArchive();
    const std::size_t readme = centralHeaderOf(archive, "readme.txt");

    // An entry that produces more than its stored size fails; the others go on.
    std::string smaller = archive;
    patch32(smaller, readme + 24, 1000);
    put("smaller.zip", smaller);
    engine().CloseArchive();
    engine().SetZipName(z("smaller.zip"));
    extractAllTo("out");
    EXPECT_EQ(engine().ExtractEntries(), 3);
    EXPECT_FALSE(fs::exists(host("out/readme.txt")));
    ASSERT_EQ(engine().Skipped().size(), 1u);
    EXPECT_NE(engine().Skipped()[0].find("File is larger than uncompressed size!"), std::string::npos);

    // Data that would run past the end of a single file stops the whole extraction.
    std::string longer = archive;
    patch32(longer, readme + 20, 0x7FFFFFFF);
    put("longer.zip", longer);
    engine().CloseArchive();
    engine().SetZipName(z("longer.zip"));
    extractAllTo("out2");
    ExpectZipError([&] { engine().ExtractEntries(); }, ZipErrorKind::EFatalUnzipError, "Premature end of file reached");
}

TEST_F(ZipReader, ReadsTheDirectoryAgainWhenTheArchiveChanged)
{
    sampleArchive();
    engine().ReadDirectory();
    ASSERT_EQ(engine().EntryCount(), 4);
    // Another program replaces the archive with one of a single entry.
    ZipEngine other(machine());
    other.SetZipName(z("set.zip.new"));
    other.FilesList = {z("src\\readme.txt")};
    ASSERT_EQ(other.WriteArchive(), 1);
    fs::rename(host("set.zip.new"), host("set.zip"));
    machine().files().setFileTime(z("set.zip"), 1200000000);
    extractAllTo("out");
    EXPECT_EQ(engine().ExtractEntries(), 1);
    EXPECT_EQ(engine().EntryCount(), 1);
}

TEST_F(ZipReader, ProgressAndCancelWhileExtracting)
{
    put("big.bin", randomBytes(3 * 1024 * 1024, 5));
    ASSERT_EQ(writeArchive("big.zip", {z("big.bin")}), 1);
    std::vector<int> percents;
    engine().OnTotalPercentDone = [&](ZipEngine&, int percent) { percents.push_back(percent); };
    EXPECT_TRUE(engine().TestArchive());
    ASSERT_GT(percents.size(), 2u);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(percents.back(), 100);

    engine().OnPump = [&] { engine().CancelOperation(); };
    extractAllTo("out");
    ExpectZipError([&] { engine().ExtractEntries(); }, ZipErrorKind::EUserCanceled, "User Aborted Operation");
    EXPECT_FALSE(fs::exists(host("out/big.bin")));
    EXPECT_TRUE(fs::is_empty(host("out")));
}

}  // namespace
}  // namespace brx::zip::test
