#include "ui/TaskbarIcon.h"

#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

TaskbarIcon::TaskbarIcon(QObject* parent)
    : QObject(parent)
    , m_menu(new QMenu(QStringLiteral("Task Bar")))
    , m_icon(new QSystemTrayIcon(QIcon(QStringLiteral(":/ui/norvane.svg")), this))
{
    m_menu->setObjectName(QStringLiteral("taskbarMenu"));
    const auto add = [this](const QString& text, const char* name, auto signal) {
        QAction* action = m_menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, signal);
        return action;
    };
    add(QStringLiteral("About Norvane..."), "aboutAction", &TaskbarIcon::aboutRequested);
    m_menu->addSeparator();
    m_show = add(QStringLiteral("Show"), "showAction", &TaskbarIcon::showToggled);
    m_show->setCheckable(true);
    m_show->setChecked(true);
    add(QStringLiteral("New Message..."), "newMessageAction", &TaskbarIcon::newMessageRequested);
    m_menu->addSeparator();
    add(QStringLiteral("View Log..."), "viewLogAction", &TaskbarIcon::viewLogRequested);
    add(QStringLiteral("Schedule..."), "scheduleAction", &TaskbarIcon::scheduleRequested);
    add(QStringLiteral("Options..."), "optionsAction", &TaskbarIcon::optionsRequested);
    m_menu->addSeparator();
    add(QStringLiteral("Exit"), "exitAction", &TaskbarIcon::exitRequested);

    m_icon->setToolTip(QString::fromLatin1(tip));
    m_icon->setContextMenu(m_menu);
    connect(m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                    Q_EMIT showRequested();
            });
}

TaskbarIcon::~TaskbarIcon()
{
    m_icon->hide();
    delete m_menu;
}

bool TaskbarIcon::available()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TaskbarIcon::show()
{
    m_icon->show();
}

void TaskbarIcon::hide()
{
    m_icon->hide();
}

bool TaskbarIcon::isVisible() const
{
    return m_icon->isVisible();
}

void TaskbarIcon::setWindowShown(bool shown)
{
    m_show->setChecked(shown);
}
