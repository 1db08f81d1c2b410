#include "ui/HelpRouter.h"

#include <algorithm>
#include <cctype>

namespace brx::ui {
namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string FileNamePart(const std::string& path)
{
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// Removes every "<!--tag-->...<!--/tag-->" passage, or only its markers when keep is set.
void FilterEditionBlocks(std::string& text, const std::string& tag, bool keep)
{
    const std::string open = "<!--" + tag + "-->";
    const std::string close = "<!--/" + tag + "-->";
    for (std::size_t at = text.find(open); at != std::string::npos; at = text.find(open, at)) {
        const auto end = text.find(close, at + open.size());
        if (end == std::string::npos) {
            text.erase(at, open.size());
            continue;
        }
        if (keep) {
            text.erase(end, close.size());
            text.erase(at, open.size());
        } else {
            text.erase(at, end + close.size() - at);
        }
    }
}

}  // namespace

std::optional<HelpPage> ResolveHelpFile(const std::string& helpFile)
{
    std::string file = helpFile;
    std::string window;
    if (const auto gt = file.find('>'); gt != std::string::npos) {
        window = Lower(file.substr(gt + 1));
        file.erase(gt);
    }
    const std::string name = Lower(FileNamePart(file));
    HelpPage page;
    if (name == "brellix2k.hlp")
        page.edition = HelpEdition::Win2000;
    else if (name == "brellixnt.hlp")
        page.edition = HelpEdition::NT;
    else
        return std::nullopt;
    page.page = "index.html";
    page.tutorialWindow = window == "tutorial";
    return page;
}

std::optional<std::string> PageForTopic(const std::string& topic)
{
    if (topic.empty())
        return "index.html";
    const std::string lower = Lower(topic);
    if (lower.rfind("topic", 0) != 0 || lower.size() == 5)
        return std::nullopt;
    const std::string number = lower.substr(5);
    if (!std::all_of(number.begin(), number.end(), [](unsigned char c) { return std::isdigit(c); }))
        return std::nullopt;
    return "topic" + std::to_string(std::stoi(number)) + ".html";
}

std::optional<std::string> TopicForContext(int context)
{
    switch (context) {
    case 1: return "Topic1";    // main window
    case 2: return "Topic3";    // DorAdur tab
    case 3: return "Topic2";    // Dazur Edozi tab
    case 14: return "Topic4";   // Boot Disk tab
    case 6: return "Topic8";    // preferences
    case 45: return "Topic7";   // Backup Manager
    case 810:
    case 820:
    case 830:
    case 840: return "Topic9";  // default-directory menu
    default: return std::nullopt;
    }
}

std::string ExpandHelpText(const std::string& html, HelpEdition edition)
{
    const bool nt = edition == HelpEdition::NT;
    std::string text = html;
    FilterEditionBlocks(text, "2000", !nt);
    FilterEditionBlocks(text, "nt", nt);
    ReplaceAll(text, "{{PRODUCT}}", nt ? "Brellix NT" : "Brellix 2000");
    ReplaceAll(text, "{{WIN}}", nt ? "Windows NT" : "Windows 2000");
    ReplaceAll(text, "{{WINDIR}}", "C:\\WINNT");
    return text;
}

}  // namespace brx::ui
