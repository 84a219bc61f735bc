#include "gui/GuiThread.h"

#include "gui/GuiPump.h"

#include <QApplication>
#include <QThread>
#include <QWidget>

#include <condition_variable>
#include <memory>
#include <mutex>

namespace GuiThread {

bool available()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

bool isCurrent()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}

void post(std::function<void()> task)
{
    GuiPump::post(std::move(task));
}

int call(const std::function<int()>& task)
{
    if (isCurrent()) {
        return task();
    }
    // The answer lives in shared state: it outlives this frame should the queued call run
    // after a spurious return (it cannot, but a dangling reference would be silent).
    struct Answer
    {
        std::mutex mutex;
        std::condition_variable ready;
        bool done = false;
        int value = 0;
    };
    auto answer = std::make_shared<Answer>();
    post([answer, task] {
        const int value = task();
        const std::lock_guard<std::mutex> guard(answer->mutex);
        answer->value = value;
        answer->done = true;
        answer->ready.notify_all();
    });
    std::unique_lock<std::mutex> lock(answer->mutex);
    answer->ready.wait(lock, [&answer] { return answer->done; });
    return answer->value;
}

QWidget* ownerWidget(void* parentWindow)
{
    if (parentWindow == nullptr) {
        return nullptr;
    }
    // The pointer is compared, never followed, until it is known to be a live widget.
    const QWidgetList widgets = QApplication::allWidgets();
    for (QWidget* widget : widgets) {
        if (static_cast<void*>(widget) == parentWindow) {
            return widget->window();
        }
    }
    return nullptr;
}

} // namespace GuiThread
