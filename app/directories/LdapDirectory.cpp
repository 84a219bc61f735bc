#include "directories/LdapDirectory.h"

#include "directories/DirectoryRowBuilder.h"
#include "directories/DirectorySettings.h"
#include "settings/SettingsKey.h"

#include <algorithm>
#include <cctype>
#include <ldap.h>
#include <sys/time.h>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The longest single wait, so that stop() from another thread is noticed promptly.
constexpr milliseconds slice {100};

LDAP* ldapOf(void* handle)
{
    return static_cast<LDAP*>(handle);
}

timeval timevalOf(milliseconds wait)
{
    timeval tv {};
    tv.tv_sec = static_cast<time_t>(wait.count() / 1000);
    tv.tv_usec = static_cast<suseconds_t>((wait.count() % 1000) * 1000);
    return tv;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size()
        && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return a == std::tolower(static_cast<unsigned char>(b));
           });
}

std::string secondsText(milliseconds wait)
{
    const auto tenths = (wait.count() + 50) / 100;
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10 != 0) {
        text += '.' + std::to_string(tenths % 10);
    }
    return text + " s";
}

// The stored form cannot hold a comma, so a DN may be written with ";" between its parts (the
// older separator); it is sent with commas, as every server reads it.
std::string dnWithCommas(const std::string& text)
{
    if (text.find(';') == std::string::npos) {
        return text;
    }
    LDAPDN dn = nullptr;
    if (ldap_str2dn(text.c_str(), &dn, LDAP_DN_FORMAT_LDAP) != LDAP_SUCCESS) {
        return text;
    }
    char* converted = nullptr;
    const int made = ldap_dn2str(dn, &converted, LDAP_DN_FORMAT_LDAPV3);
    ldap_dnfree(dn);
    std::string result = made == LDAP_SUCCESS && converted ? converted : text;
    ldap_memfree(converted);
    return result;
}

std::string resultText(LDAP* ld)
{
    int code = LDAP_OTHER;
    ldap_get_option(ld, LDAP_OPT_RESULT_CODE, &code);
    std::string text = ldap_err2string(code);
    // The library's own detail says why, e.g. that a TLS certificate is not trusted.
    char* detail = nullptr;
    ldap_get_option(ld, LDAP_OPT_DIAGNOSTIC_MESSAGE, &detail);
    if (detail && *detail) {
        text += std::string(" (") + detail + ")";
    }
    ldap_memfree(detail);
    return text;
}

} // namespace

LdapDirectory::LdapDirectory(LdapService service)
    : m_service(std::move(service))
{ }

LdapDirectory::~LdapDirectory()
{
    disconnect();
}

void LdapDirectory::setBindWait(milliseconds wait)
{
    m_bindWait = std::max(wait, milliseconds {1});
}

void LdapDirectory::setSearchLimit(milliseconds limit)
{
    m_searchLimit = std::max(limit, milliseconds {1});
}

void LdapDirectory::useSettings()
{
    const SettingsKey key(RootKey::CurrentUser, DirectorySettings::LdapSearch::key);
    setBindWait(milliseconds {key.read(DirectorySettings::LdapSearch::bindWait)});
    setSearchLimit(milliseconds {key.read(DirectorySettings::LdapSearch::searchLimit)});
}

std::string LdapDirectory::dnOf(const std::string& stored)
{
    return dnWithCommas(stored);
}

std::string LdapDirectory::uriOf(const LdapService& service)
{
    if (startsWithNoCase(service.host, "ldap://") || startsWithNoCase(service.host, "ldaps://")) {
        return service.host;
    }
    // A numeric IPv6 address goes in brackets so that its colons are not read as the port's.
    const bool ipv6 = service.host.find(':') != std::string::npos;
    return "ldap://" + (ipv6 ? "[" + service.host + "]" : service.host) + ':'
        + std::to_string(service.port > 0 ? service.port : LdapService::defaultPort);
}

void LdapDirectory::stop()
{
    m_stopped = true;
}

bool LdapDirectory::fail(LdapError error, std::string text)
{
    m_lastError = error;
    m_lastErrorText = std::move(text);
    return false;
}

void LdapDirectory::disconnect()
{
    if (m_handle) {
        ldap_unbind_ext_s(ldapOf(m_handle), nullptr, nullptr);
        m_handle = nullptr;
    }
}

bool LdapDirectory::connect(const KeepWaiting& keepWaiting)
{
    disconnect();
    const std::string uri = uriOf(m_service);
    if (m_service.host.empty()) {
        return fail(LdapError::NoService, "The directory service has no host name");
    }
    if (m_stopped) {
        return fail(LdapError::Stopped, "The connection to " + uri + " was stopped");
    }
    LDAP* ld = nullptr;
    if (ldap_initialize(&ld, uri.c_str()) != LDAP_SUCCESS || !ld) {
        return fail(LdapError::Connect, "\"" + uri + "\" is not a directory server's address");
    }
    m_handle = ld;
    const int version = LDAP_VERSION3;
    ldap_set_option(ld, LDAP_OPT_PROTOCOL_VERSION, &version);
    ldap_set_option(ld, LDAP_OPT_REFERRALS, LDAP_OPT_OFF);
    // The connection itself is made asynchronously, so that the bind wait (and stop()) covers
    // a host that never answers the connection attempt too.
    ldap_set_option(ld, LDAP_OPT_CONNECT_ASYNC, LDAP_OPT_ON);

    berval credentials {};
    credentials.bv_val = const_cast<char*>(m_service.password.c_str());
    credentials.bv_len = m_service.password.size();
    const std::string login = dnWithCommas(m_service.login);
    const char* who = login.empty() ? nullptr : login.c_str();
    int messageId = 0;
    if (ldap_sasl_bind(ld, who, LDAP_SASL_SIMPLE, &credentials, nullptr, nullptr, &messageId)
        != LDAP_SUCCESS) {
        const std::string why = resultText(ld);
        disconnect();
        return fail(LdapError::Connect, "Cannot connect to " + uri + ": " + why);
    }

    auto askAt = Clock::now() + m_bindWait;
    for (;;) {
        if (m_stopped) {
            disconnect();
            return fail(LdapError::Stopped, "The connection to " + uri + " was stopped");
        }
        const auto left = std::chrono::duration_cast<milliseconds>(askAt - Clock::now());
        timeval tv = timevalOf(std::clamp(left, milliseconds {0}, slice));
        LDAPMessage* result = nullptr;
        const int got = ldap_result(ld, messageId, LDAP_MSG_ALL, &tv, &result);
        if (got < 0) {
            const std::string why = resultText(ld);
            disconnect();
            return fail(LdapError::Connect, "Cannot connect to " + uri + ": " + why);
        }
        if (got > 0) {
            int code = LDAP_OTHER;
            char* message = nullptr;
            const int parsed
                = ldap_parse_result(ld, result, &code, nullptr, &message, nullptr, nullptr, 1);
            std::string detail = message && *message ? std::string(" (") + message + ")" : "";
            ldap_memfree(message);
            if (parsed != LDAP_SUCCESS) {
                code = parsed;
            }
            if (code != LDAP_SUCCESS) {
                disconnect();
                return fail(LdapError::Connect,
                            "The login to " + uri + " as "
                                + (who ? "\"" + m_service.login + "\"" : "anonymous")
                                + " was refused: " + ldap_err2string(code) + detail);
            }
            m_lastError = LdapError::None;
            m_lastErrorText.clear();
            return true;
        }
        if (Clock::now() >= askAt) {
            if (!keepWaiting || !keepWaiting()) {
                disconnect();
                return fail(LdapError::TimedOut,
                            "No answer from " + uri + " within " + secondsText(m_bindWait));
            }
            askAt = Clock::now() + m_bindWait;
        }
    }
}

bool LdapDirectory::search(const std::string& typedName, std::vector<DirectoryRow>& rows)
{
    rows.clear();
    if (!m_handle && !connect(nullptr)) {
        return false;
    }
    LDAP* ld = ldapOf(m_handle);
    const std::string uri = uriOf(m_service);
    const std::string filter = LdapService::nameFilter(typedName);
    // The server is asked to keep to the limit too (in whole seconds, at least one).
    timeval serverLimit {};
    serverLimit.tv_sec = static_cast<time_t>((m_searchLimit.count() + 999) / 1000);
    int messageId = 0;
    const std::string base = dnWithCommas(m_service.base);
    if (ldap_search_ext(ld, base.c_str(), LDAP_SCOPE_SUBTREE, filter.c_str(), nullptr, 0, nullptr,
                        nullptr, &serverLimit, LDAP_NO_LIMIT, &messageId)
        != LDAP_SUCCESS) {
        const std::string why = resultText(ld);
        disconnect();
        return fail(LdapError::Search, "The search on " + uri + " failed: " + why);
    }

    const auto giveUpAt = Clock::now() + m_searchLimit;
    LDAPMessage* result = nullptr;
    for (;;) {
        if (m_stopped || Clock::now() >= giveUpAt) {
            ldap_abandon_ext(ld, messageId, nullptr, nullptr);
            disconnect();
            return m_stopped
                ? fail(LdapError::Stopped, "The search on " + uri + " was stopped")
                : fail(LdapError::TimedOut,
                       "The search on " + uri + " took longer than " + secondsText(m_searchLimit));
        }
        const auto left = std::chrono::duration_cast<milliseconds>(giveUpAt - Clock::now());
        timeval tv = timevalOf(std::clamp(left, milliseconds {0}, slice));
        const int got = ldap_result(ld, messageId, LDAP_MSG_ALL, &tv, &result);
        if (got < 0) {
            const std::string why = resultText(ld);
            disconnect();
            return fail(LdapError::Search, "The search on " + uri + " failed: " + why);
        }
        if (got > 0) {
            break;
        }
    }

    int code = LDAP_OTHER;
    char* message = nullptr;
    const int parsed = ldap_parse_result(ld, result, &code, nullptr, &message, nullptr, nullptr, 0);
    std::string detail = message && *message ? std::string(" (") + message + ")" : "";
    ldap_memfree(message);
    if (parsed != LDAP_SUCCESS) {
        code = parsed;
    }
    // A server that stops at its own size or time limit has still sent the entries it found:
    // they are listed, as far as they go.
    if (code != LDAP_SUCCESS && code != LDAP_SIZELIMIT_EXCEEDED
        && code != LDAP_TIMELIMIT_EXCEEDED) {
        ldap_msgfree(result);
        return fail(LdapError::Search,
                    "The search on " + uri + " failed: " + ldap_err2string(code) + detail);
    }

    DirectoryRowBuilder builder;
    for (LDAPMessage* entry = ldap_first_entry(ld, result); entry;
         entry = ldap_next_entry(ld, entry)) {
        BerElement* cursor = nullptr;
        for (char* name = ldap_first_attribute(ld, entry, &cursor); name;
             name = ldap_next_attribute(ld, entry, cursor)) {
            berval** values = ldap_get_values_len(ld, entry, name);
            if (values && values[0]) {
                builder.attribute(name, std::string_view(values[0]->bv_val, values[0]->bv_len));
            }
            ldap_value_free_len(values);
            ldap_memfree(name);
        }
        ber_free(cursor, 0);
        builder.endEntry();
    }
    ldap_msgfree(result);
    rows = builder.take();
    m_lastError = LdapError::None;
    m_lastErrorText.clear();
    return true;
}
