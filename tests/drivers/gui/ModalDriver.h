#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class QWidget;

// Acts on a modal window that the code under test opens and runs itself (a dialog shown from
// inside a plug-in's call): on the GUI thread, it looks every 10 ms for the active modal window
// with the title and runs the action on it once.
class ModalDriver final : public QObject
{
    Q_OBJECT

public:
    // Starts watching for the window titled `title`.
    ModalDriver(QString title, std::function<void(QWidget*)> action);

    // Whether the window came up and the action ran.
    bool acted() const { return m_acted; }

private:
    void look();

    QString m_title;
    std::function<void(QWidget*)> m_action;
    QTimer m_timer;
    bool m_acted = false;
};
