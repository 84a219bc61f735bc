#pragma once

#include <QObject>

#include <deque>
#include <functional>
#include <mutex>

// Runs tasks on the GUI thread in the order they were posted, from any thread. The tasks wait
// in a queue of its own, guarded by a standard mutex, so that the hand-off of what they hold
// is plain to see for a thread checker; an event per task wakes the GUI thread, which runs
// one task per event, so a task that runs a modal loop leaves the later ones to that loop.
class GuiPump final : public QObject
{
public:
    // Queues the task for the GUI thread; dropped when no application object exists.
    static void post(std::function<void()> task);

protected:
    bool event(QEvent* event) override;

private:
    GuiPump() = default;
    // The process's pump, made on first use and moved to the application's thread.
    static GuiPump* instance();

    std::mutex m_mutex;
    std::deque<std::function<void()>> m_tasks;
};
