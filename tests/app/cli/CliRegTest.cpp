#include "CliRun.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* logKey = "HKCU\\SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Log";

struct SetCase
{
    std::vector<std::string> typeArguments;
    const char* queried;
};

class CliRegSet : public testing::TestWithParam<SetCase>
{ };

TEST_P(CliRegSet, StoresAndQueriesEachType)
{
    ScopedRegistry registry;
    std::vector<std::string> arguments = {"reg", "set", logKey, "v"};
    arguments.insert(arguments.end(), GetParam().typeArguments.begin(),
                     GetParam().typeArguments.end());
    const ProcessResult set = runCli(registry, arguments);
    ASSERT_EQ(set.exitCode, 0) << set.err;
    const ProcessResult query = runCli(registry, {"reg", "query", logKey, "v"});
    EXPECT_EQ(query.exitCode, 0) << query.err;
    EXPECT_EQ(query.out, std::string(GetParam().queried) + "\n");
}

INSTANTIATE_TEST_SUITE_P(Types, CliRegSet,
                         testing::Values(SetCase {{"--string", "hello world"}, "hello world"},
                                         SetCase {{"--string="}, ""},
                                         SetCase {{"--number", "12"}, "12"},
                                         SetCase {{"--number", "-3"}, "-3"},
                                         SetCase {{"--number", "0x2A"}, "42"},
                                         SetCase {{"--number", "4294967295"}, "-1"},
                                         SetCase {{"--binary", "01,02,ff"}, "01,02,ff"},
                                         SetCase {{"--binary", "0a0B"}, "0a,0b"}));

TEST(CliReg, WhatTheCliSetsTheProgramReads)
{
    ScopedRegistry registry;
    ASSERT_EQ(runCli(registry, {"reg", "set", logKey, "logLevel", "--number", "9"}).exitCode, 0);
    const SettingsKey key(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Log");
    EXPECT_EQ(key.getNumber("logLevel", 4), 9);
}

TEST(CliReg, DeleteValueAndKey)
{
    ScopedRegistry registry;
    ASSERT_EQ(
        runCli(registry, {"reg", "set", "HKCU/SOFTWARE/T/Sub", "a", "--string", "1"}).exitCode, 0);
    EXPECT_EQ(runCli(registry, {"reg", "delete", "HKCU/SOFTWARE/T/Sub", "a"}).exitCode, 0);
    const ProcessResult again = runCli(registry, {"reg", "delete", "HKCU/SOFTWARE/T/Sub", "a"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.err.find("no value \"a\""), std::string::npos) << again.err;
    EXPECT_EQ(runCli(registry, {"reg", "delete-key", "HKCU/SOFTWARE/T"}).exitCode, 0);
    EXPECT_EQ(runCli(registry, {"reg", "query", "HKCU/SOFTWARE/T/Sub"}).exitCode, 1);
}

TEST(CliReg, ExportThenImportIntoAnotherStoreGivesTheSameStore)
{
    ScopedRegistry first;
    ASSERT_EQ(runCli(first, {"reg", "set", logKey, "logLevel", "--number", "6"}).exitCode, 0);
    ASSERT_EQ(
        runCli(first, {"reg", "set", logKey, "note", "--string", "a \"quoted\" \\ text"}).exitCode,
        0);
    ASSERT_EQ(runCli(first, {"reg", "set", logKey, "blob", "--binary", "00ff"}).exitCode, 0);
    const std::string file = first.dir().file("export.reg");
    ASSERT_EQ(runCli(first, {"reg", "export", file}).exitCode, 0);
    const ProcessResult exported = runCli(first, {"reg", "export"});

    ScopedRegistry second;
    const ProcessResult imported = runCli(second, {"reg", "import", file});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(runCli(second, {"reg", "export"}).out, exported.out);

    // Standard input works too, and a broken text changes nothing.
    ScopedRegistry third;
    const ProcessResult broken
        = runCli(third, {"reg", "import", "-"}, "[HKCU\\A]\n\"ok\"=\"1\"\n\"bad\"=dword:\n");
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_NE(broken.err.find("line 3"), std::string::npos) << broken.err;
    EXPECT_EQ(runCli(third, {"reg", "query", "HKCU\\A"}).exitCode, 1);
}

TEST(CliReg, PathNamesTheStore)
{
    ScopedRegistry registry;
    const ProcessResult result = runCli(registry, {"reg", "path"});
    EXPECT_EQ(result.out, registry.path() + "\n");
}

} // namespace
