#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "WindowFixture.h"

namespace brx::ui {
namespace {

using test::WindowFixture;

QPushButton* Button(QWidget& window, const char* name)
{
    auto* button = window.findChild<QPushButton*>(name);
    EXPECT_NE(button, nullptr) << name;
    return button;
}

TEST(MainWindow, BackupOfConfigs1And3EndsWithOneMessageWithTheTotal)
{
    WindowFixture f;
    f.program.Settings().File().WriteString("BackupPreferences3", "Target", "C:\\Backups3\\");
    f.program.Settings().File().WriteString("BackupPreferences3", "ConfigName", "Weekly");
    // Both back up the command interpreter's start files.
    for (const char* checks : {"Checks1", "Checks3"})
        for (int item = 0; item < core::kCheckItems; ++item)
            f.program.Settings().File().WriteString(checks, std::to_string(item),
                                                    item == 1 || item == 2 ? "1" : "0");
    f.program.ReadSettings();
    f.program.Settings().ReadConfigNames(f.program.settings);
    f.window->LoadFromProgram();
    auto* box3 = f.window->findChild<QCheckBox*>("ConfigBox3");
    ASSERT_TRUE(box3->isEnabled());
    EXPECT_EQ(box3->text(), "Weekly");
    EXPECT_FALSE(f.window->findChild<QCheckBox*>("ConfigBox2")->isEnabled());
    box3->setChecked(true);
    EXPECT_TRUE(f.program.settings.configTicks[2]);
    f.ui.ClearShown();

    QTest::mouseClick(Button(*f.window, "BackupButton"), Qt::LeftButton);

    EXPECT_EQ(f.CountShown("Backup Finished"), 1);
    EXPECT_EQ(f.CountShown("Backup Finished\n\n4 files backed up."), 1);
    EXPECT_EQ(f.CountShown("WARNING"), 0);
    EXPECT_TRUE(f.machine.exists("C:\\Backups3"));
}

TEST(MainWindow, BackupWithNoConfigTickedOnlySaysSo)
{
    WindowFixture f;
    f.window->findChild<QCheckBox*>("ConfigBox1")->setChecked(false);
    f.ui.ClearShown();
    QTest::mouseClick(Button(*f.window, "BackupButton"), Qt::LeftButton);
    ASSERT_EQ(f.ui.Shown().size(), 1u);
    EXPECT_NE(f.ui.Shown()[0].find("At least one of the Configs must be checked."), std::string::npos);
    EXPECT_EQ(f.program.run.fileCount, 0);
}

TEST(MainWindow, StartsOnTheIntroductionAndATabLeavesItForGood)
{
    WindowFixture f;
    EXPECT_EQ(f.window->CurrentPage(), MainWindow::kIntroductionPage);
    EXPECT_EQ(f.window->size(), QSize(483, 244));
    EXPECT_EQ(f.window->windowTitle(), "Brellix 2000");
    f.window->show();
    QTabBar* tabs = f.window->Tabs();
    ASSERT_EQ(tabs->count(), 7);
    // The first tab is the bar's current one, yet a click on it leaves the introduction.
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    EXPECT_EQ(f.window->CurrentPage(), MainWindow::kBackupPage);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(4).center());
    EXPECT_EQ(f.window->CurrentPage(), MainWindow::kBootDiskPage);
    EXPECT_EQ(f.window->HelpContext(), 14);
}

TEST(MainWindow, UnbuiltDialogsAreDisabledAndMarqueeClicksReachTheSettings)
{
    WindowFixture f;
    for (const char* name : {"ChangePropertiesButton", "PreferencesButton"})
        EXPECT_FALSE(Button(*f.window, name)->isEnabled()) << name;
    EXPECT_FALSE(f.window->findChild<QWidget*>("BackupWizardButton")->isEnabled());
    EXPECT_FALSE(Button(*f.window, "UndoDorAdurButton")->isEnabled());  // no registry.zzz yet

    f.window->show();
    StatusBar* status = f.window->Status();
    EXPECT_EQ(status->TickMilliseconds(), 100);
    QTest::mouseClick(status->Area(), Qt::LeftButton);
    EXPECT_FALSE(f.program.settings.marqueeScroll);
    QTest::mouseClick(status->Area(), Qt::LeftButton);
    EXPECT_TRUE(f.program.settings.marqueeScroll);
}

TEST(MainWindow, NtEditionDiffersInSizeTimerAndRepairPage)
{
    WindowFixture f(editions::Edition::WinNT());
    EXPECT_EQ(f.window->size(), QSize(491, 244));
    EXPECT_EQ(f.window->Status()->TickMilliseconds(), 1000);
    EXPECT_EQ(f.window->Tabs()->tabText(5), "NT Repair");
    EXPECT_NE(f.window->findChild<QPushButton*>("RepairDiskButton"), nullptr);
    f.window->ShowPage(MainWindow::kDorAdurPage);
    EXPECT_EQ(f.window->HelpContext(), 2);
}

TEST(ProgressWindow, CancelTwiceAddsUserCancelledOnce)
{
    WindowFixture f;
    f.program.run.BeginOperation();
    f.ui.ShowProgress();
    QPushButton* cancel = f.ui.Progress().CancelButton();
    QTest::mouseClick(cancel, Qt::LeftButton);
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_TRUE(f.program.run.cancel);
    EXPECT_TRUE(f.program.run.error);
    EXPECT_EQ(std::count(f.program.run.warnings.begin(), f.program.run.warnings.end(),
                         std::string(core::kUserCancelled)),
              1);
}

}  // namespace
}  // namespace brx::ui

namespace brx::ui {
namespace {

TEST(MainWindow, DorAdurThenARestoreFromTheSpareRegistryBothRestartWindows)
{
    WindowFixture f;
    int restarts = 0;
    f.machine.hosted().setTerminate([&](int) { ++restarts; });
    f.window->show();
    f.window->ShowPage(MainWindow::kDorAdurPage);
    QTest::mouseClick(Button(*f.window, "DorAdurButton"), Qt::LeftButton);
    EXPECT_EQ(restarts, 1);
    EXPECT_TRUE(f.machine.exists("C:\\WINNT\\registry.zzz"));
    EXPECT_TRUE(Button(*f.window, "UndoDorAdurButton")->isEnabled());
    ASSERT_TRUE(f.machine.exists("C:\\WINNT\\registry.daz"));

    f.window->ShowPage(MainWindow::kDazurEdoziPage);
    auto* source = f.window->findChild<QComboBox*>("RestoreSource");
    source->setCurrentIndex(0);
    emit source->activated(0);
    EXPECT_TRUE(f.window->findChild<QCheckBox*>("WinCrash")->isChecked());
    f.ui.ClearShown();
    QTest::mouseClick(Button(*f.window, "RestoreButton"), Qt::LeftButton);
    EXPECT_EQ(restarts, 2);
    for (const std::string& line : f.ui.Shown())
        EXPECT_EQ(line.find("WARNING"), std::string::npos) << line;
}

}  // namespace
}  // namespace brx::ui

namespace brx::ui {
namespace {

TEST(MainWindow, ClosingSavesTheSettingsWithAStoppedMarqueeAndResetsTheSwitch)
{
    WindowFixture f;
    f.program.Settings().File().WriteBool("AutoStart", "switch", true);
    f.window->show();
    QTest::mouseClick(f.window->Status()->Area(), Qt::LeftButton);
    QTest::mouseClick(f.window->findChild<QToolButton*>("ExitButton"), Qt::LeftButton);
    EXPECT_FALSE(f.window->isVisible());
    EXPECT_FALSE(f.program.Settings().File().ReadBool("BackupPreferences", "MarqueeScroll", true));
    EXPECT_FALSE(f.program.Settings().File().ReadBool("AutoStart", "switch", true));
}

}  // namespace
}  // namespace brx::ui
