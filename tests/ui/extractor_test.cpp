#include <gtest/gtest.h>

#include <QTest>

#include "WindowFixture.h"
#include "ui/Extractor.h"
#include "zip/ZipEngine.h"

namespace brx::ui {
namespace {

using test::WindowFixture;

// An archive holding C:\A\x.txt, C:\A\B\y.txt and C:\z.txt, whose sources are then removed.
class ExtractorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const auto& [path, text] : kFiles)
            f.machine.writeFile(path, text);
        f.machine.platform().files().createDirectory("C:\\Backups");
        zip::ZipEngine& engine = *f.program.Zip();
        engine.MultiZipInfo.MultiMode = zip::mmNone;
        engine.SetZipName(kArchive);
        for (const auto& [path, text] : kFiles)
            engine.FilesList.push_back(path);
        ASSERT_EQ(engine.WriteArchive(), 3);
        engine.CloseArchive();
        for (const auto& [path, text] : kFiles)
            f.machine.platform().files().deleteFile(path);
        extractor = &f.window->ExtractorDialog();
        extractor->show();
    }

    void Open()
    {
        f.ui.AnswerNext(kArchive);
        QTest::mouseClick(extractor->BrowseButton(), Qt::LeftButton);
    }

    static constexpr const char* kArchive = "C:\\Backups\\files.zip";
    const std::vector<std::pair<std::string, std::string>> kFiles = {
        {"C:\\A\\x.txt", "x"}, {"C:\\A\\B\\y.txt", "y"}, {"C:\\z.txt", "z"}};
    WindowFixture f;
    Extractor* extractor = nullptr;
};

TEST_F(ExtractorTest, ShowsTheArchiveUnderItsDriveFoldersFirst)
{
    EXPECT_FALSE(extractor->ExtractButton()->isEnabled());
    Open();
    EXPECT_EQ(extractor->StatusLabel()->text(), "3 of 3 Files in Backup File");
    EXPECT_TRUE(extractor->ExtractButton()->isEnabled());
    EXPECT_TRUE(extractor->CheckAllButton()->isEnabled());
    TickTree* tree = extractor->Tree();
    QTreeWidgetItem* drive = nullptr;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (tree->topLevelItem(i)->text(0).contains("(C:)"))
            drive = tree->topLevelItem(i);
    ASSERT_NE(drive, nullptr);
    EXPECT_TRUE(drive->isExpanded());
    ASSERT_EQ(drive->childCount(), 2);
    EXPECT_EQ(drive->child(0)->text(0), "A");
    EXPECT_EQ(drive->child(0)->child(0)->text(0), "B");
    EXPECT_EQ(drive->child(0)->child(0)->child(0)->text(0), "y.txt");
    EXPECT_EQ(drive->child(0)->child(1)->text(0), "x.txt");
    EXPECT_EQ(drive->child(1)->text(0), "z.txt");
}

TEST_F(ExtractorTest, NotAZipLeavesOnlyTheDrivesAndSaysWhy)
{
    f.machine.writeFile("C:\\Backups\\broken.zip", "not an archive at all");
    f.ui.AnswerNext("C:\\Backups\\broken.zip");
    f.ui.AnswerNext("Cancel");  // no last disk to insert: read what is there
    f.ui.ClearShown();
    QTest::mouseClick(extractor->BrowseButton(), Qt::LeftButton);
    EXPECT_EQ(extractor->StatusLabel()->text(), "Reading Zip File");
    EXPECT_FALSE(extractor->ExtractButton()->isEnabled());
    for (int i = 0; i < extractor->Tree()->topLevelItemCount(); ++i)
        EXPECT_EQ(extractor->Tree()->topLevelItem(i)->childCount(), 0);
    EXPECT_EQ(f.CountShown(zip::kMsgNotAZip), 1);
}

TEST_F(ExtractorTest, ExtractsTheTickedFilesToEachDestination)
{
    struct Case {
        const char* name;
        int destination;
        bool recurse;
        std::vector<std::string> expected;
    } cases[] = {
        {"original location", Extractor::kOriginalLocation, true,
         {"C:\\A\\x.txt", "C:\\A\\B\\y.txt", "C:\\z.txt"}},
        {"temporary directory", Extractor::kTemporaryDirectory, true,
         {"C:\\Temp\\A\\x.txt", "C:\\Temp\\A\\B\\y.txt", "C:\\Temp\\z.txt"}},
        {"chosen folder, flat", Extractor::kSpecifyLocation, false,
         {"C:\\Out\\x.txt", "C:\\Out\\y.txt", "C:\\Out\\z.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open();
        if (c.destination == Extractor::kSpecifyLocation) {
            f.machine.platform().files().createDirectory("C:\\Out");
            f.ui.AnswerNext("C:\\Out");
        }
        extractor->DestinationCombo()->setCurrentIndex(c.destination);
        if (c.destination == Extractor::kSpecifyLocation) {
            EXPECT_EQ(extractor->DestinationCombo()->currentIndex(), Extractor::kChosenFolder);
            EXPECT_EQ(extractor->DestinationCombo()->currentText(), "C:\\Out\\");
        }
        EXPECT_EQ(extractor->RecurseCheck()->isEnabled(),
                  c.destination != Extractor::kOriginalLocation);
        extractor->RecurseCheck()->setChecked(c.recurse);
        QTest::mouseClick(extractor->CheckAllButton(), Qt::LeftButton);
        f.ui.ClearShown();
        QTest::mouseClick(extractor->ExtractButton(), Qt::LeftButton);
        EXPECT_EQ(f.CountShown("3 Files Extracted."), 1);
        for (const std::string& path : c.expected)
            EXPECT_TRUE(f.machine.exists(path)) << path;
    }
    EXPECT_EQ(f.machine.readFile("C:\\Out\\y.txt"), "y");
}

TEST_F(ExtractorTest, NothingTickedExtractsNothingAndOriginalLocationForcesRecurse)
{
    Open();
    extractor->DestinationCombo()->setCurrentIndex(Extractor::kTemporaryDirectory);
    extractor->RecurseCheck()->setChecked(false);
    extractor->DestinationCombo()->setCurrentIndex(Extractor::kOriginalLocation);
    EXPECT_TRUE(extractor->RecurseCheck()->isChecked());
    EXPECT_FALSE(extractor->RecurseCheck()->isEnabled());
    QTest::mouseClick(extractor->CheckAllButton(), Qt::LeftButton);
    QTest::mouseClick(extractor->UncheckAllButton(), Qt::LeftButton);
    f.ui.ClearShown();
    QTest::mouseClick(extractor->ExtractButton(), Qt::LeftButton);
    EXPECT_EQ(f.CountShown("0 Files Extracted."), 1);
    EXPECT_FALSE(f.machine.exists("C:\\z.txt"));
}

TEST_F(ExtractorTest, ExitKeepsTheChosenFolderForTheNextShowing)
{
    f.machine.platform().files().createDirectory("C:\\Out");
    f.ui.AnswerNext("C:\\Out");
    extractor->DestinationCombo()->setCurrentIndex(Extractor::kSpecifyLocation);
    f.ui.AnswerNext("C:\\Backups");
    extractor->DestinationCombo()->setCurrentIndex(Extractor::kSpecifyLocation);
    EXPECT_EQ(extractor->DestinationCombo()->count(), 4);
    EXPECT_EQ(extractor->DestinationCombo()->itemText(3), "C:\\Backups\\");
    extractor->RecurseCheck()->setChecked(false);
    QTest::mouseClick(extractor->ExitButton(), Qt::LeftButton);
    EXPECT_FALSE(extractor->isVisible());

    extractor->show();
    EXPECT_EQ(extractor->DestinationCombo()->currentIndex(), Extractor::kChosenFolder);
    EXPECT_EQ(extractor->DestinationCombo()->currentText(), "C:\\Backups\\");
    EXPECT_FALSE(extractor->RecurseCheck()->isChecked());
    EXPECT_TRUE(extractor->ArchiveEdit()->text().isEmpty());
}

TEST_F(ExtractorTest, AnArchivePathOnAnAbsentDriveShowsItAsNotPresent)
{
    zip::ZipEngine& engine = *f.program.Zip();
    f.machine.writeFile("C:\\q.txt", "q");
    engine.SetZipName("C:\\Backups\\q.zip");
    engine.FilesList = {"C:\\q.txt"};
    engine.WriteArchive();
    engine.CloseArchive();
    // The same archive as if its file had come from a Q: drive this machine does not have.
    std::string bytes = f.machine.readFile("C:\\Backups\\q.zip");
    for (std::size_t at = bytes.find("C:/q.txt"); at != std::string::npos;
         at = bytes.find("C:/q.txt", at + 1))
        bytes[at] = 'Q';
    f.machine.writeFile("C:\\Backups\\q.zip", bytes);
    f.ui.AnswerNext("C:\\Backups\\q.zip");
    QTest::mouseClick(extractor->BrowseButton(), Qt::LeftButton);
    TickTree* tree = extractor->Tree();
    QTreeWidgetItem* last = tree->topLevelItem(tree->topLevelItemCount() - 1);
    EXPECT_EQ(last->text(0), "Q:(Not Present)");
    ASSERT_EQ(last->childCount(), 1);
    EXPECT_EQ(TickTree::PathOf(last->child(0)), "Q:\\q.txt");
}

}  // namespace
}  // namespace brx::ui
