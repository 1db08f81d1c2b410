#include <gtest/gtest.h>

#include <string_view>

#include "zip/Mask.h"

namespace brx::zip {
namespace {

struct MaskCase {
    std::string_view mask;
    std::string_view path;
    bool matches;
};

TEST(Mask, MatchesListMasksAsTheProgramWritesThem)
{
    const MaskCase cases[] = {
        // Without "\" only the file name counts.
        {"*.txt", "C:\\docs\\Notes.TXT", true},
        {"*.txt", "C:\\docs.txt\\notes.doc", false},
        {"?.dat", "C:\\a.dat", true},
        {"?.dat", "C:\\ab.dat", false},
        // With "\" the full path counts, without regard to case, and "*" crosses folders.
        {"C:\\WINNT\\win.ini", "c:\\winnt\\WIN.INI", true},
        {"C:\\DATA\\*", "C:\\DATA\\sub\\deep.txt", true},
        {">C:\\DATA\\*", "C:\\DATA\\sub\\deep.txt", true},
        // After "|" a final "*" stays in its folder; other stars still cross.
        {"|C:\\DATA\\*", "C:\\DATA\\top.txt", true},
        {"|C:\\DATA\\*", "C:\\DATA\\sub\\deep.txt", false},
        {"|C:\\*\\x.txt", "C:\\a\\b\\x.txt", true},
        // Backtracking over several stars.
        {"*a*b", "xaxxb", true},
        {"*a*b", "xaxxbx", false},
        {"*", "", true},
        // Character sets, ranges and negation.
        {"<a-c>*.log", "C:\\b1.log", true},
        {"<a-c>*.log", "C:\\d1.log", false},
        {"<^a-c>x", "dx", true},
        {"<!a-c>x", "bx", false},
        {"<xyz>.ini", "Y.INI", true},
        // An unclosed set is a literal "<".
        {"a<b", "a<b", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mask) + " ~ " + std::string(c.path));
        EXPECT_EQ(MatchListMask(c.mask, c.path), c.matches);
    }
}

TEST(Mask, RecognisesMaskEntries)
{
    EXPECT_TRUE(IsMask(">C:\\x\\*.*"));
    EXPECT_TRUE(IsMask("C:\\x\\a?.txt"));
    EXPECT_TRUE(IsMask("|C:\\x\\a.txt"));
    EXPECT_FALSE(IsMask("C:\\x\\a.txt"));
}

}  // namespace
}  // namespace brx::zip
