#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTextDocument>

#include "QtApp.h"
#include "ui/HelpRouter.h"
#include "ui/HelpWindow.h"

namespace brx::ui {
namespace {

TEST(HelpRouter, ResolvesOurHelpFilesAndTheTutorialWindow)
{
    struct Case {
        const char* file;
        bool ours;
        HelpEdition edition;
        bool tutorial;
    } cases[] = {
        {"C:\\Program Files\\Brellix\\Brellix2K.hlp", true, HelpEdition::Win2000, false},
        {"C:\\Program Files\\Brellix\\BRELLIXNT.HLP>tutorial", true, HelpEdition::NT, true},
        {"C:\\Program Files\\Brellix\\Brellix2K.hlp>main", true, HelpEdition::Win2000, false},
        {"C:\\WINNT\\System32\\windows.hlp", false, HelpEdition::Win2000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const auto page = ResolveHelpFile(c.file);
        ASSERT_EQ(page.has_value(), c.ours);
        if (!page)
            continue;
        EXPECT_EQ(page->edition, c.edition);
        EXPECT_EQ(page->tutorialWindow, c.tutorial);
    }
}

TEST(HelpRouter, MapsTopicsAndContextsToPages)
{
    EXPECT_EQ(PageForTopic("Topic35"), "topic35.html");
    EXPECT_EQ(PageForTopic("topic04"), "topic4.html");
    EXPECT_EQ(PageForTopic(""), "index.html");
    EXPECT_FALSE(PageForTopic("Topic"));
    EXPECT_FALSE(PageForTopic("IDH_DIAL_WHAT_WRONG"));
    EXPECT_EQ(TopicForContext(14), "Topic4");
    EXPECT_EQ(TopicForContext(3), "Topic2");
    EXPECT_FALSE(TopicForContext(0));
}

TEST(HelpRouter, FillsInTheEditionsWording)
{
    const std::string page =
        "{{PRODUCT}} on {{WIN}}: <!--2000-->four disks<!--/2000--><!--nt-->three disks<!--/nt-->.";
    EXPECT_EQ(ExpandHelpText(page, HelpEdition::Win2000), "Brellix 2000 on Windows 2000: four disks.");
    EXPECT_EQ(ExpandHelpText(page, HelpEdition::NT), "Brellix NT on Windows NT: three disks.");
}

// Every topic the program jumps to must exist as a page in the shipped help, and no page may
// show a placeholder or a passage of the other edition.
TEST(HelpContent, EveryTopicTheProgramUsesIsWrittenForBothEditions)
{
    test::App();
    HelpSystem help(HelpSystem::DefaultHelpDirectory());
    const char* topics[] = {"Topic1", "Topic2", "Topic3", "Topic4", "Topic5", "Topic6",
                            "Topic7", "Topic8", "Topic9", "Topic10", "Topic11", "Topic12",
                            "Topic23", "Topic35", "Topic37", ""};
    for (const char* file : {"Brellix2K.hlp", "BrellixNT.hlp"}) {
        for (const char* topic : topics) {
            SCOPED_TRACE(std::string(file) + " " + topic);
            ASSERT_TRUE(help.ShowTopic(std::string("C:\\P\\") + file, topic));
            HelpWindow* window = help.MainWindow();
            ASSERT_NE(window, nullptr);
            const std::string expected = topic[0] ? *PageForTopic(topic) : "index.html";
            EXPECT_EQ(window->CurrentPage().toStdString(), expected);
            const QString text = window->browser()->toPlainText();
            EXPECT_GT(text.size(), 200);
            EXPECT_FALSE(text.contains("{{"));
            EXPECT_FALSE(text.contains(file[7] == '2' ? "Brellix NT" : "Brellix 2000"));
        }
    }
}

TEST(HelpContent, TutorialOpensInItsOwnWindow)
{
    test::App();
    HelpSystem help(HelpSystem::DefaultHelpDirectory());
    ASSERT_TRUE(help.ShowTopic("C:\\P\\BrellixNT.hlp>tutorial", "Topic23"));
    ASSERT_NE(help.TutorialWindow(), nullptr);
    EXPECT_EQ(help.TutorialWindow()->windowTitle(), "Quick Tutorial to Brellix NT");
    EXPECT_TRUE(help.TutorialWindow()->browser()->toPlainText().contains("Quick Tutorial"));
    EXPECT_FALSE(help.ShowTopic("C:\\WINNT\\System32\\windows.hlp", "Topic1"));
}

}  // namespace
}  // namespace brx::ui
