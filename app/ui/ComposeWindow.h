#pragma once

#include "addressing/RecipientListForm.h"
#include "shell/ComposeForm.h"
#include "ui/options/OptionsWindows.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <memory>

class DeskPrompt;
class DeskServices;
class QMenu;
class QPushButton;
class QToolButton;
class RecipientsPanel;
class Tutorial;

// The program's main window: the toolbar of picture buttons, the recipients panel with the
// message, and "&Send", "&Close" and "&Help". Closing it only hides it (or minimises it where
// the desktop has no notification area); the program ends through "Exit".
class ComposeWindow final : public QWidget
{
    Q_OBJECT

public:
    // The smallest size the window can be given.
    static constexpr int minimumWidth = 280;
    static constexpr int minimumHeight = 220;
    // A control's pop-up is this plus the id its "helpId" property holds.
    static constexpr std::uint32_t controlHelpBase = 0x10000;
    static constexpr const char* helpIdProperty = "helpId";
    // The window's own topic.
    static constexpr std::uint32_t windowHelpContext = 0x20066;

    // A window that sends through `services`' Sender and asks through `prompt`.
    ComposeWindow(DeskServices& services, DeskPrompt& prompt, QWidget* parent = nullptr);
    ~ComposeWindow() override;

    // With a notification area closing hides the window, without one it minimises it.
    void setHidesOnClose(bool hides) { m_hidesOnClose = hides; }
    // Shows the window and brings it to the top.
    void bringForward();

    // The commands, as the buttons and menus give them.
    void newMessage();
    void saveMessage();
    // "Edit Saved Messages" and the taskbar's "Schedule...": the saved messages with their
    // schedules.
    void editSavedMessages();
    // "Select recipient from Address Book": each name chosen in the current book is added.
    void selectFromAddressBook();
    // "Directory Search": each pager address handed back is added.
    void directorySearch();
    // The taskbar's "View Log...": the log viewer.
    void viewLog();
    // The taskbar's "Options...": the options sheet; when it closes, the recipients' flags
    // are read again and the gateway runs with the new settings.
    void showOptions();
    // The windows the options sheet opens.
    OptionsWindows optionsWindows();
    void previousMessage();
    void nextMessage();
    void clearMessage();
    void showMessagesMenu();
    void send();
    void about();
    // F1: the pop-up of the control under the pointer (or with the focus), else the window's
    // topic.
    void controlHelp();
    // Puts "Exit" in the help menu, for a desktop without a notification area (and so
    // without the taskbar menu).
    void offerExitInMenu();

    RecipientsPanel* panel() const { return m_panel; }
    ComposeForm& form() { return m_form; }
    Tutorial* tutorial() const { return m_tutorial; }
    RecipientListForm& recipients() { return m_recipients; }
    // The menu the "Messages" button opens, filled for the current history and saved messages;
    // null when there was nothing to list.
    std::unique_ptr<QMenu> buildMessagesMenu();

Q_SIGNALS:
    // The window was shown or hidden.
    void shownChanged(bool shown);
    // "Exit" was chosen in the window (Ctrl+Q, or the help menu without a notification area).
    void exitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QToolButton* toolButton(const char* name, const QString& tip, const QString& icon);
    QWidget* makeToolbar();
    QWidget* makeButtons();
    void showNotice(const ComposeForm::Notice& notice);
    void closeWindow();
    // Another address book became the current one.
    void addressBookChanged();

    DeskServices& m_services;
    DeskPrompt& m_prompt;
    RecipientListForm m_recipients;
    ComposeForm m_form;
    RecipientsPanel* m_panel = nullptr;
    QPushButton* m_send = nullptr;
    QToolButton* m_messages = nullptr;
    QMenu* m_helpMenu = nullptr;
    Tutorial* m_tutorial = nullptr;
    bool m_hidesOnClose = true;
    bool m_sending = false;
};
