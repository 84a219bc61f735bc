#include "log/LogLevel.h"

#include "log/LogFile.h"

#include <gtest/gtest.h>

namespace {

TEST(LogLevel, ShortNamesAndBad)
{
    const std::vector<std::string_view> expected
        = {"None",   "Fatal",  "Errors", "Security", "Trans",  "Info",  "Debug",
           "Debug1", "Debug2", "Debug3", "Debug4",   "Debug5", "Debug6"};
    for (int level = 0; level <= 12; ++level) {
        EXPECT_EQ(LogFile::levelName(level), expected[static_cast<std::size_t>(level)]);
    }
    EXPECT_EQ(LogFile::levelName(-1), "Bad");
    EXPECT_EQ(LogFile::levelName(13), "Bad");
}

TEST(LogLevel, ListsLineUpWithTheLevels)
{
    EXPECT_EQ(LogLevel::optionsNames[4], "Transactions");
    // The viewer's list starts at "Fatal Errors": position p shows up to level p + 1.
    for (std::size_t p = 0; p < LogLevel::viewerNames.size(); ++p) {
        EXPECT_EQ(LogLevel::viewerNames[p], LogLevel::optionsNames[p + 1]);
    }
}

TEST(LogLevel, FromText)
{
    EXPECT_EQ(LogLevel::fromText("5"), 5);
    EXPECT_EQ(LogLevel::fromText("info"), 5);
    EXPECT_EQ(LogLevel::fromText("Debug (All)"), 12);
    EXPECT_EQ(LogLevel::fromText("Transactions"), 4);
    EXPECT_EQ(LogLevel::fromText("13"), -1);
    EXPECT_EQ(LogLevel::fromText("5x"), -1);
    EXPECT_EQ(LogLevel::fromText("loud"), -1);
}

} // namespace
