#include <gtest/gtest.h>

#include <sstream>

#include "core/RunState.h"
#include "core/ScriptedUi.h"

namespace brx::core {
namespace {

TEST(ScriptedUi, AnswersFromTheQueueAndFallsBackToTheDefaultButton)
{
    ScriptedUi ui;
    ui.PushAnswer("No");
    ui.PushAnswer("Retry");  // names no button of an OK/Cancel box: the default is taken
    ui.PushAnswer("cancel");

    EXPECT_FALSE(ui.AskYesNo("Question", "Go on?"));
    EXPECT_TRUE(ui.AskOkCancel("Next Disk", "Please insert the next disk."));
    EXPECT_FALSE(ui.AskRetryCancel("Disk", "Try again?"));
    // Queue empty: the default button.
    EXPECT_TRUE(ui.AskYesNo("Question", "Restart?"));
    EXPECT_FALSE(ui.AskYesNo("Question", "Delete?", MessageIcon::Warning, Answer::No));

    const std::vector<std::string> expected = {
        "Question: Go on?", "Next Disk: Please insert the next disk.", "Disk: Try again?",
        "Question: Restart?", "Question: Delete?"};
    EXPECT_EQ(ui.Messages(), expected);
}

TEST(ScriptedUi, AnUnansweredRetryQuestionThatKeepsComingBackIsCancelled)
{
    ScriptedUi ui;
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(ui.AskRetryCancel("Disk", "Insert the disk.")) << i;
    EXPECT_FALSE(ui.AskRetryCancel("Disk", "Insert the disk.")) << "nobody is changing disks";

    // Work in between (a disk was written) makes the same question a new one.
    ui.Pump();
    EXPECT_TRUE(ui.AskRetryCancel("Disk", "Insert the disk."));
    // A scripted answer is always taken, however often the question comes.
    for (int i = 0; i < 5; ++i) ui.PushAnswer("Retry");
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(ui.AskRetryCancel("Disk", "Insert the disk."));
}

TEST(ScriptedUi, TextDialogsTakeTheLineOrTheirDefault)
{
    ScriptedUi ui;
    ui.PushAnswer("B");
    ui.PushAnswer("Cancel");
    EXPECT_EQ(ui.InputBox("Diskette Drive", "Enter the letter", "A"), "B");
    EXPECT_EQ(ui.ChooseDirectory("Specify the Disk", "A:\\"), std::nullopt);
    EXPECT_EQ(ui.InputBox("Diskette Drive", "Enter the letter", "A"), "A");
    EXPECT_EQ(ui.ChooseDirectory("", "C:\\TEMP\\"), "C:\\TEMP\\");
    EXPECT_EQ(ui.ChooseOpenFile("Select", "All Files|*.*", "C:\\", ""), std::nullopt);
    EXPECT_EQ(ui.Events()[3].caption, "Select a Directory");
}

TEST(ScriptedUi, PrintsMessagesAsCaptionAndText)
{
    std::ostringstream messages;
    std::ostringstream progress;
    ScriptedUi ui(&messages, &progress);
    ui.Inform("Brellix 2000", "Backup Finished");
    ui.ShowWarningList({"The following file(s) could not be copied:", "", "C:\\boot.ini"},
                       WarningListMode::Notice);
    ui.SetProgressCaption("Backup in Process (Config 1)");
    EXPECT_EQ(messages.str(),
              "Brellix 2000: Backup Finished\n"
              "WARNING:\n  The following file(s) could not be copied:\n  \n  C:\\boot.ini\n");
    EXPECT_EQ(progress.str(), "Backup in Process (Config 1)\n");
}

TEST(ScriptedUi, WarningListQuestionDefaultsToYes)
{
    ScriptedUi ui;
    EXPECT_EQ(ui.ShowWarningList({"x"}, WarningListMode::Question), Answer::Yes);
    ui.PushAnswer("no");
    EXPECT_EQ(ui.ShowWarningList({"x"}, WarningListMode::Question), Answer::No);
    EXPECT_EQ(ui.ShowWarningList({"x"}, WarningListMode::Notice), Answer::Ok);
}

TEST(RunState, CancelCountsOnceAndANewOperationStartsClean)
{
    ScriptedUi ui;
    int engineStops = 0;
    RunState run;
    ui.SetCancelHandler([&] {
        if (run.Cancel()) ++engineStops;
    });
    ui.CancelAtPump(2);
    for (int i = 0; i < 3; ++i) ui.Pump();
    EXPECT_TRUE(run.cancel);
    EXPECT_TRUE(run.error);
    EXPECT_FALSE(run.Cancel());  // a second press changes nothing
    EXPECT_EQ(run.warnings, std::vector<std::string>{"User Cancelled"});
    EXPECT_EQ(engineStops, 1);

    run.BeginOperation();
    EXPECT_FALSE(run.cancel);
    EXPECT_FALSE(run.error);
    EXPECT_TRUE(run.warnings.empty());
}

}  // namespace
}  // namespace brx::core
