#include "gateway/AllowList.h"

#include "gateway/GatewaySettings.h"
#include "log/LogFile.h"
#include "log/LogLevel.h"
#include "net/TcpSocket.h"
#include "settings/SettingsKey.h"

#include <algorithm>

void AllowList::clear()
{
    m_addresses.clear();
    m_allowAll = false;
}

void AllowList::load(const SettingsKey& hosts, LogFile& log)
{
    clear();
    const std::string_view tag = GatewaySettings::logTag;
    std::string name;
    std::string data;
    for (int index = 0; index < maxValues && hosts.enumValue(index, name, data); ++index) {
        if (!name.empty() && name.front() == '*') {
            m_allowAll = true;
            log.write(LogLevel::Debug4, tag, "Allow All Hosts");
            return;
        }
        std::string address;
        // A name too long to read is skipped like one that does not resolve; the values after
        // it are still read.
        if (name.size() > maxNameLength || !TcpSocket::resolveHost(name, address)) {
            log.write(LogLevel::Security, tag, "Allow Host Failed: cannot get %s IP", name.c_str());
            continue;
        }
        if (m_addresses.size() >= maxHosts) {
            log.write(LogLevel::Security, tag,
                      "Allow Host Ignored: more than %d hosts (host=%s,ip=%s)",
                      static_cast<int>(maxHosts), name.c_str(), address.c_str());
            continue;
        }
        log.write(LogLevel::Debug4, tag, "Allow Host (host=%s,ip=%s)", name.c_str(),
                  address.c_str());
        m_addresses.push_back(address);
    }
}

bool AllowList::allows(std::string_view dottedAddress) const
{
    return m_allowAll
        || std::find(m_addresses.begin(), m_addresses.end(), dottedAddress) != m_addresses.end();
}
