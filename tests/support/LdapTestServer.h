#pragma once

#include "ChildProcess.h"
#include "TempDir.h"

#include <string>
#include <string_view>

// A throw-away OpenLDAP server on 127.0.0.1 for directory tests and benchmarks: a slapd.conf
// with the core, cosine and inetorgperson schemas and an mdb database under a temporary folder,
// entries loaded offline with slapadd (so values that slapd's pager syntax refuses over the
// protocol, such as SNPP addresses with "!", load too), slapd run as a child process on a free
// port, and stopped by its PID when the object goes.
class LdapTestServer
{
public:
    // The suffix of the database and the base that people are filed under.
    static constexpr std::string_view suffix = "dc=norvane,dc=test";
    static constexpr std::string_view peopleBase = "ou=people,dc=norvane,dc=test";
    // A login that may bind with `password` (the database's root).
    static constexpr std::string_view adminDn = "cn=admin,dc=norvane,dc=test";
    static constexpr std::string_view adminPassword = "s3cret";

    // Why slapd cannot be run here ("" when it can): a test skips with this text.
    static std::string unavailableReason();
    // An LDIF record of a person under peopleBase with its attribute lines as given (each
    // "name: value"; the object class and the sn are added).
    static std::string person(std::string_view cn, std::string_view attributeLines);
    // `count` people "Person 0000"... with a mail and an SNPP pager address each.
    static std::string generatedPeople(int count);

    LdapTestServer() = default;
    // Stops slapd (SIGTERM, then SIGKILL after a bounded wait).
    ~LdapTestServer();
    LdapTestServer(const LdapTestServer&) = delete;
    LdapTestServer& operator=(const LdapTestServer&) = delete;

    // Loads the base entries and `ldif` with slapadd and starts slapd, waiting until it accepts
    // connections; false (with a test failure saying why) when any step fails.
    [[nodiscard]] bool start(std::string_view ldif);
    // The same, listening for ldaps (TLS) too, with a self-signed certificate for 127.0.0.1
    // made by openssl.
    [[nodiscard]] bool startWithTls(std::string_view ldif);
    // Why startWithTls cannot work here ("" when it can).
    static std::string tlsUnavailableReason();
    // Makes slapd answer at most `entries` entries per search (before start; unlimited unless
    // set), as directory servers often do.
    void setSizeLimit(int entries) { m_sizeLimit = std::to_string(entries); }
    // The port slapd listens on, and its URI ("ldap://127.0.0.1:PORT/").
    int port() const { return m_port; }
    std::string uri() const;
    // The ldaps URI after startWithTls, and the certificate a client trusts it with.
    std::string tlsUri() const;
    std::string certificatePath() const { return m_dir.file("cert.pem"); }
    // The path of an installed OpenLDAP program (slapd, slapadd, ldapsearch), or "".
    static std::string toolPath(std::string_view name);

private:
    bool serve(std::string_view ldif, const std::string& tlsLines);

    TempDir m_dir;
    ChildProcess m_slapd;
    int m_port = 0;
    int m_tlsPort = 0;
    std::string m_sizeLimit = "unlimited";
};
