#include "ui/HelpWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>
#include <QVBoxLayout>
#include <mspack.h>

namespace brx::ui {

HelpBrowser::HelpBrowser(QString helpDirectory, HelpEdition edition, QWidget* parent)
    : QTextBrowser(parent), m_helpDirectory(std::move(helpDirectory)), m_edition(edition)
{
    setOpenExternalLinks(false);
    setSearchPaths({m_helpDirectory});
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name)
{
    if (type != QTextDocument::HtmlResource || !name.isLocalFile()
        || !name.toLocalFile().startsWith(m_helpDirectory))
        return QTextBrowser::loadResource(type, name);
    QFile file(name.toLocalFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromStdString(ExpandHelpText(file.readAll().toStdString(), m_edition));
}

HelpWindow::HelpWindow(QString helpDirectory, HelpEdition edition, QString title, QWidget* parent)
    : QWidget(parent, Qt::Window), m_browser(new HelpBrowser(helpDirectory, edition, this))
{
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(560, 480);
}

void HelpWindow::ShowPage(const QString& page)
{
    m_browser->setSource(QUrl::fromLocalFile(QDir(m_browser->searchPaths().value(0)).filePath(page)));
    show();
    raise();
    activateWindow();
}

void HelpWindow::ShowExternal(const QString& hostFile, const QString& title)
{
    setWindowTitle(title);
    m_browser->setSource(QUrl::fromLocalFile(hostFile));
    show();
    raise();
}

QString HelpWindow::CurrentPage() const
{
    return QFileInfo(m_browser->source().toLocalFile()).fileName();
}

HelpSystem::HelpSystem(QString helpDirectory) : m_helpDirectory(std::move(helpDirectory)) {}

HelpSystem::~HelpSystem() = default;

QString HelpSystem::DefaultHelpDirectory()
{
    const QString fromEnvironment = qEnvironmentVariable("BRELLIX_HELP");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    if (QCoreApplication::instance()) {
        const QString besideProgram = QCoreApplication::applicationDirPath() + "/help";
        if (QFileInfo::exists(besideProgram + "/index.html"))
            return besideProgram;
    }
    return QStringLiteral(BRX_HELP_SOURCE_DIR);
}

HelpWindow& HelpSystem::WindowFor(const HelpPage& page)
{
    // A window shows one edition's wording; a request for the other edition makes a new one.
    const QString product = page.edition == HelpEdition::NT ? "Brellix NT" : "Brellix 2000";
    auto& slot = page.tutorialWindow ? m_tutorial : m_main;
    if (!slot || m_edition != page.edition) {
        m_edition = page.edition;
        m_main.reset();
        m_tutorial.reset();
        auto& fresh = page.tutorialWindow ? m_tutorial : m_main;
        fresh = std::make_unique<HelpWindow>(
            m_helpDirectory, page.edition,
            page.tutorialWindow ? "Quick Tutorial to " + product : product + " Help");
        return *fresh;
    }
    return *slot;
}

bool HelpSystem::ShowContents(const std::string& helpFile)
{
    return ShowTopic(helpFile, "");
}

bool HelpSystem::ShowTopic(const std::string& helpFile, const std::string& topic)
{
    const auto page = ResolveHelpFile(helpFile);
    const auto file = PageForTopic(topic);
    if (!page || !file)
        return false;
    HelpWindow& window = WindowFor(*page);
    const QString path = QDir(m_helpDirectory).filePath(QString::fromStdString(*file));
    window.ShowPage(QFileInfo::exists(path) ? QString::fromStdString(*file) : "index.html");
    return true;
}

bool HelpSystem::ShowContext(const std::string& helpFile, int context)
{
    const auto topic = TopicForContext(context);
    return ShowTopic(helpFile, topic.value_or(""));
}

namespace {

struct ChmCloser {
    mschm_decompressor* decompressor;
    mschmd_header* header;
    ~ChmCloser()
    {
        if (header)
            decompressor->close(decompressor, header);
        mspack_destroy_chm_decompressor(decompressor);
    }
};

}  // namespace

bool HelpSystem::ShowCompiledPage(const std::string& hostChm, const std::string& page)
{
    mschm_decompressor* decompressor = mspack_create_chm_decompressor(nullptr);
    if (!decompressor)
        return false;
    ChmCloser chm{decompressor, decompressor->open(decompressor, hostChm.c_str())};
    if (!chm.header)
        return false;
    const QString wanted = "/" + QString::fromStdString(page);
    for (mschmd_file* file = chm.header->files; file; file = file->next) {
        if (QString::fromUtf8(file->filename).compare(wanted, Qt::CaseInsensitive) != 0)
            continue;
        static QTemporaryDir pages;
        const QString target = pages.filePath(QFileInfo(wanted).fileName());
        if (decompressor->extract(decompressor, file, QFile::encodeName(target).constData())
            != MSPACK_ERR_OK)
            return false;
        if (!m_troubleshooter)
            m_troubleshooter = std::make_unique<HelpWindow>(m_helpDirectory, m_edition, "");
        m_troubleshooter->ShowExternal(target, "Windows Troubleshooter");
        return true;
    }
    return false;
}

}  // namespace brx::ui
