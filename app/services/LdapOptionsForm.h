#pragma once

#include <string>
#include <vector>

// The "LDAP" page's rules: the directory services of the Ldap key by name, sorted, and their
// removal, both written at once.
struct LdapOptionsForm
{
    // The names of the stored services, sorted without regard to case.
    static std::vector<std::string> names();
    // Removes the service's value; false when it could not be removed.
    [[nodiscard]] static bool remove(const std::string& name);
};
