#include "net/HostLookup.h"

#include "net/SystemCalls.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <list>
#include <mutex>
#include <netdb.h>
#include <system_error>
#include <thread>

struct HostLookup::State
{
    std::uint64_t helper = 0; // the helper thread's number, 0 when none was started
    std::mutex mutex;
    std::condition_variable changed;
    bool finished = false;
    bool cancelled = false;
    Result result;
};

namespace {

// The helper threads of the process. They are joined, never detached, so that an owner can be
// sure none still runs (a plug-in must not be unloaded under one): the waiter of a finished
// lookup joins its helper, and abandoned ones are reaped at each new lookup, in waitForThreads
// and when the module goes.
struct HelperThreads
{
    struct Helper
    {
        std::uint64_t number = 0;
        std::thread thread;
        bool ended = false;
    };

    std::mutex mutex;
    std::condition_variable ended;
    std::list<Helper> helpers;
    std::uint64_t lastNumber = 0;

    // Waits for the numbered helper to end and joins it; call with the mutex held.
    void join(std::unique_lock<std::mutex>& lock, std::uint64_t number)
    {
        const auto find = [this, number] {
            for (auto it = helpers.begin(); it != helpers.end(); ++it) {
                if (it->number == number) {
                    return it;
                }
            }
            return helpers.end();
        };
        ended.wait(lock, [&] { return find() == helpers.end() || find()->ended; });
        const auto helper = find();
        if (helper != helpers.end()) {
            helper->thread.join();
            helpers.erase(helper);
        }
    }

    // Joins the ended helpers; call with the mutex held. Joining an ended thread returns at once.
    void reap()
    {
        for (auto it = helpers.begin(); it != helpers.end();) {
            if (it->ended) {
                it->thread.join();
                it = helpers.erase(it);
            } else {
                ++it;
            }
        }
    }
};

HelperThreads& helperThreads()
{
    // Never destroyed: a helper still inside a slow lookup when the process ends must not meet a
    // destroyed list (and destroying a joinable thread would end the process).
    static HelperThreads* threads = new HelperThreads;
    return *threads;
}

// Joins the helpers that have ended by the time the process ends or the module is unloaded.
struct EndedHelperReaper
{
    ~EndedHelperReaper()
    {
        HelperThreads& threads = helperThreads();
        std::lock_guard lock(threads.mutex);
        threads.reap();
    }
} endedHelperReaper;

HostLookup::Result lookUp(SystemCalls& calls, const std::string& host)
{
    HostLookup::Result result;
    // The system would read a name with an embedded zero cut short and find some other host.
    if (host.find('\0') != std::string::npos) {
        result.detail = "the name holds a zero byte";
        return result;
    }
    addrinfo hints {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    const int error = calls.getAddrInfo(host.c_str(), nullptr, &hints, &list);
    if (error != 0) {
        result.detail = gai_strerror(error);
        return result;
    }
    for (const addrinfo* entry = list; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET && entry->ai_addr != nullptr
            && entry->ai_addrlen >= sizeof(sockaddr_in)) {
            sockaddr_in address {};
            std::memcpy(&address, entry->ai_addr, sizeof address);
            result.address = address.sin_addr;
            result.outcome = HostLookup::Outcome::Found;
            break;
        }
    }
    if (list != nullptr) {
        calls.freeAddrInfo(list);
    }
    if (result.outcome != HostLookup::Outcome::Found) {
        result.detail = "no IPv4 address";
    }
    return result;
}

} // namespace

HostLookup::Result HostLookup::resolve(std::string_view host)
{
    return lookUp(SystemCalls::current(), std::string(host));
}

HostLookup::HostLookup(std::string_view host)
    : m_state(std::make_shared<State>())
{
    // The seam is read here, on the caller's thread, and the helper keeps that one object: the
    // result of a lookup must go back to the calls that made it.
    SystemCalls* calls = &SystemCalls::current();
    HelperThreads& threads = helperThreads();
    std::lock_guard lock(threads.mutex);
    threads.reap();
    threads.helpers.emplace_back();
    auto helper = std::prev(threads.helpers.end());
    helper->number = ++threads.lastNumber;
    m_state->helper = helper->number;
    try {
        helper->thread = std::thread([state = m_state, calls, name = std::string(host), helper] {
            Result result = lookUp(*calls, name);
            {
                std::lock_guard stateLock(state->mutex);
                if (!state->cancelled) {
                    state->result = std::move(result);
                    state->finished = true;
                }
            }
            state->changed.notify_all();
            HelperThreads& all = helperThreads();
            std::lock_guard threadsLock(all.mutex);
            helper->ended = true;
            all.ended.notify_all();
        });
    } catch (const std::system_error& error) {
        threads.helpers.erase(helper);
        m_state->helper = 0;
        std::lock_guard stateLock(m_state->mutex);
        m_state->result.detail = std::string("cannot start a lookup thread: ") + error.what();
        m_state->finished = true;
    }
}

HostLookup::~HostLookup()
{
    cancel();
}

HostLookup::Result HostLookup::wait(int waitMs)
{
    std::unique_lock lock(m_state->mutex);
    const auto done = [this] { return m_state->finished || m_state->cancelled; };
    if (waitMs < 0) {
        m_state->changed.wait(lock, done);
    } else if (!m_state->changed.wait_for(lock, std::chrono::milliseconds(waitMs), done)) {
        // Nobody will collect a result that comes now.
        m_state->cancelled = true;
        Result result;
        result.outcome = Outcome::TimedOut;
        result.detail = "no answer within " + std::to_string(waitMs) + " ms";
        return result;
    }
    if (m_state->finished) {
        Result result = m_state->result;
        lock.unlock();
        // Its helper is about to end: join it now rather than leave it for a later lookup.
        if (m_state->helper != 0) {
            HelperThreads& threads = helperThreads();
            std::unique_lock threadsLock(threads.mutex);
            threads.join(threadsLock, m_state->helper);
        }
        return result;
    }
    Result result;
    result.outcome = Outcome::Cancelled;
    result.detail = "cancelled";
    return result;
}

void HostLookup::cancel()
{
    {
        std::lock_guard lock(m_state->mutex);
        if (m_state->finished) {
            return;
        }
        m_state->cancelled = true;
    }
    m_state->changed.notify_all();
}

int HostLookup::pendingThreads()
{
    HelperThreads& threads = helperThreads();
    std::lock_guard lock(threads.mutex);
    int count = 0;
    for (const auto& helper : threads.helpers) {
        count += helper.ended ? 0 : 1;
    }
    return count;
}

bool HostLookup::waitForThreads(int waitMs)
{
    HelperThreads& threads = helperThreads();
    std::unique_lock lock(threads.mutex);
    const auto allEnded = [&threads] {
        for (const auto& helper : threads.helpers) {
            if (!helper.ended) {
                return false;
            }
        }
        return true;
    };
    bool ended = true;
    if (waitMs < 0) {
        threads.ended.wait(lock, allEnded);
    } else {
        ended = threads.ended.wait_for(lock, std::chrono::milliseconds(waitMs), allEnded);
    }
    threads.reap();
    return ended;
}
