#include "cli/StatusCommand.h"

#include "cli/ArgumentList.h"
#include "cli/CliOutput.h"
#include "cli/SendPrinter.h"
#include "cli/StatusReport.h"

#include <iostream>

namespace {

constexpr std::string_view usage
    = "Usage: norvane-cli status [--json]\n"
      "\n"
      "Shows what the programs of this user use and whether it works, for admins and support:\n"
      "the settings store, the home folder and the data files (log, history, saved messages,\n"
      "provider database, simple address book) and whether each opens, the driver plug-ins\n"
      "(their registered file, and whether it loads or why not), the line devices, the\n"
      "gateway's settings with its allowed hosts resolved, and whether a serve runs on this\n"
      "settings store. Nothing is changed: a file that is not there yet is made by the first\n"
      "program that needs it.\n"
      "Exit code 0 when everything needed works, 1 when something is broken (each such line\n"
      "reads \"problem\").\n"
      "\n"
      "Options:\n"
      "  --json   print one JSON object instead\n"
      "  --help   show this text\n";

std::string json(std::string_view text)
{
    return SendPrinter::jsonString(text);
}

void printItem(const StatusReport::Item& item)
{
    std::cout << "  " << item.name << ": " << (item.where.empty() ? "-" : item.where) << "  ["
              << item.state << "] " << item.detail << '\n';
}

void printText(const StatusReport& report)
{
    std::cout << "Settings\n";
    printItem(report.store);
    printItem(report.home);
    std::cout << "Data files\n";
    for (const auto& item : report.files) {
        printItem(item);
    }
    std::cout << "Drivers\n";
    for (const auto& item : report.drivers) {
        printItem(item);
    }
    std::cout << "Line devices\n";
    if (report.lines.empty()) {
        std::cout << "  none configured\n";
    }
    for (const auto& item : report.lines) {
        printItem(item);
    }
    std::cout << "Gateway\n"
              << "  enabled: " << (report.gatewayEnabled ? "yes" : "no")
              << ", port: " << report.gatewayPort
              << ", fromAdbOnly: " << (report.fromAdbOnly ? "yes" : "no")
              << ", level2Login: " << (report.level2Login ? "yes" : "no") << '\n';
    if (report.hosts.empty()) {
        std::cout << "  allowed hosts: none (every client is turned away)\n";
    }
    for (const auto& host : report.hosts) {
        std::cout << "  allowed host: " << host.name << " -> "
                  << (host.address == "*"        ? std::string("every host")
                          : host.address.empty() ? std::string("does not resolve")
                                                 : host.address)
                  << '\n';
    }
    std::cout << "Serve\n  ";
    if (report.servePid == 0) {
        std::cout << "not running on this settings store\n";
    } else if (report.servePid < 0) {
        std::cout << "running on this settings store\n";
    } else {
        std::cout << "running on this settings store (process " << report.servePid << ")\n";
    }
    const int problems = report.problemCount();
    if (problems == 0) {
        std::cout << "Everything needed works.\n";
    } else {
        std::cout << problems << (problems == 1 ? " problem" : " problems") << " found.\n";
    }
}

std::string itemJson(const StatusReport::Item& item)
{
    return "{\"name\": " + json(item.name) + ", \"path\": " + json(item.where)
        + ", \"state\": " + json(item.state) + ", \"detail\": " + json(item.detail) + "}";
}

std::string listJson(const std::vector<StatusReport::Item>& items)
{
    std::string text = "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        text += (i == 0 ? "" : ", ") + itemJson(items[i]);
    }
    return text + "]";
}

void printJson(const StatusReport& report)
{
    std::cout << "{\"store\": " << itemJson(report.store) << ", \"home\": " << itemJson(report.home)
              << ", \"files\": " << listJson(report.files)
              << ", \"drivers\": " << listJson(report.drivers)
              << ", \"lines\": " << listJson(report.lines)
              << ", \"gateway\": {\"enabled\": " << (report.gatewayEnabled ? "true" : "false")
              << ", \"port\": " << json(report.gatewayPort)
              << ", \"fromAdbOnly\": " << (report.fromAdbOnly ? "true" : "false")
              << ", \"level2Login\": " << (report.level2Login ? "true" : "false")
              << ", \"hosts\": [";
    for (std::size_t i = 0; i < report.hosts.size(); ++i) {
        const auto& host = report.hosts[i];
        std::cout << (i == 0 ? "" : ", ") << "{\"name\": " << json(host.name)
                  << ", \"address\": " << (host.address.empty() ? "null" : json(host.address))
                  << '}';
    }
    std::cout << "]}, \"serve\": {\"running\": " << (report.servePid != 0 ? "true" : "false")
              << ", \"pid\": " << (report.servePid > 0 ? std::to_string(report.servePid) : "null")
              << "}, \"problems\": " << report.problemCount() << "}\n";
}

} // namespace

ExitCode StatusCommand::run(const std::vector<std::string>& arguments)
{
    ArgumentList list(arguments);
    if (list.takeFlag("--help", "-h")) {
        return CliOutput::help(usage);
    }
    const bool asJson = list.takeFlag("--json");
    if (const auto problem = list.problem()) {
        return CliOutput::usageError(*problem, usage);
    }
    if (const std::vector<std::string> extra = list.positional(); !extra.empty()) {
        return CliOutput::unexpectedArgument(extra.front(), usage);
    }
    const StatusReport report = StatusReport::gather();
    if (asJson) {
        printJson(report);
    } else {
        printText(report);
    }
    return report.problemCount() == 0 ? ExitCode::Success : ExitCode::Failure;
}
