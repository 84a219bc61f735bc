#include "CliRun.h"
#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"
#include "stores/SavedMessageStore.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// norvane-cli saved against a store file in the test's folder, named by canMsgDbs.
class CliSaved : public testing::Test
{
protected:
    void SetUp() override
    {
        SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
        ASSERT_TRUE(paths.setString("canMsgDbs", m_registry.dir().file("canMsg.dat")));
    }
    ProcessResult saved(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), {NORVANE_CLI_PATH, "saved"});
        return ProcessRunner::run(arguments,
                                  {{"NORVANE_REGISTRY", m_registry.path()}, {"TZ", "UTC0"}});
    }
    std::string file() const { return m_registry.dir().read("canMsg.dat"); }
    std::string scheduleOf(const std::string& name) const
    {
        SavedMessageStore store(m_registry.dir().file("canMsg.dat"));
        SavedMessage record;
        EXPECT_TRUE(store.getAt(store.find(name), record)) << name;
        return record.schedule;
    }

    ScopedRegistry m_registry;
};

TEST_F(CliSaved, AddListShowRemove)
{
    ProcessResult result = saved({"add", "Disk alarm", "555-1234/11;host!7", "Disk full"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    ASSERT_EQ(saved({"add", "Empty", "ops", ""}).exitCode, 0);
    EXPECT_EQ(file(),
              "Disk alarm\x05-\x05"
              "555-1234/11;host!7\x05"
              "Disk full\r\nEmpty\x05-\x05ops\x05\r\n");

    result = saved({"list"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "Name        Schedule       Last sent\n"
              "Disk alarm  Not scheduled  Never\n"
              "Empty       Not scheduled  Never\n");

    result = saved({"show", "Disk alarm"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("To:         555-1234/11;host!7\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("Message:    Disk full\n"), std::string::npos);
    EXPECT_NE(result.out.find("Last sent:  Never\n"), std::string::npos);

    result = saved({"remove", "Disk alarm"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(file(), "Empty\x05-\x05ops\x05\r\n");
    result = saved({"remove", "Disk alarm"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("no saved message named \"Disk alarm\""), std::string::npos)
        << result.err;
}

TEST_F(CliSaved, RefusalsSayWhatAndWhere)
{
    ASSERT_EQ(saved({"add", "A", "r", "m"}).exitCode, 0);
    const std::string before = file();
    const struct
    {
        std::vector<std::string> arguments;
        const char* inStderr;
    } cases[] = {
        {{"add", "A", "r", "m"}, "a saved message of that name exists"},
        {{"add", "B", "", "m"}, "the recipient list is empty"},
        {{"add", "B", "r", "two\nlines"}, "the message holds a line break"},
        {{"add", "B", "r", std::string(300, 'm')}, "more than the 253"},
        {{"show", "Missing"}, "no saved message named \"Missing\""},
        {{"clear", "Missing"}, "no saved message named \"Missing\""},
    };
    for (const auto& c : cases) {
        const ProcessResult result = saved(c.arguments);
        EXPECT_EQ(result.exitCode, 1) << c.arguments[0];
        EXPECT_NE(result.err.find(c.inStderr), std::string::npos) << result.err;
    }
    EXPECT_EQ(file(), before);
}

TEST_F(CliSaved, UsageErrors)
{
    ASSERT_EQ(saved({"add", "A", "r", "m"}).exitCode, 0);
    const struct
    {
        std::vector<std::string> arguments;
        const char* inStderr;
    } cases[] = {
        {{}, "saved needs an action"},
        {{"dance"}, "unknown action \"dance\""},
        {{"add", "A", "r"}, "add takes NAME, RECIPIENTS and MESSAGE"},
        {{"remove"}, "remove takes NAME"},
        {{"clear", "A", "B"}, "clear takes only NAME"},
        {{"list", "x"}, "list takes no arguments"},
        {{"schedule", "A", "once", "02/30", "10:00"}, "\"02/30\" is not a date MM/DD"},
        {{"schedule", "A", "once", "13/01", "10:00"}, "is not a date"},
        {{"schedule", "A", "weekly", "Mon,Funday", "10:00"}, "is not a list of weekdays"},
        {{"schedule", "A", "monthly", "32", "10:00"}, "not a day of the month"},
        {{"schedule", "A", "monthly", "1", "24:00"}, "\"24:00\" is not a time"},
        {{"schedule", "A", "monthly", "1", "9.30"}, "is not a time"},
        {{"schedule", "A", "yearly", "1", "10:00"}, "\"yearly\" is not a kind of schedule"},
        {{"schedule", "A", "weekly"}, "schedule takes NAME"},
        {{"list", "--bogus"}, "unknown option --bogus"},
    };
    for (const auto& c : cases) {
        const ProcessResult result = saved(c.arguments);
        EXPECT_EQ(result.exitCode, 2) << result.err;
        EXPECT_NE(result.err.find(c.inStderr), std::string::npos) << result.err;
    }
}

TEST_F(CliSaved, ScheduleWritesTheTextFormAndResetsLastSent)
{
    ASSERT_EQ(saved({"add", "A", "r", "m"}).exitCode, 0);
    const struct
    {
        std::vector<std::string> when;
        const char* stored;
        const char* described;
    } cases[] = {
        {{"weekly", "Mon,Wed,Fri", "09:30"},
         "W 042 00 00 09 30 000000000000",
         "Every Monday, Wednesday and Friday at 9:30am"},
        {{"weekly", "mon-fri", "9:05"},
         "W 062 00 00 09 05 000000000000",
         "Every Monday, Tuesday, Wednesday, Thursday and Friday at 9:05am"},
        {{"weekly", "Sat-Sun", "18:00"},
         "W 065 00 00 18 00 000000000000",
         "Every Sunday and Saturday at 6:00pm"},
        {{"weekly", "all", "00:00"},
         "W 127 00 00 00 00 000000000000",
         "Every day of the week at 12:00am"},
        // Fields the type does not use keep their values.
        {{"once", "07/04", "10:30"}, "O 127 04 07 10 30 000000000000", "Once on 07/04 at 10:30am"},
        {{"monthly", "31", "12:00"},
         "M 127 31 07 12 00 000000000000",
         "On the 31st of every month at 12:00pm"},
        {{"once", "02/29", "13:00"}, "O 127 29 02 13 00 000000000000", "Once on 02/29 at 1:00pm"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = {"schedule", "A"};
        arguments.insert(arguments.end(), c.when.begin(), c.when.end());
        const ProcessResult result = saved(arguments);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.out, std::string("\"A\": ") + c.described + "\n");
        EXPECT_EQ(scheduleOf("A"), c.stored);
    }

    // A send recorded by the scheduler shows in the listing, and a new schedule resets it.
    SavedMessageStore store(m_registry.dir().file("canMsg.dat"));
    ASSERT_TRUE(store.replaceAt(0, "W 002 00 00 09 05 000899012345", std::nullopt, std::nullopt));
    ProcessResult result = saved({"list"});
    EXPECT_NE(result.out.find("Every Monday at 9:05am  Sun Jun 28 05:39:05 1998"),
              std::string::npos)
        << result.out;
    ASSERT_EQ(saved({"schedule", "A", "weekly", "Mon", "09:05"}).exitCode, 0);
    EXPECT_EQ(scheduleOf("A"), "W 002 00 00 09 05 000000000000");

    result = saved({"clear", "A"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(scheduleOf("A"), "- 000 00 00 00 00 000000000000");
    EXPECT_NE(saved({"show", "A"}).out.find("Schedule:   Not scheduled"), std::string::npos);
}

TEST_F(CliSaved, ListSaysWhenMessagesLieBehindTheHundredth)
{
    std::string bytes;
    for (int i = 0; i < 103; ++i) {
        bytes += "m" + std::to_string(i) + "\x05-\x05r\x05\r\n";
    }
    m_registry.dir().write("canMsg.dat", bytes);
    const ProcessResult result = saved({"list"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("m99 "), std::string::npos);
    EXPECT_EQ(result.out.find("m100"), std::string::npos);
    EXPECT_NE(result.err.find("3 more saved messages after the first 100"), std::string::npos)
        << result.err;
    EXPECT_EQ(saved({"show", "m100"}).exitCode, 1);
}

TEST_F(CliSaved, AMissingStoreListsNothingAndFileOptionPicksAnother)
{
    ProcessResult result = saved({"list"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("no saved messages in"), std::string::npos) << result.err;

    const std::string other = m_registry.dir().file("other.dat");
    ASSERT_EQ(saved({"--file", other, "add", "X", "r", "m"}).exitCode, 0);
    EXPECT_EQ(m_registry.dir().read("other.dat"), "X\x05-\x05r\x05m\r\n");
    EXPECT_EQ(file(), "");
}

TEST_F(CliSaved, ProgramsAddingAtOnceLoseNothing)
{
    constexpr int processes = 6, each = 3;
    std::vector<std::thread> runners;
    for (int p = 0; p < processes; ++p) {
        runners.emplace_back([this, p] {
            for (int i = 0; i < each; ++i) {
                const std::string name = "p" + std::to_string(p) + "-" + std::to_string(i);
                EXPECT_EQ(saved({"add", name, "r", "m"}).exitCode, 0) << name;
            }
        });
    }
    for (std::thread& runner : runners) {
        runner.join();
    }
    std::vector<SavedMessage> records;
    ASSERT_TRUE(SavedMessageStore(m_registry.dir().file("canMsg.dat")).list(records));
    EXPECT_EQ(records.size(), static_cast<std::size_t>(processes * each));
}

TEST_F(CliSaved, Help)
{
    const ProcessResult result = saved({"--help"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("Usage: norvane-cli saved list"), std::string::npos);
}

} // namespace
