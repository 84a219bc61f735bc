// norvane-cli send through the real SNPP plug-in against the SNPP test server on loopback.
#include "CliRun.h"
#include "FreePort.h"
#include "SnppTestServer.h"
#include "plugin/ControlLoader.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class CliSendSnpp : public testing::Test
{
protected:
    CliSendSnpp()
    {
        std::filesystem::create_directories(registry.dir().file("data"));
        SettingsKey paths(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Paths");
        (void)paths.setString("home", registry.dir().path());
        SettingsKey plover(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\Plover");
        (void)plover.setNumber("replyTimeoutMs", 2000);
        (void)plover.setNumber("threadWaitMs", 5000);
    }

    void SetUp() override
    {
        ControlLoader loader;
        ASSERT_TRUE(loader.registerServer(NV_PLOVER_PLUGIN_PATH)) << loader.lastErrorText();
    }

    static void setPort(int port)
    {
        SettingsKey plover(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\Plover");
        (void)plover.setNumber("port", port);
    }

    ScopedRegistry registry;
};

TEST_F(CliSendSnpp, DeliversThePageAndPrintsItsRow)
{
    SnppTestServer server;
    ASSERT_TRUE(server.start());
    setPort(server.port());
    const ProcessResult result = runCli(registry, {"send", "127.0.0.1!123", "text"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "127.0.0.1!123\tsent\tSent successfully\n"
              "Sent 1 of 1 page, 0 failed.\n");
    ASSERT_EQ(server.pages().size(), 1U);
    EXPECT_EQ(server.pages()[0].pager, "123");
    EXPECT_EQ(server.pages()[0].message, "text");
    EXPECT_EQ(registry.dir().read("data/msg.dat"), "127.0.0.1!123=text\r\n");
}

TEST_F(CliSendSnpp, APortStoredAsTextIsUsed)
{
    SnppTestServer server;
    ASSERT_TRUE(server.start());
    SettingsKey plover(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\Plover");
    ASSERT_TRUE(plover.setString("port", std::to_string(server.port())));
    const ProcessResult result = runCli(registry, {"send", "127.0.0.1!123", "text"});
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(server.pages().size(), 1U);
}

TEST_F(CliSendSnpp, NothingListeningSaysCannotConnectAndFails)
{
    const FreePort nothingListens;
    setPort(nothingListens.number());
    const ProcessResult result = runCli(registry, {"send", "127.0.0.1!123", "text"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out,
              "127.0.0.1!123\tfailed\tCannot connect to server\n"
              "Sent 0 of 1 page, 1 failed.\n");
}

} // namespace
