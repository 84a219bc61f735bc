#include "PrivateLog.h"
#include "log/LogFile.h"

#include <gtest/gtest.h>

namespace {

struct ParseCase
{
    const char* line;
    bool ok;
    int level;
    std::int32_t time;
    const char* tag;
    const char* message;
};

class LogFileParse : public testing::TestWithParam<ParseCase>
{ };

TEST_P(LogFileParse, SplitsLikeAClassicTokenizer)
{
    const ParseCase& c = GetParam();
    LogEntry entry;
    ASSERT_EQ(LogFile::parseLine(c.line, entry), c.ok) << c.line;
    if (c.ok) {
        EXPECT_EQ(entry.level, c.level);
        EXPECT_EQ(entry.time, c.time);
        EXPECT_EQ(entry.tag, c.tag);
        EXPECT_EQ(entry.message, c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LogFileParse,
    testing::Values(ParseCase {"5,899012345,SNPP:Connection accepted", true, 5, 899012345, "SNPP",
                               "Connection accepted"},
                    ParseCase {"4,1,Local:a:b,c", true, 4, 1, "Local", "a:b,c"},
                    ParseCase {"4,1,Local:", true, 4, 1, "Local", ""},
                    ParseCase {"4,1,Local", true, 4, 1, "Local", ""},
                    // Runs of delimiters before a token count as one.
                    ParseCase {",,5,,123,tag::msg", true, 5, 123, "tag", ":msg"},
                    // An empty tag: the message is taken as the tag.
                    ParseCase {"5,123,:hello", true, 5, 123, "hello", ""},
                    ParseCase {"x,y,z:m", true, 0, 0, "z", "m"},
                    ParseCase {"-3,-7,t:m", true, -3, -7, "t", "m"},
                    ParseCase {"12abc,34def,t:m", true, 12, 34, "t", "m"},
                    ParseCase {"5,123", false, 0, 0, "", ""},
                    ParseCase {"5,123,", false, 0, 0, "", ""},
                    ParseCase {"just text", false, 0, 0, "", ""},
                    ParseCase {"", false, 0, 0, "", ""}));

TEST(LogFileReader, TakesCrLfAndBareLfAndAFinalLineWithoutEnd)
{
    PrivateLog settings(4);
    settings.registry().dir().write("ndlog.dat", "1,10,A:one\r\n2,20,B:two\n3,30,C:three");
    LogFile log;
    ASSERT_TRUE(log.openForReading());
    LogEntry entry;
    std::vector<std::string> messages;
    while (log.readEntry(entry)) {
        messages.push_back(entry.tag + "=" + entry.message);
    }
    EXPECT_EQ(messages, (std::vector<std::string> {"A=one", "B=two", "C=three"}));
}

TEST(LogFileReader, StopsAtAMalformedLine)
{
    PrivateLog settings(4);
    settings.registry().dir().write("ndlog.dat", "1,10,A:one\r\nno tag here\r\n3,30,C:three\r\n");
    LogFile log;
    ASSERT_TRUE(log.openForReading());
    LogEntry entry;
    EXPECT_TRUE(log.readEntry(entry));
    EXPECT_FALSE(log.readEntry(entry));
}

TEST(LogFileReader, LongLinesReadBackWhole)
{
    PrivateLog settings(4);
    LogFile log;
    const std::string text(600, 'm');
    ASSERT_TRUE(log.write(4, "Local", "%s", text.c_str()));
    ASSERT_TRUE(log.write(4, "Local", "after"));
    ASSERT_TRUE(log.openForReading());
    LogEntry entry;
    ASSERT_TRUE(log.readEntry(entry));
    EXPECT_EQ(entry.message, text);
    ASSERT_TRUE(log.readEntry(entry));
    EXPECT_EQ(entry.message, "after");
}

TEST(LogFileReader, PicksUpLinesAppendedAfterTheEnd)
{
    PrivateLog settings(4);
    LogFile writer;
    ASSERT_TRUE(writer.write(4, "Local", "first"));
    LogFile reader;
    ASSERT_TRUE(reader.openForReading());
    LogEntry entry;
    ASSERT_TRUE(reader.readEntry(entry));
    EXPECT_FALSE(reader.readEntry(entry));
    ASSERT_TRUE(writer.write(4, "Local", "second"));
    ASSERT_TRUE(reader.readEntry(entry));
    EXPECT_EQ(entry.message, "second");
}

} // namespace
