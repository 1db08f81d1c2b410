#include <gtest/gtest.h>

#include <string>

#include "zip/Paths.h"
#include "zip/ZipFormat.h"

namespace brx::zip {
namespace {

TEST(ZipFormat, ClampsImpossibleDosDatesAndTimes)
{
    struct Case {
        const char* name;
        std::uint32_t date, time;
        platform::LocalTime expected;
    };
    auto dos = [](int year, int month, int day) { return static_cast<std::uint32_t>(((year - 1980) << 9) | (month << 5) | day); };
    auto tod = [](int hour, int minute, int halfSeconds) { return static_cast<std::uint32_t>((hour << 11) | (minute << 5) | halfSeconds); };
    const Case cases[] = {
        {"valid", dos(2001, 7, 14), tod(13, 45, 29), {2001, 7, 14, 13, 45, 58, 6}},
        {"hour 31, minute 63, seconds 62", dos(2001, 7, 14), tod(31, 63, 31), {2001, 7, 14, 23, 59, 58, 6}},
        {"day 0, month 0", dos(2001, 0, 0), 0, {2001, 1, 1, 0, 0, 0, 1}},
        {"month 15", dos(2001, 15, 3), 0, {2001, 12, 3, 0, 0, 0, 1}},
        {"year 2107", dos(2107, 1, 1), 0, {2099, 1, 1, 0, 0, 0, 4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(format::fromDosDateTime((c.date << 16) | c.time), c.expected);
    }
}

TEST(ZipFormat, DosDateTimeRoundTripsAtTwoSecondSteps)
{
    const platform::LocalTime time{1999, 12, 31, 23, 59, 58, 5};
    EXPECT_EQ(format::fromDosDateTime(format::toDosDateTime(time)), time);
    // Before 1980 there is no DOS date: the first day stands in.
    const auto early = format::fromDosDateTime(format::toDosDateTime({1970, 5, 5, 5, 5, 5, 0}));
    EXPECT_EQ(early.year, 1980);
    EXPECT_EQ(early.month, 1);
    EXPECT_EQ(early.day, 1);
}

TEST(ZipFormat, FindsTheEndRecordBehindItsComment)
{
    TEndCentral end;
    end.TotalEntries = 3;
    end.Comment = "backup set";
    const std::string record = format::endRecordBytes(end);
    const std::string data = std::string(100, 'x') + record;
    const auto pos = format::findEndRecord(data);
    ASSERT_TRUE(pos);
    EXPECT_EQ(*pos, 100u);
    const auto parsed = format::parseEndRecord(reinterpret_cast<const unsigned char*>(data.data()) + *pos, record.size());
    EXPECT_EQ(parsed.TotalEntries, 3);
    EXPECT_EQ(parsed.Comment, "backup set");

    // A signature hidden in a comment loses against the record whose comment ends the file.
    TEndCentral decoy;
    // The hidden record claims a comment longer than what follows it.
    decoy.Comment = std::string("PK\x05\x06", 4) + std::string(16, '\0') + std::string("\x05\0", 2);
    const std::string tricky = format::endRecordBytes(decoy);
    EXPECT_EQ(format::findEndRecord(tricky), 0u);

    EXPECT_FALSE(format::findEndRecord(std::string(21, '\0')));
    EXPECT_FALSE(format::findEndRecord(std::string(4000, 'P')));
}

TEST(ZipPaths, NamesBlockFilesAndConfigurationFiles)
{
    EXPECT_EQ(BlockName("D:\\set\\desktop.zip", 1), "D:\\set\\desktop.001");
    EXPECT_EQ(BlockName("D:\\set\\desktop.003", 42), "D:\\set\\desktop.042");
    EXPECT_EQ(BlockName("D:\\set\\desktop.zip", 1000), "D:\\set\\desktop.1000");
    EXPECT_EQ(BlockName("D:\\set.v2\\desktop", 2), "D:\\set.v2\\desktop.002");
    EXPECT_EQ(ChangeExtension("A:\\registry.daz", "zfc"), "A:\\registry.zfc");
    EXPECT_TRUE(HasParentComponent("C:\\x\\..\\y"));
    EXPECT_TRUE(HasParentComponent(".."));
    EXPECT_FALSE(HasParentComponent("C:\\x..y\\..z"));
}

}  // namespace
}  // namespace brx::zip
