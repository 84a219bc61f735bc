#include "directories/gui/DirectorySearchJob.h"

#include "gui/GuiThread.h"

DirectorySearchJob::DirectorySearchJob(LdapService service, std::string typedName,
                                       std::chrono::milliseconds bindWait,
                                       std::chrono::milliseconds searchLimit,
                                       std::function<void()> ask, std::function<void()> finished)
    : m_directory(std::move(service))
    , m_typedName(std::move(typedName))
    , m_ask(std::move(ask))
    , m_finished(std::move(finished))
{
    m_directory.setBindWait(bindWait);
    m_directory.setSearchLimit(searchLimit);
}

DirectorySearchJob::~DirectorySearchJob()
{
    stop();
    if (m_thread.joinable())
        m_thread.join();
}

void DirectorySearchJob::start()
{
    m_thread = std::thread([this] { run(); });
}

void DirectorySearchJob::answer(bool keepWaiting)
{
    const std::lock_guard lock(m_mutex);
    m_answer = keepWaiting;
    m_answered.notify_all();
}

void DirectorySearchJob::stop()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopped = true;
        m_answered.notify_all();
    }
    m_directory.stop();
}

bool DirectorySearchJob::keepWaiting()
{
    std::unique_lock lock(m_mutex);
    if (m_stopped)
        return false;
    m_answer.reset();
    m_waiting = true;
    // A Stop between this post and the GUI thread running it ends the wait: the question is
    // then not asked at all.
    GuiThread::post([alive = std::weak_ptr<int>(m_alive), this] {
        if (alive.lock() && waitingForAnswer())
            m_ask();
    });
    m_answered.wait(lock, [this] { return m_answer.has_value() || m_stopped; });
    m_waiting = false;
    const bool keep = m_answer.value_or(false) && !m_stopped;
    if (!keep && !m_stopped)
        m_outcome.gaveUp = true;
    return keep;
}

bool DirectorySearchJob::waitingForAnswer()
{
    const std::lock_guard lock(m_mutex);
    return m_waiting && !m_stopped;
}

void DirectorySearchJob::run()
{
    // The outcome is written here and read on the GUI thread only after the queued call
    // below, which hands it over.
    Outcome outcome;
    const bool connected = m_directory.connect([this] { return keepWaiting(); });
    if (connected)
        outcome.found = m_directory.search(m_typedName, outcome.rows);
    outcome.error = m_directory.lastError();
    outcome.errorText = m_directory.lastErrorText();
    {
        const std::lock_guard lock(m_mutex);
        outcome.gaveUp = m_outcome.gaveUp;
        m_outcome = std::move(outcome);
    }
    GuiThread::post([alive = std::weak_ptr<int>(m_alive), this] {
        if (alive.lock())
            m_finished();
    });
}
