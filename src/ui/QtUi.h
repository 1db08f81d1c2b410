// The program's dialogs: message boxes, the input box, the file and folder choosers, the progress
// window and the warning list, all over the machine's Windows paths.
//
// Tests (and the screenshot tool) answer dialogs in advance with AnswerNext(): while answers are
// queued no modal dialog is opened, each dialog takes the next answer ("Yes", "No", "Ok",
// "Cancel", "Retry", or the text entered / file chosen) and its text is recorded in Shown().
#pragma once

#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/Ui.h"
#include "platform/Files.h"
#include "ui/ProgressWindow.h"
#include "ui/WarningList.h"

namespace brx::ui {

// Host path of a Windows path, and back; empty when the drive has no host directory.
std::string HostPathOf(platform::Files& files, const std::string& windowsPath);
std::string WindowsPathOf(platform::Files& files, const std::string& hostPath);
// "Brellix Backup Files|*.zip;*.001|All Files|*.*" in the form of Qt's file dialogs.
QString QtFileFilter(const std::string& filter);

// The dialogs themselves, built but not shown (the screenshot tool shows them without waiting).
std::unique_ptr<QMessageBox> BuildMessageBox(const core::Message& message, QWidget* parent);
std::unique_ptr<QInputDialog> BuildInputBox(const std::string& caption, const std::string& prompt,
                                            const std::string& initial, QWidget* parent);

class QtUi : public core::Ui {
public:
    // `ensureApplication` makes the QApplication on the first dialog, so that a start which
    // ends without a window never needs a display.
    explicit QtUi(platform::Files& files, std::function<void()> ensureApplication = {});
    ~QtUi() override;

    // The window whose title the task bar shows and that dialogs are centred on.
    void SetMainWindow(QWidget* window);
    ProgressWindow& Progress();
    WarningList& Warnings();

    void AnswerNext(std::string answer) { m_answers.push_back(std::move(answer)); }
    bool HasAnswersQueued() const { return m_scripted || !m_answers.empty(); }
    // Never opens a modal dialog: with no answer queued each takes its default (the default
    // button, the initial text, the start folder; Cancel for the file chooser).
    void SetScripted(bool scripted) { m_scripted = scripted; }
    // "Caption: text" of every dialog answered in advance, and of every warning list shown.
    const std::vector<std::string>& Shown() const { return m_shown; }
    void ClearShown() { m_shown.clear(); }

    core::Answer ShowMessage(const core::Message& message) override;
    std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& initial) override;
    std::optional<std::string> ChooseDirectory(const std::string& caption,
                                               const std::string& start) override;
    std::optional<std::string> ChooseOpenFile(const std::string& title, const std::string& filter,
                                              const std::string& initialDirectory,
                                              const std::string& fileName) override;
    void SetProgressCaption(const std::string& caption) override;
    void SetProgressStatus(const std::string& status) override;
    void SetArchiveGauge(int percent) override;
    void SetRunGauge(int percent) override;
    void SetCopyAnimation(bool running) override;
    void ShowProgress() override;
    void HideProgress() override;
    bool ProgressVisible() const override;
    void SetApplicationTitle(const std::string& title) override;
    void MinimizeApplication() override;
    void RestoreApplication() override;
    bool ApplicationMinimized() const override;
    core::Answer ShowWarningList(const std::vector<std::string>& lines,
                                 core::WarningListMode mode) override;
    void SetBusyCursor(bool busy) override;
    void Pump() override;

private:
    // The next answer ("" when scripted and none is queued), or nullopt: show the dialog.
    std::optional<std::string> TakeAnswer(const std::string& caption, const std::string& text);

    bool HaveApplication();

    platform::Files& m_files;
    std::function<void()> m_ensureApplication;
    QPointer<QWidget> m_main;
    // Parented to the main window once there is one; whoever goes first takes them along.
    QPointer<ProgressWindow> m_progress;
    QPointer<WarningList> m_warnings;
    std::deque<std::string> m_answers;
    std::vector<std::string> m_shown;
    int m_busy = 0;
    bool m_scripted = false;
};

}  // namespace brx::ui
