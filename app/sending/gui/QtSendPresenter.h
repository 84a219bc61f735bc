#pragma once

#include "sending/SendPresenter.h"

#include <QPointer>
#include <QWidget>

// How a send from the desktop program shows itself: its messages in the message dialog, its
// results in "Send Results" (modal over the parent window), a busy cursor while a transmission
// runs, and the GUI thread's events served while the send waits for the send lock. Every call
// comes on the GUI thread (only the compose window's sends are not quiet); a call from any
// other thread shows nothing.
class QtSendPresenter final : public SendPresenter
{
public:
    // A presenter whose windows open over `parent` (which may go away before the presenter).
    explicit QtSendPresenter(QWidget* parent = nullptr);
    ~QtSendPresenter() override;
    QtSendPresenter(const QtSendPresenter&) = delete;
    QtSendPresenter& operator=(const QtSendPresenter&) = delete;

    void showMessage(int messageId, std::string_view helpKey, std::string_view origin) override;
    void showResults(const SendResults& results) override;
    void serveEvents() override;
    void transmissionStarted(const Transmission& transmission) override;
    void transmissionEnded(const Transmission& transmission, std::int32_t returnCode) override;

    // Whether the presenter's busy cursor is up.
    bool cursorShown() const { return m_cursorShown; }

private:
    static bool onGuiThread();
    void restoreCursor();

    QPointer<QWidget> m_parent;
    bool m_cursorShown = false;
};
