#include "services/LdapOptionsForm.h"

#include "directories/LdapService.h"
#include "settings/SettingsKey.h"

#include <algorithm>
#include <cctype>

std::vector<std::string> LdapOptionsForm::names()
{
    const SettingsKey ldap(RootKey::CurrentUser, LdapService::key);
    std::vector<std::string> list;
    std::string name;
    std::string data;
    for (int index = 0; ldap.enumValue(index, name, data); ++index) {
        list.push_back(name);
    }
    std::sort(list.begin(), list.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(),
            [](unsigned char x, unsigned char y) { return std::tolower(x) < std::tolower(y); });
    });
    return list;
}

bool LdapOptionsForm::remove(const std::string& name)
{
    SettingsKey ldap(RootKey::CurrentUser, LdapService::key);
    return ldap.deleteValue(name);
}
