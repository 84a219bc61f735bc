#include "services/DeskServices.h"

#include "log/LogFile.h"
#include "log/LogLevel.h"
#include "services/ServeSettings.h"
#include "settings/SettingsKey.h"

#include <algorithm>
#include <unistd.h>

using namespace std::chrono_literals;

DeskServices::DeskServices(std::shared_ptr<UserPrompt> prompt, std::string_view logTag)
    : m_logTag(logTag)
    , m_providers(prompt)
    , m_books(prompt)
    , m_sender(&m_providers, &m_books, &m_history)
    , m_gatewayRoad(m_sender)
    , m_schedulerRoad(m_sender)
    , m_gateway(m_gatewayRoad, &m_providers, &m_books)
    , m_scheduler(m_store, m_schedulerRoad)
{
    ControlOptions options;
    options.isCancelled = [this] { return m_cancelled.load(); };
    m_sender.setDriverOptions(options);
}

DeskServices::~DeskServices()
{
    // The threads join themselves as their owners (declared last) are destroyed; asking both
    // first lets them end side by side, and cancels a send that one of them runs.
    requestStop();
}

bool DeskServices::openProviders()
{
    if (!m_providers.open()) {
        return fail(ServicesError::ProvidersUnavailable, m_providers.lastErrorText());
    }
    return true;
}

bool DeskServices::selectAddressBook()
{
    // The book is open from the start, as the compose window's is: the gateway asks it about
    // "pin" entries and, with fromAdbOnly, about every pager identifier.
    AddressBook* book = m_books.selectFromSettings();
    if (book != nullptr && !book->open()) {
        return fail(ServicesError::BookUnavailable, book->lastErrorText());
    }
    return true;
}

bool DeskServices::start()
{
    m_store.initPath();
    m_history.initPath();
    m_cancelled.store(false);
    LogFile log;
    log.write(LogLevel::Trans, m_logTag, "Started (pid=%d, saved messages %s, log %s)",
              static_cast<int>(::getpid()), m_store.path().c_str(), log.path().c_str());
    m_gatewayEnded = false;
    m_schedulerEnded = false;
    m_gateway.restart();
    (void)m_scheduler.start();
    const bool gatewayFailed = m_gateway.state() == ThreadState::StartFailed;
    if (!gatewayFailed && m_scheduler.state() != ThreadState::StartFailed) {
        return true;
    }
    const std::string why = gatewayFailed ? "the gateway thread: " + m_gateway.lastErrorText()
                                          : "the scheduler thread: " + m_scheduler.lastErrorText();
    log.write(LogLevel::Fatal, m_logTag, "Cannot start %s", why.c_str());
    // The other thread may run already, even be sending: end it as a stop would, bounded.
    requestStop();
    (void)waitForThreads(std::chrono::steady_clock::now() + stopWait(), {});
    return fail(gatewayFailed ? ServicesError::GatewayStartFailed
                              : ServicesError::SchedulerStartFailed,
                why);
}

bool DeskServices::restartGateway()
{
    m_gateway.restart();
    if (m_gateway.state() == ThreadState::StartFailed) {
        LogFile log;
        const std::string why = m_gateway.lastErrorText();
        log.write(LogLevel::Errors, m_logTag, "Cannot restart the gateway thread: %s", why.c_str());
        return fail(ServicesError::GatewayStartFailed, why);
    }
    m_gatewayEnded = false;
    return true;
}

bool DeskServices::stop(std::chrono::milliseconds bound, const StopPause& pause)
{
    requestStop();
    LogFile log;
    if (!waitForThreads(std::chrono::steady_clock::now() + bound, pause)) {
        const bool both = threadsLeft() == 2;
        const std::string threads = threadsText();
        log.write(LogLevel::Errors, m_logTag,
                  "Stop: the %s %s still running %lld ms after the stop request; ending "
                  "without waiting for %s",
                  threads.c_str(), both ? "were" : "was", static_cast<long long>(bound.count()),
                  both ? "them" : "it");
        return fail(ServicesError::StopTimedOut,
                    "the " + threads + " did not end within " + std::to_string(bound.count())
                        + " ms");
    }
    log.write(LogLevel::Trans, m_logTag, "Stopped");
    return true;
}

int DeskServices::threadsLeft() const
{
    return (m_gatewayEnded ? 0 : 1) + (m_schedulerEnded ? 0 : 1);
}

std::chrono::milliseconds DeskServices::stopWait()
{
    const SettingsKey key(RootKey::CurrentUser, ServeSettings::key);
    std::int32_t ms = key.read(ServeSettings::stopWaitMs);
    if (ms < 0) {
        ms = ServeSettings::stopWaitMs.fallback;
    }
    return std::chrono::milliseconds(ms);
}

void DeskServices::requestStop()
{
    m_cancelled.store(true);
    m_gateway.requestShutdown();
    m_scheduler.requestStop();
}

bool DeskServices::waitForThreads(std::chrono::steady_clock::time_point deadline,
                                  const StopPause& pause)
{
    for (;;) {
        m_gatewayEnded = m_gatewayEnded || m_gateway.waitForEnd(0ms);
        m_schedulerEnded = m_schedulerEnded || m_scheduler.waitForEnd(0ms);
        if (m_gatewayEnded && m_schedulerEnded) {
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left <= 0ms) {
            return false;
        }
        const std::chrono::milliseconds most = std::min(left, stopSlice);
        if (pause) {
            pause(most);
        } else if (!m_gatewayEnded) {
            (void)m_gateway.waitForEnd(most);
        } else {
            (void)m_scheduler.waitForEnd(most);
        }
    }
}

std::string DeskServices::threadsText() const
{
    if (!m_gatewayEnded && !m_schedulerEnded) {
        return "gateway and scheduler threads";
    }
    return m_gatewayEnded ? "scheduler thread" : "gateway thread";
}

bool DeskServices::fail(ServicesError error, std::string text)
{
    m_lastError = error;
    m_lastErrorText = std::move(text);
    return false;
}
