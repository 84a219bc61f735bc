#include "ModalDriver.h"

#include <QApplication>
#include <QWidget>

ModalDriver::ModalDriver(QString title, std::function<void(QWidget*)> action)
    : m_title(std::move(title))
    , m_action(std::move(action))
{
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &ModalDriver::look);
    m_timer.start();
}

void ModalDriver::look()
{
    QWidget* window = QApplication::activeModalWidget();
    if (window == nullptr || !window->isVisible() || window->windowTitle() != m_title) {
        return;
    }
    m_timer.stop();
    m_acted = true;
    m_action(window);
}
