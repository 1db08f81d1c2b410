#include "core/Ui.h"

#include <algorithm>
#include <cctype>

namespace brx::core {

std::vector<Answer> AnswersOf(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::Ok: return {Answer::Ok};
    case MessageButtons::YesNo: return {Answer::Yes, Answer::No};
    case MessageButtons::OkCancel: return {Answer::Ok, Answer::Cancel};
    case MessageButtons::RetryCancel: return {Answer::Retry, Answer::Cancel};
    }
    return {Answer::Ok};
}

bool Offers(MessageButtons buttons, Answer answer)
{
    const std::vector<Answer> answers = AnswersOf(buttons);
    return std::find(answers.begin(), answers.end(), answer) != answers.end();
}

std::optional<Answer> ParseAnswer(const std::string& word)
{
    std::string lower = word;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "yes" || lower == "y") return Answer::Yes;
    if (lower == "no" || lower == "n") return Answer::No;
    if (lower == "ok") return Answer::Ok;
    if (lower == "cancel") return Answer::Cancel;
    if (lower == "retry") return Answer::Retry;
    return std::nullopt;
}

}  // namespace brx::core
