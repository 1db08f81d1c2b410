#include "ui/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include "disks/Emergency.h"
#include "ui/Extractor.h"
#include "ui/HelpWindow.h"
#include "ui/ProgressWindow.h"

namespace brx::ui {

namespace {

constexpr int kTitleHeight = 30;
constexpr int kColumnWidth = 80;
constexpr int kStatusHeight = 20;
const QColor kTitleRed(176, 16, 16);

// The help topic of each page, for the title bar's help button.
const char* const kPageTopics[] = {"Topic1", "Topic2", "Topic3", "Topic35", "Topic4", "Topic5",
                                   "Topic23"};

}  // namespace

void MainTabBar::SetNoneChosen(bool none)
{
    m_noneChosen = none;
    update();
}

void MainTabBar::paintEvent(QPaintEvent* event)
{
    if (!m_noneChosen) {
        QTabBar::paintEvent(event);
        return;
    }
    // While the introduction page shows, every tab is drawn as not chosen.
    QStylePainter painter(this);
    for (int i = 0; i < count(); ++i) {
        QStyleOptionTab option;
        initStyleOption(&option, i);
        option.state &= ~QStyle::State_Selected;
        option.state &= ~QStyle::State_HasFocus;
        painter.drawControl(QStyle::CE_TabBarTab, option);
    }
}

MainWindow::MainWindow(core::Program& program, MainActions& actions, HelpSystem& help,
                       QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_program(program)
    , m_actions(actions)
    , m_help(help)
{
    const bool nt = program.edition.IsNT();
    setWindowTitle(QString::fromStdString(program.edition.title));
    setObjectName("MainWindow");
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    const int width = nt ? 491 : 483;
    setFixedSize(width, 244);

    auto* title = BuildTitlePanel();
    title->setGeometry(0, 0, width, kTitleHeight);
    auto* column = BuildLeftColumn();
    column->setGeometry(0, kTitleHeight, kColumnWidth, 244 - kTitleHeight - kStatusHeight);

    m_tabs = new MainTabBar(this);
    m_tabs->setObjectName("Tabs");
    m_tabs->setExpanding(false);
    m_tabs->setDrawBase(true);
    m_tabs->setUsesScrollButtons(false);
    // Seven captions share the width beside the column: small type, little padding.
    QFont tabFont = font();
    tabFont.setPixelSize(10);
    m_tabs->setFont(tabFont);
    m_tabs->setStyleSheet(
        "QTabBar::tab { padding: 3px 5px; margin-right: 1px; border: 1px solid #9a9a9a;"
        " border-bottom: none; border-top-left-radius: 3px; border-top-right-radius: 3px;"
        " background: #dcdcdc; }"
        "QTabBar::tab:selected { background: #f4f4f4; }");
    for (const char* caption : {"Backup", "Dazur Edozi", "DorAdur", "Extractor", "Boot Disk"})
        m_tabs->addTab(caption);
    m_tabs->addTab(nt ? "NT Repair" : "Repair");
    m_tabs->addTab("Help");
    m_tabs->setGeometry(kColumnWidth, kTitleHeight + 2, width - kColumnWidth - 2, 22);

    m_pages = new QStackedWidget(this);
    m_pages->setObjectName("Pages");
    m_pages->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    m_pages->setGeometry(kColumnWidth, kTitleHeight + 23, width - kColumnWidth - 2,
                         244 - kTitleHeight - 23 - kStatusHeight - 2);
    for (QWidget* page : {BuildBackupPage(), BuildDazurEdoziPage(), BuildDorAdurPage(),
                          BuildExtractorPage(), BuildBootDiskPage(), BuildRepairPage(),
                          BuildHelpPage(), BuildIntroductionPage()})
        m_pages->addWidget(page);

    m_status = new StatusBar(nt ? 1000 : 100, this);
    m_status->setObjectName("StatusBar");
    m_status->setGeometry(0, 244 - kStatusHeight, width, kStatusHeight);
    connect(m_status, &StatusBar::ScrollingToggled, this,
            [this](bool on) { m_program.settings.marqueeScroll = on; });

    // A click on any tab, the one drawn first included, leaves the introduction page for good.
    connect(m_tabs, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0)
            ShowPage(index);
    });
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
        if (!m_tabs->NoneChosen() || index != 0)
            ShowPage(index);
    });
    BuildTroubleshooterMenu();
    ShowPage(kIntroductionPage);
}

MainWindow::~MainWindow() = default;

QWidget* MainWindow::BuildTitlePanel()
{
    m_titlePanel = new QWidget(this);
    m_titlePanel->setObjectName("TitlePanel");
    m_titlePanel->setAutoFillBackground(true);
    QPalette palette = m_titlePanel->palette();
    palette.setColor(QPalette::Window, kTitleRed);
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::ButtonText, Qt::white);
    m_titlePanel->setPalette(palette);
    m_titlePanel->installEventFilter(this);

    auto* logo = new QLabel(m_titlePanel);
    logo->setObjectName("Logo");
    QFont logoFont = font();
    logoFont.setPixelSize(17);
    logoFont.setBold(true);
    logoFont.setItalic(true);
    logo->setFont(logoFont);
    logo->setText(QString::fromStdString(m_program.edition.title));
    logo->setGeometry(10, 0, 260, kTitleHeight);
    logo->installEventFilter(this);

    struct TitleButton {
        const char* name;
        const char* text;
        const char* hint;
        std::function<void()> action;
    };
    const TitleButton buttons[] = {
        {"HelpButton", "?", "Help", [this] { HelpForPage(); }},
        {"MinimizeButton", "_", "Minimize Brellix", [] { MinimizeApplication(); }},
        {"ExitButton", "X", "Exit Brellix", [this] { close(); }},
    };
    int x = (m_program.edition.IsNT() ? 491 : 483) - 3 * 26 - 4;
    for (const TitleButton& spec : buttons) {
        auto* button = new QToolButton(m_titlePanel);
        button->setObjectName(spec.name);
        button->setText(spec.text);
        button->setToolTip(spec.hint);
        button->setAutoRaise(true);
        QFont bold = font();
        bold.setBold(true);
        bold.setPixelSize(13);
        button->setFont(bold);
        button->setGeometry(x, 4, 24, 22);
        connect(button, &QToolButton::clicked, this, spec.action);
        x += 26;
    }
    return m_titlePanel;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The title panel and its logo move the window, as a title bar would.
    if (event->type() == QEvent::MouseButtonPress && windowHandle()
        && (watched == m_titlePanel || watched->objectName() == "Logo")) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            windowHandle()->startSystemMove();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QWidget* MainWindow::BuildLeftColumn()
{
    auto* column = new QWidget(this);
    struct WizardButton {
        const char* name;
        const char* label;
        QStyle::StandardPixmap icon;
        int top;
    };
    // The wizard is not part of this program yet: its buttons are shown, but disabled.
    for (const WizardButton& spec :
         {WizardButton{"BackupWizardButton", "Backup &Wizard", QStyle::SP_DialogSaveButton, 4},
          WizardButton{"RestoreWizardButton", "Restore Wi&zard", QStyle::SP_BrowserReload, 70}}) {
        auto* button = new QToolButton(column);
        button->setObjectName(spec.name);
        button->setIcon(style()->standardIcon(spec.icon));
        button->setIconSize(QSize(28, 28));
        button->setGeometry(16, spec.top, 48, 40);
        button->setEnabled(false);
        button->setToolTip("The wizard is not available in this version.");
        auto* label = new QLabel(spec.label, column);
        QFont labelFont = font();
        labelFont.setPixelSize(10);
        label->setFont(labelFont);
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(0, spec.top + 40, kColumnWidth, 16);
        label->setBuddy(button);
        label->setEnabled(false);
    }
    auto* exit = new QPushButton("E&xit", column);
    exit->setObjectName("ExitTextButton");
    exit->setGeometry(8, 152, 64, 24);
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    return column;
}

QLabel* MainWindow::Text(QWidget* page, const QString& text, QRect where, bool wrap)
{
    auto* label = new QLabel(text, page);
    label->setWordWrap(wrap);
    label->setGeometry(where);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QPushButton* MainWindow::BigButton(QWidget* page, const QString& caption, const QString& hint,
                                   QRect where, QStyle::StandardPixmap icon)
{
    auto* button = new QPushButton(style()->standardIcon(icon), caption, page);
    button->setIconSize(QSize(24, 24));
    QFont bold = font();
    bold.setBold(true);
    bold.setPixelSize(12);
    button->setFont(bold);
    button->setToolTip(hint);
    button->setGeometry(where);
    return button;
}

QWidget* MainWindow::BuildBackupPage()
{
    auto* page = new QWidget;
    Text(page, "Backs up the files in the checked backup configs below.", {8, 4, 370, 16});
    for (int i = 0; i < core::kConfigurations; ++i) {
        auto* box = new QCheckBox(QString("Config %1").arg(i + 1), page);
        box->setObjectName(QString("ConfigBox%1").arg(i + 1));
        box->setGeometry(12 + (i % 2) * 120, 24 + (i / 2) * 20, 116, 18);
        connect(box, &QCheckBox::toggled, this, [this, i](bool on) {
            if (!m_loading)
                m_program.settings.configTicks[i] = on;
        });
        m_configBoxes[i] = box;
    }
    auto* backup = BigButton(page, "&Backup", "Click Here to Backup the Windows Configuration",
                             {258, 24, 118, 40}, QStyle::SP_DialogSaveButton);
    backup->setObjectName("BackupButton");
    connect(backup, &QPushButton::clicked, this, [this] { Backup(); });
    Text(page, "Click on the Change Backup Properties button to setup and change the Configs.",
         {8, 72, 370, 30});
    auto* properties = new QPushButton("&Change Backup Properties", page);
    properties->setObjectName("ChangePropertiesButton");
    properties->setToolTip("Change Method of Backup, Target, Compress, and Which Registry");
    properties->setGeometry(90, 108, 200, 26);
    // The preferences dialog is not part of this program yet.
    properties->setEnabled(false);
    return page;
}

QWidget* MainWindow::BuildDazurEdoziPage()
{
    auto* page = new QWidget;
    auto* sourceLabel = Text(
        page, "&1. Choose Backup to Restore (to see a list of available backups, click on an item):",
        {8, 2, 376, 28});
    m_restoreSource = new QComboBox(page);
    m_restoreSource->setObjectName("RestoreSource");
    m_restoreSource->addItems({"Spare Registry", "Brellix Backups", "Diskette", "Repair Registry"});
    m_restoreSource->setGeometry(8, 30, 240, 22);
    sourceLabel->setBuddy(m_restoreSource);
    QLabel* extentLabel = Text(page, "&2. Select Extent to Restore:", {8, 56, 240, 16});
    m_winCrash = new QCheckBox("&Windows Crash (Registry)", page);
    m_winCrash->setObjectName("WinCrash");
    m_winCrash->setGeometry(12, 72, 236, 18);
    extentLabel->setBuddy(m_winCrash);
    m_winUsers = new QCheckBox("&Another Type of Crash (WinConfig)", page);
    m_winUsers->setObjectName("WinUsers");
    m_winUsers->setGeometry(12, 90, 236, 18);
    m_userFiles = new QCheckBox("&Lost User Data (User Profile)", page);
    m_userFiles->setObjectName("UserFiles");
    m_userFiles->setGeometry(12, 108, 236, 18);
    auto* restore = BigButton(page, "&3. Restore", "Click Here to Restore Windows.",
                              {258, 56, 118, 40}, QStyle::SP_BrowserReload);
    restore->setObjectName("RestoreButton");
    m_restartLabel = Text(page, "Windows will Restart", {262, 100, 118, 16}, false);
    m_restartLabel->setObjectName("RestartLabel");
    m_backupList = new QMenu(this);
    m_backupList->setObjectName("BackupListMenu");
    connect(m_restoreSource, &QComboBox::activated, this, &MainWindow::ChooseRestoreSource);
    connect(restore, &QPushButton::clicked, this, &MainWindow::StartRestore);
    connect(m_winCrash, &QCheckBox::clicked, this, [this](bool on) { ClickExtent(0, on); });
    connect(m_winUsers, &QCheckBox::clicked, this, [this](bool on) { ClickExtent(1, on); });
    connect(m_userFiles, &QCheckBox::clicked, this, [this](bool on) { ClickExtent(2, on); });
    return page;
}

QWidget* MainWindow::BuildDorAdurPage()
{
    auto* page = new QWidget;
    Text(page,
         "DorAdur rebuilds the registry removing useless blanks, reordering the entries, and "
         "giving you a smaller and better running Registry.",
         {8, 4, 376, 44});
    Text(page, "If you have an error in the Registry this may correct it.", {8, 50, 376, 16});
    auto* dorAdur = BigButton(page, "&DorAdur", "Click Here to Clean up and Rebuild the Registry",
                              {40, 76, 130, 44}, QStyle::SP_BrowserReload);
    dorAdur->setObjectName("DorAdurButton");
    m_undoDorAdur = new QPushButton("&Undo DorAdur", page);
    m_undoDorAdur->setObjectName("UndoDorAdurButton");
    m_undoDorAdur->setToolTip("Undo last DorAdur");
    m_undoDorAdur->setGeometry(210, 84, 130, 28);
    connect(dorAdur, &QPushButton::clicked, this, [this] { Guarded([this] { m_actions.DorAdur(); }); });
    connect(m_undoDorAdur, &QPushButton::clicked, this,
            [this] { Guarded([this] { m_actions.UndoDorAdur(); }); });
    return page;
}

QWidget* MainWindow::BuildExtractorPage()
{
    auto* page = new QWidget;
    Text(page, "Use the Extractor to select files and extract them from a compressed Brellix Backup.",
         {8, 2, 376, 28});
    Text(page,
         "Dazur Edozi extracts all files in a category whereas the Extractor allows you to open "
         "up a Backup file and choose which files to extract.",
         {8, 32, 376, 42});
    Text(page, "Click on the big Extractor button to open the Extractor dialog box.",
         {8, 76, 376, 16});
    auto* extractor = BigButton(
        page, "&Extractor",
        "Click here to see the contents of a backup file and extract individual files from it.",
        {128, 98, 130, 40}, QStyle::SP_DirOpenIcon);
    extractor->setObjectName("ExtractorButton");
    connect(extractor, &QPushButton::clicked, this, [this] { ExtractorDialog().exec(); });
    return page;
}

QWidget* MainWindow::BuildBootDiskPage()
{
    auto* page = new QWidget;
    const bool nt = m_program.edition.IsNT();
    QLabel* heading = Text(page, nt ? "Reformats and Makes a Boot Disk."
                                    : "Reformats and Makes a Boot Disk and ERD.",
                           {8, 2, 376, 16});
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    QString text = QString("If the computer does not get to the first screen that lets you choose "
                           "between %1 and another operating system (like, Win95 or DOS) when "
                           "starting, insert this bootup diskette and restart the computer.")
                       .arg(nt ? "WinNT" : "Win2000");
    if (!nt)
        text += "  This diskette can also be used as an Emergency Repair Disk (ERD).";
    Text(page, text, {8, 20, 376, 72});
    auto* bootDisk = BigButton(page, "&Boot Disk", "Click Here to Make a Brellix Bootup Diskette.",
                               {128, 96, 130, 40}, QStyle::SP_DriveFDIcon);
    bootDisk->setObjectName("BootDiskButton");
    connect(bootDisk, &QPushButton::clicked, this,
            [this] { Guarded([this] { m_actions.MakeBootDisk(); }); });
    return page;
}

QWidget* MainWindow::BuildRepairPage()
{
    auto* page = new QWidget;
    const bool nt = m_program.edition.IsNT();
    auto* setup = BigButton(page, "&Setup Disks", "Click Here to Make a Brellix Bootup Diskette.",
                            {8, 0, 120, 36}, QStyle::SP_DriveFDIcon);
    setup->setObjectName("SetupDisksButton");
    connect(setup, &QPushButton::clicked, this,
            [this] { Guarded([this] { disks::MakeSetupDisks(m_program); }); });
    if (!nt) {
        setup->move(8, 44);
        Text(page, "Creates the 4 Win2000 Setup diskettes", {8, 4, 376, 16});
        Text(page,
             "To use this option you must have the Win2000 CD and four empty, formatted, 1.44mb "
             "diskettes.",
             {8, 20, 376, 24});
        auto* troubleshooters = new QPushButton("Windows Troubleshooters (click for list)", page);
        troubleshooters->setObjectName("TroubleshootersButton");
        troubleshooters->setToolTip("Click Here for a list of Windows Troubleshooters");
        troubleshooters->setGeometry(8, 100, 372, 26);
        connect(troubleshooters, &QPushButton::clicked, this,
                [this, troubleshooters] { ShowTroubleshooterMenu(troubleshooters); });
        return page;
    }
    setup->move(256, 6);
    Text(page, "Creates the 3 WinNT Setup diskettes", {8, 2, 244, 16});
    Text(page,
         "To use this option you must have the WinNT CD and three empty, formatted, 1.44mb "
         "diskettes.",
         {8, 18, 244, 44});
    Text(page, "Updates Repair directory and makes Repair disk.", {8, 66, 244, 30});
    Text(page,
         "After starting the computer with the 3 setup disks, this diskette or directory can be "
         "used to repair the registry.",
         {8, 98, 244, 60});
    auto* repair = BigButton(page, "&Repair Disk", "Click Here to Make a Brellix Bootup Diskette.",
                             {256, 80, 120, 36}, QStyle::SP_DriveFDIcon);
    repair->setObjectName("RepairDiskButton");
    connect(repair, &QPushButton::clicked, this,
            [this] { Guarded([this] { disks::MakeRepairDisk(m_program); }); });
    return page;
}

QWidget* MainWindow::BuildHelpPage()
{
    auto* page = new QWidget;
    const bool nt = m_program.edition.IsNT();
    auto* help = BigButton(page, "&Help", "Click Here to go to Help.", {8, 8, 110, 40},
                           QStyle::SP_DialogHelpButton);
    help->setObjectName("HelpContentsButton");
    connect(help, &QPushButton::clicked, this,
            [this] { m_help.ShowContents(m_program.paths.helpFile); });
    auto* preferences = new QPushButton("&Preferences, Settings, Backup Manager", page);
    preferences->setObjectName("PreferencesButton");
    preferences->setToolTip("Show and change settings.");
    preferences->setGeometry(128, 8, 252, 24);
    // The preferences dialog is not part of this program yet.
    preferences->setEnabled(false);
    auto* tutorial = new QPushButton(
        nt ? "&Quick Tutorial to Brellix NT" : "&Quick Tutorial to Brellix 2000", page);
    tutorial->setObjectName("TutorialButton");
    tutorial->setToolTip("Step-by-step instructions for using Brellix.");
    tutorial->setGeometry(128, 38, 252, 24);
    connect(tutorial, &QPushButton::clicked, this, [this] {
        m_help.ShowTopic(m_program.paths.helpFile + ">tutorial", "Topic23");
    });
    if (nt) {
        auto* troubleshooters = new QPushButton("Windows &Troubleshooters (click for list)", page);
        troubleshooters->setObjectName("TroubleshootersButton");
        troubleshooters->setToolTip("Click Here for a list of Windows Troubleshooters");
        troubleshooters->setGeometry(8, 100, 372, 26);
        connect(troubleshooters, &QPushButton::clicked, this,
                [this, troubleshooters] { ShowTroubleshooterMenu(troubleshooters); });
    }
    return page;
}

QWidget* MainWindow::BuildIntroductionPage()
{
    auto* page = new QWidget;
    auto* heading = new QLabel("4 Utilities in 1", page);
    heading->setObjectName("IntroductionHeading");
    QFont big = font();
    big.setPixelSize(20);
    big.setBold(true);
    heading->setFont(big);
    QPalette red = heading->palette();
    red.setColor(QPalette::WindowText, QColor(200, 0, 0));
    heading->setPalette(red);
    heading->setAlignment(Qt::AlignCenter);
    heading->setGeometry(0, 2, 386, 26);
    struct Blurb {
        const char* head;
        const char* text;
    };
    const Blurb blurbs[] = {
        {"Dazur Edozi", "restores from a Windows Crash in minutes"},
        {"DorAdur", "without the DorAdur process your Registry will never get smaller."},
        {"Troubleshooters", "help for Windows problems (see Repair tab)"},
        {"Backup", "compress important files for later extraction."},
    };
    int y = 32;
    for (const Blurb& blurb : blurbs) {
        auto* head = new QLabel(blurb.head, page);
        QFont bold = font();
        bold.setBold(true);
        head->setFont(bold);
        head->setGeometry(10, y, 110, 28);
        head->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        Text(page, blurb.text, {124, y, 262, 28});
        y += 28;
    }
    return page;
}

void MainWindow::BuildTroubleshooterMenu()
{
    m_troubleshooters = new QMenu(this);
    m_troubleshooters->setObjectName("TroubleshooterMenu");
    const auto& list = disks::Troubleshooters(m_program.edition);
    for (int i = 0; i < static_cast<int>(list.size()); ++i) {
        QAction* item = m_troubleshooters->addAction(QString::fromStdString(list[i].caption));
        connect(item, &QAction::triggered, this,
                [this, i] { Guarded([this, i] { m_actions.OpenTroubleshooter(i); }); });
    }
}

void MainWindow::ShowTroubleshooterMenu(QPushButton* button)
{
    m_troubleshooters->popup(button->mapToGlobal(QPoint(0, 28)));
}

Extractor& MainWindow::ExtractorDialog()
{
    if (!m_extractor)
        m_extractor = std::make_unique<Extractor>(m_program, &m_help, this);
        m_extractor->onReadingMedium = [this](bool removable) { m_actions.PrepareReading(removable); };
    return *m_extractor;
}

void MainWindow::LoadFromProgram()
{
    m_loading = true;
    const core::SettingsModel& settings = m_program.settings;
    for (int i = 0; i < core::kConfigurations; ++i) {
        m_configBoxes[i]->setText(QString::fromStdString(settings.configNames[i]));
        m_configBoxes[i]->setChecked(settings.configTicks[i]);
        // Configurations 2 to 4 can be ticked only once they have a target.
        m_configBoxes[i]->setEnabled(i == 0 || settings.configDefined[i]);
    }
    m_status->SetScrolling(settings.marqueeScroll);
    m_undoDorAdur->setEnabled(m_program.facts.undoDorAdur);
    m_loading = false;
    RefreshRestorePage();
}

void MainWindow::RefreshMarquee()
{
    std::string text;
    Guarded([&] { text = m_actions.MarqueeText(); });
    m_status->SetText(QString::fromStdString(text));
}

void MainWindow::ShowPage(int page)
{
    if (page == kIntroductionPage) {
        m_tabs->SetNoneChosen(true);
    } else {
        m_tabs->SetNoneChosen(false);
        if (m_tabs->currentIndex() != page) {
            const QSignalBlocker block(m_tabs);
            m_tabs->setCurrentIndex(page);
        }
    }
    m_pages->setCurrentIndex(page);
}

int MainWindow::CurrentPage() const
{
    return m_pages->currentIndex();
}

void MainWindow::Backup()
{
    bool close = false;
    Guarded([&] { close = m_actions.BackupTicked(); });
    LoadFromProgram();
    if (close)
        this->close();
}

void MainWindow::HelpForPage()
{
    const int page = CurrentPage();
    if (page < 0 || page >= kIntroductionPage)
        return;
    m_help.ShowTopic(m_program.paths.helpFile, kPageTopics[page]);
}

int MainWindow::HelpContext() const
{
    switch (CurrentPage()) {
    case kDazurEdoziPage: return 3;
    case kBootDiskPage: return 14;
    case kDorAdurPage: return m_program.edition.IsNT() ? 2 : 1;
    default: return 1;
    }
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        m_help.ShowContext(m_program.paths.helpFile, HelpContext());
        return;
    }
    QWidget::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    Guarded([this] {
        if (onClosing)
            onClosing();
    });
    QCoreApplication::quit();
    event->accept();
}

void MainWindow::Guarded(const std::function<void()>& action)
{
    // No error may leave a button's handler: it ends the action and reaches the error display.
    try {
        action();
    } catch (const std::exception& error) {
        m_program.ui.ShowError(m_program.edition.title, error.what());
    }
}

}  // namespace brx::ui
