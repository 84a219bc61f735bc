#pragma once

#include "shell/StartupOptions.h"

#include <QObject>

#include <memory>

class ComposeWindow;
class DeskPrompt;
class DeskServices;
class SingleInstance;
class TaskbarIcon;

// The desktop program from start to end: the single-instance rule, the splash picture, the
// services, the compose window and the taskbar icon, in the order the start brings them up,
// and "Exit", which stops the services within their bound and ends the program.
class DeskApplication final : public QObject
{
    Q_OBJECT

public:
    // A program started with `options` (the action already known to be Run). `instanceFolder`
    // holds the instance lock and socket (empty: the user's runtime folder).
    explicit DeskApplication(const StartupOptions& options, QString instanceFolder = {});
    ~DeskApplication() override;

    // Brings everything up; false when another instance runs (it was asked to come forward)
    // and this one should end at once.
    [[nodiscard]] bool start();
    // "Exit": stops the services (a send in progress is cancelled), takes the icon away and
    // ends the event loop.
    void exit();

    ComposeWindow* window() const { return m_window.get(); }
    TaskbarIcon* taskbarIcon() const { return m_icon.get(); }
    DeskServices* services() const { return m_services.get(); }

private:
    void startServices();
    void connectTaskbar();

    StartupOptions m_options;
    std::unique_ptr<SingleInstance> m_instance;
    std::shared_ptr<DeskPrompt> m_prompt;
    std::unique_ptr<DeskServices> m_services;
    std::unique_ptr<ComposeWindow> m_window;
    std::unique_ptr<TaskbarIcon> m_icon;
    bool m_exiting = false;
};
