#pragma once

#include "addressing/AddressType.h"
#include "addressing/PagerAddress.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>

class AddressBook;

// The rules of the "Add Recipient" dialog without its window: the name field and the
// address-book box, the address record that the three address panels share, the checks of
// OK, and the storing of the entry in the address book.
class AddRecipientForm
{
public:
    static constexpr std::string_view newCaption = "Add Recipient";
    static constexpr std::string_view editCaption = "Edit Address Book Entry";
    static constexpr std::string_view defaultName = "NoName";
    // The type list's items; item k is AddressType k + 1.
    static constexpr std::array<std::string_view, 3> typeNames {
        "Direct Modem  (IXO/TAP)", "Touch Tone Phone (DTMF)", "Simple Network Paging (SNPP)"};
    // The question when the name is in the address book already ("%1": the name).
    static constexpr std::string_view overwriteText
        = "Entry \"%1\" exists already.\rOverwrite existing pager address?";

    // What the dialog's fields hold: the name, the box, the shown panel's type and the address
    // record that passes from one panel to the next (company, phone number or host; PIN).
    struct Fields
    {
        std::string name {defaultName};
        bool addToBook = false;
        AddressType type = AddressType::Ixo;
        std::string number;
        std::string pin;
    };

    // The outcome of OK: a message id when the dialog stays (0 when it closes), the name and the
    // formatted address.
    struct Accepted
    {
        int messageId = 0;
        std::string name;
        std::string address;
    };

    // What storing in the address book came to.
    enum class Stored { Added, Replaced, KeptExisting, BackToDialog, Failed };
    // The answers to the overwrite question.
    enum class Overwrite { Yes, No, Cancel };

    // A dialog for a new recipient; the box is disabled when the address book is.
    static AddRecipientForm forNew(bool bookDisabled);
    // A dialog editing an existing address: the box hidden, the name (`name`) read-only.
    static AddRecipientForm forEdit(const PagerAddress& address,
                                    std::string_view name = defaultName);

    bool editing() const { return m_editing; }
    std::string_view caption() const { return m_editing ? editCaption : newCaption; }
    bool boxVisible() const { return !m_editing; }
    bool boxEnabled() const { return !m_editing && !m_bookDisabled; }
    // Whether the name can be typed in.
    bool nameEnabled() const { return !m_editing && m_fields.addToBook; }

    const Fields& fields() const { return m_fields; }
    // Takes what the user typed or chose (the name is kept while it cannot be typed in).
    void setFields(const Fields& fields);
    // Ticks or clears the box; clearing it gives the name back its default.
    void setAddToBook(bool on);

    // OK: the checks in the dialog's order, then the name (trailing blanks removed; none left:
    // message 132) and the address as formatAddress writes it (a provider name stays as typed).
    Accepted accept() const;
    // Stores (name, address) in `book` after an OK with the box ticked. For a name the book
    // holds already `askOverwrite` is asked (overwriteText): Yes replaces the address, No
    // returns to the dialog, Cancel keeps the stored entry. `messageId` is the failure's
    // message (135 add, 147 update).
    static Stored store(AddressBook& book, const Accepted& entry,
                        const std::function<Overwrite()>& askOverwrite, int& messageId);

private:
    Fields m_fields;
    bool m_editing = false;
    bool m_bookDisabled = false;
};
