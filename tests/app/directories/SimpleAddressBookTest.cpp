#include "directories/SimpleAddressBook.h"

#include "DirectoryTestSupport.h"
#include "RecordingPrompt.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace {

constexpr std::int32_t notFound = 0x3008D;
constexpr std::int32_t emptyPager = 0x3008E;

class SimpleAddressBookTest : public testing::Test
{
protected:
    void SetUp() override
    {
        path = registry.dir().file("simpleAdb.mdb");
        setPath("simpleAdb", path);
        prompt->choices.push_back(createChoice());
        ASSERT_TRUE(book.open()) << book.lastErrorText();
        ASSERT_TRUE(book.isOpen());
    }

    std::vector<std::pair<std::string, std::string>> entries()
    {
        CollectingVisitor visitor;
        EXPECT_TRUE(book.enumerate(visitor));
        return visitor.entries;
    }

    ScopedRegistry registry;
    std::string path;
    std::shared_ptr<RecordingPrompt> prompt = std::make_shared<RecordingPrompt>();
    SimpleAddressBook book {prompt};
};

TEST_F(SimpleAddressBookTest, CreatedFileHasTheTableAndThePathIsWritten)
{
    ASSERT_EQ(prompt->ofKind("locate").size(), 1u);
    EXPECT_EQ(prompt->ofKind("locate")[0].text,
              "Cannot find the Simple Address Book database file\n[" + path + "]\n");
    EXPECT_EQ(prompt->lastRequest.fileName, "simpleAdb.mdb");
    EXPECT_EQ(readString(pathsKey, "simpleAdb"), path);
    EXPECT_EQ(querySql(path, "SELECT group_concat(name) FROM pragma_table_info('adbTable')"),
              "Name,PagerInfo");
    EXPECT_EQ(querySql(path,
                       "SELECT \"unique\" FROM pragma_index_list('adbTable')"
                       " WHERE name = 'PrimaryKey'"),
              "1");
    EXPECT_FALSE(book.isDisabled());
    EXPECT_TRUE(book.isWritable());
    EXPECT_TRUE(entries().empty());
}

TEST_F(SimpleAddressBookTest, FindLikeGivesTheWholeNameOrError141)
{
    ASSERT_TRUE(book.add("Robert Smith", "555-1234/12"));
    ASSERT_TRUE(book.add("Alice", "host!1"));
    std::string name;
    EXPECT_TRUE(book.findLike("rob", name));
    EXPECT_EQ(name, "Robert Smith");
    EXPECT_TRUE(book.findLike("Al  ", name)); // trailing blanks of the prefix do not count
    EXPECT_EQ(name, "Alice");
    EXPECT_FALSE(book.findLike("Bob", name));
    EXPECT_EQ(book.lastErrorCode(), notFound);
    EXPECT_EQ(book.lastErrorText(), "Address Book Error: entry not found");
}

TEST_F(SimpleAddressBookTest, FindLikeTakesWildcardCharactersLiterally)
{
    ASSERT_TRUE(book.add("100% Sure", "1/1"));
    ASSERT_TRUE(book.add("1000 Names", "1/2"));
    ASSERT_TRUE(book.add("a_b", "1/3"));
    ASSERT_TRUE(book.add("axb", "1/4"));
    ASSERT_TRUE(book.add("back\\slash", "1/5"));
    std::string name;
    EXPECT_TRUE(book.findLike("100%", name));
    EXPECT_EQ(name, "100% Sure");
    EXPECT_TRUE(book.findLike("a_", name));
    EXPECT_EQ(name, "a_b");
    EXPECT_TRUE(book.findLike("back\\", name));
    EXPECT_EQ(name, "back\\slash");
    for (const char* wildcard : {"*", "a?b", "1#", "[a]", "ax%"}) {
        EXPECT_FALSE(book.findLike(wildcard, name)) << wildcard;
    }
}

TEST_F(SimpleAddressBookTest, GetPagerInfoFindsAnyCaseAndReports141And142)
{
    ASSERT_TRUE(book.add("Pat", "555-1234/12"));
    ASSERT_TRUE(book.add("Empty", ""));
    std::string info;
    EXPECT_TRUE(book.getPagerInfo("PAT", info));
    EXPECT_EQ(info, "555-1234/12");
    EXPECT_FALSE(book.getPagerInfo("Nobody", info));
    EXPECT_EQ(book.lastErrorCode(), notFound);
    EXPECT_FALSE(book.getPagerInfo("Empty", info));
    EXPECT_EQ(book.lastErrorCode(), emptyPager);
    EXPECT_EQ(book.lastErrorText(), "Invalid Address: bad  or empty pager phone number");
}

// Look-ups in an unchanged file are answered from what was read before; every change, by
// this book or by another process, and also one that keeps the file's size, is seen at once.
TEST_F(SimpleAddressBookTest, RepeatedLookUpsSeeEveryChangeAtOnce)
{
    ASSERT_TRUE(book.add("alice", "111"));
    const auto getPagerInfo = [&](const std::string& name, std::string& found) {
        return book.getPagerInfo(name, found);
    };
    for (int round = 0; round < 2; ++round) {
        expectLookUps(getPagerInfo, {{"alice", "111"}, {"bob", std::nullopt}});
        EXPECT_EQ(book.lastErrorCode(), notFound);
    }
    ASSERT_TRUE(runSqlInAnotherProcess(path,
                                       "UPDATE adbTable SET PagerInfo = '222'"
                                       " WHERE Name = 'alice';"
                                       "INSERT INTO adbTable VALUES ('bob', '333');"));
    expectLookUps(getPagerInfo, {{"alice", "222"}, {"bob", "333"}});
    ASSERT_TRUE(book.update("alice", "444"));
    expectLookUps(getPagerInfo, {{"alice", "444"}});
    ASSERT_TRUE(runSqlInAnotherProcess(path,
                                       "UPDATE adbTable SET PagerInfo = ''"
                                       " WHERE Name = 'alice';"
                                       "DELETE FROM adbTable WHERE Name = 'bob';"));
    std::string info;
    EXPECT_FALSE(book.getPagerInfo("alice", info));
    EXPECT_EQ(book.lastErrorCode(), emptyPager);
    EXPECT_FALSE(book.getPagerInfo("bob", info));
    EXPECT_EQ(book.lastErrorCode(), notFound);
    // A file replaced by another one with the same change counter is not mistaken for it.
    book.close();
    const std::string other = registry.dir().file("other.mdb");
    std::filesystem::copy_file(path, other);
    ASSERT_EQ(runSql(other, "UPDATE adbTable SET PagerInfo = '555' WHERE Name = 'alice'"), "");
    ASSERT_EQ(runSql(path, "UPDATE adbTable SET PagerInfo = '666' WHERE Name = 'alice'"), "");
    ASSERT_TRUE(book.open());
    expectLookUps(getPagerInfo, {{"alice", "666"}});
    book.close();
    ASSERT_TRUE(book.setPath(other));
    ASSERT_TRUE(book.open());
    expectLookUps(getPagerInfo, {{"alice", "555"}});
}

TEST_F(SimpleAddressBookTest, UpdateChangesOnlyThatEntry)
{
    ASSERT_TRUE(book.add("A", "1/1"));
    ASSERT_TRUE(book.add("B", "2/2"));
    ASSERT_TRUE(book.add("C", "3/3"));
    ASSERT_TRUE(book.update("b  ", "9/9  "));
    const std::vector<std::pair<std::string, std::string>> expected
        = {{"A", "1/1"}, {"B", "9/9"}, {"C", "3/3"}};
    EXPECT_EQ(entries(), expected);
    EXPECT_FALSE(book.update("D", "4/4"));
    EXPECT_EQ(book.lastErrorCode(), notFound);
    // An overwrite with a refused value leaves the entry as it was.
    EXPECT_FALSE(book.update("B", std::string(51, '5')));
    EXPECT_EQ(entries(), expected);
}

TEST_F(SimpleAddressBookTest, RemoveDeletesOnlyThatEntry)
{
    ASSERT_TRUE(book.add("A", "1/1"));
    ASSERT_TRUE(book.add("B", "2/2"));
    EXPECT_TRUE(book.remove("a"));
    EXPECT_FALSE(book.remove("a"));
    EXPECT_EQ(book.lastErrorCode(), notFound);
    const std::vector<std::pair<std::string, std::string>> expected = {{"B", "2/2"}};
    EXPECT_EQ(entries(), expected);
}

struct RefusedName
{
    const char* label;
    std::string name;
    std::string pagerInfo;
    const char* errorPart;
};

class SimpleBookRefuses : public SimpleAddressBookTest,
                          public testing::WithParamInterface<RefusedName>
{ };

TEST_P(SimpleBookRefuses, AddWithACleanError)
{
    ASSERT_TRUE(book.add("Taken", "1/1"));
    EXPECT_FALSE(book.add(GetParam().name, GetParam().pagerInfo));
    EXPECT_EQ(book.lastErrorCode(), 0x30087); // the "cannot add entry" message
    EXPECT_NE(book.lastErrorText().find(GetParam().errorPart), std::string::npos)
        << book.lastErrorText();
    EXPECT_EQ(entries().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SimpleBookRefuses,
    testing::Values(RefusedName {"semicolon", "Smith; Pat", "1/1", "holds \";\" or \"=\""},
                    RefusedName {"equals", "a=b", "1/1", "holds \";\" or \"=\""},
                    RefusedName {"empty", "", "1/1", "is empty"},
                    RefusedName {"blanksOnly", "   ", "1/1", "is empty"},
                    RefusedName {"longName", std::string(51, 'x'), "1/1", "longer than 50"},
                    RefusedName {"longInfo", "x", "1/" + std::string(49, '1'), "longer than 50"},
                    RefusedName {"duplicate", "TAKEN", "2/2", "exists already"}),
    [](const auto& p) { return p.param.label; });

TEST_F(SimpleAddressBookTest, QuotesInNamesAreStoredAndFound)
{
    ASSERT_TRUE(book.add("Pat \"The Pager\" O'Neil", "1/1"));
    std::string info;
    EXPECT_TRUE(book.getPagerInfo("pat \"the pager\" o'neil", info));
    EXPECT_TRUE(book.remove("Pat \"The Pager\" O'Neil"));
}

TEST_F(SimpleAddressBookTest, LastErrorBelongsToTheCallingThread)
{
    ASSERT_TRUE(book.add("Empty", ""));
    std::atomic<int> wrong {0};
    const auto lookUp = [&](const char* name, std::int32_t expected) {
        for (int i = 0; i < 200; ++i) {
            std::string info;
            if (book.getPagerInfo(name, info) || book.lastErrorCode() != expected) {
                ++wrong;
            }
        }
    };
    std::thread missing(lookUp, "Nobody", notFound);
    std::thread empty(lookUp, "Empty", emptyPager);
    missing.join();
    empty.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST(SimpleAddressBook, ADataSourcePathOpensReadOnly)
{
    ScopedRegistry registry;
    const std::string file = registry.dir().file("shared.db");
    {
        SimpleAddressBook writer;
        ASSERT_TRUE(writer.setPath(file));
        ASSERT_TRUE(writer.open()); // created headless
        ASSERT_TRUE(writer.add("Pat", "555/1"));
    }
    for (const std::string& source : {"=" + file, "=file:" + file + "?mode=ro"}) {
        auto prompt = std::make_shared<RecordingPrompt>();
        SimpleAddressBook book(prompt);
        ASSERT_TRUE(book.setPath(source));
        ASSERT_TRUE(book.locate());
        ASSERT_TRUE(book.open()) << source << ": " << book.lastErrorText();
        EXPECT_TRUE(prompt->ofKind("locate").empty());
        EXPECT_TRUE(book.isDisabled());
        EXPECT_FALSE(book.isWritable());
        std::string info;
        EXPECT_TRUE(book.getPagerInfo("pat", info));
        EXPECT_EQ(info, "555/1");
        EXPECT_FALSE(book.add("Lee", "1/1"));
        EXPECT_NE(book.lastErrorText().find("read-only"), std::string::npos);
        EXPECT_FALSE(book.update("Pat", "1/1"));
        EXPECT_FALSE(book.remove("Pat"));
    }
    EXPECT_EQ(readString(pathsKey, "simpleAdb"), "=file:" + file + "?mode=ro");
}

TEST(SimpleAddressBook, UnavailableBookOpensEmptyAndRefusesLookUps)
{
    ScopedRegistry registry;
    setPath("simpleAdb", registry.dir().file("missing.mdb"));
    auto prompt = std::make_shared<RecordingPrompt>(); // answers Cancel
    SimpleAddressBook book(prompt);
    EXPECT_FALSE(book.locate());
    EXPECT_TRUE(book.isUnavailable());
    EXPECT_TRUE(book.open());
    EXPECT_FALSE(book.isOpen());
    EXPECT_TRUE(book.isDisabled());
    CollectingVisitor visitor;
    EXPECT_TRUE(book.enumerate(visitor));
    EXPECT_TRUE(visitor.entries.empty());
    std::string info;
    EXPECT_FALSE(book.getPagerInfo("Pat", info));
    EXPECT_NE(book.lastErrorText().find("not available"), std::string::npos);
    EXPECT_FALSE(book.add("Pat", "1/1"));
    EXPECT_FALSE(std::filesystem::exists(registry.dir().file("missing.mdb")));

    // A new path clears the flag, and the next open locates again.
    prompt->choices.push_back(createChoice());
    ASSERT_TRUE(book.setPath(registry.dir().file("new.mdb")));
    EXPECT_FALSE(book.isUnavailable());
    ASSERT_TRUE(book.open());
    EXPECT_TRUE(book.add("Pat", "1/1"));
}

TEST(SimpleAddressBook, NotOpenBookIsDisabledAndFails)
{
    ScopedRegistry registry;
    SimpleAddressBook book;
    EXPECT_TRUE(book.isDisabled());
    std::string info;
    EXPECT_FALSE(book.getPagerInfo("x", info));
    EXPECT_EQ(book.lastErrorText(), "Address Book Error: address book is not open");
    EXPECT_FALSE(book.findLike("x", info));
}

} // namespace
