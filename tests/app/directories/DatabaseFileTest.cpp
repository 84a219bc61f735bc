// What the two databases do with a file that an interrupted creation left behind, or that is
// something else: opened through ProviderDatabase and SimpleAddressBook on real files.
#include "DirectoryTestSupport.h"
#include "RecordingPrompt.h"
#include "directories/ProviderDatabase.h"
#include "directories/SimpleAddressBook.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct LeftFile
{
    const char* label;
    const char* sql; // run on the file before the open; nullptr leaves 0 bytes
    bool completed; // whether the open completes the file (else it refuses it untouched)
};

class DatabaseFileLeft : public testing::TestWithParam<LeftFile>
{
protected:
    // Makes the file the case describes at the Paths value and gives its path.
    std::string leave(const char* setting, const char* name)
    {
        const std::string path = registry.dir().write(name, "");
        if (GetParam().sql) {
            EXPECT_EQ(runSql(path, GetParam().sql), "");
        }
        setPath(setting, path);
        return path;
    }

    ScopedRegistry registry;
    std::shared_ptr<RecordingPrompt> prompt = std::make_shared<RecordingPrompt>();
};

TEST_P(DatabaseFileLeft, ProviderDatabaseCompletesOnlyAFileWithoutTables)
{
    const std::string path = leave("pspDbs", "pspDbs.mdb");
    ProviderDatabase database(prompt);
    EXPECT_EQ(database.open(), GetParam().completed) << database.lastErrorText();
    EXPECT_TRUE(prompt->ofKind("locate").empty()); // the file exists: nothing to ask
    if (GetParam().completed) {
        EXPECT_TRUE(database.add("Acme", "555"));
        EXPECT_EQ(querySql(path, "SELECT Phone FROM pspTable WHERE Name = 'acme'"), "555");
        EXPECT_EQ(querySql(path,
                           "SELECT count(*) FROM pragma_index_list('pspTable')"
                           " WHERE name = 'PrimaryKey' AND \"unique\""),
                  "1");
    } else {
        EXPECT_NE(database.lastErrorText().find("has no table pspTable"), std::string::npos)
            << database.lastErrorText();
        EXPECT_EQ(querySql(path, "SELECT group_concat(name) FROM sqlite_master"), "other");
    }
}

TEST_P(DatabaseFileLeft, SimpleAddressBookCompletesOnlyAFileWithoutTables)
{
    const std::string path = leave("simpleAdb", "simpleAdb.mdb");
    SimpleAddressBook book(prompt);
    EXPECT_EQ(book.open(), GetParam().completed) << book.lastErrorText();
    if (GetParam().completed) {
        EXPECT_TRUE(book.add("Pat", "1/1"));
        EXPECT_EQ(querySql(path, "SELECT PagerInfo FROM adbTable WHERE Name = 'PAT'"), "1/1");
    } else {
        EXPECT_NE(book.lastErrorText().find("has no table adbTable"), std::string::npos)
            << book.lastErrorText();
        EXPECT_EQ(querySql(path, "SELECT group_concat(name) FROM sqlite_master"), "other");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, DatabaseFileLeft,
    testing::Values(LeftFile {"emptyFile", nullptr, true},
                    // A database whose header was written but no table (as a creation killed
                    // after its first commit of settings would leave).
                    LeftFile {"noTables", "PRAGMA user_version = 7; VACUUM;", true},
                    LeftFile {"otherTable", "CREATE TABLE other (x);", false}),
    [](const auto& p) { return p.param.label; });

} // namespace
