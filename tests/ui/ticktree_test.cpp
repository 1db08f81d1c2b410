#include <gtest/gtest.h>

#include <QTest>

#include "QtApp.h"
#include "ui/TickTree.h"

namespace brx::ui {
namespace {

// The tree as text: one line per node, indented by depth, files marked with their tick.
QStringList Outline(const TickTree& tree)
{
    QStringList lines;
    std::function<void(const QTreeWidgetItem*, int)> walk = [&](const QTreeWidgetItem* node,
                                                                int depth) {
        QString line = QString(depth * 2, ' ') + node->text(0);
        if (TickTree::KindOf(node) == TickTree::Kind::File)
            line += TickTree::Ticked(node) ? " [x]" : " [ ]";
        lines << line;
        for (int i = 0; i < node->childCount(); ++i)
            walk(node->child(i), depth + 1);
    };
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        walk(tree.topLevelItem(i), 0);
    return lines;
}

std::vector<TickTree::DriveNode> Drives()
{
    return {{"3\u00bd Floppy (A:)", {}}, {"System (C:)", {}}};
}

TEST(TickTree, FoldersComeFirstThenFilesInUpperCaseOrder)
{
    test::App();
    TickTree tree;
    tree.Reset(Drives(), {});
    for (const char* path : {"C:\\z.txt", "C:\\A\\x.txt", "C:\\A\\B\\y.txt", "C:\\a.TXT",
                             "C:\\A\\x.txt", "WINNT\\win.ini", "C:\\b\\q.txt"})
        tree.AddPath(path);
    const QStringList expected = {
        "3\u00bd Floppy (A:)",
        "System (C:)",
        "  A",
        "    B",
        "      y.txt [ ]",
        "    x.txt [ ]",
        "  b",
        "    q.txt [ ]",
        "  a.TXT [ ]",
        "  z.txt [ ]",
        TickTree::kNoDriveText,
        "  WINNT",
        "    win.ini [ ]",
    };
    EXPECT_EQ(Outline(tree), expected);
}

TEST(TickTree, AbsentDriveIsAddedAtTheEndAndPathsComeBack)
{
    test::App();
    TickTree tree;
    tree.Reset(Drives(), {});
    EXPECT_EQ(tree.AddPath("Q:\\Data\\report.doc"), TickTree::Added::Added);
    EXPECT_EQ(tree.AddPath("q:\\Data\\report.doc"), TickTree::Added::AlreadyListed);
    EXPECT_EQ(tree.AddPath("WINNT\\x.txt"), TickTree::Added::Added);
    ASSERT_EQ(tree.topLevelItemCount(), 4);
    QTreeWidgetItem* absent = tree.topLevelItem(3);
    EXPECT_EQ(absent->text(0), "Q:(Not Present)");
    EXPECT_EQ(TickTree::KindOf(absent), TickTree::Kind::AbsentDrive);
    EXPECT_EQ(TickTree::PathOf(absent), "Q:");
    EXPECT_EQ(TickTree::PathOf(absent->child(0)->child(0)), "Q:\\Data\\report.doc");
    EXPECT_EQ(TickTree::PathOf(tree.topLevelItem(2)->child(0)->child(0)), "WINNT\\x.txt");
    EXPECT_EQ(TickTree::PathOf(tree.topLevelItem(2)), "");

    TickTree bare;  // never reset: no "no drive" node to put a path without drive under
    EXPECT_EQ(bare.AddPath("WINNT\\x.txt"), TickTree::Added::NoDriveNode);
    EXPECT_EQ(bare.topLevelItemCount(), 0);
}

TEST(TickTree, ClicksTickOnlyOnTickIconOrTextAndCheckAllReachesEveryFile)
{
    test::App();
    TickTree tree;
    tree.resize(320, 240);
    tree.Reset(Drives(), {});
    tree.AddPath("C:\\A\\x.txt");
    tree.AddPath("C:\\z.txt");
    tree.ExpandTopLevel();
    tree.expandAll();
    tree.show();
    QTreeWidgetItem* drive = tree.topLevelItem(1);
    QTreeWidgetItem* folder = drive->child(0);
    QTreeWidgetItem* file = drive->child(1);
    ASSERT_EQ(file->text(0), "z.txt");

    const QRect area = tree.ClickArea(file);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, QPoint(area.left() + 4, area.center().y()));
    EXPECT_TRUE(TickTree::Ticked(file));
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, QPoint(area.right() - 2, area.center().y()));
    EXPECT_FALSE(TickTree::Ticked(file));
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, QPoint(area.right() + 30, area.center().y()));
    EXPECT_FALSE(TickTree::Ticked(file));
    const QRect folderArea = tree.ClickArea(folder);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, QPoint(folderArea.left() + 4, folderArea.center().y()));
    EXPECT_FALSE(TickTree::Ticked(folder));

    tree.SetAllTicked(true);
    EXPECT_EQ(tree.TickedPaths(), QStringList({"C:\\A\\x.txt", "C:\\z.txt"}));
    tree.SetAllTicked(false);
    EXPECT_TRUE(tree.TickedPaths().isEmpty());
}

}  // namespace
}  // namespace brx::ui
