#include "ui/Extractor.h"

#include <QApplication>
#include <QStyle>

#include "core/Settings.h"
#include "ui/HelpWindow.h"
#include "zip/ZipEngine.h"

namespace brx::ui {

namespace {

constexpr const char* kToIndex = "ToIndex";
constexpr const char* kToDir = "ToDir";
constexpr const char* kRecurseDir = "RecurseDir";

QString DriveKindName(platform::DriveType type, char letter)
{
    switch (type) {
    case platform::DriveType::Removable:
        return letter <= 'B' ? QString::fromUtf8("3\u00bd Floppy") : QString("Removable Disk");
    case platform::DriveType::CdRom: return "CD Drive";
    case platform::DriveType::Remote: return "Network Drive";
    case platform::DriveType::RamDisk: return "RAM Disk";
    default: return "Local Disk";
    }
}

QIcon DriveIcon(platform::DriveType type, const QStyle& style)
{
    switch (type) {
    case platform::DriveType::Removable: return style.standardIcon(QStyle::SP_DriveFDIcon);
    case platform::DriveType::CdRom: return style.standardIcon(QStyle::SP_DriveCDIcon);
    case platform::DriveType::Remote: return style.standardIcon(QStyle::SP_DriveNetIcon);
    default: return style.standardIcon(QStyle::SP_DriveHDIcon);
    }
}

}  // namespace

std::vector<TickTree::DriveNode> DriveNodes(platform::Files& files, const QStyle& style)
{
    std::vector<TickTree::DriveNode> nodes;
    for (char letter : files.logicalDrives()) {
        const std::string root = std::string(1, letter) + ":\\";
        const auto type = files.driveType(root);
        if (type == platform::DriveType::NoRootDir || type == platform::DriveType::Unknown)
            continue;
        // Removable drives without media have no label to ask for.
        const bool ready = type != platform::DriveType::Removable || files.driveReady(root);
        QString label = ready ? QString::fromStdString(files.volumeLabel(root)) : QString();
        if (label.isEmpty())
            label = DriveKindName(type, letter);
        nodes.push_back({label + " (" + QChar(letter) + ":)", DriveIcon(type, style)});
    }
    return nodes;
}

Extractor::Extractor(core::Program& program, HelpSystem* help, QWidget* parent)
    : QDialog(parent), m_program(program), m_help(help)
{
    BuildControls();
}

void Extractor::BuildControls()
{
    setWindowTitle(kExtractorTitle);
    setFixedSize(520, 468);
    m_intro = new QLabel(
        "Choose a Backup File.  The contents of the Backup File will be shown.  Check the files "
        "that you want to extract.  Specify where you want them extracted to.  Then press the "
        "Extract button.",
        this);
    m_intro->setWordWrap(true);
    m_intro->setAlignment(Qt::AlignCenter);
    m_intro->setGeometry(12, 8, 496, 52);

    auto* archiveLabel = new QLabel("&Backup File:", this);
    archiveLabel->setGeometry(12, 66, 100, 20);
    m_archive = new QLineEdit(this);
    m_archive->setReadOnly(true);
    m_archive->setGeometry(12, 86, 460, 24);
    archiveLabel->setBuddy(m_archive);
    m_browse = new QPushButton("...", this);
    m_browse->setGeometry(476, 86, 32, 24);

    auto* contentsLabel = new QLabel("&Contents of Backup File", this);
    contentsLabel->setGeometry(12, 116, 200, 20);
    m_tree = new TickTree(this);
    m_tree->setGeometry(12, 136, 370, 244);
    contentsLabel->setBuddy(m_tree);
    m_checkAll = new QPushButton("Check &All Files", this);
    m_checkAll->setGeometry(390, 136, 118, 28);
    m_uncheckAll = new QPushButton("&Uncheck All Files", this);
    m_uncheckAll->setGeometry(390, 170, 118, 28);
    m_status = new QLabel(kNoFilesInBackup, this);
    m_status->setGeometry(12, 384, 370, 20);

    auto* toLabel = new QLabel("Ex&tract to:", this);
    toLabel->setGeometry(12, 410, 80, 24);
    m_destination = new QComboBox(this);
    m_destination->addItems({"Original Location", "Temporary Directory", "Specify Location..."});
    m_destination->setGeometry(90, 410, 292, 24);
    toLabel->setBuddy(m_destination);
    m_recurse = new QCheckBox("&Recurse Directories", this);
    m_recurse->setGeometry(90, 438, 292, 24);

    m_helpButton = new QPushButton("&Help", this);
    m_helpButton->setGeometry(390, 336, 118, 28);
    m_extract = new QPushButton("&Extract", this);
    m_extract->setGeometry(390, 404, 118, 28);
    m_exit = new QPushButton("E&xit", this);
    m_exit->setGeometry(390, 436, 118, 28);
    for (QPushButton* button : {m_browse, m_checkAll, m_uncheckAll, m_helpButton, m_extract, m_exit})
        button->setAutoDefault(false);

    connect(m_browse, &QPushButton::clicked, this, &Extractor::ChooseArchive);
    connect(m_checkAll, &QPushButton::clicked, this, [this] { m_tree->SetAllTicked(true); });
    connect(m_uncheckAll, &QPushButton::clicked, this, [this] { m_tree->SetAllTicked(false); });
    connect(m_extract, &QPushButton::clicked, this, &Extractor::ExtractTicked);
    connect(m_exit, &QPushButton::clicked, this, &Extractor::Leave);
    connect(m_helpButton, &QPushButton::clicked, this, [this] {
        if (m_help)
            m_help->ShowTopic(m_program.paths.helpFile, "Topic11");
    });
    connect(m_destination, &QComboBox::currentIndexChanged, this, &Extractor::DestinationChanged);
}

void Extractor::showEvent(QShowEvent* event)
{
    ResetForShowing();
    QDialog::showEvent(event);
}

void Extractor::ResetTree()
{
    m_tree->Reset(DriveNodes(m_program.platform.files(), *style()),
                  style()->standardIcon(QStyle::SP_DriveHDIcon));
}

void Extractor::EnableFileButtons(bool enabled)
{
    m_checkAll->setEnabled(enabled);
    m_uncheckAll->setEnabled(enabled);
    m_extract->setEnabled(enabled);
}

void Extractor::ResetForShowing()
{
    ResetTree();
    EnableFileButtons(false);
    m_archive->clear();
    m_status->setText(kNoFilesInBackup);
    core::SettingsFile& settings = m_program.Settings().File();
    const std::string folder = settings.ReadString(core::section::kExtractFiles, kToDir, "");
    m_changingDestination = true;
    if (!folder.empty())
        SetChosenFolder(QString::fromStdString(folder));
    const int index = settings.ReadInteger(core::section::kExtractFiles, kToIndex, 0);
    m_destination->setCurrentIndex(index >= 0 && index < m_destination->count() ? index : 0);
    m_recurse->setChecked(settings.ReadBool(core::section::kExtractFiles, kRecurseDir, true));
    m_changingDestination = false;
    UpdateRecurse();
}

void Extractor::SetChosenFolder(const QString& folder)
{
    if (m_destination->count() > kChosenFolder)
        m_destination->setItemText(kChosenFolder, folder);
    else
        m_destination->addItem(folder);
}

void Extractor::UpdateRecurse()
{
    // Back to the original place always means back into the original folders.
    const bool original = m_destination->currentIndex() == kOriginalLocation;
    m_recurse->setEnabled(!original);
    if (original)
        m_recurse->setChecked(true);
}

void Extractor::DestinationChanged(int index)
{
    if (m_changingDestination)
        return;
    if (index == kSpecifyLocation) {
        if (auto chosen = m_program.ui.ChooseDirectory("Find the Directory to Extract to.",
                                                       m_lastFolder))
            m_lastFolder = *chosen;
        if (!m_lastFolder.empty()) {
            std::string folder = m_lastFolder;
            if (folder.back() != '\\')
                folder += '\\';
            m_changingDestination = true;
            SetChosenFolder(QString::fromStdString(folder));
            m_destination->setCurrentIndex(kChosenFolder);
            m_changingDestination = false;
        }
    }
    UpdateRecurse();
}

void Extractor::SetReadingMedium(const std::string& path)
{
    m_program.run.backupDirection = false;
    const bool removable =
        m_program.platform.files().driveType(path.substr(0, 3)) == platform::DriveType::Removable;
    if (onReadingMedium)
        onReadingMedium(removable);
}

void Extractor::ShowError(const std::string& text)
{
    m_program.ui.ShowError(m_program.edition.title, text);
}

void Extractor::ChooseArchive()
{
    const auto chosen = m_program.ui.ChooseOpenFile(
        "Select a Brellix Backup File",
        "Brellix Backup Files|*.zip;*.??z;*.001;*.002;*.003;*.004;*.005;*.006|All Files|*.*",
        m_program.settings.config.target, "");
    if (chosen)
        OpenArchive(*chosen);
}

void Extractor::OpenArchive(const std::string& path)
{
    m_archive->setText(QString::fromStdString(path));
    core::BusyCursor busy(m_program.ui);
    m_status->setText("Reading Zip File");
    ResetTree();
    EnableFileButtons(false);
    SetReadingMedium(path);
    zip::ZipEngine& engine = *m_program.Zip();
    try {
        engine.SetZipName(path);
        engine.FilesList.clear();
        engine.ReadDirectory();
        m_status->setText(kNoFilesInBackup);
        const int count = engine.EntryCount();
        for (int i = 0; i < count; ++i) {
            const QString stored = QString::fromStdString(engine.EntryPathName(i)).trimmed()
                                   + QString::fromStdString(engine.EntryFileName(i)).trimmed();
            if (m_tree->AddPath(stored) == TickTree::Added::NoDriveNode)
                m_program.ui.Inform(m_program.edition.title, kNotAValidBackup);
            m_status->setText(QString("%1 of %2 Files in Backup File").arg(i + 1).arg(count));
            m_status->repaint();
        }
    } catch (const std::exception& error) {
        ResetTree();
        EnableFileButtons(false);
        ShowError(error.what());
        return;
    }
    EnableFileButtons(m_status->text() != kNoFilesInBackup);
    m_tree->ExpandTopLevel();
}

std::string Extractor::DestinationDirectory()
{
    switch (m_destination->currentIndex()) {
    case kOriginalLocation: return {};
    case kTemporaryDirectory: {
        const std::string temp = m_program.paths.programPath.substr(0, 3) + "Temp";
        auto& files = m_program.platform.files();
        for (std::size_t at = temp.find('\\', 3); ; at = temp.find('\\', at + 1)) {
            const std::string partial = at == std::string::npos ? temp : temp.substr(0, at);
            if (!files.isDirectory(partial))
                files.createDirectory(partial);
            if (at == std::string::npos)
                break;
        }
        return temp;
    }
    default: return m_destination->currentText().toStdString();
    }
}

int Extractor::ExtractTicked()
{
    if (m_archive->text().isEmpty())
        return 0;
    const std::string archive = m_archive->text().toStdString();
    int extracted = 0;
    {
        core::BusyCursor busy(m_program.ui);
        SetReadingMedium(archive);
        m_status->setText("Extracting - Please Wait");
        zip::ZipEngine& engine = *m_program.Zip();
        try {
            engine.FilesList.clear();
            engine.SetZipName(archive);
            for (const QString& path : m_tree->TickedPaths())
                engine.FilesList.push_back(path.toStdString());
            engine.RecreateDirs = m_recurse->isChecked();
            engine.DoAll = false;
            engine.SetDestDir(DestinationDirectory());
            engine.Password = m_program.settings.password;
            extracted = engine.ExtractEntries();
            m_status->setText("Extraction Finished");
        } catch (const std::exception& error) {
            m_program.ui.Inform(m_program.edition.title, "0 Files Extracted.");
            ShowError(error.what());
            return 0;
        }
    }
    m_program.ui.Inform(m_program.edition.title,
                        std::to_string(extracted) + " Files Extracted.");
    return extracted;
}

void Extractor::Leave()
{
    core::SettingsFile& settings = m_program.Settings().File();
    settings.WriteInteger(core::section::kExtractFiles, kToIndex, m_destination->currentIndex());
    if (m_destination->count() > kChosenFolder)
        settings.WriteString(core::section::kExtractFiles, kToDir,
                             m_destination->itemText(kChosenFolder).toStdString());
    settings.WriteBool(core::section::kExtractFiles, kRecurseDir, m_recurse->isChecked());
    accept();
}

void Extractor::reject()
{
    // Escape is the Exit button; only the title bar's close leaves without saving.
    if (m_closingByTitleBar)
        QDialog::reject();
    else
        Leave();
}

void Extractor::closeEvent(QCloseEvent* event)
{
    m_closingByTitleBar = true;
    QDialog::closeEvent(event);
    m_closingByTitleBar = false;
}

}  // namespace brx::ui
