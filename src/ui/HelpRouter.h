// Where a help request lands. The program asks for help the way it always has: a help file name
// ("...\Brellix2K.hlp", optionally with ">tutorial" for the tutorial window), a topic name
// ("Topic11") or a numeric context, or the contents. Our help is a set of HTML pages in the help
// folder, shared by both editions; the file name decides which edition's wording a page shows.
#pragma once

#include <optional>
#include <string>

namespace brx::ui {

enum class HelpEdition { Win2000, NT };

struct HelpPage {
    HelpEdition edition = HelpEdition::Win2000;
    std::string page;              // file in the help folder: "index.html", "topic23.html"
    bool tutorialWindow = false;   // the ">tutorial" secondary window
};

// "...\Brellix2K.hlp" and "...\BrellixNT.hlp" (with or without ">window") are ours; any other
// help file (the operating system's own) gives nullopt.
std::optional<HelpPage> ResolveHelpFile(const std::string& helpFile);
// The page for a topic name such as "Topic4" (case does not matter); nullopt for names we do not
// know. An empty topic gives the contents.
std::optional<std::string> PageForTopic(const std::string& topic);
// The topic behind the numeric help contexts of the windows (F1); nullopt when none is set.
std::optional<std::string> TopicForContext(int context);
// Fills in the edition's names and drops the passages written for the other edition.
std::string ExpandHelpText(const std::string& html, HelpEdition edition);

}  // namespace brx::ui
