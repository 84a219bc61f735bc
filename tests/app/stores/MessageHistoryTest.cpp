#include "stores/MessageHistory.h"

#include "ScopedRegistry.h"
#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"
#include "stores/StoreSettings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace {

class History : public testing::Test
{
protected:
    std::vector<std::string> lines() const
    {
        const std::string text = m_registry.dir().read("msg.dat");
        std::vector<std::string> result;
        std::size_t start = 0;
        for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos;
             start = end + 2) {
            result.push_back(text.substr(start, end - start));
        }
        EXPECT_EQ(start, text.size()) << "every line ends in CR LF";
        return result;
    }
    void setBound(int count)
    {
        SettingsKey messages(RootKey::CurrentUser, StoreSettings::Messages::key);
        ASSERT_TRUE(messages.setNumber("maxSavedCount", count));
    }

    ScopedRegistry m_registry;
    MessageHistory m_history {m_registry.dir().file("msg.dat")};
};

TEST_F(History, ThirtySendsKeepTheNewestAndTwentyOlder)
{
    for (int i = 0; i < 30; ++i) {
        ASSERT_TRUE(
            m_history.recordSent("555-1234/" + std::to_string(i), "page " + std::to_string(i)))
            << MessageHistory::lastErrorText();
    }
    const std::vector<std::string> all = lines();
    ASSERT_EQ(all.size(), 21u);
    EXPECT_EQ(all.front(), "555-1234/29=page 29");
    EXPECT_EQ(all.back(), "555-1234/9=page 9");
    std::string entry;
    ASSERT_TRUE(m_history.getAt(0, entry));
    EXPECT_EQ(entry, "555-1234/29=page 29\n");
}

TEST_F(History, SendingTheSameAgainMovesItToTheTop)
{
    ASSERT_TRUE(m_history.recordSent("a", "one"));
    ASSERT_TRUE(m_history.recordSent("b", "two"));
    ASSERT_TRUE(m_history.recordSent("c", "three"));
    ASSERT_TRUE(m_history.recordSent("a", "one"));
    EXPECT_EQ(lines(), (std::vector<std::string> {"a=one", "c=three", "b=two"}));
    // Another message to the same recipients is another entry.
    ASSERT_TRUE(m_history.recordSent("a", "One"));
    EXPECT_EQ(lines().size(), 4u);
}

TEST_F(History, EntriesShorterThanThreeCharactersAreRefused)
{
    EXPECT_FALSE(m_history.add("a\n"));
    EXPECT_FALSE(m_history.recordSent("", ""));
    EXPECT_EQ(MessageHistory::lastError(), StoreErrorCode::BadField);
    EXPECT_FALSE(std::filesystem::exists(m_history.path()));
    EXPECT_TRUE(m_history.add("a=\n"));
    EXPECT_TRUE(m_history.add("b=c"));
    EXPECT_EQ(lines(), (std::vector<std::string> {"b=c", "a="}));
    EXPECT_FALSE(m_history.add("two\nlines\n"));
}

TEST_F(History, PositionsAboveTheBoundAreNotRead)
{
    std::string text;
    for (int i = 0; i < 25; ++i) {
        text += "r=line " + std::to_string(i) + "\r\n";
    }
    m_registry.dir().write("msg.dat", text);
    std::string entry;
    EXPECT_FALSE(m_history.getAt(21, entry));
    EXPECT_EQ(MessageHistory::lastError(), StoreErrorCode::NoRecord);
    ASSERT_TRUE(m_history.getAt(20, entry));
    EXPECT_EQ(entry, "r=line 20\n");
    EXPECT_FALSE(m_history.getAt(-1, entry));

    // A smaller bound reads and keeps less; the file shrinks at the next addition only.
    setBound(5);
    EXPECT_FALSE(m_history.getAt(6, entry));
    EXPECT_TRUE(m_history.getAt(5, entry));
    EXPECT_EQ(lines().size(), 25u);
    ASSERT_TRUE(m_history.recordSent("new", "page"));
    EXPECT_EQ(lines().size(), 6u);
    EXPECT_EQ(lines()[5], "r=line 4");
}

TEST_F(History, ABoundOfZeroKeepsOnlyTheNewest)
{
    setBound(0);
    ASSERT_TRUE(m_history.recordSent("a", "one"));
    ASSERT_TRUE(m_history.recordSent("b", "two"));
    EXPECT_EQ(lines(), (std::vector<std::string> {"b=two"}));
}

TEST_F(History, PurgeDeletesAndAMissingHistoryReadsAsEmpty)
{
    std::string entry;
    EXPECT_FALSE(m_history.getAt(0, entry));
    EXPECT_EQ(MessageHistory::lastError(), StoreErrorCode::Missing);
    EXPECT_TRUE(m_history.purge());
    ASSERT_TRUE(m_history.recordSent("a", "one"));
    ASSERT_TRUE(m_history.getAt(0, entry));
    EXPECT_TRUE(m_history.purge());
    EXPECT_FALSE(m_history.getAt(0, entry));
    EXPECT_FALSE(std::filesystem::exists(m_history.path()));
}

struct RoundTrip
{
    std::string recipients;
    std::string message;
    std::string stored;
};

class HistoryRoundTrip : public History, public testing::WithParamInterface<RoundTrip>
{ };

TEST_P(HistoryRoundTrip, EveryEntryIsOneLineAndSplitsBack)
{
    ASSERT_TRUE(m_history.recordSent(GetParam().recipients, GetParam().message));
    EXPECT_EQ(lines(), (std::vector<std::string> {GetParam().stored}));
    std::string entry, recipients, message;
    ASSERT_TRUE(m_history.getAt(0, entry));
    ASSERT_TRUE(MessageHistory::splitEntry(entry, recipients, message));
    EXPECT_EQ(recipients, GetParam().recipients);
    EXPECT_EQ(message, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HistoryRoundTrip,
    testing::Values(RoundTrip {"555-1234/11;host!7", "Disk full", "555-1234/11;host!7=Disk full"},
                    RoundTrip {"a", "two\r\nlines", "a=two<0d><0a>lines"},
                    RoundTrip {"a", "bare\nLF and CR\r", "a=bare<0a>LF and CR<0d>"},
                    RoundTrip {"a", "x=y", "a=x=y"}, RoundTrip {"odd=name", "m", "odd<3d>name=m"},
                    RoundTrip {"a", "<0a> typed <b>", "a=<3c>0a> typed <b>"},
                    RoundTrip {"a<", "<", "a<=<"}, RoundTrip {"a", "", "a="}));

TEST_F(History, AFailedReplacementLeavesTheHistoryAsItWas)
{
    ASSERT_TRUE(m_history.recordSent("a", "one"));
    const std::string before = m_registry.dir().read("msg.dat");
    std::filesystem::create_directory(m_registry.dir().file("msg.tmp"));
    EXPECT_FALSE(m_history.recordSent("b", "two"));
    EXPECT_EQ(MessageHistory::lastError(), StoreErrorCode::Io);
    EXPECT_NE(MessageHistory::lastErrorText().find("msg.tmp"), std::string::npos);
    EXPECT_EQ(m_registry.dir().read("msg.dat"), before);
}

TEST_F(History, ConcurrentAdditionsLoseNothing)
{
    setBound(1000);
    constexpr int threads = 4, each = 25;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([this, t] {
            MessageHistory own(m_history.path());
            for (int i = 0; i < each; ++i) {
                EXPECT_TRUE(own.recordSent("t" + std::to_string(t), std::to_string(i)));
            }
        });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    EXPECT_EQ(lines().size(), static_cast<std::size_t>(threads * each));
}

TEST_F(History, PathComesFromMsgDbsThenHomeThenTheBareName)
{
    SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    MessageHistory history;
    history.initPath();
    // A first run: `home` becomes the data folder.
    EXPECT_EQ(history.path(), m_registry.firstRunHome() + "/data/msg.dat");
    ASSERT_TRUE(paths.setString("home", ""));
    history.initPath();
    EXPECT_EQ(history.path(), "msg.dat");
    ASSERT_TRUE(paths.setString("home", "/srv/norvane"));
    history.initPath();
    EXPECT_EQ(history.path(), "/srv/norvane/data/msg.dat");
    ASSERT_TRUE(paths.setString("msgDbs", "/elsewhere/history.dat"));
    history.initPath();
    EXPECT_EQ(history.path(), "/elsewhere/history.dat");
    EXPECT_EQ(MessageHistory::maxSavedCount(), 20);
}

} // namespace
