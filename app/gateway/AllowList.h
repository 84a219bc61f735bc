#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class LogFile;
class SettingsKey;

// The hosts that may use the gateway: every host, or up to maxHosts dotted IPv4 addresses.
// Host names are resolved once, when the list is loaded, so a host whose address changes is
// refused until the next load. An empty list refuses every host.
class AllowList
{
public:
    // The most addresses the list holds; further hosts are ignored (and logged).
    static constexpr std::size_t maxHosts = 64;
    // The most values of the hosts key that are read.
    static constexpr int maxValues = 100;
    // The longest host value name that is read, in characters.
    static constexpr std::size_t maxNameLength = 127;

    // Replaces the list with the value names of `hosts`, read from index 0 while the
    // enumeration succeeds and below maxValues: a name beginning with "*" admits every host
    // (and ends the reading), any other is resolved to its first IPv4 address. Each host and
    // each failure is logged to `log`.
    void load(const SettingsKey& hosts, LogFile& log);
    // Empties the list: no host is allowed.
    void clear();

    // Whether the client's dotted address may connect.
    bool allows(std::string_view dottedAddress) const;
    // Whether every host may connect.
    bool allowsAll() const { return m_allowAll; }
    // The allowed addresses, in the order they were read.
    const std::vector<std::string>& addresses() const { return m_addresses; }

private:
    std::vector<std::string> m_addresses;
    bool m_allowAll = false;
};
