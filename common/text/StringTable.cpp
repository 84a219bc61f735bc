#include "text/StringTable.h"

#include <algorithm>
#include <array>

namespace {

// Sorted by id; later features add their messages here.
constexpr auto entries = std::to_array<StringEntry>({
    {StringId::NoValidAddress, "Error\rNo valid address specified", "HIDS_ERM_NOVALIDADDR"},
    {StringId::CannotInitModule, "Error\rCannot initialized PGE module", ""},
    {StringId::PortWriteFailed, "Write to communication port failed", ""},
    {StringId::PortReadFailed, "Read from communication port failed", ""},
    {StringId::RemoteTimedOut, "Remote timed out", ""},
    {StringId::AsyncIoError, "Asynchronous I/O error", ""},
    {StringId::LoginFailed, "Login Failed. No message sent", ""},
    {StringId::RemoteBusy, "Remote line busy. No message sent", ""},
    {StringId::TerminalNotReady, "Remote terminal not ready. No message sent", ""},
    {StringId::LoginTooManyAttempts, "Login Failed, too many attempts. No message sent", ""},
    {StringId::TerminalNotResponding, "Terminal not responding, too many attempts. No message sent",
     ""},
    {StringId::UserAborted, "User aborted", ""},
    {StringId::LineInUse, "Modem/Line in use. No message sent", ""},
    {StringId::LineError, "Modem/Line error. No message sent", ""},
    {StringId::AllMessagesSent, "All messages sent successfully", "HIDS_MSG_ALLMSGSENT"},
    {StringId::SentSuccessfully, "Sent successfully", ""},
    {StringId::DeletedBeforeTransmission, "Deleted before transmission", ""},
    {StringId::LostInternalError, "Lost due to internal error", ""},
    {StringId::RejectedByServer, "Rejected by the remote server", ""},
    {StringId::TooManyAttempts, "Too many send attempts", ""},
    {StringId::NotProcessed, "Not processed due to error on previous stages", ""},
    {StringId::TransmissionAborted, "Aborted due to transmission error", ""},
    {StringId::UnknownInternalError, "Unknown internal error code=%d", ""},
    {StringId::NoPagingCompany, "Please select a PSP or enter the IXO phone number",
     "HIDS_ERM_NOPSP"},
    {StringId::NoPin, "Please enter the pin number", "HIDS_ERM_NOPIN"},
    {StringId::NoEntryName, "Please enter an entry name", "HIDS_ERM_NOUSERNAME"},
    {StringId::AddEntryFailed,
     "Address Book Error\rCannot add entry to address book\rPlease make sure the Personal "
     "Address Book is installed.",
     "HIDS_ERM_ADDUSERFAILED"},
    {StringId::DeleteEntryFailed, "Address Book Error\rCannot delete entry from address book",
     "HIDS_ERM_DELETEUSERFAILED"},
    {StringId::MapiNoRoot, "MAPI Error: cannot get ADB root (erc=%d)", ""},
    {StringId::MapiNoHierarchy, "MAPI Error: cannot get ADB hierarchy (erc=%d)", ""},
    {StringId::MapiCannotOpen, "MAPI Error: cannot open ADB (erc=%d)", ""},
    {StringId::MapiNoContent, "MAPI Error: cannot get ADB content (erc=%d)", ""},
    {StringId::EntryNotFound, "Address Book Error: entry not found", ""},
    {StringId::EmptyPagerNumber, "Invalid Address: bad  or empty pager phone number", ""},
    {StringId::MissingSeparator, "Invalid Address: missing separator or pin number", ""},
    {StringId::BadProviderPhone, "Invalid Address: bad service provider phone number(%s)", ""},
    {StringId::BadPin, "Invalid Address: bad pin number (%s)", ""},
    {StringId::UpdateEntryFailed, "Address Book Error\rCannot update entry information",
     "HIDS_ERM_SETUSERFAILED"},
    {StringId::UnknownReturnCode, "Unknown return code", ""},
    {StringId::DriverNotAvailable, "Protocol driver not available", ""},
    {StringId::CannotConnect, "Cannot connect to server", ""},
    {StringId::CannotDriver, "Cannot driver %s (%s).", ""},
    {StringId::TooManyEntries, "Not sent: more than 39 recipients in one send", ""},
    {StringId::ListTooLong, "Not sent: the recipient list is longer than 1023 characters", ""},
    {StringId::TooManyAddresses, "Not sent: more than 30 addresses in one send", ""},
});

// find() searches by id.
static_assert(std::is_sorted(entries.begin(), entries.end(),
                             [](const StringEntry& a, const StringEntry& b) {
                                 return a.id < b.id;
                             }));

bool isPlaceholderAt(std::string_view text, std::size_t at, std::size_t& length)
{
    if (text[at] != '%' || at + 1 >= text.size()) {
        return false;
    }
    const char kind = text[at + 1];
    if (kind == 's' || kind == 'd' || (kind >= '1' && kind <= '9')) {
        length = 2;
        return true;
    }
    return false;
}

} // namespace

std::span<const StringEntry> StringTable::all()
{
    return entries;
}

const StringEntry* StringTable::find(int id)
{
    const auto it
        = std::lower_bound(entries.begin(), entries.end(), id,
                           [](const StringEntry& entry, int key) { return entry.id < key; });
    return it != entries.end() && it->id == id ? &*it : nullptr;
}

std::string_view StringTable::text(int id)
{
    const StringEntry* entry = find(id);
    return entry ? entry->text : std::string_view();
}

std::string_view StringTable::helpKey(int id)
{
    const StringEntry* entry = find(id);
    return entry ? entry->helpKey : std::string_view();
}

std::string StringTable::format(int id, std::initializer_list<std::string_view> arguments)
{
    return substitute(text(id), arguments);
}

std::string StringTable::substitute(std::string_view text,
                                    std::initializer_list<std::string_view> arguments)
{
    // Arguments are put in as plain text, never read as a format: a "%s" inside an argument
    // (a user's phone part, say) stays literal.
    std::string result;
    result.reserve(text.size() + 32);
    auto next = arguments.begin();
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::size_t length = 0;
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '%') {
            result += '%';
            ++i;
        } else if (next != arguments.end() && isPlaceholderAt(text, i, length)) {
            result += *next++;
            i += length - 1;
        } else {
            result += text[i];
        }
    }
    return result;
}
