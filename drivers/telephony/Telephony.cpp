#include "telephony/Telephony.h"

#include "log/LogFile.h"
#include "log/LogLevel.h"
#include "settings/SettingsStore.h"
#include "telephony/DialString.h"
#include "telephony/LineSettings.h"
#include "telephony/ModemLine.h"
#include "telephony/TcpLine.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string targetOf(const LineConfig& config)
{
    if (config.kind == LineKind::Tcp) {
        return config.host + ":" + std::to_string(config.port);
    }
    return config.kind == LineKind::Modem ? config.device : std::string();
}

std::string defaultName(const LineConfig& config)
{
    if (config.kind == LineKind::Tcp) {
        return "TAP terminal at " + targetOf(config);
    }
    return "Modem on " + config.device;
}

// A modem can make data calls while its device is a character device we may use; it is not
// opened here, since opening a serial device raises DTR and would disturb its user.
bool deviceUsable(const std::string& path)
{
    struct stat info
    { };
    return ::stat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode)
        && ::access(path.c_str(), R_OK | W_OK) == 0;
}

} // namespace

Telephony::Telephony()
{
    const std::shared_ptr<SettingsStore> store = SettingsStore::current();
    m_lines = LineSettings::readLines(store);
    m_localAccessCode = LineSettings::readLocalAccessCode(store);
}

int Telephony::deviceCount() const
{
    return static_cast<int>(m_lines.size());
}

std::string Telephony::problem(std::uint32_t device) const
{
    if (device >= m_lines.size()) {
        return "there is no line device " + std::to_string(device);
    }
    const LineConfig& config = m_lines[device];
    const std::string where
        = "line device " + std::to_string(device) + " (Lines\\" + config.key + ")";
    switch (config.kind) {
    case LineKind::Unknown:
        return where + " has the unknown type \"" + config.type + "\"";
    case LineKind::Modem:
        return config.device.empty() ? where + " names no serial device" : std::string();
    case LineKind::Tcp:
        if (config.host.empty()) {
            return where + " names no host";
        }
        if (config.port <= 0 || config.port > 65535) {
            return where + " has no valid port";
        }
        return {};
    }
    return {};
}

bool Telephony::enumerate(std::uint32_t device, LineDeviceInfo& info) const
{
    if (!problem(device).empty()) {
        return false;
    }
    const LineConfig& config = m_lines[device];
    info.name = config.name.empty() ? defaultName(config) : config.name;
    info.kind = config.kind == LineKind::Tcp ? "tcp" : "modem";
    info.target = targetOf(config);
    info.supportsData = config.kind == LineKind::Tcp || deviceUsable(config.device);
    info.supportsVoice = config.voice;
    return true;
}

std::unique_ptr<LineDevice> Telephony::open(std::uint32_t device, LogFile& log,
                                            std::string_view tag)
{
    m_lastError = 0;
    if (device == lineMapper) {
        for (std::uint32_t candidate = 0; candidate < m_lines.size(); ++candidate) {
            LineDeviceInfo info;
            if (enumerate(candidate, info) && info.supportsData) {
                log.write(LogLevel::Debug3, tag, "Line mapper picks device %u (%s)", candidate,
                          info.name.c_str());
                return open(candidate, log, tag);
            }
        }
        log.write(LogLevel::Errors, tag,
                  "No line: none of the %d line devices can make a data call", deviceCount());
        m_lastError = 7;
        return nullptr;
    }
    const std::string why = problem(device);
    if (!why.empty()) {
        log.write(LogLevel::Errors, tag, "No line: %s", why.c_str());
        m_lastError = 7;
        return nullptr;
    }
    const LineConfig& config = m_lines[device];
    if (config.kind == LineKind::Tcp) {
        return std::make_unique<TcpLine>(config, log, tag);
    }
    return std::make_unique<ModemLine>(config, log, tag);
}

std::string Telephony::translate(const std::string& number) const
{
    return DialString::translate(m_localAccessCode, number);
}
