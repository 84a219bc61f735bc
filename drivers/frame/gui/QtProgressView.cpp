#include "frame/gui/QtProgressView.h"

#include "frame/CompanionViewModule.h"
#include "frame/gui/ProgressDialog.h"
#include "gui/GuiThread.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>

#include <condition_variable>
#include <mutex>

// The state the view shares with the calls it queues to the GUI thread: those may run after
// the view is gone, so they hold this, never the view.
struct QtProgressView::Shared : std::enable_shared_from_this<Shared>
{
    explicit Shared(const ProgressViewSetup& viewSetup)
        : setup(viewSetup)
    { }

    // GUI thread: makes and shows the dialog and reports it shown; false (nothing shown)
    // when end() came first.
    bool open(ProgressViewEvents& viewEvents, bool modal);
    // GUI thread, queued by end(): closes the dialog and lets go of the events.
    void finish(int viewResult);
    // GUI thread: the GUI side is done with the dialog and the events; run() may return. The
    // dialog goes at once, or later when a call of it may still be on the stack.
    void letGo(bool deleteNow);

    const ProgressViewSetup setup;

    // GUI thread only.
    QPointer<ProgressDialog> dialog;
    ProgressViewEvents* events = nullptr; // until the dialog is let go
    QEventLoop* loop = nullptr; // the modal loop of run() on the GUI thread
    bool modalHere = false; // run() was called on the GUI thread
    bool finished = false; // the end came through

    // Any thread.
    std::mutex mutex;
    std::condition_variable released;
    bool ended = false;
    int result = 0;
    bool guiDone = false; // the GUI thread will not touch the events again
};

bool QtProgressView::Shared::open(ProgressViewEvents& viewEvents, bool modal)
{
    {
        const std::lock_guard<std::mutex> guard(mutex);
        if (ended) {
            return false;
        }
    }
    modalHere = modal;
    events = &viewEvents;
    dialog = new ProgressDialog(setup, GuiThread::ownerWidget(setup.parentWindow));
    // A send from another thread blocks no window of the GUI thread: the user keeps working
    // while it runs.
    dialog->setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
    QObject::connect(dialog, &ProgressDialog::cancelRequested, dialog, [weak = weak_from_this()] {
        const std::shared_ptr<Shared> self = weak.lock();
        if (self && self->events != nullptr) {
            self->events->cancelPressed();
        }
    });
    dialog->show();
    events->viewShown();
    return true;
}

void QtProgressView::Shared::finish(int viewResult)
{
    finished = true;
    if (dialog) {
        dialog->finish(viewResult);
    }
    if (modalHere) {
        // run() cleans up once its loop has returned.
        if (loop != nullptr) {
            loop->quit();
        }
        return;
    }
    letGo(false);
}

void QtProgressView::Shared::letGo(bool deleteNow)
{
    events = nullptr;
    if (dialog) {
        if (deleteNow) {
            delete dialog;
        } else {
            dialog->deleteLater();
        }
        dialog = nullptr;
    }
    const std::lock_guard<std::mutex> guard(mutex);
    guiDone = true;
    released.notify_all();
}

QtProgressView* QtProgressView::create(int abiVersion, const ProgressViewSetup* setup)
{
    if (abiVersion != CompanionViewModule::abiVersion || setup == nullptr
        || !GuiThread::available()) {
        return nullptr;
    }
    return new QtProgressView(*setup);
}

QtProgressView::QtProgressView(const ProgressViewSetup& setup)
    : m_shared(std::make_shared<Shared>(setup))
{ }

QtProgressView::~QtProgressView()
{
    // run() leaves nothing open; a view that is dropped without its run() leaves nothing to
    // close either, since the dialog exists only inside run().
}

int QtProgressView::run(ProgressViewEvents& events)
{
    {
        const std::lock_guard<std::mutex> guard(m_shared->mutex);
        if (m_shared->ended) {
            return m_shared->result;
        }
    }
    if (!GuiThread::available()) {
        return -1;
    }
    return GuiThread::isCurrent() ? runHere(events) : runFromOtherThread(events);
}

int QtProgressView::runHere(ProgressViewEvents& events)
{
    if (m_shared->open(events, true)) {
        QEventLoop loop;
        m_shared->loop = &loop;
        if (!m_shared->finished) {
            loop.exec(QEventLoop::DialogExec);
        }
        m_shared->loop = nullptr;
        // The loop has returned, so nothing of the dialog is on the stack.
        m_shared->letGo(true);
    }
    const std::lock_guard<std::mutex> guard(m_shared->mutex);
    return m_shared->result;
}

int QtProgressView::runFromOtherThread(ProgressViewEvents& events)
{
    // `events` outlives the queued call: this thread waits until the GUI thread is done.
    GuiThread::post([shared = m_shared, &events] {
        if (!shared->open(events, false)) {
            shared->letGo(false);
        }
    });
    std::unique_lock<std::mutex> lock(m_shared->mutex);
    m_shared->released.wait(lock, [this] { return m_shared->guiDone; });
    return m_shared->result;
}

void QtProgressView::end(int result)
{
    {
        const std::lock_guard<std::mutex> guard(m_shared->mutex);
        if (m_shared->ended) {
            return;
        }
        m_shared->ended = true;
        m_shared->result = result;
    }
    GuiThread::post([shared = m_shared, result] { shared->finish(result); });
}

void QtProgressView::post(std::function<void(ProgressDialog&)> change)
{
    GuiThread::post([shared = m_shared, change = std::move(change)] {
        if (shared->dialog) {
            change(*shared->dialog);
        }
    });
}

void QtProgressView::setPhase(int phase)
{
    post([phase](ProgressDialog& dialog) { dialog.setPhase(phase); });
}

void QtProgressView::setStatus(const std::string& text)
{
    post([text = QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()))](
             ProgressDialog& dialog) { dialog.setStatus(text); });
}

void QtProgressView::setProgress(int value)
{
    post([value](ProgressDialog& dialog) { dialog.setProgress(value); });
}

void QtProgressView::setCancelEnabled(bool enabled)
{
    post([enabled](ProgressDialog& dialog) { dialog.setCancelEnabled(enabled); });
}

void QtProgressView::setRightAnimation(RightAnimation animation)
{
    post([animation](ProgressDialog& dialog) { dialog.setRightAnimation(animation); });
}
