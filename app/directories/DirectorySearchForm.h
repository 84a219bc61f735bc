#pragma once

#include "directories/DirectoryRow.h"
#include "directories/LdapDirectory.h"
#include "directories/LdapService.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

class SettingsKey;

// A message box the "Directory Search" window shows: its text and title.
struct DirectoryMessage
{
    std::string text;
    std::string title;

    bool operator==(const DirectoryMessage&) const = default;
};

// The rules of the "Directory Search" window without its widgets: the services to offer,
// the messages of a failed search, the rows found, and the address list "Add To Recipients"
// hands back.
class DirectorySearchForm final
{
public:
    // The longest the returned address list may be (it never reaches this many characters).
    static constexpr std::size_t maxListLength = 127;

    // The question asked when the bind has not been answered within the wait.
    static DirectoryMessage bindQuestion();
    // The message for a connect or search failure; nullopt when none is shown (success or a
    // search stopped by the user).
    static std::optional<DirectoryMessage> failureMessage(LdapError error,
                                                          const std::string& errorText);

    // The names of the services stored under the Ldap key, sorted.
    static std::vector<std::string> serviceNames(const SettingsKey& ldapKey);
    // The names of the services in the user's settings, sorted.
    static std::vector<std::string> serviceNames();
    // Reads the service of that name; nullopt with `message` set to "Cannot get service
    // information" when it is not stored or has no host.
    static std::optional<LdapService>
    readService(const SettingsKey& ldapKey, const std::string& name, DirectoryMessage& message);
    // The same from the user's settings.
    static std::optional<LdapService> readService(const std::string& name,
                                                  DirectoryMessage& message);

    // Shows the rows of a new search (Find Now clears the list first).
    void setRows(std::vector<DirectoryRow> rows);
    // The rows the list shows.
    const std::vector<DirectoryRow>& rows() const { return m_rows; }

    // "Add To Recipients" with the selected row indexes (in list order): appends each pager
    // address followed by ";" to the list until the next would make it reach maxListLength.
    // A selected row without a pager address refuses the press with the "Pager Address
    // Empty" message, and nothing of it is added.
    std::optional<DirectoryMessage> addToRecipients(const std::vector<std::size_t>& selected);
    // The address list built so far: each address followed by ";".
    const std::string& recipients() const { return m_recipients; }

private:
    std::vector<DirectoryRow> m_rows;
    std::string m_recipients;
};
