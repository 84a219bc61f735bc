#include "directories/DirectorySearchForm.h"

#include "settings/SettingsKey.h"

#include <algorithm>

DirectoryMessage DirectorySearchForm::bindQuestion()
{
    return {"Remote server timeout. Do you want to continue to wait?", "Connect Timeout"};
}

std::optional<DirectoryMessage> DirectorySearchForm::failureMessage(LdapError error,
                                                                    const std::string& errorText)
{
    switch (error) {
    case LdapError::None:
    case LdapError::Stopped:
        return std::nullopt;
    case LdapError::NoService:
        return DirectoryMessage {"Cannot get service information", "LDAP Error"};
    case LdapError::TimedOut:
        // Which wait ran out, on which server, and for how long: the service itself was read.
        return DirectoryMessage {errorText, "LDAP Error"};
    case LdapError::Connect:
        return DirectoryMessage {"Cannot connect or authentcation failed", "Connect Failed"};
    case LdapError::Search:
        return DirectoryMessage {errorText, "LDAP Error"};
    }
    return std::nullopt;
}

std::vector<std::string> DirectorySearchForm::serviceNames(const SettingsKey& ldapKey)
{
    std::vector<std::string> names;
    std::string name, data;
    for (int index = 0; ldapKey.enumValue(index, name, data); ++index) {
        names.push_back(name.substr(0, LdapService::maxText));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> DirectorySearchForm::serviceNames()
{
    return serviceNames(SettingsKey(RootKey::CurrentUser, LdapService::key));
}

std::optional<LdapService> DirectorySearchForm::readService(const SettingsKey& ldapKey,
                                                            const std::string& name,
                                                            DirectoryMessage& message)
{
    std::string data;
    if (name.empty() || !ldapKey.getString(name, data, LdapService::maxText + 1, "")) {
        message = {"Cannot get service information", "LDAP Error"};
        return std::nullopt;
    }
    LdapService service = LdapService::parse(data);
    if (service.host.empty()) {
        message = {"Cannot get service information", "LDAP Error"};
        return std::nullopt;
    }
    return service;
}

std::optional<LdapService> DirectorySearchForm::readService(const std::string& name,
                                                            DirectoryMessage& message)
{
    return readService(SettingsKey(RootKey::CurrentUser, LdapService::key), name, message);
}

void DirectorySearchForm::setRows(std::vector<DirectoryRow> rows)
{
    m_rows = std::move(rows);
}

std::optional<DirectoryMessage>
DirectorySearchForm::addToRecipients(const std::vector<std::size_t>& selected)
{
    // A press that is refused adds nothing: the user chooses again, and an address taken
    // before the refusal would otherwise be handed back twice (and paged twice).
    std::string list = m_recipients;
    for (const std::size_t index : selected) {
        if (index >= m_rows.size()) {
            continue;
        }
        const std::string pager = m_rows[index].pager.substr(0, LdapService::maxText);
        if (pager.empty()) {
            return DirectoryMessage {"Please select entries with pager address",
                                     "Pager Address Empty"};
        }
        // The address and its ";" must leave the list below the limit.
        if (list.size() + pager.size() + 1 >= maxListLength) {
            break;
        }
        list += pager + ';';
    }
    m_recipients = std::move(list);
    return std::nullopt;
}
