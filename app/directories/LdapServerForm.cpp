#include "directories/LdapServerForm.h"

#include "settings/SettingsKey.h"

#include <charconv>

namespace {

// The port as typed: empty and 0 are the default port; anything but a number in range is
// refused rather than stored as something the user did not mean.
std::optional<std::int32_t> readPort(const std::string& text)
{
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string::npos)
        return LdapService::defaultPort;
    const std::size_t end = text.find_last_not_of(' ') + 1;
    int port = 0;
    const char* first = text.data() + start;
    const char* last = text.data() + end;
    const auto [stop, error] = std::from_chars(first, last, port);
    if (error != std::errc() || stop != last || port < 0 || port > LdapServerForm::maxPort)
        return std::nullopt;
    return port == 0 ? LdapService::defaultPort : port;
}

} // namespace

LdapServerForm LdapServerForm::forNew()
{
    return {};
}

LdapServerForm LdapServerForm::forEntry(const SettingsKey& key, const std::string& name)
{
    LdapServerForm form;
    form.m_openedName = name;
    form.m_fields = Fields {};
    form.m_fields.name = name;
    std::string data;
    if (!key.hasValue(name)) {
        form.m_fields.port.clear();
        form.m_openMessage = std::string(notFoundText);
        return form;
    }
    // A longer value is cut as the search reads it.
    (void)key.getString(name, data, 64 * 1024, "");
    const LdapService service = LdapService::parse(data);
    form.m_fields.host = service.host;
    form.m_fields.port = std::to_string(service.port);
    form.m_fields.base = service.base;
    form.m_fields.login = service.login;
    form.m_fields.password = service.password;
    return form;
}

std::optional<LdapService> LdapServerForm::service(std::string& problem) const
{
    if (m_fields.name.empty()) {
        problem = std::string(emptyNameText);
        return std::nullopt;
    }
    if (m_fields.host.empty()) {
        problem = std::string(emptyHostText);
        return std::nullopt;
    }
    // The service list shows the names; a comma there would not corrupt the entry, but the
    // name is kept to the same plain form as the fields.
    if (m_fields.name.find(',') != std::string::npos) {
        problem = "Name cannot hold a comma";
        return std::nullopt;
    }
    if (m_fields.name.size() > LdapService::maxText) {
        problem = "Name is longer than " + std::to_string(LdapService::maxText) + " characters";
        return std::nullopt;
    }
    const std::optional<std::int32_t> port = readPort(m_fields.port);
    if (!port) {
        problem = "Port must be a number from 1 to " + std::to_string(maxPort);
        return std::nullopt;
    }
    LdapService service;
    service.host = m_fields.host;
    service.port = *port;
    service.login = m_fields.login;
    service.password = m_fields.password;
    service.base = m_fields.base;
    if (!service.format(&problem)) {
        // A DN is the field that most often holds commas; directory servers read ";" between
        // its parts alike, and the stored entry can hold that.
        if (problem.starts_with("Directory Base") || problem.starts_with("Login Name"))
            problem += ": separate the parts of the name with \";\" (dc=example;dc=com)";
        return std::nullopt;
    }
    return service;
}

std::string LdapServerForm::accept(SettingsKey& key) const
{
    std::string problem;
    const std::optional<LdapService> checked = service(problem);
    if (!checked)
        return problem;
    const std::optional<std::string> data = checked->format();
    if (!data || !key.setString(m_fields.name, *data))
        return std::string(writeFailedText);
    return {};
}
