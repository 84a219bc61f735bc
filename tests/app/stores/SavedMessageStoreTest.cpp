#include "stores/SavedMessageStore.h"

#include "SavedMessagePrinter.h"
#include "ScopedRegistry.h"
#include "TempDir.h"
#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"
#include "stores/StoreSettings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {

std::string line(std::string_view name, std::string_view schedule, std::string_view recipients,
                 std::string_view message)
{
    return std::string(name) + '\x05' + std::string(schedule) + '\x05' + std::string(recipients)
        + '\x05' + std::string(message) + "\r\n";
}

class SavedStore : public testing::Test
{
protected:
    std::string file() const { return m_dir.read("canMsg.dat"); }
    void writeFile(const std::string& bytes) { m_dir.write("canMsg.dat", bytes); }
    std::vector<std::string> names() const
    {
        std::vector<SavedMessage> records;
        EXPECT_TRUE(m_store.list(records, 100000)) << SavedMessageStore::lastErrorText();
        std::vector<std::string> result;
        for (const SavedMessage& record : records) {
            result.push_back(record.name);
        }
        return result;
    }
    void addThree()
    {
        ASSERT_TRUE(m_store.add("zero", "", "r0", "m0"));
        ASSERT_TRUE(m_store.add("one", "", "r1", "m1"));
        ASSERT_TRUE(m_store.add("two", "", "r2", "m2"));
    }

    TempDir m_dir;
    SavedMessageStore m_store {m_dir.file("canMsg.dat")};
};

TEST_F(SavedStore, MissingFileReadsAsNothingAndTheFirstAddCreatesIt)
{
    SavedMessage record;
    EXPECT_FALSE(m_store.getAt(0, record));
    EXPECT_EQ(SavedMessageStore::lastError(), StoreErrorCode::Missing);
    EXPECT_FALSE(m_store.openForReading());
    EXPECT_FALSE(m_store.readNext(record));
    EXPECT_TRUE(names().empty());
    EXPECT_EQ(m_store.modificationTime(), -1);
    EXPECT_FALSE(m_store.removeAt(0));
    EXPECT_EQ(SavedMessageStore::lastError(), StoreErrorCode::Missing);
    EXPECT_FALSE(m_store.replaceAt(0, "-", std::nullopt, std::nullopt));

    ASSERT_TRUE(m_store.add("Page ops", "", "555-1234/11;host!7", "Disk full"))
        << SavedMessageStore::lastErrorText();
    EXPECT_EQ(file(), line("Page ops", "-", "555-1234/11;host!7", "Disk full"));
    EXPECT_GT(m_store.modificationTime(), 0);
}

TEST_F(SavedStore, AddCreatesAMissingDataFolder)
{
    SavedMessageStore nested(m_dir.file("home/data/canMsg.dat"));
    ASSERT_TRUE(nested.add("n", "", "r", "m")) << SavedMessageStore::lastErrorText();
    EXPECT_EQ(m_dir.read("home/data/canMsg.dat"), line("n", "-", "r", "m"));
}

TEST_F(SavedStore, DuplicateNamesAreRefusedButOtherCaseIsAnotherName)
{
    ASSERT_TRUE(m_store.add("Alarm", "", "r", "m"));
    const std::string before = file();
    EXPECT_FALSE(m_store.add("Alarm", "", "other", "text"));
    EXPECT_EQ(SavedMessageStore::lastError(), StoreErrorCode::Duplicate);
    EXPECT_NE(SavedMessageStore::lastErrorText().find("\"Alarm\""), std::string::npos);
    EXPECT_EQ(file(), before);
    EXPECT_TRUE(m_store.add("alarm", "", "r", "m"));
    EXPECT_EQ(names(), (std::vector<std::string> {"Alarm", "alarm"}));
}

TEST_F(SavedStore, DuplicateTestLooksAtTheFirstHundredOnly)
{
    std::string bytes;
    for (int i = 0; i < 101; ++i) {
        bytes += line("m" + std::to_string(i), "-", "r", "");
    }
    writeFile(bytes);
    EXPECT_FALSE(m_store.add("m99", "", "r", ""));
    EXPECT_TRUE(m_store.add("m100", "", "r", ""));
    EXPECT_EQ(m_store.find("m99"), 99);
    EXPECT_EQ(m_store.find("m100"), -1);
    std::vector<SavedMessage> records;
    ASSERT_TRUE(m_store.list(records));
    EXPECT_EQ(records.size(), 100u);
}

TEST_F(SavedStore, EmptyScheduleIsWrittenAsDashAndEmptyMessageReadsBackEmpty)
{
    ASSERT_TRUE(m_store.add("n", "", "r", ""));
    EXPECT_EQ(file(), std::string("n\x05-\x05r\x05\r\n"));
    SavedMessage record;
    ASSERT_TRUE(m_store.getAt(0, record));
    EXPECT_EQ(record, (SavedMessage {"n", "-", "r", ""}));
}

struct RefusedAdd
{
    SavedMessage record;
    StoreErrorCode code;
};

class SavedStoreRefuses : public SavedStore, public testing::WithParamInterface<RefusedAdd>
{ };

TEST_P(SavedStoreRefuses, AddWithoutTouchingTheFile)
{
    ASSERT_TRUE(m_store.add("keep", "", "r", "m"));
    const std::string before = file();
    const SavedMessage& record = GetParam().record;
    EXPECT_FALSE(m_store.add(record.name, record.schedule, record.recipients, record.message));
    EXPECT_EQ(SavedMessageStore::lastError(), GetParam().code);
    EXPECT_NE(SavedMessageStore::lastErrorText().find(m_store.path()), std::string::npos)
        << SavedMessageStore::lastErrorText();
    EXPECT_EQ(file(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Bad, SavedStoreRefuses,
    testing::Values(RefusedAdd {{"", "", "r", "m"}, StoreErrorCode::BadField},
                    RefusedAdd {{"n", "", "", "m"}, StoreErrorCode::BadField},
                    RefusedAdd {{"n", "", "r", "two\r\nlines"}, StoreErrorCode::BadField},
                    RefusedAdd {{"n\x05", "", "r", "m"}, StoreErrorCode::BadField},
                    RefusedAdd {{"n", "", "r\n", "m"}, StoreErrorCode::BadField},
                    RefusedAdd {{std::string(128, 'n'), "", "r", "m"}, StoreErrorCode::TooLong},
                    RefusedAdd {{"n", "", std::string(64, 'r'), std::string(200, 'm')},
                                StoreErrorCode::TooLong}));

TEST_F(SavedStore, RecipientListsLongerThanTheOldBuffersKeepWhole)
{
    // 63 characters was the scheduler's buffer; a longer list must reach it whole.
    const std::string recipients = std::string(150, 'r');
    ASSERT_TRUE(m_store.add("n", "", recipients, "m"));
    SavedMessage record;
    ASSERT_TRUE(m_store.getAt(0, record));
    EXPECT_EQ(record.recipients, recipients);
}

TEST_F(SavedStore, ATwoFieldLineReadsBackWithEmptyRecipientsAndMessage)
{
    writeFile("short\x05-\r\n");
    SavedMessage record;
    ASSERT_TRUE(m_store.getAt(0, record));
    EXPECT_EQ(record, (SavedMessage {"short", "-", "", ""}));
    // Giving it a message alone would shift the message into the recipients: refused.
    EXPECT_FALSE(m_store.replaceAt(0, std::nullopt, std::nullopt, "text"));
    EXPECT_EQ(SavedMessageStore::lastError(), StoreErrorCode::BadField);
    EXPECT_TRUE(m_store.replaceAt(0, std::nullopt, "r", "text"));
    ASSERT_TRUE(m_store.getAt(0, record));
    EXPECT_EQ(record, (SavedMessage {"short", "-", "r", "text"}));
}

TEST_F(SavedStore, RemoveAtOneOfThreeKeepsTheOthersInOrder)
{
    addThree();
    ASSERT_TRUE(m_store.removeAt(1));
    EXPECT_EQ(file(), line("zero", "-", "r0", "m0") + line("two", "-", "r2", "m2"));
}

TEST_F(SavedStore, RemoveOrReplaceBeyondTheEndRewritesTheSameRecords)
{
    writeFile("zero\x05-\x05r0\x05m0\nextra\x05\x05-\x05r1\x05m1\x05junk\r\ntwo\x05-\x05r2");
    ASSERT_TRUE(m_store.removeAt(10));
    // Rewritten in the canonical form: CR LF, single delimiters, no fifth field.
    const std::string canonical = line("zero", "-", "r0", "m0") + line("extra", "-", "r1", "m1")
        + line("two", "-", "r2", "");
    EXPECT_EQ(file(), canonical);
    ASSERT_TRUE(m_store.replaceAt(3, "W 000 00 00 00 00 000000000000", "x", "y"));
    EXPECT_EQ(file(), canonical);
}

TEST_F(SavedStore, ReplaceAtChangesOnlyTheFieldsGiven)
{
    addThree();
    const std::string schedule = "W 042 00 00 09 30 000000000000";
    ASSERT_TRUE(m_store.replaceAt(0, schedule, std::nullopt, std::nullopt));
    EXPECT_EQ(file(),
              line("zero", schedule, "r0", "m0") + line("one", "-", "r1", "m1")
                  + line("two", "-", "r2", "m2"));
    ASSERT_TRUE(m_store.replaceAt(2, std::nullopt, "new;list", ""));
    SavedMessage record;
    ASSERT_TRUE(m_store.getAt(2, record));
    EXPECT_EQ(record, (SavedMessage {"two", "-", "new;list", ""}));
    // An empty schedule becomes "-"; an empty recipient list is refused.
    ASSERT_TRUE(m_store.replaceAt(0, "", std::nullopt, std::nullopt));
    ASSERT_TRUE(m_store.getAt(0, record));
    EXPECT_EQ(record.schedule, "-");
    EXPECT_FALSE(m_store.replaceAt(0, std::nullopt, "", std::nullopt));
    EXPECT_FALSE(m_store.replaceAt(0, std::nullopt, std::nullopt, std::string(300, 'm')));
    EXPECT_EQ(SavedMessageStore::lastError(), StoreErrorCode::TooLong);
}

TEST_F(SavedStore, RewritesKeepRecordsBehindTheHundredth)
{
    std::string bytes;
    for (int i = 0; i < 120; ++i) {
        bytes += line("m" + std::to_string(i), "-", "r", "t");
    }
    writeFile(bytes);
    ASSERT_TRUE(m_store.removeAt(0));
    ASSERT_TRUE(m_store.replaceAt(110, "-", "changed", std::nullopt));
    const std::vector<std::string> all = names();
    ASSERT_EQ(all.size(), 119u);
    EXPECT_EQ(all.front(), "m1");
    EXPECT_EQ(all.back(), "m119");
    SavedMessage record;
    ASSERT_TRUE(m_store.getAt(110, record));
    EXPECT_EQ(record, (SavedMessage {"m111", "-", "changed", "t"}));
}

TEST_F(SavedStore, GuardedRewritesRefuseARecordThatMoved)
{
    addThree();
    SavedMessage one;
    ASSERT_TRUE(m_store.getAt(1, one));
    // Another thread removes the first record: "one" moves from position 1 to 0.
    ASSERT_TRUE(m_store.removeAt(0));
    const std::string before = file();
    EXPECT_FALSE(m_store.replaceAt(1, RecordGuard::named("one"), "X", std::nullopt, std::nullopt));
    EXPECT_EQ(SavedMessageStore::lastError(), StoreErrorCode::RecordChanged);
    EXPECT_NE(SavedMessageStore::lastErrorText().find("now \"two\""), std::string::npos)
        << SavedMessageStore::lastErrorText();
    EXPECT_FALSE(m_store.removeAt(1, RecordGuard::named("one")));
    EXPECT_FALSE(m_store.removeAt(5, RecordGuard::named("one")));
    EXPECT_EQ(SavedMessageStore::lastError(), StoreErrorCode::RecordChanged);
    EXPECT_EQ(file(), before);

    // Exactly: the same name with another schedule is not the record read before.
    ASSERT_TRUE(m_store.replaceAt(0, "O 000 04 07 10 00 000000000000", std::nullopt, std::nullopt));
    EXPECT_FALSE(
        m_store.replaceAt(0, RecordGuard::exactly(one), "late", std::nullopt, std::nullopt));
    EXPECT_NE(SavedMessageStore::lastErrorText().find("other contents"), std::string::npos);
    ASSERT_TRUE(m_store.getAt(0, one));
    EXPECT_TRUE(m_store.replaceAt(0, RecordGuard::exactly(one), "-", std::nullopt, std::nullopt));
    EXPECT_TRUE(m_store.removeAt(0, RecordGuard::named("one")));
    EXPECT_EQ(names(), (std::vector<std::string> {"two"}));
}

TEST_F(SavedStore, IterationReadsASnapshotAndEndsAtTheEnd)
{
    addThree();
    ASSERT_TRUE(m_store.openForReading());
    SavedMessage record;
    ASSERT_TRUE(m_store.readNext(record));
    EXPECT_EQ(record.name, "zero");
    // Changes made meanwhile do not disturb the iteration.
    ASSERT_TRUE(m_store.removeAt(1));
    ASSERT_TRUE(m_store.readNext(record));
    EXPECT_EQ(record.name, "one");
    ASSERT_TRUE(m_store.readNext(record));
    EXPECT_EQ(record.name, "two");
    EXPECT_FALSE(m_store.readNext(record));
    EXPECT_FALSE(m_store.readNext(record));

    ASSERT_TRUE(m_store.openForReading());
    m_store.close();
    EXPECT_FALSE(m_store.readNext(record));
    m_store.close();
}

TEST_F(SavedStore, AddTerminatesALastLineWithoutItsLineEnd)
{
    writeFile("hand\x05-\x05r\x05written");
    ASSERT_TRUE(m_store.add("next", "", "r", "m"));
    EXPECT_EQ(names(), (std::vector<std::string> {"hand", "next"}));
    EXPECT_EQ(file(), "hand\x05-\x05r\x05written\r\n" + line("next", "-", "r", "m"));
}

TEST_F(SavedStore, AFailedReplacementLeavesTheStoreAsItWas)
{
    addThree();
    const std::string before = file();
    // A folder where the temporary file must go: it cannot be created.
    std::filesystem::create_directory(m_dir.file("canMsg.tmp"));
    EXPECT_FALSE(m_store.removeAt(0));
    EXPECT_EQ(SavedMessageStore::lastError(), StoreErrorCode::Io);
    EXPECT_NE(SavedMessageStore::lastErrorText().find("canMsg.tmp"), std::string::npos)
        << SavedMessageStore::lastErrorText();
    EXPECT_FALSE(m_store.add("four", "", "r", "m"));
    EXPECT_EQ(file(), before);
    std::filesystem::remove(m_dir.file("canMsg.tmp"));
    EXPECT_TRUE(m_store.removeAt(0));
}

TEST_F(SavedStore, ARewriteKeepsTheFilePermissions)
{
    addThree();
    ASSERT_EQ(::chmod(m_store.path().c_str(), 0600), 0);
    ASSERT_TRUE(m_store.removeAt(0));
    struct stat info
    { };
    ASSERT_EQ(::stat(m_store.path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(SavedStore, PathComesFromCanMsgDbsThenHomeThenTheBareName)
{
    ScopedRegistry registry;
    SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    SavedMessageStore store;
    store.initPath();
    // A first run: `home` becomes the data folder.
    EXPECT_EQ(store.path(), registry.firstRunHome() + "/data/canMsg.dat");
    ASSERT_TRUE(paths.setString("home", ""));
    store.initPath();
    EXPECT_EQ(store.path(), "canMsg.dat");
    ASSERT_TRUE(paths.setString("home", "/srv/norvane"));
    store.initPath();
    EXPECT_EQ(store.path(), "/srv/norvane/data/canMsg.dat");
    ASSERT_TRUE(paths.setString("canMsgDbs", "/elsewhere/saved.dat"));
    store.initPath();
    EXPECT_EQ(store.path(), "/elsewhere/saved.dat");
}

} // namespace
