#pragma once

#include <QLatin1String>
#include <QTest>
#include <QWidget>

#include <atomic>
#include <functional>
#include <thread>

// The child widget of `parent` with the object name, or null (with a warning naming the one
// that is missing, so that a failing test says which).
template<typename T>
T* child(QWidget* parent, const char* name)
{
    T* found = parent->findChild<T*>(QLatin1String(name));
    if (found == nullptr) {
        qWarning("no child %s", name);
    }
    return found;
}

// Runs `call` on a worker thread while this, the GUI thread, serves events, as a host's
// scheduler or gateway thread calls into a plug-in. True when the call ended within
// `serveMs`; the worker is joined either way.
inline bool onWorker(const std::function<void()>& call, int serveMs = 30000)
{
    std::atomic<bool> done {false};
    std::thread worker([&] {
        call();
        done = true;
    });
    for (int waited = 0; waited < serveMs && !done; waited += 5) {
        QTest::qWait(5);
    }
    const bool endedInTime = done;
    worker.join();
    return endedInTime;
}
