#include "cli/AdbCommand.h"

#include "cli/ArgumentList.h"
#include "cli/CliOutput.h"
#include "directories/AddressBook.h"
#include "directories/AddressBookSelection.h"
#include "directories/AddressBookVisitor.h"
#include "directories/DirectorySettings.h"
#include "directories/HeadlessPrompt.h"
#include "settings/SettingsKey.h"

#include <cstdio>
#include <iostream>

namespace {

constexpr std::string_view usage
    = "Usage: norvane-cli adb <action> [arguments]\n"
      "\n"
      "List, look up and change the entries of the current address book, which maps names\n"
      "to pager addresses. Adb\\adbType in the settings chooses the book: 0 the simple\n"
      "address book (an SQLite file: Paths\\simpleAdb, else data/simpleAdb.mdb under\n"
      "Paths\\home, else ./simpleAdb.mdb), 1 the MAPI address book (not available on this\n"
      "system), 2 the Internet address book (a folder of vCard files: Adb\\internetAdb, else\n"
      "data/contacts under Paths\\home, else ./contacts). A missing file or folder is\n"
      "created. Names compare without regard to case and may not hold \";\" or \"=\".\n"
      "\n"
      "Actions:\n"
      "  list                  print every entry: name, a tab, pager information\n"
      "  add NAME ADDRESS      add an entry\n"
      "  update NAME ADDRESS   change the pager information of an entry\n"
      "  remove NAME           delete an entry\n"
      "  find PREFIX           print the first name that begins with PREFIX\n"
      "  info NAME             print the pager information of an entry\n"
      "  path                  print where the book keeps its entries\n"
      "\n"
      "Options:\n"
      "  --help                show this text\n";

// Prints each entry as one line.
class ListVisitor final : public AddressBookVisitor
{
public:
    void addName(std::string_view name) override
    {
        flush();
        m_name = std::string(name);
        m_started = true;
    }
    bool setPagerInfo(std::string_view pagerInfo) override
    {
        if (!m_started) {
            return false;
        }
        m_pagerInfo = std::string(pagerInfo);
        return true;
    }
    void flush()
    {
        if (m_started) {
            std::cout << CliOutput::printable(m_name) << '\t' << CliOutput::printable(m_pagerInfo)
                      << '\n';
        }
        m_started = false;
        m_pagerInfo.clear();
    }

private:
    std::string m_name;
    std::string m_pagerInfo;
    bool m_started = false;
};

ExitCode bookFailure(const AddressBook& book)
{
    char code[16];
    std::snprintf(code, sizeof code, "0x%X", static_cast<unsigned>(book.lastErrorCode()));
    return CliOutput::fail(book.lastErrorText() + " (" + code + ")");
}

std::size_t argumentCount(std::string_view action)
{
    if (action == "add" || action == "update") {
        return 2;
    }
    if (action == "remove" || action == "find" || action == "info") {
        return 1;
    }
    return 0;
}

bool isAction(std::string_view action)
{
    for (std::string_view known : {"list", "add", "update", "remove", "find", "info", "path"}) {
        if (action == known) {
            return true;
        }
    }
    return false;
}

} // namespace

ExitCode AdbCommand::run(const std::vector<std::string>& arguments)
{
    ArgumentList list(arguments);
    if (list.takeFlag("--help", "-h")) {
        return CliOutput::help(usage);
    }
    if (const auto problem = list.problem()) {
        return CliOutput::usageError(*problem, usage);
    }
    std::vector<std::string> args = list.positional();
    if (args.empty()) {
        return CliOutput::usageError("adb needs an action", usage);
    }
    const std::string action = args.front();
    args.erase(args.begin());
    if (!isAction(action)) {
        return CliOutput::usageError("unknown action \"" + action + "\"", usage);
    }
    if (args.size() != argumentCount(action)) {
        return CliOutput::usageError(
            action + " takes " + std::to_string(argumentCount(action)) + " argument(s)", usage);
    }

    AddressBookSelection books(
        std::make_shared<HeadlessPrompt>(&std::cerr, std::string(programName) + ": "));
    AddressBook* book = books.selectFromSettings();
    if (!book) {
        const SettingsKey adb(RootKey::CurrentUser, DirectorySettings::Adb::key);
        return CliOutput::fail("no address book: Adb\\adbType is "
                               + std::to_string(adb.read(DirectorySettings::Adb::adbType))
                               + ", not 0, 1 or 2");
    }
    if (!book->open()) {
        return bookFailure(*book);
    }
    if (action == "path") {
        std::cout << book->location() << '\n';
        return ExitCode::Success;
    }
    if (action == "list") {
        ListVisitor visitor;
        if (!book->enumerate(visitor)) {
            return bookFailure(*book);
        }
        // A book going on without the store it could not open lists nothing: that is not an
        // empty book.
        if (!book->isOpen()) {
            const std::string where = book->location();
            return CliOutput::fail("cannot list the address book: "
                                   + (where.empty() ? std::string("its store") : where)
                                   + " could not be opened");
        }
        visitor.flush();
        return ExitCode::Success;
    }
    std::string result;
    bool done = false;
    if (action == "add") {
        done = book->add(args[0], args[1]);
    } else if (action == "update") {
        done = book->update(args[0], args[1]);
    } else if (action == "remove") {
        done = book->remove(args[0]);
    } else if (action == "find") {
        done = book->findLike(args[0], result);
    } else {
        done = book->getPagerInfo(args[0], result);
    }
    if (!done) {
        return bookFailure(*book);
    }
    if (action == "find" || action == "info") {
        std::cout << CliOutput::printable(result) << '\n';
    }
    return ExitCode::Success;
}
