#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// One LDAP directory service as the settings keep it: a value under the Ldap key whose name is
// the service's name and whose data is "host,port,login,password,base" (the stored form has
// no escaping, so no field may hold a comma).
struct LdapService
{
    // The key that holds one value per service.
    static constexpr std::string_view key = "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Ldap";
    // The port a missing, empty or 0 port reads as.
    static constexpr std::int32_t defaultPort = 389;
    // The longest name or data a service keeps; longer texts are cut.
    static constexpr std::size_t maxText = 127;

    std::string host;
    std::int32_t port = defaultPort;
    std::string login;
    std::string password;
    std::string base;

    bool operator==(const LdapService&) const = default;

    // The fields of stored data, taken by position; a missing field reads as empty.
    static LdapService parse(std::string_view data);
    // The stored data of the fields, or nullopt when a field holds a comma (`problem` then names
    // it) or the data would be cut.
    std::optional<std::string> format(std::string* problem = nullptr) const;
    // The search filter for a typed name: "(cn=NAME)" with the name cut to maxText characters
    // and "(", ")", "\" and NUL escaped (RFC 4515), so that typed text cannot change the
    // filter's structure; "*" stays a wildcard ("Bob*" finds Bobby).
    static std::string nameFilter(std::string_view name);
};
