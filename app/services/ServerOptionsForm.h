#pragma once

#include "gateway/GatewayStatus.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The "Server" page's values and rules: the SNPP gateway's switch, port and security settings
// and the list of allowed hosts, which apply writes so that the hosts key holds exactly the
// listed hosts (and any stored past the first maxHostsRead, which the page never showed).
class ServerOptionsForm
{
public:
    // The longest port text stored, in characters.
    static constexpr std::size_t maxPortLength = 511;
    // The longest host name stored, in characters.
    static constexpr std::size_t maxHostLength = 1023;
    // The most host values read from the settings.
    static constexpr int maxHostsRead = 100;
    // The data of every host value.
    static constexpr std::string_view hostData = "rwx";

    // Which controls take input.
    struct Enabling
    {
        bool port = false; // the port field
        bool hosts = false; // the "Allow Hosts" list
        bool security = false; // the check boxes of the group "Security"
    };

    bool enabled = false;
    std::string port;
    bool fromAdbOnly = false;
    bool level2Login = false;

    // The stored values and at most maxHostsRead hosts.
    static ServerOptionsForm load();
    // What takes input: at opening the port and the list follow `enabled` and the check boxes
    // stay available; once the user has clicked "Enable SNPP service" all of them follow it.
    Enabling enabling(bool clicked) const;

    // The listed hosts, in list order.
    const std::vector<std::string>& hosts() const { return m_hosts; }
    // Replaces the list.
    void setHosts(std::vector<std::string> hosts) { m_hosts = std::move(hosts); }
    // Appends an empty row for the user to name; gives its index.
    std::size_t appendHost();
    // Removes the rows at the indexes (any order, repeats and unknown indexes ignored).
    void removeHosts(std::vector<std::size_t> rows);
    // Ends the edit of a row: a label that is empty (or blanks only) removes the row, otherwise
    // the trimmed label, cut to maxHostLength, becomes its text. False for an unknown row.
    bool finishEdit(std::size_t row, std::string_view label);

    // Writes enabled, port (cut to maxPortLength), fromAdbOnly and level2Login, then writes the
    // listed hosts with the data "rwx" and removes the shown ones no longer listed. False when
    // a write or a removal failed (what could be written is written).
    [[nodiscard]] bool apply();

    // The page's line about the running gateway: listening on which port, or why not.
    static std::string statusText(const GatewayStatus& status);

private:
    std::vector<std::string> m_hosts;
    // The hosts load() read, which apply() may remove.
    std::vector<std::string> m_loaded;
};
