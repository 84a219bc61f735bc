#include "CliRun.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

constexpr const char* pathsKey = "HKCU\\SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Paths";
constexpr const char* adbKey = "HKCU\\SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Adb";

// A private settings store whose home lies in the test's folder.
class CliDirectories : public testing::Test
{
protected:
    void SetUp() override
    {
        home = registry.dir().file("home");
        ASSERT_EQ(run({"reg", "set", pathsKey, "home", "--string", home}).exitCode, 0);
    }

    ProcessResult run(std::vector<std::string> arguments) { return runCli(registry, arguments); }

    ScopedRegistry registry;
    std::string home;
};

TEST_F(CliDirectories, ProvidersRoundTripWithAQuoteInTheName)
{
    const ProcessResult first = run({"providers", "list"});
    EXPECT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.out, "");
    EXPECT_NE(first.err.find("Cannot find the Paging Service Provider database file"),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::is_regular_file(home + "/data/pspDbs.mdb"));

    ASSERT_EQ(run({"providers", "add", "Say \"Hi\" Paging", "555-0100"}).exitCode, 0);
    ASSERT_EQ(run({"providers", "add", "Beta", "1-800"}).exitCode, 0);
    const ProcessResult list = run({"providers", "list"});
    EXPECT_EQ(list.out, "Beta\t1-800\nSay \"Hi\" Paging\t555-0100\n");
    EXPECT_EQ(list.err, ""); // the file exists now: no note
    EXPECT_EQ(run({"providers", "phone", "say \"hi\" paging"}).out, "555-0100\n");
    EXPECT_EQ(run({"providers", "name", "1-800"}).out, "Beta\n");
    EXPECT_EQ(run({"providers", "path"}).out, home + "/data/pspDbs.mdb\n");

    const ProcessResult duplicate = run({"providers", "add", "BETA", "2"});
    EXPECT_EQ(duplicate.exitCode, 1);
    EXPECT_NE(duplicate.err.find("a provider named \"BETA\" exists already"), std::string::npos)
        << duplicate.err;
    EXPECT_EQ(run({"providers", "add", "--replace", "BETA", "2"}).exitCode, 0);
    EXPECT_EQ(run({"providers", "phone", "Beta"}).out, "2\n");

    EXPECT_EQ(run({"providers", "remove", "Say \"Hi\" Paging"}).exitCode, 0);
    const ProcessResult gone = run({"providers", "phone", "Say \"Hi\" Paging"});
    EXPECT_EQ(gone.exitCode, 1);
    EXPECT_NE(gone.err.find("no provider named"), std::string::npos) << gone.err;
}

TEST_F(CliDirectories, ProvidersRefusesAnOverlongNumber)
{
    const ProcessResult result = run({"providers", "add", "Acme", std::string(51, '5')});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("longer than 50 characters"), std::string::npos) << result.err;
    EXPECT_EQ(run({"providers", "list"}).out, "");
}

struct UsageCase
{
    std::vector<std::string> arguments;
    const char* errorPart;
};

class CliDirectoriesUsage : public CliDirectories, public testing::WithParamInterface<UsageCase>
{ };

TEST_P(CliDirectoriesUsage, WrongUsageExitsWith2)
{
    const ProcessResult result = run(GetParam().arguments);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find(GetParam().errorPart), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("Usage: norvane-cli"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliDirectoriesUsage,
    testing::Values(UsageCase {{"providers"}, "needs an action"},
                    UsageCase {{"providers", "add", "only-name"}, "add takes NAME and PHONE"},
                    UsageCase {{"providers", "remove", "x", "--replace"}, "--replace goes with"},
                    UsageCase {{"providers", "frobnicate"}, "unknown action"},
                    UsageCase {{"adb", "info"}, "info takes 1"},
                    UsageCase {{"adb", "list", "--bogus"}, "unknown option --bogus"},
                    UsageCase {{"address", "check"}, "check takes one TEXT"},
                    UsageCase {{"address", "parse", "x"}, "unknown action"}));

TEST_F(CliDirectories, SimpleAddressBookThroughTheCli)
{
    ASSERT_EQ(run({"adb", "add", "Pat Jones", "555-1234/12"}).exitCode, 0);
    ASSERT_EQ(run({"adb", "add", "Lee", "host!7"}).exitCode, 0);
    EXPECT_EQ(run({"adb", "list"}).out, "Lee\thost!7\nPat Jones\t555-1234/12\n");
    EXPECT_EQ(run({"adb", "find", "pa"}).out, "Pat Jones\n");
    EXPECT_EQ(run({"adb", "info", "LEE"}).out, "host!7\n");
    ASSERT_EQ(run({"adb", "update", "Lee", "host!8"}).exitCode, 0);
    EXPECT_EQ(run({"adb", "info", "Lee"}).out, "host!8\n");
    ASSERT_EQ(run({"adb", "remove", "Lee"}).exitCode, 0);
    const ProcessResult missing = run({"adb", "info", "Lee"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "norvane-cli: Address Book Error: entry not found (0x3008D)\n");
    const ProcessResult semicolon = run({"adb", "add", "Jones; Pat", "1/1"});
    EXPECT_EQ(semicolon.exitCode, 1);
    EXPECT_NE(semicolon.err.find("holds \";\" or \"=\""), std::string::npos);
    EXPECT_EQ(run({"adb", "path"}).out, home + "/data/simpleAdb.mdb\n");
}

TEST_F(CliDirectories, InternetAddressBookThroughTheCli)
{
    ASSERT_EQ(run({"reg", "set", adbKey, "adbType", "--number", "2"}).exitCode, 0);
    ASSERT_EQ(run({"adb", "add", "Jones, Pat", "555,,1234/12"}).exitCode, 0);
    EXPECT_EQ(run({"adb", "list"}).out, "Jones, Pat\t555,,1234/12\n");
    EXPECT_EQ(run({"adb", "path"}).out, home + "/data/contacts\n");
    const auto files = std::filesystem::directory_iterator(home + "/data/contacts");
    EXPECT_EQ(std::distance(std::filesystem::begin(files), std::filesystem::end(files)), 1);
    EXPECT_EQ(run({"reg", "query", adbKey, "internetAdb"}).out, home + "/data/contacts\n");
}

TEST_F(CliDirectories, MapiAddressBookSaysItIsNotAvailable)
{
    ASSERT_EQ(run({"reg", "set", adbKey, "adbType", "--number", "1"}).exitCode, 0);
    const ProcessResult result = run({"adb", "list"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("Unable to load the MAPI DLL."), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("address book is disabled"), std::string::npos) << result.err;

    ASSERT_EQ(run({"reg", "set", adbKey, "adbType", "--number", "7"}).exitCode, 0);
    const ProcessResult none = run({"adb", "list"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.err.find("Adb\\adbType is 7"), std::string::npos) << none.err;
}

struct CheckCase
{
    const char* label;
    const char* text;
    int exitCode;
    const char* out;
};

class CliAddressCheck : public CliDirectories, public testing::WithParamInterface<CheckCase>
{
protected:
    void SetUp() override
    {
        CliDirectories::SetUp();
        ASSERT_EQ(run({"providers", "add", "Acme Paging", "555-0100"}).exitCode, 0);
        ASSERT_EQ(run({"adb", "add", "Pat", "Acme Paging/0012"}).exitCode, 0);
    }
};

TEST_P(CliAddressCheck, PrintsTheKindAndTheAddressOrError)
{
    const ProcessResult result = run({"address", "check", "--", GetParam().text});
    EXPECT_EQ(result.exitCode, GetParam().exitCode) << result.err;
    EXPECT_EQ(result.out, GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CliAddressCheck,
    testing::Values(
        CheckCase {"ixo", "555-1234/0042", 0,
                   "check: CheckOk\ntype: Ixo\nnumber: 555-1234\npin: 42\naddress: 555-1234/42\n"},
        CheckCase {"entry", "pat", 0,
                   "check: CheckOk\ntype: Ixo\nnumber: 555-0100\npin: 12\naddress: "
                   "555-0100/12\n"},
        CheckCase {"snpp", "pager.example:444!12", 0,
                   "check: CheckOk\ntype: Snpp\nnumber: pager.example:444\npin: 12\naddress: "
                   "pager.example:444!12\n"},
        CheckCase {"malformed", "555-1234/0", 1,
                   "check: CheckMalformed\naddress: 555-1234/0\nerror: Invalid Address: bad pin "
                   "number (0)\ncode: 0x30091 (196753)\n"},
        CheckCase {"noHost", "!123", 1,
                   "check: CheckMalformed\naddress: !123\nerror: Invalid Address: bad service "
                   "provider phone number(!123)\ncode: 0x30090 (196752)\n"},
        CheckCase {"dashFirst", "-555", 1,
                   "check: CheckNoProtocol\ntype: Analog\nnumber: -555\npin: 0\naddress: -555\n"},
        CheckCase {"touchTone", "555-1234+9", 1,
                   "check: CheckNoProtocol\ntype: Analog\nnumber: 555-1234+9\npin: 0\naddress: "
                   "555-1234+9\n"},
        CheckCase {"unknownName", "Nobody", 1, "check: CheckNotInAddressBook\n"}),
    [](const auto& p) { return p.param.label; });

} // namespace
