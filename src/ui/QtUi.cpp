#include "ui/QtUi.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace brx::ui {

using core::Answer;
using core::MessageButtons;
using core::MessageIcon;

namespace {

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

QMessageBox::StandardButton QtButton(Answer answer)
{
    switch (answer) {
    case Answer::Ok: return QMessageBox::Ok;
    case Answer::Cancel: return QMessageBox::Cancel;
    case Answer::Yes: return QMessageBox::Yes;
    case Answer::No: return QMessageBox::No;
    case Answer::Retry: return QMessageBox::Retry;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon QtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::None: return QMessageBox::NoIcon;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

std::unique_ptr<QMessageBox> BuildMessageBox(const core::Message& message, QWidget* parent)
{
    // Texts keep the carriage returns of the program's messages; Qt breaks lines on "\n".
    QString text = QString::fromStdString(message.text);
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    auto box = std::make_unique<QMessageBox>(QtIcon(message.icon),
                                             QString::fromStdString(message.caption), text,
                                             QMessageBox::NoButton, parent);
    for (Answer answer : core::AnswersOf(message.buttons))
        box->addButton(QtButton(answer));
    box->setDefaultButton(QtButton(message.defaultAnswer));
    return box;
}

std::unique_ptr<QInputDialog> BuildInputBox(const std::string& caption, const std::string& prompt,
                                            const std::string& initial, QWidget* parent)
{
    auto dialog = std::make_unique<QInputDialog>(parent);
    dialog->setWindowTitle(QString::fromStdString(caption));
    dialog->setLabelText(QString::fromStdString(prompt));
    dialog->setTextValue(QString::fromStdString(initial));
    return dialog;
}

std::string HostPathOf(platform::Files& files, const std::string& windowsPath)
{
    return files.hostPath(windowsPath).value_or(std::string());
}

std::string WindowsPathOf(platform::Files& files, const std::string& hostPath)
{
    // The longest drive root that holds the host path names its drive.
    std::string best;
    std::size_t bestLength = 0;
    for (char letter : files.logicalDrives()) {
        const std::string root = std::string(1, letter) + ":\\";
        auto hostRoot = files.hostPath(root);
        if (!hostRoot)
            continue;
        std::string prefix = *hostRoot;
        while (prefix.size() > 1 && prefix.back() == '/')
            prefix.pop_back();
        const bool inside = hostPath == prefix
                            || (hostPath.size() > prefix.size()
                                && hostPath.compare(0, prefix.size(), prefix) == 0
                                && hostPath[prefix.size()] == '/');
        if (!inside || prefix.size() < bestLength)
            continue;
        std::string rest = hostPath.substr(prefix.size());
        if (!rest.empty() && rest.front() == '/')
            rest.erase(0, 1);
        for (char& c : rest)
            if (c == '/') c = '\\';
        best = root + rest;
        bestLength = prefix.size();
    }
    return best;
}

QString QtFileFilter(const std::string& filter)
{
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        filters << parts[i] + " (" + patterns + ")";
    }
    return filters.join(";;");
}

QtUi::QtUi(platform::Files& files, std::function<void()> ensureApplication)
    : m_files(files), m_ensureApplication(std::move(ensureApplication))
{
}

bool QtUi::HaveApplication()
{
    if (!QApplication::instance() && m_ensureApplication)
        m_ensureApplication();
    return QApplication::instance() != nullptr;
}

ProgressWindow& QtUi::Progress()
{
    if (!m_progress) {
        HaveApplication();
        m_progress = new ProgressWindow(m_main);
        m_progress->SetCancelHandler([this] { PressCancel(); });
    }
    return *m_progress;
}

WarningList& QtUi::Warnings()
{
    if (!m_warnings) {
        HaveApplication();
        m_warnings = new WarningList(m_main);
    }
    return *m_warnings;
}

QtUi::~QtUi()
{
    delete m_progress.data();
    delete m_warnings.data();
}

void QtUi::SetMainWindow(QWidget* window)
{
    m_main = window;
    // Both windows belong to the main window, so they sit over it and share its task-bar entry.
    Progress().setParent(window, Progress().windowFlags());
    Warnings().setParent(window, Warnings().windowFlags());
}

std::optional<std::string> QtUi::TakeAnswer(const std::string& caption, const std::string& text)
{
    if (m_answers.empty() && !m_scripted)
        return std::nullopt;
    m_shown.push_back(caption + ": " + text);
    if (m_answers.empty())
        return std::string();
    std::string answer = std::move(m_answers.front());
    m_answers.pop_front();
    return answer;
}

Answer QtUi::ShowMessage(const core::Message& message)
{
    if (auto scripted = TakeAnswer(message.caption, message.text)) {
        const auto named = core::ParseAnswer(*scripted);
        return named && core::Offers(message.buttons, *named) ? *named : message.defaultAnswer;
    }
    HaveApplication();
    const auto box = BuildMessageBox(message, m_main);
    const std::vector<Answer> answers = core::AnswersOf(message.buttons);
    const int pressed = box->exec();
    for (Answer answer : answers)
        if (pressed == QtButton(answer))
            return answer;
    // Closed by Escape or the title bar: the box's way out.
    return answers.size() > 1 ? answers.back() : answers.front();
}

std::optional<std::string> QtUi::InputBox(const std::string& caption, const std::string& prompt,
                                          const std::string& initial)
{
    if (auto scripted = TakeAnswer(caption, prompt)) {
        if (Upper(*scripted) == "CANCEL")
            return std::nullopt;
        return scripted->empty() ? initial : *scripted;
    }
    HaveApplication();
    const auto dialog = BuildInputBox(caption, prompt, initial, m_main);
    if (dialog->exec() != QDialog::Accepted)
        return std::nullopt;
    const QString text = dialog->textValue();
    return text.toStdString();
}

std::optional<std::string> QtUi::ChooseDirectory(const std::string& caption,
                                                 const std::string& start)
{
    const std::string shownCaption = caption.empty() ? "Select a Directory" : caption;
    if (auto scripted = TakeAnswer(shownCaption, start)) {
        if (Upper(*scripted) == "CANCEL")
            return std::nullopt;
        return scripted->empty() ? start : *scripted;
    }
    HaveApplication();
    const QString chosen = QFileDialog::getExistingDirectory(
        m_main, QString::fromStdString(shownCaption),
        QString::fromStdString(HostPathOf(m_files, start)));
    if (chosen.isEmpty())
        return std::nullopt;
    const std::string windowsPath = WindowsPathOf(m_files, chosen.toStdString());
    if (windowsPath.empty())
        return std::nullopt;
    return windowsPath;
}

std::optional<std::string> QtUi::ChooseOpenFile(const std::string& title,
                                                const std::string& filter,
                                                const std::string& initialDirectory,
                                                const std::string& fileName)
{
    if (auto scripted = TakeAnswer(title, initialDirectory)) {
        if (scripted->empty() || Upper(*scripted) == "CANCEL")
            return std::nullopt;
        return *scripted;
    }
    HaveApplication();
    QString start = QString::fromStdString(HostPathOf(m_files, initialDirectory));
    if (!fileName.empty())
        start += "/" + QString::fromStdString(fileName);
    const QString chosen = QFileDialog::getOpenFileName(
        m_main, QString::fromStdString(title), start, QtFileFilter(filter));
    if (chosen.isEmpty())
        return std::nullopt;
    const std::string windowsPath = WindowsPathOf(m_files, chosen.toStdString());
    if (windowsPath.empty())
        return std::nullopt;
    return windowsPath;
}

void QtUi::SetProgressCaption(const std::string& caption)
{
    Progress().setWindowTitle(QString::fromStdString(caption));
}

void QtUi::SetProgressStatus(const std::string& status)
{
    Progress().SetStatus(QString::fromStdString(status));
}

void QtUi::SetArchiveGauge(int percent)
{
    Progress().ShowArchivePercent(percent);
}

void QtUi::SetRunGauge(int percent)
{
    Progress().RunBar()->setValue(percent);
}

void QtUi::SetCopyAnimation(bool running)
{
    if (running)
        Progress().Animation()->Start();
    else
        Progress().Animation()->Stop();
}

void QtUi::ShowProgress()
{
    Progress().show();
    Progress().raise();
}

void QtUi::HideProgress()
{
    Progress().hide();
}

bool QtUi::ProgressVisible() const
{
    return m_progress && m_progress->isVisible();
}

void QtUi::SetApplicationTitle(const std::string& title)
{
    if (m_main)
        m_main->setWindowTitle(QString::fromStdString(title));
}

void QtUi::MinimizeApplication()
{
    ui::MinimizeApplication();
}

void QtUi::RestoreApplication()
{
    if (m_main)
        m_main->showNormal();
}

bool QtUi::ApplicationMinimized() const
{
    return m_main && m_main->isMinimized();
}

Answer QtUi::ShowWarningList(const std::vector<std::string>& lines, core::WarningListMode mode)
{
    QStringList shown;
    for (const std::string& line : lines)
        shown << QString::fromStdString(line);
    const bool question = mode == core::WarningListMode::Question;
    Warnings().SetMode(question ? WarningList::Mode::Question : WarningList::Mode::Notice);
    Warnings().SetLines(shown);
    if (auto scripted = TakeAnswer("WARNING", shown.join('\n').toStdString())) {
        const auto named = core::ParseAnswer(*scripted);
        if (!question)
            return Answer::Ok;
        return named == Answer::No ? Answer::No : Answer::Yes;
    }
    const int result = Warnings().exec();
    if (!question)
        return Answer::Ok;
    return result == QDialog::Accepted ? Answer::Yes : Answer::No;
}

void QtUi::SetBusyCursor(bool busy)
{
    if (!QApplication::instance())
        return;
    if (busy) {
        if (m_busy++ == 0)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_busy > 0 && --m_busy == 0) {
        QApplication::restoreOverrideCursor();
    }
}

void QtUi::Pump()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

}  // namespace brx::ui
