#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class MessageHistory;
class RecipientListForm;
class SavedMessageStore;

// The compose window's rules without the window: the history position and the stepping
// through the message history, the "Messages" menu and its choices, and the checks before a
// save. Message boxes come back as notices for the window to show.
class ComposeForm
{
public:
    // Command numbers of the "Messages" menu: history entry k, saved message k.
    static constexpr int historyCommand = 80000;
    static constexpr int savedCommand = 81000;
    // The most entries of each kind the menu lists.
    static constexpr int menuLimit = 100;
    // The caption of the program's own message boxes.
    static constexpr std::string_view programCaption = "Norvane Desk";

    // A message box to show: its text ("\r" breaks a line) and caption.
    struct Notice
    {
        std::string text;
        std::string caption;
        bool operator==(const Notice&) const = default;
    };

    // An item of the "Messages" menu; command 0 is the separator.
    struct MenuItem
    {
        int command = 0;
        std::string label;
        bool operator==(const MenuItem&) const = default;
    };

    // A form reading `history` and `saved` and filling `recipients`.
    ComposeForm(MessageHistory& history, SavedMessageStore& saved, RecipientListForm& recipients);

    // The history entry shown: -1 a new message, 0 the newest entry, counting up to older ones.
    int historyPosition() const { return m_position; }

    // "New message": the list and the message emptied, position -1.
    void newMessage();
    // "Clear Message": the message emptied, position -1; the recipients stay.
    void clearMessage();
    // "Previous Message": the next older entry loaded, or the notice that there is none.
    std::optional<Notice> previousMessage();
    // "Next Message": the next newer entry loaded; at the newest, a new message.
    void nextMessage();
    // After a send: position -1, the recipients and the message stay.
    void sent() { m_position = -1; }

    // The "Messages" menu's items, or the notice to show instead when there is nothing to list.
    std::optional<Notice> messagesMenu(std::vector<MenuItem>& items) const;
    // Loads what a menu command names; false when it names nothing that can be read.
    bool choose(int command);
    // The label of a history entry's item: recipients and message, each cut to fit.
    static std::string historyLabel(std::string_view recipients, std::string_view message);

    // The notice a save gives instead of asking for a name, when the list is empty.
    std::optional<Notice> saveRefusal() const;

private:
    // Loads history entry `position` into the list; false when it cannot be read.
    bool loadHistory(int position);

    MessageHistory& m_history;
    SavedMessageStore& m_saved;
    RecipientListForm& m_recipients;
    int m_position = -1;
};
