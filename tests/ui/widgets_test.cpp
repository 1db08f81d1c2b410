#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "QtApp.h"
#include "ui/Marquee.h"
#include "ui/ProgressWindow.h"
#include "ui/WarningList.h"

namespace brx::ui {
namespace {

TEST(Marquee, WrapsAndDrawsTheTailOfOnePassBeforeTheHeadOfTheNext)
{
    struct Case {
        const char* name;
        int textWidth, barWidth, position;
        MarqueeStep expected;
    } cases[] = {
        {"entering from the right", 300, 200, 50, {50, true, 200 - 300 - 50, 52}},
        {"text wider than bar, past the bar", 300, 200, 250, {250, false, 200 - 250, 252}},
        {"text moved out wraps to 1", 300, 200, 301, {1, true, 200 - 300 - 1, 3}},
        {"exactly its width does not wrap", 300, 200, 300, {300, false, -100, 302}},
        {"short text loops inside the bar", 80, 200, 81, {1, true, 200 - 80 - 1, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MarqueeStep step = ScrollMarquee(c.textWidth, c.barWidth, c.position);
        EXPECT_EQ(step.position, c.expected.position);
        EXPECT_EQ(step.drawTwice, c.expected.drawTwice);
        EXPECT_EQ(step.x, c.expected.x);
        EXPECT_EQ(step.nextPosition, c.expected.nextPosition);
    }
}

TEST(Marquee, ClickStopsAndStartsAtTheSamePosition)
{
    test::App();
    StatusBar bar(100);
    bar.resize(400, 20);
    bar.show();
    bar.SetText(QString("Welcome to Brellix. ").repeated(20));
    EXPECT_EQ(bar.Position(), bar.Area()->width());
    bar.Tick();
    bar.Tick();
    const int position = bar.Position();
    EXPECT_EQ(position, bar.Area()->width() + 4);
    QSignalSpy toggled(&bar, &StatusBar::ScrollingToggled);
    QTest::mouseClick(bar.Area(), Qt::LeftButton);
    EXPECT_FALSE(bar.Scrolling());
    QTest::mouseClick(bar.Area(), Qt::LeftButton);
    EXPECT_TRUE(bar.Scrolling());
    EXPECT_EQ(bar.Position(), position);
    ASSERT_EQ(toggled.count(), 2);
    EXPECT_FALSE(toggled.at(0).at(0).toBool());
    EXPECT_EQ(bar.TickMilliseconds(), 100);
}

TEST(ProgressWindow, TaskbarTitleDropsTheBackupPrefix)
{
    EXPECT_EQ(TaskbarTitle("Backup in Process Config 1", 40, 75), "Config 1 - 40% - 75%");
    EXPECT_EQ(TaskbarTitle("Rescue in Process", 5, 100), "Rescue in Process - 5% - 100%");
}

TEST(ProgressWindow, ArchiveProgressSetsTheBarAndTheMainWindowTitle)
{
    test::App();
    QWidget main;
    main.setWindowTitle("Brellix 2000");
    ProgressWindow progress(&main);
    progress.setWindowTitle("Backup in Process Daily");
    progress.RunBar()->setValue(30);
    progress.show();
    progress.ShowArchivePercent(60);
    EXPECT_EQ(progress.ArchiveBar()->value(), 60);
    EXPECT_EQ(main.windowTitle(), "Daily - 30% - 60%");
    EXPECT_EQ(progress.Status(), "Waiting");
    EXPECT_EQ(progress.size(), QSize(272, 159));
}

TEST(ProgressWindow, EscapePressesCancel)
{
    test::App();
    ProgressWindow progress;
    int presses = 0;
    progress.SetCancelHandler([&] { ++presses; });
    progress.show();
    QTest::keyClick(&progress, Qt::Key_Escape);
    QTest::mouseClick(progress.CancelButton(), Qt::LeftButton);
    EXPECT_EQ(presses, 2);
    EXPECT_TRUE(progress.isVisible());
}

TEST(ProgressWindow, AnimationLoopsOverItsFrames)
{
    test::App();
    CopyAnimation animation;
    animation.Start();
    QTest::qWait(60 * (CopyAnimation::kLastFrame + 3));
    EXPECT_TRUE(animation.Running());
    EXPECT_LE(animation.Frame(), CopyAnimation::kLastFrame);
    animation.Stop();
    EXPECT_EQ(animation.Frame(), 0);
}

TEST(WarningList, SizesToWholeLinesAndCutsToTenOnAShortScreen)
{
    EXPECT_EQ(SizeWarningList(3, 768).windowHeight, 3 * 13 + 90);
    EXPECT_EQ(SizeWarningList(3, 768).buttonTop, 3 * 13 + 90 - 57);
    EXPECT_EQ(SizeWarningList(50, 600).listHeight, 10 * 13);
    EXPECT_EQ(SizeWarningList(39, 600).listHeight, 39 * 13);  // 507 fits in 600 - 90
    EXPECT_EQ(SizeWarningList(40, 600).listHeight, 10 * 13);

    test::App();
    WarningList list;
    list.SetScreenHeightForSizing(600);
    QStringList lines;
    for (int i = 0; i < 50; ++i)
        lines << QString("C:\\WINNT\\file%1.dll").arg(i);
    list.SetLines(lines);
    list.show();
    EXPECT_EQ(list.height(), 10 * 13 + 90);
    EXPECT_EQ(list.List()->height(), 10 * 13);
    list.SetLines({"a", "b", "c"});
    EXPECT_EQ(list.height(), 3 * 13 + 90);
    EXPECT_EQ(list.NoButton()->y(), 3 * 13 + 90 - 57);
}

TEST(WarningList, NoticeHasOneOkButtonAndQuestionAsksNoOrYes)
{
    test::App();
    WarningList list;
    list.SetLines({"Registry Not Backed Up"});
    list.SetMode(WarningList::Mode::Notice);
    list.show();
    EXPECT_EQ(list.NoButton()->text(), "&OK");
    EXPECT_FALSE(list.YesButton()->isVisible());
    list.SetMode(WarningList::Mode::Question);
    EXPECT_EQ(list.NoButton()->text(), "&No");
    EXPECT_EQ(list.NoButton()->x(), 70);
    EXPECT_TRUE(list.YesButton()->isVisible());
    EXPECT_TRUE(list.YesButton()->isDefault());
    QTest::mouseClick(list.YesButton(), Qt::LeftButton);
    EXPECT_EQ(list.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace brx::ui
