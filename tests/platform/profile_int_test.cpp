#include <gtest/gtest.h>

#include "platform/Profile.h"

namespace brx::platform {
namespace {

TEST(ParseProfileInt, ReadsDecimalHexAndFallsBack) {
    struct Case {
        const char* text;
        int expected;
    } cases[] = {
        {"20", 20}, {" 7 ", 7}, {"0x14", 20}, {"0X1f", 31}, {"-3", -3},
        {"", 99}, {"abc", 99}, {"12abc", 99}, {"0x", 99},
    };
    for (const auto& c : cases) EXPECT_EQ(parseProfileInt(c.text, 99), c.expected) << c.text;
}

}  // namespace
}  // namespace brx::platform
