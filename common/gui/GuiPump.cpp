#include "gui/GuiPump.h"

#include <QCoreApplication>
#include <QEvent>

namespace {

QEvent::Type wakeType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

} // namespace

GuiPump* GuiPump::instance()
{
    // Made once and kept for the life of the process: a task may be posted from any thread
    // at any time, so the pump must never be gone under a poster.
    static std::mutex mutex;
    static GuiPump* pump = nullptr;
    const std::lock_guard<std::mutex> guard(mutex);
    if (pump == nullptr) {
        pump = new GuiPump;
        pump->moveToThread(QCoreApplication::instance()->thread());
    }
    return pump;
}

void GuiPump::post(std::function<void()> task)
{
    if (QCoreApplication::instance() == nullptr) {
        return;
    }
    GuiPump* pump = instance();
    {
        const std::lock_guard<std::mutex> guard(pump->m_mutex);
        pump->m_tasks.push_back(std::move(task));
    }
    QCoreApplication::postEvent(pump, new QEvent(wakeType()));
}

bool GuiPump::event(QEvent* event)
{
    if (event->type() != wakeType()) {
        return QObject::event(event);
    }
    std::function<void()> task;
    {
        const std::lock_guard<std::mutex> guard(m_mutex);
        if (m_tasks.empty()) {
            return true;
        }
        task = std::move(m_tasks.front());
        m_tasks.pop_front();
    }
    task();
    return true;
}
