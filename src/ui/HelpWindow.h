// The help windows: one for the help contents and topics, one for the quick tutorial (the
// "tutorial" secondary window), and the operating system's troubleshooter pages.
#pragma once

#include <QString>
#include <QTextBrowser>
#include <QWidget>
#include <memory>
#include <string>

#include "ui/HelpRouter.h"

namespace brx::ui {

// A text browser that reads our help pages with the edition's wording filled in.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    HelpBrowser(QString helpDirectory, HelpEdition edition, QWidget* parent = nullptr);
    QVariant loadResource(int type, const QUrl& name) override;

private:
    QString m_helpDirectory;
    HelpEdition m_edition;
};

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    HelpWindow(QString helpDirectory, HelpEdition edition, QString title,
               QWidget* parent = nullptr);
    void ShowPage(const QString& page);
    // Shows an HTML file from outside the help folder (a troubleshooter page).
    void ShowExternal(const QString& hostFile, const QString& title);
    QString CurrentPage() const;
    HelpBrowser* browser() const { return m_browser; }

private:
    HelpBrowser* m_browser;
};

// The program's help system: the help file it is set to, contents, topic and context jumps.
class HelpSystem {
public:
    explicit HelpSystem(QString helpDirectory);
    ~HelpSystem();

    // The folder holding our help pages: $BRELLIX_HELP, else help/ beside the executable,
    // else the source tree's.
    static QString DefaultHelpDirectory();

    // Each returns false when the help file is not one of ours (nothing is shown).
    bool ShowContents(const std::string& helpFile);
    bool ShowTopic(const std::string& helpFile, const std::string& topic);
    bool ShowContext(const std::string& helpFile, int context);
    // A page of a compiled HTML help file (hostChm is the file on this computer); false when the
    // file or the page cannot be read.
    bool ShowCompiledPage(const std::string& hostChm, const std::string& page);

    HelpWindow* MainWindow() const { return m_main.get(); }
    HelpWindow* TutorialWindow() const { return m_tutorial.get(); }

private:
    HelpWindow& WindowFor(const HelpPage& page);

    QString m_helpDirectory;
    std::unique_ptr<HelpWindow> m_main;
    std::unique_ptr<HelpWindow> m_tutorial;
    std::unique_ptr<HelpWindow> m_troubleshooter;
    HelpEdition m_edition = HelpEdition::Win2000;
};

}  // namespace brx::ui
