#pragma once

#include "addressing/AddressCheck.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class AddressBook;
class ProviderDatabase;
class UserPrompt;

// The rules of the compose window's recipient list and message text, free of any window:
// adding with the duplicate test and the address check, label edits, completion from the
// address book, removal, and the ";"-separated text a send or a save takes.
class RecipientListForm
{
public:
    // The picture of an entry still being typed (the others are AddressCheck kinds).
    static constexpr int typingPicture = 5;
    // The most characters an entry keeps.
    static constexpr std::size_t maxEntryLength = 127;
    // The most characters of the recipients text and of the message a send takes.
    static constexpr std::size_t maxSendText = 511;

    // One entry of the list: its text and its picture.
    struct Item
    {
        std::string text;
        int picture = 0;
        bool operator==(const Item&) const = default;
    };

    // The three flags of the "General" key that rule adding.
    struct Flags
    {
        bool disableCheck = false;
        bool disableWarning = false;
        bool disableCompletion = false;
    };

    // A form checking against `providers` and `book` (either may be null) and asking through
    // `prompt` (null: checks that would ask accept).
    RecipientListForm(ProviderDatabase* providers, AddressBook* book, UserPrompt* prompt);

    // Reads the three flags from the settings store (missing values read 0).
    static Flags readFlags();
    // Re-reads the flags, as when the panel opens and after the options sheet closes.
    void reloadFlags() { m_flags = readFlags(); }
    // Sets the flags directly.
    void setFlags(const Flags& flags) { m_flags = flags; }
    const Flags& flags() const { return m_flags; }
    // The address book that checks and completion use from now on (the current one changed).
    void setAddressBook(AddressBook* book) { m_book = book; }
    AddressBook* addressBook() const { return m_book; }
    // The provider database that checks translate through.
    ProviderDatabase* providers() const { return m_providers; }
    // The prompt the check asks through from now on (null: checks that would ask accept).
    void setPrompt(UserPrompt* prompt) { m_prompt = prompt; }
    UserPrompt* prompt() const { return m_prompt; }

    const std::vector<Item>& items() const { return m_items; }
    const std::string& message() const { return m_message; }
    // Replaces the message text.
    void setMessage(std::string_view text) { m_message = text; }

    // Adds an entry at the end: trailing blanks removed, then (unless skipChecks) refused when
    // it is already listed, then (unless skipChecks or the check is off) checked. Gives the new
    // item's position plus one, or -1 when the entry was refused.
    int add(std::string_view text, bool skipChecks);
    // Whether an entry with this text is listed (letter case and trailing blanks ignored),
    // the item at `except` left out.
    bool contains(std::string_view text, std::optional<std::size_t> except = std::nullopt) const;

    // Appends an empty item being typed (no checks) and gives its position.
    std::size_t insertNew();
    // Ends the label edit of item `row` with `text`: an empty or listed text, or one the check
    // refuses, removes a new item and keeps an existing one; otherwise the item takes the text
    // and the check's picture. True when the item now holds `text`.
    bool endEdit(std::size_t row, std::string_view text);
    // The address-book name that completes `typed`, when completion is on and one is found.
    std::optional<std::string> complete(std::string_view typed) const;

    // Removes the items at these positions (any order, duplicates ignored).
    void remove(std::vector<std::size_t> rows);
    // Empties the list.
    void clear()
    {
        m_items.clear();
        m_newRow.reset();
    }
    // Loads a stored "recipients=message" text: the recipients split at ";" become the list
    // without any test or check, the rest the message.
    void load(std::string_view stored);
    // Every entry in list order, each followed by ";", cut to maxSendText characters.
    std::string recipientsText() const;
    // The message cut to maxSendText characters.
    std::string messageText() const;

private:
    // Runs the address check as the flags say; nullopt when the entry is refused.
    std::optional<int> check(std::string_view text) const;

    ProviderDatabase* m_providers;
    AddressBook* m_book;
    UserPrompt* m_prompt;
    Flags m_flags;
    std::vector<Item> m_items;
    std::string m_message;
    std::optional<std::size_t> m_newRow;
};
