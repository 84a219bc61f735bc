#include "cli/ProvidersCommand.h"

#include "cli/ActionShape.h"
#include "cli/ArgumentList.h"
#include "cli/CliOutput.h"
#include "directories/HeadlessPrompt.h"
#include "directories/ProviderDatabase.h"

#include <iostream>

namespace {

constexpr std::string_view usage
    = "Usage: norvane-cli providers <action> [arguments]\n"
      "\n"
      "List and change the paging service provider database, which maps a paging company's\n"
      "name to its modem number (or host name), so that an address may name the company:\n"
      "'Acme Paging/1234'. The file is Paths\\pspDbs in the settings, else data/pspDbs.mdb\n"
      "under Paths\\home, else ./pspDbs.mdb; a missing file is created. Names compare\n"
      "without regard to case; names and numbers hold at most 50 characters.\n"
      "\n"
      "Actions:\n"
      "  list                 print every provider: name, a tab, number (name order)\n"
      "  add NAME PHONE       add a provider (--replace: replace the one of that name)\n"
      "  remove NAME          delete a provider\n"
      "  phone NAME           print the number of the provider of that name\n"
      "  name PHONE           print the name of the provider with that number\n"
      "  path                 print the database file's path\n"
      "\n"
      "Options:\n"
      "  --help               show this text\n";

ExitCode add(ProviderDatabase& database, const std::vector<std::string>& args, bool replace)
{
    if (!(replace ? database.replace(args[0], args[1]) : database.add(args[0], args[1]))) {
        return CliOutput::fail(database.lastErrorText());
    }
    return ExitCode::Success;
}

} // namespace

ExitCode ProvidersCommand::run(const std::vector<std::string>& arguments)
{
    ArgumentList list(arguments);
    if (list.takeFlag("--help", "-h")) {
        return CliOutput::help(usage);
    }
    const bool replace = list.takeFlag("--replace");
    if (const auto problem = list.problem()) {
        return CliOutput::usageError(*problem, usage);
    }
    std::vector<std::string> args = list.positional();
    static constexpr ActionShape shapes[]
        = {{"list", 0, "list takes no arguments"}, {"add", 2, "add takes NAME and PHONE"},
           {"remove", 1, "remove takes one NAME"}, {"phone", 1, "phone takes one NAME"},
           {"name", 1, "name takes one PHONE"},    {"path", 0, "path takes no arguments"}};
    std::string action;
    if (const auto refused = ActionShape::take("providers", args, shapes, usage, action)) {
        return *refused;
    }
    if (replace && action != "add") {
        return CliOutput::usageError("--replace goes with add only", usage);
    }

    ProviderDatabase database(
        std::make_shared<HeadlessPrompt>(&std::cerr, std::string(programName) + ": "));
    if (!database.open()) {
        return CliOutput::fail(database.lastErrorText());
    }
    if (action == "path") {
        std::cout << database.path() << '\n';
        return ExitCode::Success;
    }
    if (action == "list") {
        if (!database.beginIteration()) {
            return CliOutput::fail(database.lastErrorText());
        }
        std::string name, phone;
        while (!database.atEnd() && database.next(name, phone)) {
            std::cout << CliOutput::printable(name) << '\t' << CliOutput::printable(phone) << '\n';
        }
        database.endIteration();
        return ExitCode::Success;
    }
    if (action == "add") {
        return add(database, args, replace);
    }
    if (action == "remove") {
        return database.remove(args[0]) ? ExitCode::Success
                                        : CliOutput::fail(database.lastErrorText());
    }
    std::string result;
    const bool found = action == "phone" ? database.getPhone(args[0], result)
                                         : database.getName(args[0], result);
    if (!found) {
        return CliOutput::fail(database.lastErrorText());
    }
    std::cout << CliOutput::printable(result) << '\n';
    return ExitCode::Success;
}
