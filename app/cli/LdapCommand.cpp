#include "cli/LdapCommand.h"

#include "cli/ActionShape.h"
#include "cli/ArgumentList.h"
#include "cli/CliOutput.h"
#include "cli/SendPrinter.h"
#include "directories/DirectorySearchForm.h"
#include "directories/LdapDirectory.h"
#include "settings/SettingsKey.h"
#include "settings/SettingsStore.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iostream>

namespace {

constexpr std::string_view usage
    = "Usage: norvane-cli ldap list\n"
      "       norvane-cli ldap add NAME --host HOST [--port N] [--base DN]\n"
      "                            [--login DN --password-file FILE] [--replace]\n"
      "       norvane-cli ldap remove NAME\n"
      "       norvane-cli ldap search NAME TEXT [--json]\n"
      "\n"
      "Manage the LDAP directory services (the Ldap key of the settings) and search one for\n"
      "people by name, as the desktop program's Directory Search does. A service is stored as\n"
      "\"host,port,login,password,base\": no field may hold a comma, so write a DN with \";\"\n"
      "between its parts (ou=people;dc=example;dc=com); it is sent with commas. The password is\n"
      "stored as given, in the settings file that only its user may read.\n"
      "\n"
      "Actions:\n"
      "  list        every service: name, host, port, login, base (tab-separated, by name)\n"
      "  add         store a service; HOST may be an ldap:// or ldaps:// URI (TLS for ldaps),\n"
      "              the port is 389 unless given; --login binds as that DN with the password\n"
      "              on the first line of FILE (\"-\": standard input), else anonymously\n"
      "  remove      delete a service\n"
      "  search      print the rows found for TEXT (\"*\" is a wildcard): name, mail, pager\n"
      "              address (tab-separated), in the order the desktop program lists them\n"
      "\n"
      "Options:\n"
      "  --replace   let add replace a service of the same name\n"
      "  --json      print the rows as a JSON array of {\"name\", \"mail\", \"pager\"} objects\n"
      "  --help      show this text\n"
      "The bind waits LdapSearch\\bindWait ms (6000) and a search LdapSearch\\searchLimit ms\n"
      "(30000); a server that does not answer the bind in time fails the search.\n"
      "Put \"--\" before arguments that start with \"-\".\n";

std::string quoted(std::string_view text)
{
    return "\"" + CliOutput::printable(text) + "\"";
}

bool readPassword(const std::string& path, std::string& password, std::string& problem)
{
    std::ifstream file;
    std::istream* in = &std::cin;
    if (path != "-") {
        file.open(path, std::ios::binary);
        if (!file) {
            problem = "cannot read the password file " + quoted(path);
            return false;
        }
        in = &file;
    }
    std::getline(*in, password);
    if (!password.empty() && password.back() == '\r') {
        password.pop_back();
    }
    if (in->bad()) {
        problem = "cannot read the password from " + quoted(path);
        return false;
    }
    return true;
}

ExitCode listServices(const SettingsKey& key)
{
    for (const std::string& name : DirectorySearchForm::serviceNames(key)) {
        std::string data;
        (void)key.getString(name, data, LdapService::maxText + 1);
        const LdapService service = LdapService::parse(data);
        std::cout << CliOutput::printable(name) << '\t' << CliOutput::printable(service.host)
                  << '\t' << service.port << '\t' << CliOutput::printable(service.login) << '\t'
                  << CliOutput::printable(service.base) << '\n';
    }
    return CliOutput::finish(ExitCode::Success);
}

struct AddOptions
{
    std::string host;
    std::string port;
    std::string base;
    std::string login;
    std::string passwordFile;
    bool replace = false;
};

ExitCode add(SettingsKey& key, const std::string& name, const AddOptions& options)
{
    if (name.empty()) {
        return CliOutput::fail("Entry Name cannot be empty");
    }
    if (name.size() > LdapService::maxText) {
        return CliOutput::fail("the service name is longer than "
                               + std::to_string(LdapService::maxText) + " characters");
    }
    if (options.host.empty()) {
        return CliOutput::fail("Hostname cannot be empty");
    }
    LdapService service {options.host, LdapService::defaultPort, options.login, "", options.base};
    if (!options.port.empty()) {
        const char* end = options.port.data() + options.port.size();
        const auto [rest, error] = std::from_chars(options.port.data(), end, service.port);
        if (error != std::errc() || rest != end || service.port < 0 || service.port > 65535) {
            return CliOutput::fail("--port takes a number from 0 to 65535, not "
                                   + quoted(options.port));
        }
    }
    if (!options.passwordFile.empty()) {
        std::string problem;
        if (!readPassword(options.passwordFile, service.password, problem)) {
            return CliOutput::fail(problem);
        }
    }
    std::string problem;
    const std::optional<std::string> data = service.format(&problem);
    if (!data) {
        return CliOutput::fail(problem + " (write a DN with \";\" between its parts)");
    }
    if (!options.replace && key.hasValue(name)) {
        return CliOutput::fail("a directory service named " + quoted(name)
                               + " exists (--replace replaces it)");
    }
    if (!key.setString(name, *data)) {
        return CliOutput::fail("Failed to write to database: " + SettingsStore::lastErrorText());
    }
    return ExitCode::Success;
}

ExitCode search(const std::string& name, const std::string& text, bool json)
{
    DirectoryMessage message;
    const std::optional<LdapService> service = DirectorySearchForm::readService(name, message);
    if (!service) {
        return CliOutput::fail(message.text + ": no directory service named " + quoted(name));
    }
    LdapDirectory directory(*service);
    directory.useSettings();
    std::vector<DirectoryRow> rows;
    // Nobody is there to answer the question whether to keep waiting for the bind.
    if (!directory.connect([] { return false; }) || !directory.search(text, rows)) {
        const auto box
            = DirectorySearchForm::failureMessage(directory.lastError(), directory.lastErrorText());
        const std::string detail = directory.lastErrorText();
        return CliOutput::fail(box && box->text != detail ? box->text + ": " + detail : detail);
    }
    if (json) {
        std::cout << '[';
        const char* separator = "";
        for (const DirectoryRow& row : rows) {
            std::cout << separator << "{\"name\":" << SendPrinter::jsonString(row.name)
                      << ",\"mail\":" << SendPrinter::jsonString(row.mail)
                      << ",\"pager\":" << SendPrinter::jsonString(row.pager) << '}';
            separator = ",";
        }
        std::cout << "]\n";
    } else {
        for (const DirectoryRow& row : rows) {
            std::cout << CliOutput::printable(row.name) << '\t' << CliOutput::printable(row.mail)
                      << '\t' << CliOutput::printable(row.pager) << '\n';
        }
    }
    return CliOutput::finish(ExitCode::Success);
}

} // namespace

ExitCode LdapCommand::run(const std::vector<std::string>& arguments)
{
    ArgumentList list(arguments);
    if (list.takeFlag("--help", "-h")) {
        return CliOutput::help(usage);
    }
    AddOptions options;
    const bool hasHost = list.takeOption("--host", options.host);
    const bool hasPort = list.takeOption("--port", options.port);
    const bool hasBase = list.takeOption("--base", options.base);
    const bool hasLogin = list.takeOption("--login", options.login);
    const bool hasPassword = list.takeOption("--password-file", options.passwordFile);
    options.replace = list.takeFlag("--replace");
    const bool json = list.takeFlag("--json");
    if (const auto problem = list.problem()) {
        return CliOutput::usageError(*problem, usage);
    }
    std::vector<std::string> args = list.positional();
    static constexpr ActionShape shapes[] = {{"list", 0, "list takes no arguments"},
                                             {"add", 1, "add takes one NAME"},
                                             {"remove", 1, "remove takes one NAME"},
                                             {"search", 2, "search takes NAME and TEXT"}};
    std::string action;
    if (const auto refused = ActionShape::take("ldap", args, shapes, usage, action)) {
        return *refused;
    }
    const bool addOptions
        = hasHost || hasPort || hasBase || hasLogin || hasPassword || options.replace;
    if (action != "add" && addOptions) {
        return CliOutput::usageError("--host, --port, --base, --login, --password-file and "
                                     "--replace go with add only",
                                     usage);
    }
    if (action == "add" && !hasHost) {
        return CliOutput::usageError("add needs --host", usage);
    }
    if (hasLogin != hasPassword) {
        return CliOutput::usageError("--login and --password-file go together", usage);
    }
    if (json && action != "search") {
        return CliOutput::usageError("--json goes with search only", usage);
    }
    if (action == "search") {
        return search(args[0], args[1], json);
    }

    SettingsKey key(RootKey::CurrentUser, LdapService::key);
    if (!key.isOpen()) {
        return CliOutput::fail("cannot open the settings key " + std::string(LdapService::key)
                               + ": " + SettingsStore::lastErrorText());
    }
    if (action == "list") {
        return listServices(key);
    }
    if (action == "add") {
        return add(key, args[0], options);
    }
    if (!key.hasValue(args[0])) {
        return CliOutput::fail("no directory service named " + quoted(args[0]));
    }
    if (!key.deleteValue(args[0])) {
        return CliOutput::fail("Cannot delete entry " + quoted(args[0]) + ": "
                               + SettingsStore::lastErrorText());
    }
    return ExitCode::Success;
}
