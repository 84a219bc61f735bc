#include "ScopedRegistry.h"
#include "directories/DirectorySettings.h"
#include "directories/HeadlessPrompt.h"
#include "directories/InternetAddressBook.h"
#include "directories/LdapService.h"
#include "directories/SimpleAddressBook.h"
#include "gateway/GatewaySettings.h"
#include "services/AddressBookOptionsForm.h"
#include "services/DeskServices.h"
#include "services/LdapOptionsForm.h"
#include "services/LoggingOptionsForm.h"
#include "services/ServerOptionsForm.h"
#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"
#include "stores/StoreSettings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

// The value names of a key, in stored order.
std::vector<std::string> valueNames(std::string_view keyPath)
{
    const SettingsKey key(RootKey::CurrentUser, keyPath);
    std::vector<std::string> names;
    std::string name;
    std::string data;
    for (int index = 0; key.enumValue(index, name, data); ++index) {
        names.push_back(name);
    }
    return names;
}

} // namespace

TEST(LoggingOptionsFormTest, AFieldThatReadsAsNoNumberStoresTheDefault)
{
    struct Row
    {
        const char* typed;
        std::int32_t stored;
    };
    const Row rows[] = {{"0", 20},   {"", 20},         {"text", 20},        {"-5", 20},
                        {" 35", 35}, {"12 lines", 12}, {"99999999999", 20}, {"+7", 7}};
    for (const Row& row : rows) {
        EXPECT_EQ(LoggingOptionsForm::fieldValue(row.typed, 20), row.stored) << row.typed;
    }
}

TEST(LoggingOptionsFormTest, ApplyStoresTheDefaultsForZeroAndTextAndTheSelectedLevel)
{
    const ScopedRegistry registry;
    LoggingOptionsForm form = LoggingOptionsForm::load();
    EXPECT_EQ(form.maxSavedCount, "20");
    EXPECT_EQ(form.maxLogSize, "50");
    EXPECT_EQ(form.logLevel, 4);
    EXPECT_EQ(LoggingOptionsForm::levelNames[static_cast<std::size_t>(form.logLevel)],
              "Transactions");

    form.maxSavedCount = "0";
    form.maxLogSize = "lots";
    form.logLevel = 12;
    ASSERT_TRUE(form.apply());
    const SettingsKey messages(RootKey::CurrentUser, StoreSettings::Messages::key);
    const SettingsKey log(RootKey::CurrentUser, SharedSettings::Log::key);
    EXPECT_EQ(messages.getNumber("maxSavedCount", -1), 20);
    EXPECT_EQ(log.getNumber("maxLogSize", -1), 50);
    EXPECT_EQ(log.getNumber("logLevel", -1), 12);

    // A stored level outside the list selects nothing, and applying keeps it.
    SettingsKey writable(RootKey::CurrentUser, SharedSettings::Log::key);
    ASSERT_TRUE(writable.setNumber("logLevel", 40));
    form = LoggingOptionsForm::load();
    EXPECT_EQ(form.logLevel, -1);
    ASSERT_TRUE(form.apply());
    EXPECT_EQ(log.getNumber("logLevel", -1), 40);
}

TEST(ServerOptionsFormTest, ApplyLeavesExactlyTheListedHosts)
{
    const ScopedRegistry registry;
    SettingsKey hosts(RootKey::CurrentUser, GatewaySettings::Hosts::key);
    for (const char* host : {"alpha", "10.0.0.2", "gamma", "delta"}) {
        ASSERT_TRUE(hosts.setString(host, "rwx"));
    }
    ServerOptionsForm form = ServerOptionsForm::load();
    ASSERT_EQ(form.hosts(), (std::vector<std::string> {"alpha", "10.0.0.2", "gamma", "delta"}));
    EXPECT_EQ(form.port, "444");

    form.removeHosts({1});
    const std::size_t added = form.appendHost();
    EXPECT_TRUE(form.finishEdit(added, "  epsilon "));
    // A label emptied removes its row; several rows go at once, in any order.
    EXPECT_TRUE(form.finishEdit(form.appendHost(), ""));
    EXPECT_FALSE(form.finishEdit(99, "x"));
    EXPECT_EQ(form.hosts(), (std::vector<std::string> {"alpha", "gamma", "delta", "epsilon"}));
    form.enabled = true;
    form.port = "snpp";
    ASSERT_TRUE(form.apply());
    EXPECT_EQ(valueNames(GatewaySettings::Hosts::key),
              (std::vector<std::string> {"alpha", "gamma", "delta", "epsilon"}));
    std::string data;
    EXPECT_TRUE(hosts.getString("epsilon", data, 16));
    EXPECT_EQ(data, "rwx");

    form.removeHosts({3, 0, 3, 17});
    ASSERT_TRUE(form.apply());
    EXPECT_EQ(valueNames(GatewaySettings::Hosts::key),
              (std::vector<std::string> {"gamma", "delta"}));
    const ServerOptionsForm reread = ServerOptionsForm::load();
    EXPECT_TRUE(reread.enabled);
    EXPECT_EQ(reread.port, "snpp");
}

TEST(ServerOptionsFormTest, HostsThePageNeverShowedStay)
{
    // The page lists the first maxHostsRead hosts; the ones after them were never shown, so an
    // apply cannot have meant to remove them.
    const ScopedRegistry registry;
    SettingsKey hosts(RootKey::CurrentUser, GatewaySettings::Hosts::key);
    const int stored = ServerOptionsForm::maxHostsRead + 5;
    for (int k = 0; k < stored; ++k) {
        ASSERT_TRUE(hosts.setString("host" + std::to_string(k), "rwx"));
    }
    ServerOptionsForm form = ServerOptionsForm::load();
    ASSERT_EQ(form.hosts().size(), std::size_t {ServerOptionsForm::maxHostsRead});
    form.removeHosts({0});
    ASSERT_TRUE(form.apply());
    const std::vector<std::string> left = valueNames(GatewaySettings::Hosts::key);
    EXPECT_EQ(left.size(), std::size_t(stored - 1));
    EXPECT_EQ(std::count(left.begin(), left.end(), "host0"), 0);
    EXPECT_EQ(std::count(left.begin(), left.end(), "host" + std::to_string(stored - 1)), 1);
}

TEST(ServerOptionsFormTest, TheSwitchRulesThePortTheListAndOnceClickedTheSecurityBoxes)
{
    ServerOptionsForm form;
    form.enabled = false;
    auto rules = form.enabling(false);
    EXPECT_FALSE(rules.port);
    EXPECT_FALSE(rules.hosts);
    EXPECT_TRUE(rules.security);
    rules = form.enabling(true);
    EXPECT_FALSE(rules.security);
    form.enabled = true;
    rules = form.enabling(true);
    EXPECT_TRUE(rules.port && rules.hosts && rules.security);
}

TEST(ServerOptionsFormTest, TheStatusLineSaysWhereTheGatewayListensOrWhyNot)
{
    GatewayStatus status;
    EXPECT_EQ(ServerOptionsForm::statusText(status), "The gateway has not started yet.");
    status.outcome = GatewayOutcome::Listening;
    status.port = "4444";
    EXPECT_EQ(ServerOptionsForm::statusText(status), "The gateway is listening on port 4444.");
    status.outcome = GatewayOutcome::Disabled;
    EXPECT_EQ(ServerOptionsForm::statusText(status),
              "The gateway is not listening: the SNPP service is disabled.");
    status.outcome = GatewayOutcome::PortFailed;
    status.errorText = "Address already in use";
    EXPECT_EQ(ServerOptionsForm::statusText(status),
              "The gateway is not listening: port 4444 cannot be opened (Address already in "
              "use). Choose another port or end the program that holds it.");
}

TEST(AddressBookOptionsFormTest, AnUnknownTypeShowsNoneAndApplyingStoresZero)
{
    const ScopedRegistry registry;
    std::filesystem::create_directories(registry.dir().file("data"));
    SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    ASSERT_TRUE(paths.setString("home", registry.dir().path()));
    SettingsKey adb(RootKey::CurrentUser, DirectorySettings::Adb::key);
    ASSERT_TRUE(adb.setNumber("adbType", 3));

    DeskServices services(std::make_shared<HeadlessPrompt>(), "Test");
    AddressBookOptionsForm form = AddressBookOptionsForm::load();
    EXPECT_EQ(form.type(), AddressBookOptionsForm::noType);
    EXPECT_TRUE(form.bookButtonsEnabled());
    ASSERT_TRUE(form.apply(services)) << form.lastErrorText();
    EXPECT_EQ(adb.getNumber("adbType", -1), 0);
    EXPECT_EQ(services.books().current(), &services.books().simple());

    // A click holds the book's buttons until the change is applied; the new book is current
    // and open at once.
    form.choose(2);
    EXPECT_FALSE(form.bookButtonsEnabled());
    ASSERT_TRUE(form.apply(services)) << form.lastErrorText();
    EXPECT_TRUE(form.bookButtonsEnabled());
    EXPECT_EQ(adb.getNumber("adbType", -1), 2);
    ASSERT_EQ(services.books().current(), &services.books().internet());
    EXPECT_TRUE(services.books().current()->isOpen());
}

TEST(LdapOptionsFormTest, TheServicesAreListedSortedAndRemovedAtOnce)
{
    const ScopedRegistry registry;
    SettingsKey ldap(RootKey::CurrentUser, LdapService::key);
    for (const char* name : {"zeta", "Alpha", "beta"}) {
        ASSERT_TRUE(ldap.setString(name, "host,389,,,o=x"));
    }
    EXPECT_EQ(LdapOptionsForm::names(), (std::vector<std::string> {"Alpha", "beta", "zeta"}));
    EXPECT_TRUE(LdapOptionsForm::remove("beta"));
    EXPECT_FALSE(LdapOptionsForm::remove("beta"));
    EXPECT_EQ(LdapOptionsForm::names(), (std::vector<std::string> {"Alpha", "zeta"}));
}
