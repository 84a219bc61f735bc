#include "services/DeskServices.h"

#include "FreePort.h"
#include "GatewayClient.h"
#include "ScopedRegistry.h"
#include "directories/DirectorySettings.h"
#include "directories/HeadlessPrompt.h"
#include "directories/InternetAddressBook.h"
#include "gateway/GatewaySettings.h"
#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace std::chrono_literals;

// Enables the gateway on the port, admitting 127.0.0.1.
void configureGateway(const FreePort& port)
{
    namespace SnppSrv = GatewaySettings::SnppSrv;
    SettingsKey server(RootKey::CurrentUser, SnppSrv::key);
    EXPECT_TRUE(server.setBool(SnppSrv::enabled.name, true));
    EXPECT_TRUE(server.setString(SnppSrv::port.name, port.text()));
    SettingsKey hosts(RootKey::CurrentUser, GatewaySettings::Hosts::key);
    EXPECT_TRUE(hosts.setString("127.0.0.1", "rwx"));
}

// The first three characters of the greeting a new client reads at the port.
std::string greetingCode(GatewayClient& client)
{
    return client.readLine().value_or("none").substr(0, 3);
}

} // namespace

TEST(DeskServicesTest, ServeOnTheirOwnFollowNewSettingsAndStopWithinTheBound)
{
    const ScopedRegistry registry;
    std::filesystem::create_directories(registry.dir().file("data"));
    SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    ASSERT_TRUE(paths.setString("home", registry.dir().path()));
    ASSERT_TRUE(paths.setString("logFile", registry.dir().file("ndlog.dat")));
    const FreePort first;
    configureGateway(first);

    DeskServices services(std::make_shared<HeadlessPrompt>(), "Test");
    EXPECT_TRUE(services.openProviders()) << services.lastErrorText();
    EXPECT_TRUE(services.selectAddressBook()) << services.lastErrorText();
    ASSERT_TRUE(services.start()) << services.lastErrorText();
    ASSERT_TRUE(waitForListener(first.number()));
    {
        GatewayClient client(first.number());
        EXPECT_EQ(greetingCode(client), "220");
    }

    // The Options sheet closes with another port and another address book.
    const FreePort second;
    configureGateway(second);
    ASSERT_TRUE(services.restartGateway()) << services.lastErrorText();
    ASSERT_TRUE(waitForListener(second.number(), 15000));
    EXPECT_FALSE(GatewayClient(first.number()).connected());
    SettingsKey adb(RootKey::CurrentUser, DirectorySettings::Adb::key);
    ASSERT_TRUE(adb.setNumber(DirectorySettings::Adb::adbType.name, 2));
    EXPECT_TRUE(services.selectAddressBook()) << services.lastErrorText();
    EXPECT_EQ(services.books().current(), &services.books().internet());

    // A client that stays connected does not hold the stop.
    GatewayClient client(second.number());
    EXPECT_EQ(greetingCode(client), "220");
    ASSERT_TRUE(services.stop(5000ms)) << services.lastErrorText();
    EXPECT_EQ(services.threadsLeft(), 0);
    EXPECT_EQ(services.gatewayStatus().outcome, GatewayOutcome::Stopped);
    EXPECT_TRUE(client.waitForClose());
}
