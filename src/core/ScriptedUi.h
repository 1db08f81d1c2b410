// A Ui without windows: it records everything it is asked to show and answers questions from a
// queue of lines. Tests read the record; batch mode echoes it to the terminal.
//
// Answer lines: for a message box "Yes", "No", "Ok", "Cancel" or "Retry" (case-blind); a line
// that names no button of the box takes the default button. For the input box, the directory
// chooser and the file-open dialog the line is the text entered, and "Cancel" cancels. With the
// queue empty every question takes its default: the default button, the input box's initial
// text, the directory chooser's start, and Cancel for the file-open dialog.
#pragma once

#include <deque>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "core/Ui.h"

namespace brx::core {

struct UiEvent {
    enum class Kind {
        Message,
        Input,
        Directory,
        OpenFile,
        WarningList,
        ProgressCaption,
        ProgressStatus,
        ProgressShown,
        ProgressHidden,
        ApplicationTitle,
        Minimized,
        Restored,
    };
    Kind kind = Kind::Message;
    std::string caption;
    std::string text;                // message text, prompt, status, title
    std::vector<std::string> lines;  // warning list
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    std::string answer;              // what the script answered ("Yes", the text entered, ...)
};

class ScriptedUi : public Ui {
public:
    // `messages` receives "Caption: text" for every message and warning list, `progress` the
    // progress window's texts and gauges; either may be null.
    explicit ScriptedUi(std::ostream* messages = nullptr, std::ostream* progress = nullptr);

    void PushAnswer(std::string line) { m_answers.push_back(std::move(line)); }
    // Presses the progress window's Cancel button during the n-th call of Pump() (1-based).
    void CancelAtPump(int n) { m_cancelAtPump = n; }

    const std::vector<UiEvent>& Events() const { return m_events; }
    // Texts of every message box, in order, as "Caption: text".
    std::vector<std::string> Messages() const;
    void ClearEvents() { m_events.clear(); }
    int PumpCount() const { return m_pumps; }
    int ArchiveGauge() const { return m_archiveGauge; }
    int RunGauge() const { return m_runGauge; }
    bool BusyCursorShown() const { return m_busy > 0; }
    const std::string& ApplicationTitle() const { return m_title; }

    Answer ShowMessage(const Message& message) override;
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
    bool ProgressVisible() const override { return m_progressVisible; }
    void SetApplicationTitle(const std::string& title) override;
    void MinimizeApplication() override;
    void RestoreApplication() override;
    bool ApplicationMinimized() const override { return m_minimized; }
    Answer ShowWarningList(const std::vector<std::string>& lines, WarningListMode mode) override;
    void SetBusyCursor(bool busy) override;
    void Pump() override;

private:
    std::optional<std::string> NextAnswer();
    std::optional<std::string> AnswerText(const std::string& fallback, bool cancelByDefault);
    UiEvent& Record(UiEvent::Kind kind, const std::string& caption, const std::string& text);
    void ReportProgress(const std::string& what);

    std::ostream* m_messages;
    std::ostream* m_progress;
    std::deque<std::string> m_answers;
    // Nobody is there to change a disk: the same Retry question met again and again with no
    // work in between is given up after a few default answers instead of looping for ever.
    std::string m_lastDefaultedRetry;
    int m_defaultedRetries = 0;
    std::vector<UiEvent> m_events;
    int m_cancelAtPump = 0;
    int m_pumps = 0;
    int m_archiveGauge = 0;
    int m_runGauge = 0;
    int m_busy = 0;
    bool m_progressVisible = false;
    bool m_minimized = false;
    std::string m_progressCaption;
    std::string m_title;
};

}  // namespace brx::core
