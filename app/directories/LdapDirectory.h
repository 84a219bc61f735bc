#pragma once

#include "directories/DirectoryRow.h"
#include "directories/LdapService.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

// Why a connect or a search failed.
enum class LdapError { None, NoService, Connect, TimedOut, Stopped, Search };

// One connection to a directory service: a simple bind (anonymous when the login is empty),
// then searches for people by name under the service's base. A host written as an ldap:// or
// ldaps:// URI is used as such (TLS for ldaps), otherwise host and port. Every wait is cut
// into short slices so that stop() from another thread ends it promptly.
class LdapDirectory final
{
public:
    // Asked each time a bind wait ends without an answer; false gives up.
    using KeepWaiting = std::function<bool()>;

    // The default wait for the bind's answer before keepWaiting is asked.
    static constexpr std::chrono::milliseconds defaultBindWait {6000};
    // The default limit of one search.
    static constexpr std::chrono::milliseconds defaultSearchLimit {30000};

    explicit LdapDirectory(LdapService service);
    ~LdapDirectory();
    LdapDirectory(const LdapDirectory&) = delete;
    LdapDirectory& operator=(const LdapDirectory&) = delete;

    // The wait for the bind's answer before keepWaiting is asked (6 s unless changed).
    void setBindWait(std::chrono::milliseconds wait);
    // The longest a search may take, on the server and here (30 s unless changed).
    void setSearchLimit(std::chrono::milliseconds limit);
    // Takes both waits from the user's settings (DirectorySettings::LdapSearch).
    void useSettings();

    // Connects and binds; false when the server cannot be reached, refuses the login, or
    // keepWaiting gave up (lastError says which).
    [[nodiscard]] bool connect(const KeepWaiting& keepWaiting);
    // Searches "(cn=typedName)" (escaped; "*" stays a wildcard) under the base, subtree
    // scope, and fills rows as the list shows them; connects first when not connected
    // (giving up at the first unanswered bind wait).
    [[nodiscard]] bool search(const std::string& typedName, std::vector<DirectoryRow>& rows);
    // From any thread: abandons a running connect or search (lastError Stopped); the object
    // stays stopped, so a stop that comes before the work starts is not lost.
    void stop();

    // The last failure's code, None after a success.
    LdapError lastError() const { return m_lastError; }
    // What failed and on what, empty after a success.
    const std::string& lastErrorText() const { return m_lastErrorText; }

    // The URI the service's host and port make.
    static std::string uriOf(const LdapService& service);
    // A stored login or base as it is sent: the stored form cannot hold a comma, so a DN may
    // be written with ";" between its parts, which is turned into ",".
    static std::string dnOf(const std::string& stored);

private:
    bool fail(LdapError error, std::string text);
    void disconnect();

    LdapService m_service;
    std::chrono::milliseconds m_bindWait = defaultBindWait;
    std::chrono::milliseconds m_searchLimit = defaultSearchLimit;
    void* m_handle = nullptr; // the LDAP* of the open connection
    std::atomic<bool> m_stopped = false;
    LdapError m_lastError = LdapError::None;
    std::string m_lastErrorText;
};
