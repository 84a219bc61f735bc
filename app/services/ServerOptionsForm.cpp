#include "services/ServerOptionsForm.h"

#include "gateway/GatewaySettings.h"
#include "settings/SettingsKey.h"

#include <algorithm>
#include <set>

namespace {

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

} // namespace

ServerOptionsForm ServerOptionsForm::load()
{
    namespace Snpp = GatewaySettings::SnppSrv;
    const SettingsKey server(RootKey::CurrentUser, Snpp::key);
    ServerOptionsForm form;
    form.enabled = server.read(Snpp::enabled);
    form.port = server.read(Snpp::port);
    form.fromAdbOnly = server.read(Snpp::fromAdbOnly);
    form.level2Login = server.read(Snpp::level2Login);

    const SettingsKey hosts(RootKey::CurrentUser, GatewaySettings::Hosts::key);
    std::string name;
    std::string data;
    for (int index = 0; index < maxHostsRead && hosts.enumValue(index, name, data); ++index) {
        form.m_hosts.push_back(name);
        form.m_loaded.push_back(name);
    }
    return form;
}

ServerOptionsForm::Enabling ServerOptionsForm::enabling(bool clicked) const
{
    return {.port = enabled, .hosts = enabled, .security = clicked ? enabled : true};
}

std::size_t ServerOptionsForm::appendHost()
{
    m_hosts.emplace_back();
    return m_hosts.size() - 1;
}

void ServerOptionsForm::removeHosts(std::vector<std::size_t> rows)
{
    // From the highest row down, so that each removal leaves the lower indexes in place.
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (const std::size_t row : rows) {
        if (row < m_hosts.size()) {
            m_hosts.erase(m_hosts.begin() + static_cast<std::ptrdiff_t>(row));
        }
    }
}

bool ServerOptionsForm::finishEdit(std::size_t row, std::string_view label)
{
    if (row >= m_hosts.size()) {
        return false;
    }
    const std::string_view text = trimmed(label);
    if (text.empty()) {
        m_hosts.erase(m_hosts.begin() + static_cast<std::ptrdiff_t>(row));
    } else {
        m_hosts[row] = std::string(text.substr(0, maxHostLength));
    }
    return true;
}

bool ServerOptionsForm::apply()
{
    namespace Snpp = GatewaySettings::SnppSrv;
    SettingsKey server(RootKey::CurrentUser, Snpp::key);
    bool stored = server.write(Snpp::enabled, enabled);
    stored = server.setString(Snpp::port.name, std::string_view(port).substr(0, maxPortLength))
        && stored;
    stored = server.write(Snpp::fromAdbOnly, fromAdbOnly) && stored;
    stored = server.write(Snpp::level2Login, level2Login) && stored;

    SettingsKey hosts(RootKey::CurrentUser, GatewaySettings::Hosts::key);
    const std::set<std::string> listed(m_hosts.begin(), m_hosts.end());
    // The hosts the page showed and the user took away go; a host past the first maxHostsRead,
    // which the page never showed, stays.
    std::vector<std::string> stale;
    for (const std::string& host : m_loaded) {
        if (listed.count(host) == 0) {
            stale.push_back(host);
        }
    }
    for (const std::string& host : stale) {
        stored = hosts.deleteValue(host) && stored;
    }
    m_loaded.clear();
    for (const std::string& host : m_hosts) {
        if (!host.empty()) {
            stored = hosts.setString(host, hostData) && stored;
            m_loaded.push_back(host);
        }
    }
    return stored;
}

std::string ServerOptionsForm::statusText(const GatewayStatus& status)
{
    switch (status.outcome) {
    case GatewayOutcome::Listening:
        return "The gateway is listening on port " + status.port + ".";
    case GatewayOutcome::Disabled:
        return "The gateway is not listening: the SNPP service is disabled.";
    case GatewayOutcome::PortFailed:
        return "The gateway is not listening: port " + status.port + " cannot be opened ("
            + (status.errorText.empty() ? "error " + std::to_string(status.error)
                                        : status.errorText)
            + "). Choose another port or end the program that holds it.";
    case GatewayOutcome::Stopped:
        return "The gateway is not listening: it was stopped.";
    case GatewayOutcome::None:
        break;
    }
    return "The gateway has not started yet.";
}
