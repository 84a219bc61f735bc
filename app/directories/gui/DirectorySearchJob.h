#pragma once

#include "directories/DirectoryRow.h"
#include "directories/LdapDirectory.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// One "Find Now" run off the GUI thread: connect, bind and search on a thread of its own, so
// that the window keeps being served however long the server takes. The bind's "keep
// waiting?" question and the end are handed to the GUI thread by queued calls; the thread
// never waits on the GUI thread, and the GUI thread waits on the thread only after stop().
class DirectorySearchJob final
{
public:
    // What the run came to.
    struct Outcome
    {
        bool found = false;
        LdapError error = LdapError::None;
        std::string errorText;
        // Whether the user answered the bind question with No (nothing more to say then).
        bool gaveUp = false;
        std::vector<DirectoryRow> rows;
    };

    // A run searching `service` for `typedName` with the given waits. `ask` runs on the GUI
    // thread when the bind has not been answered within the wait, and must call answer();
    // `finished` runs on the GUI thread at the end. Neither runs after the job is destroyed.
    DirectorySearchJob(LdapService service, std::string typedName,
                       std::chrono::milliseconds bindWait, std::chrono::milliseconds searchLimit,
                       std::function<void()> ask, std::function<void()> finished);
    // Stops the run and waits for its thread.
    ~DirectorySearchJob();
    DirectorySearchJob(const DirectorySearchJob&) = delete;
    DirectorySearchJob& operator=(const DirectorySearchJob&) = delete;

    // Starts the thread.
    void start();
    // The user's answer to the bind question. GUI thread.
    void answer(bool keepWaiting);
    // Abandons the run: a pending question reads as No, the connection or search is dropped;
    // `finished` still follows. Any thread.
    void stop();
    // The outcome; complete once `finished` ran. GUI thread.
    const Outcome& outcome() const { return m_outcome; }

private:
    void run();
    bool keepWaiting();
    // Whether the worker still waits for the question's answer (GUI thread).
    bool waitingForAnswer();

    LdapDirectory m_directory;
    std::string m_typedName;
    std::function<void()> m_ask;
    std::function<void()> m_finished;
    // Alive while the job is: the queued calls hold it weakly and drop themselves after.
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
    std::mutex m_mutex;
    std::condition_variable m_answered;
    std::optional<bool> m_answer;
    bool m_waiting = false;
    bool m_stopped = false;
    Outcome m_outcome;
    std::thread m_thread;
};
