#pragma once

#include "directories/LdapService.h"

#include <optional>
#include <string>
#include <string_view>

class SettingsKey;

// The rules of the "LDAP Server" dialog without its window: the fields of a new or stored
// directory service, and the checks and the write of OK.
class LdapServerForm
{
public:
    static constexpr std::string_view caption = "LDAP Server";
    // The name a new entry starts with.
    static constexpr std::string_view newName = "NoName";
    // The caption of every box the dialog shows.
    static constexpr std::string_view errorCaption = "Error";
    static constexpr std::string_view emptyNameText = "Entry Name cannot be empty";
    static constexpr std::string_view emptyHostText = "Hostname cannot be empty";
    static constexpr std::string_view writeFailedText = "Failed to write to database";
    static constexpr std::string_view notFoundText = "Failed to find entry";
    // The port the spin box steps up to.
    static constexpr int maxPort = 65535;

    // What the dialog's fields hold; the port as typed.
    struct Fields
    {
        std::string name {newName};
        std::string host;
        std::string port = std::to_string(LdapService::defaultPort);
        std::string base;
        std::string login;
        std::string password;
    };

    // A form for a new entry.
    static LdapServerForm forNew();
    // A form for the entry `name` of `key` (the Ldap key); when it is missing, the form keeps
    // the name, its other fields are empty and openMessage() says so.
    static LdapServerForm forEntry(const SettingsKey& key, const std::string& name);

    const Fields& fields() const { return m_fields; }
    void setFields(const Fields& fields) { m_fields = fields; }
    // The box to show on open (notFoundText), or empty.
    const std::string& openMessage() const { return m_openMessage; }
    // The name the dialog was opened on; empty for a new entry.
    const std::string& openedName() const { return m_openedName; }

    // The service the fields describe (a port that is empty or 0 is the default port), or
    // nullopt when a check fails (`problem` then holds the box's text).
    std::optional<LdapService> service(std::string& problem) const;
    // OK: the checks in the dialog's order (empty name, empty host, then a comma, an unreadable
    // port or an overlong entry), then the entry written to `key` under its name. Answers the
    // box to show and keep the dialog open, or empty when the entry was written.
    [[nodiscard]] std::string accept(SettingsKey& key) const;

private:
    Fields m_fields;
    std::string m_openMessage;
    std::string m_openedName;
};
