#include "sending/gui/QtSendPresenter.h"

#include "gui/QtStrings.h"
#include "sending/SendResults.h"
#include "sending/gui/MessageDialog.h"
#include "sending/gui/SendResultsDialog.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QThread>

namespace {

// How long one serveEvents() may spend on events before the send looks at its lock again.
constexpr int serveSliceMs = 20;

} // namespace

QtSendPresenter::QtSendPresenter(QWidget* parent)
    : m_parent(parent)
{ }

QtSendPresenter::~QtSendPresenter()
{
    // A send that ended between a transmission's start and its end leaves no cursor behind.
    restoreCursor();
}

void QtSendPresenter::showMessage(int messageId, std::string_view helpKey, std::string_view origin)
{
    if (!onGuiThread()) {
        return;
    }
    restoreCursor();
    MessageDialog::run(messageId, fromStd(helpKey), fromStd(origin), m_parent.data());
}

void QtSendPresenter::showResults(const SendResults& results)
{
    if (!onGuiThread()) {
        return;
    }
    restoreCursor();
    if (results.empty()) {
        return;
    }
    SendResultsDialog dialog(results.rows(), m_parent.data());
    dialog.exec();
}

void QtSendPresenter::serveEvents()
{
    if (onGuiThread()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, serveSliceMs);
    }
}

void QtSendPresenter::transmissionStarted(const Transmission& transmission)
{
    (void)transmission;
    if (!onGuiThread() || m_cursorShown) {
        return;
    }
    // The busy cursor (an arrow with a clock) rather than the plain wait cursor: the driver's
    // progress window stays up during the transmission and its Cancel must look clickable.
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    m_cursorShown = true;
}

void QtSendPresenter::transmissionEnded(const Transmission& transmission, std::int32_t returnCode)
{
    (void)transmission;
    (void)returnCode;
    if (onGuiThread()) {
        restoreCursor();
    }
}

bool QtSendPresenter::onGuiThread()
{
    const QCoreApplication* application = QCoreApplication::instance();
    return application != nullptr && QThread::currentThread() == application->thread();
}

void QtSendPresenter::restoreCursor()
{
    if (m_cursorShown) {
        m_cursorShown = false;
        QGuiApplication::restoreOverrideCursor();
    }
}
