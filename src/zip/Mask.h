// File masks as the program writes them: "*" any run of characters (also "\"), "?" one
// character, "<a-z>" one character of a set ("<^...>" or "<!...>" outside it). Case is ignored.
#pragma once

#include <string>
#include <string_view>

namespace brx::zip {

enum class FinalStar {
    CrossesFolders,  // a trailing "*" also matches "\"
    StaysInFolder,   // a trailing "*" stops at "\" (masks written with a leading "|")
};

bool MatchWildcard(std::string_view mask, std::string_view text,
                   FinalStar finalStar = FinalStar::CrossesFolders);

// A mask as it appears in a list: an optional ">" or "|" prefix, then the mask. A mask with "\"
// is matched against the full path, one without against the file name alone.
bool MatchListMask(std::string_view listMask, std::string_view fullPath);

// True when the text holds any of the characters that make a list entry a mask.
bool IsMask(std::string_view entry);

// Lower case of the ASCII letters; other bytes are left alone.
std::string AsciiLower(std::string_view text);

}  // namespace brx::zip
