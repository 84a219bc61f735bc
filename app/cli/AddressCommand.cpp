#include "cli/AddressCommand.h"

#include "addressing/AddressChecker.h"
#include "addressing/AddressGrammar.h"
#include "cli/ArgumentList.h"
#include "cli/CliDirectories.h"
#include "cli/CliOutput.h"
#include "directories/AddressBook.h"
#include "directories/HeadlessPrompt.h"

#include <cstdio>
#include <iostream>

namespace {

constexpr std::string_view usage
    = "Usage: norvane-cli address check TEXT\n"
      "\n"
      "Check a recipient as the recipient entry and the SNPP gateway do. TEXT is a pager\n"
      "address (modem number or provider name/PIN for IXO/TAP, host[:port]!PIN for SNPP,\n"
      "digits for a touch-tone pager) or the name of an entry of the current address book.\n"
      "Provider names are translated through the provider database. Prints the kind of the\n"
      "check (CheckOk, CheckMalformed, CheckNotInAddressBook, CheckNoProtocol), then the\n"
      "parsed address (type, number, PIN, canonical form) or the address error and its code.\n"
      "Exit code 0 when the address can be sent to (CheckOk), 1 otherwise.\n"
      "A TEXT that starts with \"-\" goes after \"--\".\n"
      "\n"
      "Options:\n"
      "  --help      show this text\n";

} // namespace

ExitCode AddressCommand::run(const std::vector<std::string>& arguments)
{
    ArgumentList list(arguments);
    if (list.takeFlag("--help", "-h")) {
        return CliOutput::help(usage);
    }
    if (const auto problem = list.problem()) {
        return CliOutput::usageError(*problem, usage);
    }
    const std::vector<std::string> args = list.positional();
    if (args.empty() || args[0] != "check") {
        return CliOutput::usageError(
            args.empty() ? "address needs an action" : "unknown action \"" + args[0] + "\"", usage);
    }
    if (args.size() != 2) {
        return CliOutput::usageError("check takes one TEXT", usage);
    }

    CliDirectories directories(std::cerr);
    AddressBook* book = directories.open(true);

    AddressChecker checker(&directories.providers(), book, &directories.prompt());
    AddressCheck kind = AddressCheck::CheckNone;
    (void)checker.checkAddress(true, args[1], kind);
    std::cout << "check: " << addressCheckName(kind) << '\n';
    if (kind == AddressCheck::CheckMalformed) {
        char code[48];
        std::snprintf(code, sizeof code, "0x%X (%d)", static_cast<unsigned>(checker.lastError()),
                      checker.lastError());
        std::cout << "address: " << checker.addressText() << '\n'
                  << "error: " << checker.lastErrorText() << '\n'
                  << "code: " << code << '\n';
    } else if (kind != AddressCheck::CheckNotInAddressBook) {
        const PagerAddress& address = checker.address();
        std::cout << "type: " << addressTypeName(address.type) << '\n'
                  << "number: " << address.number << '\n'
                  << "pin: " << address.pin << '\n'
                  << "address: " << AddressGrammar::formatAddress(address) << '\n';
    }
    return kind == AddressCheck::CheckOk ? ExitCode::Success : ExitCode::Failure;
}
