#include "directories/AddressBookForm.h"

#include "directories/AddressBook.h"
#include "directories/AddressBookVisitor.h"
#include "text/StringTable.h"
#include "text/TextLimits.h"

namespace {

// Collects the enumeration into rows: a name starts a row, its pager information completes it.
class RowCollector final : public AddressBookVisitor
{
public:
    explicit RowCollector(std::vector<AddressBookForm::Entry>& rows)
        : m_rows(rows)
    { }

    void addName(std::string_view name) override { m_rows.push_back({std::string(name), {}}); }

    bool setPagerInfo(std::string_view pagerInfo) override
    {
        if (m_rows.empty()) {
            return false;
        }
        m_rows.back().pagerInfo = pagerInfo;
        return true;
    }

private:
    std::vector<AddressBookForm::Entry>& m_rows;
};

std::string trimmed(std::string_view text)
{
    return std::string(TextLimits::trimTrailingBlanks(text));
}

} // namespace

AddressBookForm::AddressBookForm(AddressBook* book, Mode mode)
    : m_book(book)
    , m_mode(mode)
{ }

std::string_view AddressBookForm::caption() const
{
    return m_mode == Mode::Selecting ? selectCaption : manageCaption;
}

std::string_view AddressBookForm::closeText() const
{
    return m_mode == Mode::Selecting ? "&Cancel" : "&Close";
}

std::string_view AddressBookForm::note() const
{
    if (!editable()) {
        return readOnlyNote;
    }
    return m_mode == Mode::Selecting ? selectNote : std::string_view();
}

bool AddressBookForm::editable() const
{
    return m_book != nullptr && !m_book->isDisabled();
}

bool AddressBookForm::selectable() const
{
    return m_book != nullptr && m_book->isOpen();
}

bool AddressBookForm::fill(std::vector<Entry>& rows, std::string& error) const
{
    rows.clear();
    // A book that is not open (disabled, or unavailable) has nothing to list.
    if (m_book == nullptr || !m_book->isOpen()) {
        return true;
    }
    RowCollector collector(rows);
    if (!m_book->enumerate(collector)) {
        error = AddressBook::lastErrorText();
        return false;
    }
    return true;
}

AddressBookForm::Stored
AddressBookForm::add(const Entry& typed,
                     const std::function<Overwrite(const std::string& name)>& ask)
{
    Stored stored;
    const std::string name = trimmed(typed.name);
    std::string existing;
    if (m_book == nullptr) {
        stored.result = Stored::Result::Failed;
        stored.messageId = StringId::AddEntryFailed;
        stored.error = "no address book is current";
        return stored;
    }
    // An entry whose pager information is empty exists as well (message 142).
    const bool exists = m_book->getPagerInfo(name, existing)
        || AddressBook::lastErrorCode() == StringTable::errorCode(StringId::EmptyPagerNumber);
    if (exists) {
        switch (ask(name)) {
        case Overwrite::Cancel:
            stored.result = Stored::Result::Cancelled;
            return stored;
        case Overwrite::No:
            stored.result = Stored::Result::BackToDialog;
            return stored;
        case Overwrite::Yes:
            return change({name, typed.pagerInfo});
        }
    }
    if (!m_book->add(name, typed.pagerInfo)) {
        stored.result = Stored::Result::Failed;
        stored.messageId = StringId::AddEntryFailed;
        stored.error = AddressBook::lastErrorText();
    }
    return stored;
}

AddressBookForm::Stored AddressBookForm::change(const Entry& edited)
{
    Stored stored;
    if (m_book == nullptr || !m_book->update(trimmed(edited.name), trimmed(edited.pagerInfo))) {
        stored.result = Stored::Result::Failed;
        stored.messageId = StringId::UpdateEntryFailed;
        stored.error = m_book ? AddressBook::lastErrorText() : "no address book is current";
    }
    return stored;
}

bool AddressBookForm::remove(const std::string& name, std::string& error)
{
    if (m_book == nullptr || !m_book->remove(name)) {
        error = m_book ? AddressBook::lastErrorText() : "no address book is current";
        return false;
    }
    return true;
}

AddressBookForm::Selection AddressBookForm::select(const std::vector<Entry>& selected)
{
    Selection selection;
    for (const Entry& entry : selected) {
        if (TextLimits::trimTrailingBlanks(entry.pagerInfo).empty()) {
            selection.refused.push_back(entry.name);
        } else {
            selection.names += entry.name + ";";
        }
    }
    return selection;
}

std::vector<std::string> AddressBookForm::splitNames(std::string_view names)
{
    std::vector<std::string> parts;
    while (!names.empty()) {
        const std::size_t end = names.find(';');
        const std::string_view part = names.substr(0, end);
        if (!part.empty()) {
            parts.emplace_back(part);
        }
        if (end == std::string_view::npos) {
            break;
        }
        names.remove_prefix(end + 1);
    }
    return parts;
}
