// The main window: a frameless window with a red title panel to drag it by, a column with the
// wizard buttons, seven tabs over the program's operations plus the introduction page shown at
// start, and the status bar with its marquee.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "core/Program.h"
#include "ui/Marquee.h"

namespace brx::restore {
class RestorePage;
}

namespace brx::ui {

class HelpSystem;
class Extractor;

// The operations behind the main window's buttons; the application wires in the real runs.
class MainActions {
public:
    virtual ~MainActions() = default;
    // The Backup button: every ticked configuration; true when the program should end now.
    virtual bool BackupTicked() = 0;
    virtual void DorAdur() = 0;
    virtual void UndoDorAdur() = 0;
    virtual void MakeBootDisk() = 0;
    virtual void OpenTroubleshooter(int item) = 0;
    // The marquee's text, built afresh.
    virtual std::string MarqueeText() = 0;
    // An archive is about to be read (Extractor): the disk prompts and the handling of an
    // archive without its end record get ready, for a removable medium or not.
    virtual void PrepareReading(bool removable) = 0;
    // The Dazur Edozi page's model; null while restoring is not available.
    virtual restore::RestorePage* RestorePage() = 0;
};

// A tab bar that can show no tab as chosen: at start the introduction page is showing.
class MainTabBar : public QTabBar {
    Q_OBJECT
public:
    using QTabBar::QTabBar;
    void SetNoneChosen(bool none);
    bool NoneChosen() const { return m_noneChosen; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    bool m_noneChosen = false;
};

class MainWindow : public QWidget {
    Q_OBJECT
public:
    enum Page { kBackupPage, kDazurEdoziPage, kDorAdurPage, kExtractorPage, kBootDiskPage,
                kRepairPage, kHelpPage, kIntroductionPage };

    MainWindow(core::Program& program, MainActions& actions, HelpSystem& help,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Called when the window closes, before it goes: the settings are saved there.
    std::function<void()> onClosing;

    // Controls the model to the window: captions, ticks, enabled states, marquee state.
    void LoadFromProgram();
    void RefreshMarquee();
    void RefreshRestorePage();
    void ShowPage(int page);
    int CurrentPage() const;

    StatusBar* Status() const { return m_status; }
    QTabBar* Tabs() const { return m_tabs; }
    Extractor& ExtractorDialog();

    // Actions behind the buttons (tests call them, buttons click them).
    void Backup();
    void HelpForPage();
    void ShowTroubleshooterMenu(QPushButton* button);
    QMenu* TroubleshooterMenu() const { return m_troubleshooters; }
    // The help context of a page for F1.
    int HelpContext() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildTitlePanel();
    QWidget* BuildLeftColumn();
    QWidget* BuildBackupPage();
    QWidget* BuildDazurEdoziPage();
    QWidget* BuildDorAdurPage();
    QWidget* BuildExtractorPage();
    QWidget* BuildBootDiskPage();
    QWidget* BuildRepairPage();
    QWidget* BuildHelpPage();
    QWidget* BuildIntroductionPage();
    QLabel* Text(QWidget* page, const QString& text, QRect where, bool wrap = true);
    QPushButton* BigButton(QWidget* page, const QString& caption, const QString& hint,
                           QRect where, QStyle::StandardPixmap icon);
    void BuildTroubleshooterMenu();
    void ChooseRestoreSource(int index);
    void ChooseBackupFromList(int index);
    void StartRestore();
    void ClickExtent(int extent, bool checked);  // 0 registry, 1 WinConfig, 2 profile
    void Guarded(const std::function<void()>& action);

    core::Program& m_program;
    MainActions& m_actions;
    HelpSystem& m_help;
    MainTabBar* m_tabs = nullptr;
    QStackedWidget* m_pages = nullptr;
    StatusBar* m_status = nullptr;
    std::array<QCheckBox*, core::kConfigurations> m_configBoxes{};
    QComboBox* m_restoreSource = nullptr;
    QCheckBox* m_winCrash = nullptr;
    QCheckBox* m_winUsers = nullptr;
    QCheckBox* m_userFiles = nullptr;
    QLabel* m_restartLabel = nullptr;
    QMenu* m_backupList = nullptr;
    QPushButton* m_undoDorAdur = nullptr;
    QMenu* m_troubleshooters = nullptr;
    QWidget* m_titlePanel = nullptr;
    std::unique_ptr<Extractor> m_extractor;
    bool m_loading = false;
};

}  // namespace brx::ui
