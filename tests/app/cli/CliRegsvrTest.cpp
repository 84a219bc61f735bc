#include "CliRun.h"
#include "TestClassIds.h"

#include <gtest/gtest.h>

namespace {

TEST(CliRegsvr, RegistersAndUnregistersAPlugIn)
{
    ScopedRegistry registry;
    const ProcessResult added = runCli(registry, {"regsvr", NV_TEST_PLUGIN_PATH});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_EQ(added.out, std::string("Registered ") + NV_TEST_PLUGIN_PATH + "\n");

    const ProcessResult query = runCli(registry,
                                       {"reg", "query",
                                        std::string("HKCU\\SOFTWARE\\Classes\\CLSID\\")
                                            + TestClassIds::driver + "\\InprocServer32",
                                        ""});
    EXPECT_EQ(query.exitCode, 0) << query.err;
    EXPECT_EQ(query.out, std::string(NV_TEST_PLUGIN_PATH) + "\n");

    const ProcessResult removed = runCli(registry, {"regsvr", "-u", NV_TEST_PLUGIN_PATH});
    ASSERT_EQ(removed.exitCode, 0) << removed.err;
    EXPECT_EQ(runCli(registry,
                     {"reg", "query",
                      std::string("HKCU\\SOFTWARE\\Classes\\CLSID\\") + TestClassIds::driver})
                  .exitCode,
              1);
}

TEST(CliRegsvr, FailuresSayWhatFailedOnWhat)
{
    ScopedRegistry registry;
    const ProcessResult missing = runCli(registry, {"regsvr", "/no/such/plugin.so"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("/no/such/plugin.so"), std::string::npos) << missing.err;

    const std::string notPlugin = registry.dir().write("fake.so", "not a library");
    const ProcessResult bad = runCli(registry, {"regsvr", notPlugin});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.err.find(notPlugin), std::string::npos) << bad.err;

    EXPECT_EQ(runCli(registry, {"regsvr"}).exitCode, 2);
    EXPECT_EQ(runCli(registry, {"regsvr", "a.so", "b.so"}).exitCode, 2);
    EXPECT_EQ(runCli(registry, {"regsvr", "--bogus", "a.so"}).exitCode, 2);
}

} // namespace
