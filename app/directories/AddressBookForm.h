#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class AddressBook;

// The rules of the "Address Book" dialog without its window: its two modes, which buttons a
// book allows, filling the list, adding and changing an entry (the overwrite question),
// deleting, and the result of selecting recipients.
class AddressBookForm
{
public:
    static constexpr std::string_view manageCaption = "Address Book";
    static constexpr std::string_view selectCaption = "Address Book - selecting recipients";
    static constexpr std::string_view selectNote = "Double click on a user to select it";
    static constexpr std::string_view readOnlyNote = "Note: Address book is readonly or disabled";
    // Message 133, asked per selected row by "&Delete" ("%1": the name).
    static constexpr std::string_view deleteText
        = "Are you sure your want to delete the entry \"%1\" ?";
    // Message 134, shown for a selected entry without pager information ("%1": the name).
    static constexpr int noPagerInfoId = 134;
    static constexpr std::string_view noPagerInfoText
        = "Entry \"%1\" does not have valid pager information\rPlease select another entry "
          "from the address book";
    // Message 146, asked when an added name is in the book already ("%1": the name).
    static constexpr std::string_view overwriteText
        = "Entry \"%1\" exists already.\rOverwrite existing pager address?";

    // The dialog's two modes: managing the book, or choosing recipients from it.
    enum class Mode { Managing, Selecting };
    // The answers to the overwrite question.
    enum class Overwrite { Yes, No, Cancel };

    // One row of the list.
    struct Entry
    {
        std::string name;
        std::string pagerInfo;
        bool operator==(const Entry&) const = default;
    };

    // What storing an entry came to: done (the list is filled again), back to the entry
    // dialog with what was typed (No to the overwrite question), cancelled, or failed with
    // message `messageId` (135 add, 147 update; `error` says why).
    struct Stored
    {
        enum class Result { Done, BackToDialog, Cancelled, Failed } result = Result::Done;
        int messageId = 0;
        std::string error;
    };

    // What "&Select" came to: the names taken, each followed by ";", and the entries refused
    // for want of pager information (one message 134 each).
    struct Selection
    {
        std::string names;
        std::vector<std::string> refused;
    };

    // A form over `book` (null: no book is current, shown as disabled).
    AddressBookForm(AddressBook* book, Mode mode);

    Mode mode() const { return m_mode; }
    std::string_view caption() const;
    // The close button's text: "&Close" managing, "&Cancel" selecting.
    std::string_view closeText() const;
    // The note line under the list.
    std::string_view note() const;
    bool selectVisible() const { return m_mode == Mode::Selecting; }
    // Whether entries can be added, changed and deleted (the book is neither disabled nor
    // read-only).
    bool editable() const;
    // Whether entries can be chosen: the book is open, even when read-only.
    bool selectable() const;

    // Every entry in the book's order; false (with `error`) when the book cannot list them.
    bool fill(std::vector<Entry>& rows, std::string& error) const;
    // "&Add" after the entry dialog's OK: the name with trailing blanks removed; when the
    // book holds the name, `ask` decides (Yes updates, No goes back, Cancel ends).
    Stored add(const Entry& typed, const std::function<Overwrite(const std::string& name)>& ask);
    // "&Properties" after the entry dialog's OK: the entry of the (blank-trimmed) name gets
    // the pager information.
    Stored change(const Entry& edited);
    // "&Delete" for one confirmed name; false (with `error`) when it failed (message 136).
    bool remove(const std::string& name, std::string& error);
    // "&Select" over the selected rows: names with pager information taken, the others refused.
    static Selection select(const std::vector<Entry>& selected);
    // The names of a selection's result (or any ";"-separated list), empty parts left out.
    static std::vector<std::string> splitNames(std::string_view names);

private:
    AddressBook* m_book;
    Mode m_mode;
};
