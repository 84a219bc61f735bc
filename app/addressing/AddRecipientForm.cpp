#include "addressing/AddRecipientForm.h"

#include "addressing/AddressGrammar.h"
#include "directories/AddressBook.h"
#include "text/StringTable.h"

#include <charconv>

namespace {

// The PIN as a number: digits only, within the record's range.
bool readPin(std::string_view text, std::int32_t& pin)
{
    if (text.empty())
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), pin);
    return error == std::errc() && end == text.data() + text.size() && pin >= 0;
}

} // namespace

AddRecipientForm AddRecipientForm::forNew(bool bookDisabled)
{
    AddRecipientForm form;
    form.m_bookDisabled = bookDisabled;
    return form;
}

AddRecipientForm AddRecipientForm::forEdit(const PagerAddress& address, std::string_view name)
{
    AddRecipientForm form;
    form.m_editing = true;
    form.m_fields.name = name;
    if (address.type != AddressType::Invalid)
        form.m_fields.type = address.type;
    form.m_fields.number = address.number;
    if (address.type != AddressType::Analog)
        form.m_fields.pin = std::to_string(address.pin);
    return form;
}

void AddRecipientForm::setFields(const Fields& fields)
{
    m_fields.type = fields.type;
    m_fields.number = fields.number;
    m_fields.pin = fields.pin;
    setAddToBook(fields.addToBook);
    if (nameEnabled())
        m_fields.name = fields.name;
}

void AddRecipientForm::setAddToBook(bool on)
{
    if (!boxEnabled())
        return;
    m_fields.addToBook = on;
    if (!on)
        m_fields.name = defaultName;
}

AddRecipientForm::Accepted AddRecipientForm::accept() const
{
    Accepted result;
    // Trailing blanks would make a book entry that the recipient list (which drops them) misses.
    std::string_view name = m_fields.name;
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
        name.remove_suffix(1);
    if (name.empty()) {
        result.messageId = StringId::NoEntryName;
        return result;
    }
    PagerAddress address;
    address.type = m_fields.type;
    address.number = m_fields.number;
    if (m_fields.type != AddressType::Analog) {
        if (m_fields.number.empty()) {
            result.messageId = StringId::NoPagingCompany;
            return result;
        }
        // A PIN that is not a number is as good as none: the record holds a number.
        if (!readPin(m_fields.pin, address.pin)) {
            result.messageId = StringId::NoPin;
            return result;
        }
    }
    result.name = name;
    result.address = AddressGrammar::formatAddress(address);
    return result;
}

AddRecipientForm::Stored AddRecipientForm::store(AddressBook& book, const Accepted& entry,
                                                 const std::function<Overwrite()>& askOverwrite,
                                                 int& messageId)
{
    messageId = 0;
    std::string stored;
    if (!book.getPagerInfo(entry.name, stored)) {
        if (book.add(entry.name, entry.address))
            return Stored::Added;
        messageId = StringId::AddEntryFailed;
        return Stored::Failed;
    }
    switch (askOverwrite()) {
    case Overwrite::No:
        return Stored::BackToDialog;
    case Overwrite::Cancel:
        return Stored::KeptExisting;
    case Overwrite::Yes:
        break;
    }
    if (book.update(entry.name, entry.address))
        return Stored::Replaced;
    messageId = StringId::UpdateEntryFailed;
    return Stored::Failed;
}
