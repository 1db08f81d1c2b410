// The one way the program's logic talks to the user. The window layer implements it with real
// dialogs; tests and batch mode use ScriptedUi. Every call is made on the one program thread.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace brx::core {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, YesNo, OkCancel, RetryCancel };
enum class Answer { Ok, Cancel, Yes, No, Retry };

struct Message {
    std::string caption;
    std::string text;
    MessageIcon icon = MessageIcon::Information;
    MessageButtons buttons = MessageButtons::Ok;
    Answer defaultAnswer = Answer::Ok;  // the button that Enter presses
};

// The buttons of a box, in the order they are shown.
std::vector<Answer> AnswersOf(MessageButtons buttons);
bool Offers(MessageButtons buttons, Answer answer);
// A prepared answer ("Yes", "n", "cancel", ...), without regard to case; nullopt for no button.
std::optional<Answer> ParseAnswer(const std::string& word);

// How the warning list ends: a single "&OK", or "&No" / "&Yes" with Yes as default.
enum class WarningListMode { Notice, Question };

class Ui {
public:
    virtual ~Ui() = default;

    // --- message boxes ----------------------------------------------------------------------
    virtual Answer ShowMessage(const Message& message) = 0;

    void Inform(const std::string& caption, const std::string& text)
    {
        ShowMessage({caption, text, MessageIcon::Information, MessageButtons::Ok, Answer::Ok});
    }
    void Warn(const std::string& caption, const std::string& text)
    {
        ShowMessage({caption, text, MessageIcon::Warning, MessageButtons::Ok, Answer::Ok});
    }
    // The default error display: an error that ended an action.
    void ShowError(const std::string& caption, const std::string& text)
    {
        ShowMessage({caption, text, MessageIcon::Error, MessageButtons::Ok, Answer::Ok});
    }
    bool AskYesNo(const std::string& caption, const std::string& text,
                  MessageIcon icon = MessageIcon::Question, Answer defaultAnswer = Answer::Yes)
    {
        return ShowMessage({caption, text, icon, MessageButtons::YesNo, defaultAnswer})
               == Answer::Yes;
    }
    bool AskOkCancel(const std::string& caption, const std::string& text,
                     MessageIcon icon = MessageIcon::Question, Answer defaultAnswer = Answer::Ok)
    {
        return ShowMessage({caption, text, icon, MessageButtons::OkCancel, defaultAnswer})
               == Answer::Ok;
    }
    bool AskRetryCancel(const std::string& caption, const std::string& text,
                        MessageIcon icon = MessageIcon::Warning,
                        Answer defaultAnswer = Answer::Retry)
    {
        return ShowMessage({caption, text, icon, MessageButtons::RetryCancel, defaultAnswer})
               == Answer::Retry;
    }

    // --- input ------------------------------------------------------------------------------
    // Each returns nullopt when the user cancels.
    virtual std::optional<std::string> InputBox(const std::string& caption,
                                                const std::string& prompt,
                                                const std::string& initial) = 0;
    // The program's directory chooser ("Select a Directory" when the caption is empty).
    virtual std::optional<std::string> ChooseDirectory(const std::string& caption,
                                                       const std::string& start) = 0;
    // The file-open dialog; `filter` uses the "Description|pattern;pattern|..." form.
    virtual std::optional<std::string> ChooseOpenFile(const std::string& title,
                                                      const std::string& filter,
                                                      const std::string& initialDirectory,
                                                      const std::string& fileName) = 0;

    // --- progress window --------------------------------------------------------------------
    virtual void SetProgressCaption(const std::string& caption) = 0;
    virtual void SetProgressStatus(const std::string& status) = 0;
    // Percentages 0..100: Gauge2 is the current archive, Gauge1 the whole run.
    virtual void SetArchiveGauge(int percent) = 0;
    virtual void SetRunGauge(int percent) = 0;
    virtual void SetCopyAnimation(bool running) = 0;
    virtual void ShowProgress() = 0;
    virtual void HideProgress() = 0;
    virtual bool ProgressVisible() const = 0;

    // --- application ------------------------------------------------------------------------
    // The task-bar text of the program.
    virtual void SetApplicationTitle(const std::string& title) = 0;
    virtual void MinimizeApplication() = 0;
    virtual void RestoreApplication() = 0;
    virtual bool ApplicationMinimized() const = 0;

    // --- warning list -----------------------------------------------------------------------
    // Shown modally; a notice answers Ok, a question Yes or No.
    virtual Answer ShowWarningList(const std::vector<std::string>& lines,
                                   WarningListMode mode) = 0;

    // --- waiting ----------------------------------------------------------------------------
    virtual void SetBusyCursor(bool busy) = 0;
    // Processes pending window messages; long operations call it after every file and buffer,
    // which is when the progress window's Cancel button gets served.
    virtual void Pump() = 0;

    // What the progress window's Cancel button does. The program installs it once.
    void SetCancelHandler(std::function<void()> handler) { m_cancelHandler = std::move(handler); }

protected:
    void PressCancel()
    {
        if (m_cancelHandler) m_cancelHandler();
    }

private:
    std::function<void()> m_cancelHandler;
};

// Shows the busy cursor for the life of the guard, on every way out of the scope.
class BusyCursor {
public:
    explicit BusyCursor(Ui& ui) : m_ui(ui) { m_ui.SetBusyCursor(true); }
    ~BusyCursor() { m_ui.SetBusyCursor(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    Ui& m_ui;
};

}  // namespace brx::core
