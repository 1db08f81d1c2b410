// Our archives against Info-ZIP, 7-Zip and Python's zipfile, in both directions.
#include <gtest/gtest.h>

#include <map>

#include "ZipFixture.h"

namespace brx::zip::test {
namespace {

class ZipInterop : public ZipFixture {
protected:
    // 7-Zip's command is 7zz in the Debian package, 7z elsewhere.
    std::string sevenZip() const { return sh("command -v 7zz >/dev/null") == 0 ? "7zz" : "7z"; }

    void expectReadsAndExtracts(const std::string& archive, const std::string& password,
                                const std::map<std::string, std::string>& expected)
    {
        engine().CloseArchive();
        engine().SetZipName(z(archive));
        engine().Password = password;
        engine().ReadDirectory();
        EXPECT_EQ(engine().EntryCount(), static_cast<int>(expected.size()));
        EXPECT_TRUE(engine().TestArchive());
        const std::string out = "out-" + archive;
        engine().SetDestDir(z(out));
        engine().RecreateDirs = true;
        engine().DoAll = true;
        EXPECT_EQ(engine().ExtractEntries(), static_cast<int>(expected.size()));
        for (const auto& [name, content] : expected)
            EXPECT_EQ(get(out + "/" + name), content) << name;
    }
};

TEST_F(ZipInterop, InfoZipAnd7ZipAcceptOurArchivesAtEveryLevel)
{
    putSample();
    for (int level = 0; level <= 9; ++level) {
        for (const std::string password : {"", "pa ss"}) {
            SCOPED_TRACE("level " + std::to_string(level) + (password.empty() ? "" : ", encrypted"));
            const std::string archive = "l" + std::to_string(level) + (password.empty() ? "" : "e") + ".zip";
            engine().PackLevel = level;
            engine().Password = password;
            ASSERT_EQ(writeArchive(archive, {">" + z("src") + "\\*.*", z("src\\sub") + "\\"}), 5);
            const std::string unzipPassword = password.empty() ? "" : "-P '" + password + "' ";
            const std::string sevenPassword = password.empty() ? "" : "'-p" + password + "' ";
            std::string output;
            EXPECT_EQ(sh("unzip -tq " + unzipPassword + archive, &output), 0) << output;
            EXPECT_EQ(sh(sevenZip() + " t " + sevenPassword + archive, &output), 0) << output;
        }
    }
    // What they unpack is what we packed.
    std::string content;
    sh("unzip -p -P 'pa ss' l9e.zip '*random.bin'", &content);
    EXPECT_EQ(content, randomBytes(300000, 7));
}

TEST_F(ZipInterop, NamesOutsideTheOemCodePageSurviveAsUtf8)
{
    put("Grüße.txt", "oem");     // ü and ß exist in code page 437
    put("€uro.txt", "utf-8");    // € does not
    ASSERT_EQ(writeArchive("names.zip", {z("Grüße.txt"), z("€uro.txt")}), 2);
    EXPECT_EQ(engine().Entry(0).Flags & 0x0800, 0);
    EXPECT_EQ(engine().Entry(1).Flags & 0x0800, 0x0800);
    std::string names;
    ASSERT_EQ(sh("python3 -c \"import zipfile; print('|'.join(i.filename.rsplit('/', 1)[1] for i in zipfile.ZipFile('names.zip').infolist()))\"", &names), 0);
    EXPECT_EQ(names, "Grüße.txt|€uro.txt\n");
    engine().CloseArchive();
    engine().SetZipName(z("names.zip"));
    engine().ReadDirectory();
    EXPECT_EQ(engine().EntryFileName(0), "Grüße.txt");
    EXPECT_EQ(engine().EntryFileName(1), "€uro.txt");
}

TEST_F(ZipInterop, ReadsArchivesWrittenByInfoZip)
{
    put("in/a.txt", textOf(40000));
    put("in/b.bin", randomBytes(20000, 4));
    put("in/sub/c.txt", "small");
    const std::map<std::string, std::string> expected = {
        {"in/a.txt", textOf(40000)}, {"in/b.bin", randomBytes(20000, 4)}, {"in/sub/c.txt", "small"}};
    ASSERT_EQ(sh("zip -q -0 -D -r stored.zip in"), 0);
    ASSERT_EQ(sh("zip -q -9 -D -r deflated.zip in"), 0);
    ASSERT_EQ(sh("zip -q -D -r -P s3cret encrypted.zip in"), 0);
    expectReadsAndExtracts("stored.zip", "", expected);
    expectReadsAndExtracts("deflated.zip", "", expected);
    expectReadsAndExtracts("encrypted.zip", "s3cret", expected);

    // Streamed input gets a data descriptor; encrypted, its check byte comes from the time.
    ASSERT_EQ(sh("cat in/a.txt | zip -q -P s3cret piped.zip -"), 0);
    engine().CloseArchive();
    engine().SetZipName(z("piped.zip"));
    engine().Password = "s3cret";
    EXPECT_TRUE(engine().TestArchive());
    EXPECT_NE(engine().Entry(0).Flags & 0x0008, 0);
    engine().Password = "wrong";
    EXPECT_FALSE(engine().TestArchive());
}

TEST_F(ZipInterop, ReadsArchivesWrittenByPython)
{
    ASSERT_EQ(sh("python3 -c \"import zipfile\n"
                 "with zipfile.ZipFile('py.zip', 'w') as z:\n"
                 "    z.writestr('docs/stored.txt', 'stored text', zipfile.ZIP_STORED)\n"
                 "    z.writestr('docs/deflated.txt', 'deflated ' * 1000, zipfile.ZIP_DEFLATED)\n"
                 "    z.writestr('Grüße/ü.txt', 'utf-8 name', zipfile.ZIP_DEFLATED)\n"
                 "    z.comment = b'made by python'\""),
              0);
    expectReadsAndExtracts("py.zip", "",
                           {{"docs/stored.txt", "stored text"},
                            {"docs/deflated.txt", [] {
                                 std::string s;
                                 for (int i = 0; i < 1000; ++i)
                                     s += "deflated ";
                                 return s;
                             }()},
                            {"Grüße/ü.txt", "utf-8 name"}});
    EXPECT_EQ(engine().EndCentral().Comment, "made by python");

    // Updating it keeps the entries and the comment that another program wrote.
    put("extra.txt", "added");
    engine().SetZipName(z("py.zip"));
    engine().Password.clear();
    engine().FilesList = {z("extra.txt")};
    EXPECT_EQ(engine().WriteArchive(), 1);
    std::string output;
    EXPECT_EQ(sh("unzip -tq py.zip && unzip -z py.zip", &output), 0) << output;
    EXPECT_NE(output.find("made by python"), std::string::npos);
    EXPECT_EQ(engine().EntryCount(), 4);
}

}  // namespace
}  // namespace brx::zip::test
