#include "directories/ProviderDatabase.h"

#include "DirectoryTestSupport.h"
#include "RecordingPrompt.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// A database created in the test's folder through "C&reate".
class ProviderDatabaseTest : public testing::Test
{
protected:
    void SetUp() override
    {
        path = registry.dir().file("pspDbs.mdb");
        setPath("pspDbs", path);
        prompt->choices.push_back(createChoice());
        ASSERT_TRUE(database.open()) << database.lastErrorText();
    }

    std::vector<Provider> listed()
    {
        std::vector<Provider> rows;
        EXPECT_TRUE(database.beginIteration());
        std::string name, phone;
        while (!database.atEnd()) {
            EXPECT_TRUE(database.next(name, phone));
            rows.push_back({name, phone});
        }
        database.endIteration();
        return rows;
    }

    ScopedRegistry registry;
    std::string path;
    std::shared_ptr<RecordingPrompt> prompt = std::make_shared<RecordingPrompt>();
    ProviderDatabase database {prompt};
};

TEST_F(ProviderDatabaseTest, CreateMakesTheTableAndIndexAndTheNextStartFindsTheFile)
{
    ASSERT_EQ(prompt->ofKind("locate").size(), 1u);
    EXPECT_EQ(prompt->ofKind("locate")[0].text,
              "Cannot find the Paging Service Provider database file\n[" + path + "]\n");
    EXPECT_EQ(prompt->lastRequest.fileName, "pspDbs.mdb");
    EXPECT_EQ(prompt->lastRequest.filter, "Database File (*.mdb)|*.mdb|All Files (*.*)|*.*||");
    EXPECT_EQ(readString(pathsKey, "pspDbs"), path);
    EXPECT_EQ(querySql(path, "SELECT group_concat(name) FROM pragma_table_info('pspTable')"),
              "Name,Phone,ConType,ConParam");
    EXPECT_EQ(querySql(path,
                       "SELECT \"unique\" FROM pragma_index_list('pspTable')"
                       " WHERE name = 'PrimaryKey'"),
              "1");
    EXPECT_TRUE(listed().empty());

    auto second = std::make_shared<RecordingPrompt>();
    ProviderDatabase again(second);
    EXPECT_TRUE(again.open());
    EXPECT_TRUE(second->ofKind("locate").empty());
}

TEST_F(ProviderDatabaseTest, AddedProviderIsFoundByNameAndNumberInAnyCase)
{
    ASSERT_TRUE(database.add("Acme Paging", "555-1234"));
    std::string phone, name;
    EXPECT_TRUE(database.getPhone("ACME paging", phone));
    EXPECT_EQ(phone, "555-1234");
    EXPECT_TRUE(database.getName("555-1234", name));
    EXPECT_EQ(name, "Acme Paging");
    EXPECT_FALSE(database.getPhone("Acme", phone));
    EXPECT_FALSE(database.getName("555", name));
    EXPECT_NE(database.lastErrorText().find("no provider with the number \"555\""),
              std::string::npos);
}

TEST_F(ProviderDatabaseTest, NamesWithQuotesAndSqlCharactersAreStoredFoundAndRemoved)
{
    const std::vector<std::string> names = {"Say \"Hi\" Paging", "O'Brien's", "a%b_c*?#[x]",
                                            "x\"; DROP TABLE pspTable; --", "Ünïcödé Pagers"};
    for (const std::string& name : names) {
        ASSERT_TRUE(database.add(name, "1-800")) << name << ": " << database.lastErrorText();
    }
    for (const std::string& name : names) {
        std::string phone;
        EXPECT_TRUE(database.getPhone(name, phone)) << name;
        EXPECT_TRUE(database.remove(name)) << name;
        EXPECT_FALSE(database.getPhone(name, phone)) << name;
    }
    EXPECT_TRUE(listed().empty());
}

TEST_F(ProviderDatabaseTest, DuplicateNameInAnotherCaseIsRefusedAndReported)
{
    ASSERT_TRUE(database.add("Acme", "1"));
    EXPECT_FALSE(database.add("ACME", "2"));
    EXPECT_NE(database.lastErrorText().find("exists already"), std::string::npos);
    ASSERT_EQ(prompt->ofKind("database").size(), 1u);
    EXPECT_EQ(prompt->ofKind("database")[0].caption, "PSP Add Failed");
    std::string phone;
    ASSERT_TRUE(database.getPhone("acme", phone));
    EXPECT_EQ(phone, "1");
}

std::string repeat(std::string_view piece, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += piece;
    }
    return text;
}

struct FieldCase
{
    const char* label;
    std::string name;
    std::string phone;
    bool accepted;
    const char* errorPart;
};

class ProviderFields : public ProviderDatabaseTest, public testing::WithParamInterface<FieldCase>
{ };

TEST_P(ProviderFields, LengthAndEmptinessAreCheckedNotCut)
{
    EXPECT_EQ(database.add(GetParam().name, GetParam().phone), GetParam().accepted);
    if (!GetParam().accepted) {
        EXPECT_NE(database.lastErrorText().find(GetParam().errorPart), std::string::npos)
            << database.lastErrorText();
        EXPECT_TRUE(listed().empty());
    } else {
        std::string phone;
        ASSERT_TRUE(database.getPhone(GetParam().name, phone));
        EXPECT_EQ(phone, GetParam().phone);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ProviderFields,
    testing::Values(
        FieldCase {"fiftyChars", std::string(50, 'n'), std::string(50, '9'), true, ""},
        FieldCase {"fiftyTwoByteChars", repeat("\xC3\xA9", 50), "1", true, ""},
        FieldCase {"fiftyOneTwoByteChars", repeat("\xC3\xA9", 51), "1", false, "longer than"},
        FieldCase {"longName", std::string(51, 'n'), "1", false, "longer than 50 characters"},
        FieldCase {"longPhone", "n", std::string(51, '9'), false, "longer than 50 characters"},
        FieldCase {"emptyName", "", "1", false, "name is empty"},
        FieldCase {"emptyPhone", "n", "", false, "number is empty"}),
    [](const auto& p) { return p.param.label; });

// A provider's name by number is read again whenever the file changed, here or in another
// process, even when the change keeps the file's size.
TEST_F(ProviderDatabaseTest, RepeatedNameLookUpsSeeEveryChangeAtOnce)
{
    ASSERT_TRUE(database.add("Alpha", "5551111"));
    const auto getName = [&](const std::string& phone, std::string& found) {
        return database.getName(phone, found);
    };
    for (int round = 0; round < 2; ++round) {
        expectLookUps(getName, {{"5551111", "Alpha"}, {"5552222", std::nullopt}});
    }
    ASSERT_TRUE(runSqlInAnotherProcess(path,
                                       "UPDATE pspTable SET Name = 'Brave'"
                                       " WHERE Name = 'Alpha';"
                                       "INSERT INTO pspTable (Name, Phone)"
                                       " VALUES ('Gamma', '5552222');"));
    expectLookUps(getName, {{"5551111", "Brave"}, {"5552222", "Gamma"}});
    ASSERT_TRUE(database.replace("Brave", "5553333"));
    std::string name;
    EXPECT_FALSE(database.getName("5551111", name));
    EXPECT_NE(database.lastErrorText().find("no provider with the number \"5551111\""),
              std::string::npos)
        << database.lastErrorText();
}

TEST_F(ProviderDatabaseTest, ReplaceChangesTheRowInPlaceOrAddsIt)
{
    ASSERT_TRUE(database.add("Acme", "1"));
    ASSERT_TRUE(database.add("Beta", "2"));
    EXPECT_FALSE(database.replace("ACME", std::string(51, '9')));
    EXPECT_NE(database.lastErrorText().find("longer than 50 characters"), std::string::npos)
        << database.lastErrorText();
    EXPECT_FALSE(database.replace("Acme", ""));
    std::string phone;
    ASSERT_TRUE(database.getPhone("acme", phone));
    EXPECT_EQ(phone, "1");

    // The same row changes (its rowid stays), so it is never missing in between.
    const std::string row = querySql(path, "SELECT rowid FROM pspTable WHERE Name = 'Acme'");
    ASSERT_TRUE(database.replace("ACME", "3")) << database.lastErrorText();
    EXPECT_EQ(querySql(path,
                       "SELECT rowid || ',' || Name || ',' || Phone FROM pspTable"
                       " WHERE Name = 'acme'"),
              row + ",ACME,3");
    ASSERT_TRUE(database.replace("Gamma", "4"));
    const std::vector<Provider> rows = listed();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2].name + "=" + rows[2].phone, "Gamma=4");
}

TEST_F(ProviderDatabaseTest, IterationListsEveryRowAndANullNumberReadsNull)
{
    ASSERT_TRUE(database.add("Beta", "2"));
    ASSERT_TRUE(database.add("Alpha", "1  "));
    ASSERT_EQ(runSql(path, "INSERT INTO pspTable (Name, Phone) VALUES ('Gamma', NULL)"), "");
    const std::vector<Provider> rows = listed();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].name, "Alpha");
    EXPECT_EQ(rows[0].phone, "1"); // trailing blanks removed in the listing
    EXPECT_EQ(rows[1].phone, "2");
    EXPECT_EQ(rows[2].phone, "NULL");
    std::string phone;
    EXPECT_TRUE(database.getPhone("Alpha", phone));
    EXPECT_EQ(phone, "1  "); // as stored
}

TEST_F(ProviderDatabaseTest, IterationStateIsReportedAsTheOperationsSay)
{
    std::string name, phone;
    EXPECT_FALSE(database.atEnd());
    EXPECT_FALSE(database.next(name, phone));
    ASSERT_TRUE(database.add("Only", "1"));
    ASSERT_TRUE(database.beginIteration());
    EXPECT_FALSE(database.atEnd());
    EXPECT_TRUE(database.next(name, phone));
    EXPECT_TRUE(database.atEnd());
    EXPECT_FALSE(database.next(name, phone));
    // Beginning again ends the first iteration and starts over.
    ASSERT_TRUE(database.beginIteration());
    EXPECT_TRUE(database.next(name, phone));
    EXPECT_EQ(name, "Only");
    database.endIteration();
    EXPECT_FALSE(database.atEnd());
}

TEST_F(ProviderDatabaseTest, RemoveOfAMissingNameFails)
{
    EXPECT_FALSE(database.remove("Nobody"));
    EXPECT_NE(database.lastErrorText().find("no provider named \"Nobody\""), std::string::npos);
}

TEST(ProviderDatabase, CancelMakesTheDatabaseUnavailableWithoutWritingThePath)
{
    ScopedRegistry registry;
    setPath("home", registry.dir().file("home"));
    auto prompt = std::make_shared<RecordingPrompt>();
    ProviderDatabase database(prompt);
    database.locate();
    EXPECT_TRUE(database.isUnavailable());
    EXPECT_EQ(readString(pathsKey, "pspDbs"), "");
    EXPECT_FALSE(database.open());
    EXPECT_FALSE(database.beginIteration());
    EXPECT_FALSE(database.add("Acme", "1"));
    std::string phone;
    EXPECT_FALSE(database.getPhone("Acme", phone));
    database.locate(); // nothing happens while unavailable
    EXPECT_EQ(prompt->ofKind("locate").size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(registry.dir().file("home/data/pspDbs.mdb")));
}

TEST(ProviderDatabase, BrowseToAnExistingFileUsesItAndWritesItsPath)
{
    ScopedRegistry registry;
    const std::string elsewhere = registry.dir().file("elsewhere.mdb");
    {
        auto creating = std::make_shared<RecordingPrompt>();
        creating->choices.push_back(createChoice());
        ProviderDatabase first(creating);
        first.setPath(elsewhere);
        ASSERT_TRUE(first.open());
        ASSERT_TRUE(first.add("Acme", "555"));
    }
    setPath("pspDbs", registry.dir().file("missing.mdb"));
    auto prompt = std::make_shared<RecordingPrompt>();
    prompt->choices.push_back({LocateChoice::Action::Browse, registry.dir().file("nope.mdb")});
    prompt->choices.push_back({LocateChoice::Action::Browse, elsewhere});
    ProviderDatabase database(prompt);
    ASSERT_TRUE(database.open());
    EXPECT_EQ(prompt->ofKind("locate").size(), 2u);
    EXPECT_EQ(readString(pathsKey, "pspDbs"), elsewhere);
    std::string phone;
    EXPECT_TRUE(database.getPhone("acme", phone));
}

TEST(ProviderDatabase, FailedCreateShowsTheMessageAndAsksAgain)
{
    ScopedRegistry registry;
    registry.dir().write("file", "x");
    // A folder cannot be made below a regular file.
    setPath("pspDbs", registry.dir().file("file/sub/pspDbs.mdb"));
    auto prompt = std::make_shared<RecordingPrompt>();
    prompt->choices.push_back(createChoice());
    ProviderDatabase database(prompt);
    EXPECT_FALSE(database.open());
    EXPECT_TRUE(database.isUnavailable());
    ASSERT_EQ(prompt->ofKind("message").size(), 1u);
    EXPECT_EQ(prompt->ofKind("message")[0].text, "Create database file failed");
    EXPECT_EQ(prompt->ofKind("message")[0].caption, "Norvane Desk: Error");
    EXPECT_EQ(prompt->ofKind("database")[0].caption, "Cannot create database");
    EXPECT_EQ(prompt->ofKind("locate").size(), 2u);
    EXPECT_TRUE(prompt->lastRequest.createFailed);
}

TEST(ProviderDatabase, HeadlessLocateCreatesTheFileWithALogLine)
{
    ScopedRegistry registry;
    const std::string home = registry.dir().file("home");
    setPath("home", home);
    setPath("logFile", registry.dir().file("ndlog.dat"));
    ProviderDatabase database;
    ASSERT_TRUE(database.open()) << database.lastErrorText();
    EXPECT_EQ(database.path(), home + "/data/pspDbs.mdb");
    EXPECT_TRUE(std::filesystem::is_regular_file(home + "/data/pspDbs.mdb"));
    const std::string log = registry.dir().read("ndlog.dat");
    EXPECT_NE(log.find("Cannot find the Paging Service Provider database file"), std::string::npos)
        << log;
}

TEST(ProviderDatabase, AFileThatIsNotADatabaseFailsToOpenWithItsContext)
{
    ScopedRegistry registry;
    const std::string path = registry.dir().write("pspDbs.mdb", "Standard Jet DB, not SQLite");
    setPath("pspDbs", path);
    auto prompt = std::make_shared<RecordingPrompt>();
    ProviderDatabase database(prompt);
    EXPECT_FALSE(database.open());
    EXPECT_FALSE(database.isOpen());
    EXPECT_NE(database.lastErrorText().find("PSP Open Failed"), std::string::npos);
    EXPECT_NE(database.lastErrorText().find(path), std::string::npos);
    ASSERT_EQ(prompt->ofKind("database").size(), 1u);
    EXPECT_EQ(prompt->ofKind("database")[0].caption, "PSP Open Failed");
}

struct PathRuleCase
{
    const char* label;
    const char* own;
    const char* home; // relative to the test folder; "" an empty value; nullptr none at all
    const char* expected; // relative to the test folder; "" for the bare name
};

class ProviderPathRules : public testing::TestWithParam<PathRuleCase>
{ };

TEST_P(ProviderPathRules, LocateWorksOutThePath)
{
    ScopedRegistry registry;
    if (*GetParam().own) {
        setPath("pspDbs", registry.dir().file(GetParam().own));
    }
    if (GetParam().home != nullptr) {
        setPath("home", *GetParam().home ? registry.dir().file(GetParam().home) : "");
    }
    auto prompt = std::make_shared<RecordingPrompt>();
    ProviderDatabase database(prompt);
    database.locate(); // cancelled: only the request's path matters here
    const std::string expected
        = *GetParam().expected ? registry.dir().file(GetParam().expected) : "pspDbs.mdb";
    EXPECT_EQ(prompt->lastRequest.path, expected);
}

INSTANTIATE_TEST_SUITE_P(Rules, ProviderPathRules,
                         testing::Values(PathRuleCase {"own", "own.db", "h", "own.db"},
                                         PathRuleCase {"home", "", "h", "h/data/pspDbs.mdb"},
                                         PathRuleCase {"bare", "", "", ""},
                                         PathRuleCase {"firstRun", "", nullptr,
                                                       "xdg-data/norvane/data/pspDbs.mdb"}),
                         [](const auto& p) { return p.param.label; });

} // namespace
