#include "GatewayTestSupport.h"

#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"

#include <chrono>
#include <thread>

namespace {

constexpr const char* snppSrvKey = "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\SnppSrv";
constexpr const char* hostsKey = "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\SnppSrv\\hosts";

} // namespace

bool RecordingSender::sendGatewayPages(std::string_view recipients, std::string_view message,
                                       std::string_view originTag, GatewaySendCounts& counts)
{
    std::lock_guard lock(m_mutex);
    m_sends.push_back({std::string(recipients), std::string(message), std::string(originTag)});
    m_changed.notify_all();
    if (!m_started) {
        return false;
    }
    counts.sent = m_sent;
    counts.failed = m_failed;
    counts.total = m_sent + m_failed;
    return true;
}

void RecordingSender::answer(bool started, int sent, int failed)
{
    std::lock_guard lock(m_mutex);
    m_started = started;
    m_sent = sent;
    m_failed = failed;
}

std::vector<RecordedSend> RecordingSender::sends() const
{
    std::lock_guard lock(m_mutex);
    return m_sends;
}

bool RecordingSender::waitForSends(std::size_t count, int timeoutMs) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return m_sends.size() >= count; });
}

GatewayWorld::GatewayWorld()
    : m_prompt(std::make_shared<HeadlessPrompt>())
    , m_providers(m_prompt)
    , m_books(m_prompt)
{
    SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    EXPECT_TRUE(paths.setString("home", m_registry.dir().file("home")));
    EXPECT_TRUE(m_providers.open()) << m_providers.lastErrorText();
    m_book = m_books.selectFromSettings();
    EXPECT_NE(m_book, nullptr);
    if (m_book != nullptr) {
        EXPECT_TRUE(m_book->open()) << m_book->lastErrorText();
    }
}

void GatewayWorld::addEntry(const std::string& name, const std::string& pagerInfo)
{
    ASSERT_NE(m_book, nullptr);
    EXPECT_TRUE(m_book->add(name, pagerInfo)) << name << ": " << m_book->lastErrorText();
}

void GatewayWorld::addProvider(const std::string& name, const std::string& phone)
{
    EXPECT_TRUE(m_providers.add(name, phone)) << name << ": " << m_providers.lastErrorText();
}

void GatewayWorld::configure(bool enabled, const std::string& port, bool fromAdbOnly,
                             bool level2Login)
{
    SettingsKey key(RootKey::CurrentUser, snppSrvKey);
    EXPECT_TRUE(key.setBool("enabled", enabled));
    EXPECT_TRUE(key.setString("port", port));
    EXPECT_TRUE(key.setBool("fromAdbOnly", fromAdbOnly));
    EXPECT_TRUE(key.setBool("level2Login", level2Login));
}

void GatewayWorld::allowHost(const std::string& name)
{
    SettingsKey key(RootKey::CurrentUser, hostsKey);
    EXPECT_TRUE(key.setString(name, "rwx"));
}

std::string GatewayWorld::logText() const
{
    return m_registry.dir().read("ndlog.dat");
}

bool GatewayWorld::logHas(std::string_view text) const
{
    return logText().find(text) != std::string::npos;
}

bool GatewayWorld::waitForLog(std::string_view text, int timeoutMs) const
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!logHas(text)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}
