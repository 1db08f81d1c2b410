#include "backup/BackupSets.h"
#include "backup/SetNames.h"

#include "BackupBench.h"

namespace brx::backup::test {
namespace {

class BackupSetsTest : public BackupBench {
protected:
    void SetUp() override {
        BackupBench::SetUp();
        sets = std::make_unique<BackupSets>(*machine, ui, SettingsFile());
    }
    void TearDown() override {
        sets.reset();
        BackupBench::TearDown();
    }
    SetRequest Request(BackupType type = BackupType::Full) {
        SetRequest request;
        request.target = "C:\\BACKUPS";
        request.type = type;
        request.unattended = true;
        request.configName = "Config 1";
        return request;
    }
    // A set directory with a file in it, listed as entry n.
    void MakeListedSet(int n, const std::string& name) {
        const std::string path = "C:\\BACKUPS\\" + name + "\\";
        fs::create_directories(fs::path(Host("C:\\")) / "BACKUPS" / name);
        std::ofstream(Host(path) + "/registry.daz") << "x";
        Set("Backup Directories", std::to_string(n), path);
    }
    std::vector<std::string> Entries() { return sets->Entries(); }
    std::unique_ptr<BackupSets> sets;
};

TEST_F(BackupSetsTest, DateNamesOfOneDayCountUp) {
    EXPECT_EQ(sets->ChooseSetDirectory(Request()), "C:\\BACKUPS\\12-09-2026\\");
    EXPECT_EQ(sets->ChooseSetDirectory(Request()), "C:\\BACKUPS\\12-09-2026(1)\\");
    EXPECT_EQ(sets->ChooseSetDirectory(Request()), "C:\\BACKUPS\\12-09-2026(2)\\");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"C:\\BACKUPS\\12-09-2026\\",
                                                   "C:\\BACKUPS\\12-09-2026(1)\\",
                                                   "C:\\BACKUPS\\12-09-2026(2)\\"}));
    EXPECT_TRUE(fs::is_directory(Host("C:\\BACKUPS\\12-09-2026(2)")));
    EXPECT_EQ(Get("Backup Directories", "Short2"),
              *machine->files().shortPathName("C:\\BACKUPS\\12-09-2026(1)") + "\\");
}

TEST_F(BackupSetsTest, NumberNamesFollowTheLastEntry) {
    auto request = Request();
    request.useDate = false;
    EXPECT_EQ(sets->ChooseSetDirectory(request), "C:\\BACKUPS\\1\\");
    EXPECT_EQ(sets->ChooseSetDirectory(request), "C:\\BACKUPS\\2\\");
    request.addConfig = true;
    EXPECT_EQ(sets->ChooseSetDirectory(request), "C:\\BACKUPS\\3 Config 1\\");
    // A name carrying the configuration is no number: counting starts again.
    EXPECT_EQ(sets->ChooseSetDirectory(request), "C:\\BACKUPS\\1 Config 1\\");
}

TEST_F(BackupSetsTest, NamePromptCancelCreatesNothingAndBadNamesAreAskedAgain) {
    auto request = Request();
    request.unattended = false;
    ui.PushAnswer("Cancel");
    EXPECT_EQ(sets->ChooseSetDirectory(request), std::nullopt);
    EXPECT_FALSE(fs::exists(fs::path(Host("C:\\")) / "BACKUPS"));
    EXPECT_TRUE(Entries().empty());

    ui.PushAnswer("bad:name");
    ui.PushAnswer("Monday");
    EXPECT_EQ(sets->ChooseSetDirectory(request), "C:\\BACKUPS\\Monday\\");
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0], std::string(kNameCaption) + ": " + kBadNameText);
    const auto& events = ui.Events();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[0].caption, kNameCaption);
    EXPECT_EQ(events[0].text, kNamePrompt);
}

TEST_F(BackupSetsTest, RotationReplacesTheOldestUnprotectedSet) {
    for (int n = 1; n <= 10; ++n) MakeListedSet(n, "set" + std::to_string(n));
    fs::create_directories(fs::path(Host("C:\\BACKUPS\\set2")) / "sub");
    ui.PushAnswer("Yes");  // delete the subdirectories of set2 as well
    const auto chosen = sets->ChooseSetDirectory(Request());

    EXPECT_FALSE(fs::exists(Host("C:\\BACKUPS") + "/set2"));
    std::vector<std::string> expected = {"C:\\BACKUPS\\set1\\"};
    for (int n = 3; n <= 10; ++n) expected.push_back("C:\\BACKUPS\\set" + std::to_string(n) + "\\");
    expected.push_back(*chosen);
    EXPECT_EQ(Entries(), expected);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].rfind("Delete C:\\BACKUPS\\set2\\?: The C:\\BACKUPS\\set2\\ directory "
                                     "could not be removed.", 0), 0u);
}

TEST_F(BackupSetsTest, MaxNumOneKeepZeroKeepsOnlyTheNewestSet) {
    Set("BackupPreferences", "MaxNum", "1");
    auto request = Request();
    request.maxNum = 1;
    request.keep = 0;
    const auto first = sets->ChooseSetDirectory(request);
    std::ofstream(Host(*first) + "/win.inz") << "x";
    const auto second = sets->ChooseSetDirectory(request);
    EXPECT_EQ(Entries(), std::vector<std::string>{*second});
    EXPECT_FALSE(fs::exists(Host("C:\\BACKUPS") + "/12-09-2026"));

    // Unanswered, the question about subdirectories keeps them; the list moves on all the same.
    fs::create_directories(fs::path(Host(*second)) / "kept");
    const auto third = sets->ChooseSetDirectory(request);
    EXPECT_EQ(Entries(), std::vector<std::string>{*third});
    EXPECT_TRUE(fs::is_directory(fs::path(Host(*second)) / "kept"));
}

TEST_F(BackupSetsTest, ReplaceMovesItsEntryToTheEnd) {
    MakeListedSet(1, "a");
    MakeListedSet(2, "b");
    Set("Backup Directories", "3", "C:\\BACKUPS\\");
    MakeListedSet(4, "d");
    MakeListedSet(5, "e");
    EXPECT_EQ(sets->ChooseSetDirectory(Request(BackupType::Replace)), "C:\\BACKUPS\\");
    EXPECT_EQ(sets->ChooseSetDirectory(Request(BackupType::Replace)), "C:\\BACKUPS\\");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"C:\\BACKUPS\\a\\", "C:\\BACKUPS\\b\\",
                                                   "C:\\BACKUPS\\d\\", "C:\\BACKUPS\\e\\",
                                                   "C:\\BACKUPS\\"}));
}

TEST_F(BackupSetsTest, DisketteTargetsStayOutOfTheList) {
    auto request = Request();
    request.target = "A:\\";
    request.kind = TargetKind::Removable;
    EXPECT_EQ(sets->ChooseSetDirectory(request), "A:\\");
    EXPECT_TRUE(Entries().empty());
}

TEST_F(BackupSetsTest, RefreshDropsLostSetsAndRenumbers) {
    MakeListedSet(1, "a");
    Set("Backup Directories", "2", "C:\\BACKUPS\\gone\\");
    MakeListedSet(3, "c");
    Set("RestorePreferences", "Backup to Restore", "5");
    SetListing shown;
    sets->SetViewsCallback({[&](const SetListing& listing) { shown = listing; }});
    sets->FillList();
    EXPECT_EQ(Entries(), (std::vector<std::string>{"C:\\BACKUPS\\a\\", "C:\\BACKUPS\\c\\"}));
    EXPECT_EQ(Get("Backup Directories", "Short2"), "C:\\BACKUPS\\c\\");
    ASSERT_EQ(shown.rows.size(), 2u);
    EXPECT_EQ(shown.rows[1].name, "c");
    EXPECT_EQ(shown.rows[1].parent, "C:\\BACKUPS\\");
    EXPECT_EQ(shown.firstMenuCaption, "Most Recent Backup");
    EXPECT_EQ(shown.backupToRestore, 0);
    EXPECT_EQ(Get("RestorePreferences", "Backup to Restore"), "0");
    EXPECT_EQ(shown.restoreSourceText, "Brellix Backup - Most Recent Backup");
}

}  // namespace
}  // namespace brx::backup::test
