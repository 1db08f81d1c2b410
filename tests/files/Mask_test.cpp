#include <gtest/gtest.h>

#include "files/Mask.h"

namespace brx::files {
namespace {

TEST(Mask, MatchesStarsQuestionMarksAndSetsWithoutCase) {
    struct Case {
        const char* mask;
        const char* text;
        bool matches;
    } cases[] = {
        {"C:\\DATA\\*.TMP", "C:\\DATA\\A.TMP", true},
        {"C:\\DATA\\*.TMP", "C:\\DATA\\SUB\\A.TMP", true},  // "*" crosses folders
        {"C:\\DATA\\*.TMP", "C:\\DATA\\A.TXT", false},
        {"c:\\data\\b.txt", "C:\\DATA\\B.TXT", true},
        {"*.T?T", "NOTE.TXT", true},
        {"*.T?T", "NOTE.TT", false},
        {"FILE[0-9].DAT", "FILE7.DAT", true},
        {"FILE[0-9].DAT", "FILEX.DAT", false},
        {"FILE[!0-9].DAT", "FILEX.DAT", true},
        {"[AB]*", "beta", true},
        {"*", "", true},
        {"A*B*C", "AXXBYYBC", true},
        {"A*B*C", "AXXBYYB", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchesMask(c.mask, c.text), c.matches) << c.mask << " / " << c.text;
}

}  // namespace
}  // namespace brx::files
