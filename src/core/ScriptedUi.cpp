#include "core/ScriptedUi.h"

#include <algorithm>
#include <cctype>
#include <ostream>

namespace brx::core {

namespace {

// How often one Retry question is retried unanswered before it counts as cancelled.
constexpr int kUnattendedRetries = 3;

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

const char* AnswerName(Answer answer)
{
    switch (answer) {
    case Answer::Ok: return "Ok";
    case Answer::Cancel: return "Cancel";
    case Answer::Yes: return "Yes";
    case Answer::No: return "No";
    case Answer::Retry: return "Retry";
    }
    return "";
}

}  // namespace

ScriptedUi::ScriptedUi(std::ostream* messages, std::ostream* progress)
    : m_messages(messages)
    , m_progress(progress)
{
}

std::vector<std::string> ScriptedUi::Messages() const
{
    std::vector<std::string> texts;
    for (const UiEvent& event : m_events)
        if (event.kind == UiEvent::Kind::Message) texts.push_back(event.caption + ": " + event.text);
    return texts;
}

std::optional<std::string> ScriptedUi::NextAnswer()
{
    if (m_answers.empty()) return std::nullopt;
    std::string line = std::move(m_answers.front());
    m_answers.pop_front();
    return line;
}

std::optional<std::string> ScriptedUi::AnswerText(const std::string& fallback, bool cancelByDefault)
{
    const auto line = NextAnswer();
    if (!line) {
        if (cancelByDefault) return std::nullopt;
        return fallback;
    }
    if (Lower(*line) == "cancel") return std::nullopt;
    return line;
}

UiEvent& ScriptedUi::Record(UiEvent::Kind kind, const std::string& caption,
                            const std::string& text)
{
    UiEvent& event = m_events.emplace_back();
    event.kind = kind;
    event.caption = caption;
    event.text = text;
    return event;
}

void ScriptedUi::ReportProgress(const std::string& what)
{
    if (m_progress) *m_progress << what << '\n';
}

Answer ScriptedUi::ShowMessage(const Message& message)
{
    Answer answer = message.defaultAnswer;
    if (message.buttons != MessageButtons::Ok) {
        if (const auto line = NextAnswer()) {
            const auto parsed = ParseAnswer(*line);
            if (parsed && Offers(message.buttons, *parsed)) answer = *parsed;
            m_defaultedRetries = 0;
        } else if (answer == Answer::Retry && message.buttons == MessageButtons::RetryCancel) {
            const std::string question = message.caption + '\n' + message.text;
            m_defaultedRetries = question == m_lastDefaultedRetry ? m_defaultedRetries + 1 : 1;
            m_lastDefaultedRetry = question;
            if (m_defaultedRetries > kUnattendedRetries) answer = Answer::Cancel;
        }
    } else {
        answer = Answer::Ok;
    }
    if (m_messages) *m_messages << message.caption << ": " << message.text << std::endl;
    UiEvent& event = Record(UiEvent::Kind::Message, message.caption, message.text);
    event.buttons = message.buttons;
    event.icon = message.icon;
    event.answer = AnswerName(answer);
    return answer;
}

std::optional<std::string> ScriptedUi::InputBox(const std::string& caption,
                                                const std::string& prompt,
                                                const std::string& initial)
{
    auto answer = AnswerText(initial, false);
    if (m_messages) *m_messages << caption << ": " << prompt << std::endl;
    Record(UiEvent::Kind::Input, caption, prompt).answer = answer.value_or("Cancel");
    return answer;
}

std::optional<std::string> ScriptedUi::ChooseDirectory(const std::string& caption,
                                                       const std::string& start)
{
    auto answer = AnswerText(start, false);
    const std::string shown = caption.empty() ? "Select a Directory" : caption;
    if (m_messages) *m_messages << shown << ": " << start << std::endl;
    Record(UiEvent::Kind::Directory, shown, start).answer = answer.value_or("Cancel");
    return answer;
}

std::optional<std::string> ScriptedUi::ChooseOpenFile(const std::string& title,
                                                      const std::string& filter,
                                                      const std::string& initialDirectory,
                                                      const std::string& fileName)
{
    (void)filter;
    (void)fileName;
    auto answer = AnswerText({}, true);
    if (m_messages) *m_messages << title << ": " << initialDirectory << std::endl;
    Record(UiEvent::Kind::OpenFile, title, initialDirectory).answer = answer.value_or("Cancel");
    return answer;
}

void ScriptedUi::SetProgressCaption(const std::string& caption)
{
    m_progressCaption = caption;
    Record(UiEvent::Kind::ProgressCaption, {}, caption);
    ReportProgress(caption);
}

void ScriptedUi::SetProgressStatus(const std::string& status)
{
    Record(UiEvent::Kind::ProgressStatus, {}, status);
    if (!status.empty()) ReportProgress("  " + status);
}

void ScriptedUi::SetArchiveGauge(int percent)
{
    m_archiveGauge = percent;
}

void ScriptedUi::SetRunGauge(int percent)
{
    if (percent != m_runGauge && m_progressVisible)
        ReportProgress("  " + std::to_string(percent) + "%");
    m_runGauge = percent;
}

void ScriptedUi::SetCopyAnimation(bool) {}

void ScriptedUi::ShowProgress()
{
    m_progressVisible = true;
    Record(UiEvent::Kind::ProgressShown, {}, m_progressCaption);
}

void ScriptedUi::HideProgress()
{
    m_progressVisible = false;
    Record(UiEvent::Kind::ProgressHidden, {}, m_progressCaption);
}

void ScriptedUi::SetApplicationTitle(const std::string& title)
{
    m_title = title;
    Record(UiEvent::Kind::ApplicationTitle, {}, title);
}

void ScriptedUi::MinimizeApplication()
{
    m_minimized = true;
    Record(UiEvent::Kind::Minimized, {}, {});
}

void ScriptedUi::RestoreApplication()
{
    m_minimized = false;
    Record(UiEvent::Kind::Restored, {}, {});
}

Answer ScriptedUi::ShowWarningList(const std::vector<std::string>& lines, WarningListMode mode)
{
    Answer answer = Answer::Ok;
    if (mode == WarningListMode::Question) {
        answer = Answer::Yes;
        if (const auto line = NextAnswer())
            if (ParseAnswer(*line) == Answer::No) answer = Answer::No;
    }
    if (m_messages) {
        *m_messages << "WARNING:";
        for (const std::string& line : lines) *m_messages << "\n  " << line;
        *m_messages << std::endl;
    }
    UiEvent& event = Record(UiEvent::Kind::WarningList, "WARNING", {});
    event.lines = lines;
    event.buttons = mode == WarningListMode::Question ? MessageButtons::YesNo : MessageButtons::Ok;
    event.answer = AnswerName(answer);
    return answer;
}

void ScriptedUi::SetBusyCursor(bool busy)
{
    m_busy += busy ? 1 : -1;
}

void ScriptedUi::Pump()
{
    ++m_pumps;
    m_defaultedRetries = 0;  // work went on since the last question
    if (m_pumps == m_cancelAtPump) PressCancel();
}

}  // namespace brx::core
