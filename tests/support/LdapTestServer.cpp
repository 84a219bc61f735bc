#include "LdapTestServer.h"

#include "FreePort.h"
#include "LoopbackSocket.h"
#include "ProcessRunner.h"
#include "TestFailure.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <unistd.h>

namespace {

constexpr const char* schemaFolder = "/etc/ldap/schema";
constexpr const char* moduleFolder = "/usr/lib/ldap";

std::string baseEntries()
{
    return "dn: " + std::string(LdapTestServer::suffix)
        + "\nobjectClass: dcObject\nobjectClass: organization\no: Norvane test\ndc: norvane\n\n"
          "dn: "
        + std::string(LdapTestServer::peopleBase)
        + "\nobjectClass: organizationalUnit\nou: people\n\n";
}

} // namespace

std::string LdapTestServer::toolPath(std::string_view name)
{
    for (const char* folder : {"/usr/sbin/", "/usr/bin/", "/sbin/"}) {
        const std::string path = folder + std::string(name);
        if (::access(path.c_str(), X_OK) == 0) {
            return path;
        }
    }
    return {};
}

std::string LdapTestServer::unavailableReason()
{
    if (toolPath("slapd").empty() || toolPath("slapadd").empty()) {
        return "slapd is not installed (Debian package slapd); the LDAP tests need it";
    }
    if (!std::filesystem::exists(std::string(schemaFolder) + "/inetorgperson.schema")
        || !std::filesystem::exists(std::string(moduleFolder) + "/back_mdb.la")) {
        return "slapd's schemas or its mdb backend are missing";
    }
    return {};
}

std::string LdapTestServer::person(std::string_view cn, std::string_view attributeLines)
{
    std::string record = "dn: cn=" + std::string(cn) + "," + std::string(peopleBase)
        + "\nobjectClass: inetOrgPerson\nsn: " + std::string(cn) + "\n"
        + std::string(attributeLines);
    if (!record.empty() && record.back() != '\n') {
        record += '\n';
    }
    return record + '\n';
}

std::string LdapTestServer::generatedPeople(int count)
{
    std::string ldif;
    ldif.reserve(static_cast<std::size_t>(count) * 200);
    char name[32];
    for (int i = 0; i < count; ++i) {
        std::snprintf(name, sizeof name, "Person %04d", i);
        ldif += person(name,
                       "cn: " + std::string(name) + "\nmail: person" + std::to_string(i)
                           + "@norvane.test\npager: snpp.norvane.test!" + std::to_string(1000 + i)
                           + "\n");
    }
    return ldif;
}

LdapTestServer::~LdapTestServer()
{
    if (m_slapd.running()) {
        m_slapd.signal(SIGTERM);
        (void)m_slapd.waitForEnd(5000);
    }
}

std::string LdapTestServer::uri() const
{
    return "ldap://127.0.0.1:" + std::to_string(m_port) + "/";
}

std::string LdapTestServer::tlsUri() const
{
    return "ldaps://127.0.0.1:" + std::to_string(m_tlsPort) + "/";
}

std::string LdapTestServer::tlsUnavailableReason()
{
    if (toolPath("openssl").empty()) {
        return "openssl is not installed (Debian package openssl); the ldaps test needs it";
    }
    return unavailableReason();
}

bool LdapTestServer::startWithTls(std::string_view ldif)
{
    if (const std::string reason = tlsUnavailableReason(); !reason.empty()) {
        testFailure(reason);
        return false;
    }
    // A self-signed certificate for 127.0.0.1; clients trust it through LDAPTLS_CACERT.
    const ProcessResult made = ProcessRunner::run(
        {toolPath("openssl"), "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
         "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-keyout",
         m_dir.file("key.pem"), "-out", certificatePath()},
        {}, {}, 60000);
    if (made.exitCode != 0) {
        testFailure("openssl could not make the test certificate: " + made.err);
        return false;
    }
    const FreePort tlsPort;
    m_tlsPort = tlsPort.number();
    return serve(ldif,
                 "TLSCertificateFile " + certificatePath() + "\nTLSCertificateKeyFile "
                     + m_dir.file("key.pem") + "\n");
}

bool LdapTestServer::start(std::string_view ldif)
{
    return serve(ldif, {});
}

bool LdapTestServer::serve(std::string_view ldif, const std::string& tlsLines)
{
    if (const std::string reason = unavailableReason(); !reason.empty()) {
        testFailure(reason);
        return false;
    }
    const std::string database = m_dir.file("db");
    std::filesystem::create_directories(database);
    const std::string schemas = schemaFolder;
    const std::string config = m_dir.write(
        "slapd.conf",
        tlsLines + "include " + schemas + "/core.schema\ninclude " + schemas
            + "/cosine.schema\ninclude " + schemas + "/inetorgperson.schema\npidfile "
            + m_dir.file("slapd.pid") + "\nmodulepath " + moduleFolder
            + "\nmoduleload back_mdb\nsizelimit " + m_sizeLimit + "\ndatabase mdb\nsuffix \""
            + std::string(suffix) + "\"\nrootdn \"" + std::string(adminDn) + "\"\nrootpw "
            + std::string(adminPassword) + "\ndirectory " + database + "\nmaxsize 104857600\n");
    const std::string data = m_dir.write("entries.ldif", baseEntries() + std::string(ldif));
    const ProcessResult loaded
        = ProcessRunner::run({toolPath("slapadd"), "-q", "-f", config, "-l", data}, {}, {}, 60000);
    if (loaded.exitCode != 0) {
        testFailure("slapadd could not load the entries: " + loaded.err);
        return false;
    }
    const FreePort port;
    m_port = port.number();
    // -d keeps slapd in the foreground, so the PID it runs under is the child's.
    const std::string listeners = m_tlsPort ? uri() + " " + tlsUri() : uri();
    if (!m_slapd.start({toolPath("slapd"), "-d", "0", "-f", config, "-h", listeners})) {
        return false;
    }
    const auto giveUpAt = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < giveUpAt) {
        if (!m_slapd.running()) {
            testFailure("slapd ended at start: " + m_slapd.err());
            return false;
        }
        const int probe = connectToLoopback(m_port);
        if (probe >= 0) {
            ::close(probe);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    testFailure("slapd did not accept connections on " + uri() + " within 20 s: " + m_slapd.err());
    return false;
}
