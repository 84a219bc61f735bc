#include "directories/LdapService.h"

#include <array>
#include <charconv>

LdapService LdapService::parse(std::string_view data)
{
    data = data.substr(0, maxText);
    std::array<std::string, 5> fields;
    for (std::string& field : fields) {
        const std::size_t comma = data.find(',');
        field = std::string(data.substr(0, comma));
        if (comma == std::string_view::npos) {
            data = {};
            break;
        }
        data.remove_prefix(comma + 1);
    }
    LdapService service;
    service.host = fields[0];
    // Read as "%d" reads: leading digits; none, or 0, is the default port.
    std::int32_t port = 0;
    const std::string& text = fields[1];
    const std::size_t start = text.find_first_not_of(' ');
    if (start != std::string::npos)
        (void)std::from_chars(text.data() + start, text.data() + text.size(), port);
    service.port = port > 0 ? port : defaultPort;
    service.login = fields[2];
    service.password = fields[3];
    service.base = fields[4];
    return service;
}

std::optional<std::string> LdapService::format(std::string* problem) const
{
    const std::array<std::pair<const char*, const std::string*>, 4> texts {
        {{"Host Name", &host},
         {"Login Name", &login},
         {"Password", &password},
         {"Directory Base", &base}}};
    for (const auto& [name, text] : texts) {
        if (text->find(',') != std::string::npos) {
            if (problem)
                *problem = std::string(name) + " cannot hold a comma";
            return std::nullopt;
        }
    }
    std::string data
        = host + ',' + std::to_string(port) + ',' + login + ',' + password + ',' + base;
    if (data.size() > maxText) {
        if (problem)
            *problem = "The entry is longer than " + std::to_string(maxText) + " characters";
        return std::nullopt;
    }
    return data;
}

std::string LdapService::nameFilter(std::string_view name)
{
    if (name.size() > maxText) {
        // Cut at a character's start, so that a name in UTF-8 never ends in half a character.
        std::size_t cut = maxText;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut;
        name = name.substr(0, cut);
    }
    std::string filter = "(cn=";
    for (const char c : name) {
        switch (c) {
        case '(':
            filter += "\\28";
            break;
        case ')':
            filter += "\\29";
            break;
        case '\\':
            filter += "\\5c";
            break;
        case '\0':
            filter += "\\00";
            break;
        default:
            filter += c;
        }
    }
    return filter + ')';
}
