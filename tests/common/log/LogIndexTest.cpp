#include "log/LogIndex.h"

#include "TempDir.h"
#include "log/LogFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>

namespace {

// The messages of the selected rows, in their order.
std::vector<std::string> messages(const LogIndex& index, const std::vector<std::uint32_t>& rows)
{
    std::vector<std::string> texts;
    for (std::uint32_t row : rows) {
        texts.emplace_back(index.message(index.entry(row)));
    }
    return texts;
}

// Sets TZ for one test and restores it after.
class ScopedTimeZone
{
public:
    explicit ScopedTimeZone(const char* zone)
    {
        if (const char* old = std::getenv("TZ")) {
            m_old = old;
        }
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone()
    {
        if (m_old) {
            setenv("TZ", m_old->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    std::optional<std::string> m_old;
};

TEST(LogIndex, ListsNewestFirstUpToTheChosenLevel)
{
    TempDir dir;
    const std::string path
        = dir.write("ndlog.dat", "1,10,Local:fatal\r\n4,20,SNPP:trans\r\n6,30,plover:debug\r\n");
    LogIndex index;
    ASSERT_TRUE(index.load(path)) << index.lastErrorText();
    // "Information" is item 4: levels up to 5.
    EXPECT_EQ(messages(index, index.select(5, "")), (std::vector<std::string> {"trans", "fatal"}));
    EXPECT_EQ(messages(index, index.select(6, "")),
              (std::vector<std::string> {"debug", "trans", "fatal"}));
    EXPECT_EQ(messages(index, index.select(1, "")), (std::vector<std::string> {"fatal"}));
    EXPECT_TRUE(index.complete());
}

TEST(LogIndex, ShowsTheTimeInLocalTime)
{
    const ScopedTimeZone zone("EST5EDT,M4.1.0,M10.5.0");
    std::tm when {};
    when.tm_year = 1998 - 1900;
    when.tm_mon = 6;
    when.tm_mday = 3;
    when.tm_hour = 14;
    when.tm_min = 5;
    when.tm_isdst = -1;
    const std::time_t time = std::mktime(&when);
    // Summer time in that zone: four hours behind UTC.
    ASSERT_EQ(time, 899489100);
    EXPECT_EQ(LogIndex::formatTime(static_cast<std::int32_t>(time)), "14:05 07/03/1998");
    EXPECT_EQ(LogIndex::formatTime(0), "19:00 12/31/1969");

    TempDir dir;
    LogIndex index;
    ASSERT_TRUE(index.load(dir.write("ndlog.dat", "4,899489100,Local:sent\r\n")));
    ASSERT_EQ(index.size(), 1U);
    EXPECT_EQ(index.rowText(0), "Trans\t14:05 07/03/1998\tLocal\tsent");
}

TEST(LogIndex, EndsTheListingAtALineItCannotSplit)
{
    TempDir dir;
    LogIndex index;
    ASSERT_TRUE(
        index.load(dir.write("ndlog.dat", "1,10,A:one\r\nno tag here\r\n3,30,C:three\r\n")));
    EXPECT_EQ(messages(index, index.select(12, "")), (std::vector<std::string> {"one"}));
    EXPECT_FALSE(index.complete());
    EXPECT_EQ(index.stopLine(), 2U);
}

TEST(LogIndex, AMissingFileIsAnEmptyLogAndSaysWhere)
{
    TempDir dir;
    LogIndex index;
    EXPECT_FALSE(index.load(dir.file("ndlog.dat")));
    EXPECT_EQ(index.lastError(), LogIndexError::NotFound);
    EXPECT_NE(index.lastErrorText().find(dir.file("ndlog.dat")), std::string::npos);
    EXPECT_EQ(index.size(), 0U);

    ASSERT_TRUE(index.load(dir.write("empty.dat", "")));
    EXPECT_EQ(index.size(), 0U);
    EXPECT_TRUE(index.complete());

    EXPECT_FALSE(index.load(dir.path()));
    EXPECT_EQ(index.lastError(), LogIndexError::ReadFailed);
}

// The viewer's reading and LogFile::readEntry agree entry by entry, on awkward files and on one
// larger than a single read so that lines straddle the reads, read one after another.
TEST(LogIndex, SplitsEveryFileAsTheLineReaderDoes)
{
    std::string big;
    for (int i = 0; big.size() < (std::size_t {5} << 20); ++i) {
        big += std::to_string(i % 13) + "," + std::to_string(899000000 + i) + ",Sch(name "
            + std::to_string(i) + "):" + std::string(static_cast<std::size_t>(i % 97), 'x')
            + (i % 3 ? "\r\n" : "\n");
    }
    const std::string longLine(LogFile::maxLineLength + 20, 'm');
    const std::string exactLine = "5,1,T:" + std::string(LogFile::maxLineLength - 6, 'e');
    const std::vector<std::string> files = {
        "5,1,A:one\r\n6,2,B:two\n7,3,C:three without end",
        ",,5,,123,tag::msg\r\n5,123,:hello\r\nx,y,z:m\r\n-3,-7,t:m\r\n200,1,t:high\r\n",
        "1,1,A:a\r\n\r\n2,2,B:b\r\n",
        "1,1,A:a\n\r",
        "1,1,L:" + longLine + "\r\n2,2,after:x\r\n",
        "1,1,L:" + std::string(LogFile::maxLineLength - 6, 'k') + "1,2,N:next\r\n",
        exactLine + "\n2,2,after:x\r\n",
        big,
        std::string("1,1,A:nul\0inside\r\n2,2,B:b\r\n", 24),
    };
    TempDir dir;
    // One index for all: each reading uses the memory of the one before where it fits.
    LogIndex index;
    for (std::size_t f = 0; f < files.size(); ++f) {
        const std::string path = dir.write("ndlog.dat", files[f]);
        LogFile reader;
        reader.setPath(path);
        ASSERT_TRUE(reader.openForReading());
        std::vector<LogEntry> expected;
        LogEntry entry;
        while (reader.readEntry(entry)) {
            expected.push_back(entry);
        }
        const bool wholeFile = reader.atEnd();
        ASSERT_TRUE(index.load(path)) << index.lastErrorText();
        ASSERT_EQ(index.size(), expected.size()) << "file " << f;
        EXPECT_EQ(index.complete(), wholeFile) << "file " << f;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const LogIndex::Entry& got = index.entry(i);
            ASSERT_EQ(got.levelNumber(), std::clamp(expected[i].level, -128, 127)) << f << ":" << i;
            ASSERT_EQ(got.time, expected[i].time) << f << ":" << i;
            ASSERT_EQ(index.tag(got), expected[i].tag) << f << ":" << i;
            ASSERT_EQ(index.message(got), expected[i].message) << f << ":" << i;
        }
    }
}

TEST(LogIndex, FiltersOnOriginAndMessageWithoutRegardToCase)
{
    TempDir dir;
    LogIndex index;
    ASSERT_TRUE(index.load(dir.write("ndlog.dat",
                                     "5,10,SNPP:Connection accepted\r\n"
                                     "5,11,Local:Sent to Alice\r\n"
                                     "5,12,plover:Write=6[SEND<0d><0a>]\r\n"
                                     "9,13,Local:alice debug\r\n")));
    EXPECT_EQ(messages(index, index.select(5, "ALICE")),
              (std::vector<std::string> {"Sent to Alice"}));
    EXPECT_EQ(messages(index, index.select(12, "alice")),
              (std::vector<std::string> {"alice debug", "Sent to Alice"}));
    EXPECT_EQ(messages(index, index.select(5, "snpp")),
              (std::vector<std::string> {"Connection accepted"}));
    // The level and time are not searched, and a tag and message are not searched as one.
    EXPECT_TRUE(index.select(12, "899").empty());
    EXPECT_TRUE(index.select(12, "snpp:conn").empty());
    EXPECT_TRUE(index.select(12, "a much longer text than any message").empty());
}

TEST(LogIndex, FindsARowByItsKeyAndReportsProgressAndStops)
{
    TempDir dir;
    std::string text;
    for (int i = 0; i < 200000; ++i) {
        text += std::to_string(i % 7) + ",1000,Local:line " + std::to_string(i) + "\r\n";
    }
    const std::string path = dir.write("ndlog.dat", text);
    LogIndex index;
    std::uint64_t lastDone = 0, lastTotal = 0;
    int calls = 0;
    ASSERT_TRUE(index.load(path, {}, [&](std::uint64_t done, std::uint64_t total) {
        EXPECT_GE(done, lastDone);
        lastDone = done;
        lastTotal = total;
        ++calls;
    }));
    EXPECT_EQ(lastDone, text.size());
    EXPECT_EQ(lastTotal, text.size());
    EXPECT_GE(calls, 1);

    const std::vector<std::uint32_t> rows = index.select(5, "");
    for (std::size_t row : {std::size_t {0}, rows.size() / 2, rows.size() - 1}) {
        EXPECT_EQ(LogIndex::rowOfKey(index, rows, index.entry(rows[row]).offset),
                  static_cast<std::int64_t>(row));
    }
    // A level-6 entry is not among the rows up to level 5.
    EXPECT_EQ(LogIndex::rowOfKey(index, rows, index.entry(6).offset), -1);

    std::stop_source stop;
    stop.request_stop();
    EXPECT_FALSE(index.load(path, stop.get_token()));
    EXPECT_EQ(index.lastError(), LogIndexError::Stopped);
    EXPECT_EQ(index.size(), 0U);
}

} // namespace
