#pragma once

#include <QObject>

class QAction;
class QMenu;
class QSystemTrayIcon;

// The program's icon in the desktop's notification area with its menu "Task Bar": "About
// Norvane...", "Show" (checked while the window is visible), "New Message...", "View Log...",
// "Schedule...", "Options..." and "Exit". Clicking the icon shows the window.
class TaskbarIcon final : public QObject
{
    Q_OBJECT

public:
    // The tip shown over the icon.
    static constexpr const char* tip = "Norvane Desk";

    explicit TaskbarIcon(QObject* parent = nullptr);
    ~TaskbarIcon() override;

    // Whether the desktop has a notification area to put the icon in.
    static bool available();
    // Puts the icon in the notification area (where there is one).
    void show();
    // Takes the icon out again.
    void hide();
    // Whether the icon is in the notification area.
    bool isVisible() const;
    // Sets the check mark of "Show".
    void setWindowShown(bool shown);
    // The menu, for tests.
    QMenu* menu() const { return m_menu; }

Q_SIGNALS:
    void aboutRequested();
    // "Show" chosen: hide a visible window, show a hidden one.
    void showToggled();
    // The icon was clicked or double-clicked.
    void showRequested();
    void newMessageRequested();
    void viewLogRequested();
    void scheduleRequested();
    void optionsRequested();
    void exitRequested();

private:
    QMenu* m_menu;
    QAction* m_show;
    QSystemTrayIcon* m_icon;
};
