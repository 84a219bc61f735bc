#include "ui/DeskApplication.h"

#include "directories/gui/DeskPrompt.h"
#include "help/HelpWindow.h"
#include "log/LogFile.h"
#include "log/LogLevel.h"
#include "sending/gui/QtSendPresenter.h"
#include "services/DeskServices.h"
#include "tutorial/Tutorial.h"
#include "ui/ComposeWindow.h"
#include "ui/SingleInstance.h"
#include "ui/SplashScreen.h"
#include "ui/TaskbarIcon.h"

#include <QApplication>
#include <QTimer>

#include <cstdlib>

DeskApplication::DeskApplication(const StartupOptions& options, QString instanceFolder)
    : m_options(options)
    , m_instance(std::make_unique<SingleInstance>(std::move(instanceFolder)))
{ }

DeskApplication::~DeskApplication()
{
    // The window goes before the services it sends through.
    m_icon.reset();
    m_window.reset();
}

bool DeskApplication::start()
{
    if (!m_options.multipleInstances) {
        if (!m_instance->acquire()) {
            // The running instance comes forward; this one has nothing more to do.
            (void)m_instance->activateRunning();
            return false;
        }
        if (!m_instance->lastErrorText().isEmpty()) {
            LogFile().write(LogLevel::Errors, "Main", "Single instance: %s",
                            qPrintable(m_instance->lastErrorText()));
        }
    }
    if (!m_options.taskbarOnly) {
        SplashScreen splash;
        splash.showFor();
    }

    HelpWindow::install();
    m_prompt = std::make_shared<DeskPrompt>();
    m_services = std::make_unique<DeskServices>(m_prompt, "Main");
    m_window = std::make_unique<ComposeWindow>(*m_services, *m_prompt);
    if (TaskbarIcon::available()) {
        m_icon = std::make_unique<TaskbarIcon>();
        connectTaskbar();
        m_icon->show();
    } else {
        // Without a notification area, hiding the window would leave no way back to it.
        m_window->setHidesOnClose(false);
        m_window->offerExitInMenu();
    }
    connect(m_window.get(), &ComposeWindow::exitRequested, this, &DeskApplication::exit);
    connect(m_instance.get(), &SingleInstance::activationRequested, m_window.get(),
            &ComposeWindow::bringForward);
    startServices();

    if (m_options.taskbarOnly && m_icon)
        m_window->hide();
    else
        m_window->bringForward();
    // The welcome comes once the program runs its events, over the window (with "-t" too).
    QTimer::singleShot(0, m_window.get(),
                       [window = m_window.get()] { (void)window->tutorial()->offerAtStartup(); });
    return true;
}

void DeskApplication::startServices()
{
    // A missing database file asks over the window; neither failure stops the program:
    // numbers go without a provider database, addresses without a book.
    (void)m_services->openProviders();
    (void)m_services->selectAddressBook();
    m_window->recipients().setAddressBook(m_services->books().current());

    Sender& sender = m_services->sender();
    ControlOptions options = sender.driverOptions();
    options.showProgress = true;
    options.parentWindow = m_window.get();
    sender.setDriverOptions(options);
    sender.setPresenter(std::make_shared<QtSendPresenter>(m_window.get()));

    // A thread the system refuses is logged by the services; the window works without it.
    (void)m_services->start();
}

void DeskApplication::connectTaskbar()
{
    TaskbarIcon* icon = m_icon.get();
    ComposeWindow* window = m_window.get();
    connect(icon, &TaskbarIcon::showRequested, window, &ComposeWindow::bringForward);
    connect(icon, &TaskbarIcon::showToggled, window, [window] {
        if (window->isVisible() && !window->isMinimized())
            window->hide();
        else
            window->bringForward();
    });
    connect(window, &ComposeWindow::shownChanged, icon, &TaskbarIcon::setWindowShown);
    connect(icon, &TaskbarIcon::aboutRequested, window, &ComposeWindow::about);
    connect(icon, &TaskbarIcon::newMessageRequested, window, &ComposeWindow::newMessage);
    connect(icon, &TaskbarIcon::viewLogRequested, window, &ComposeWindow::viewLog);
    connect(icon, &TaskbarIcon::scheduleRequested, window, &ComposeWindow::editSavedMessages);
    connect(icon, &TaskbarIcon::optionsRequested, window, &ComposeWindow::showOptions);
    connect(icon, &TaskbarIcon::exitRequested, this, &DeskApplication::exit);
}

void DeskApplication::exit()
{
    if (m_exiting)
        return;
    m_exiting = true;
    m_window->tutorial()->exiting();
    if (m_icon)
        m_icon->hide();
    m_window->hide();
    const bool stopped = m_services->stop(
        DeskServices::stopWait(), [](std::chrono::milliseconds most) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, static_cast<int>(most.count()));
        });
    if (!stopped) {
        // A send that ignores its cancel keeps a thread busy past the bound: the program ends
        // without waiting for it, as it would at the end of a session. Devices a send holds
        // are released by the handlers registered for a quick exit.
        LogFile().write(LogLevel::Errors, "Main", "Exit: a thread still ran after the stop bound");
        std::quick_exit(0);
    }
    QCoreApplication::quit();
}
