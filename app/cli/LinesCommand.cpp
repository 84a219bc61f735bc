#include "cli/LinesCommand.h"

#include "cli/ArgumentList.h"
#include "cli/CliOutput.h"
#include "telephony/LineSettings.h"
#include "telephony/Telephony.h"

#include <algorithm>
#include <array>
#include <iostream>

namespace {

constexpr std::string_view usage
    = "Usage: norvane-cli lines\n"
      "\n"
      "Lists the line devices the IXO/TAP driver can dial on, as the settings store defines\n"
      "them under HKEY_CURRENT_USER\\SOFTWARE\\Tessal\\Norvane\\Kestrel\\Lines: the device\n"
      "number (as the modemList setting names devices), the name, the kind (modem or tcp),\n"
      "the serial device or host:port, and whether the line can make data and voice calls.\n"
      "A modem can make data calls while its serial device exists and may be opened.\n"
      "A device whose settings are incomplete shows as \"Unknown device\" with the reason.\n"
      "\n"
      "Options:\n"
      "  --help   show this text\n";

constexpr std::size_t columnCount = 6;
using Row = std::array<std::string, columnCount>;

std::string yesNo(bool value)
{
    return value ? "yes" : "no";
}

void printRow(const Row& row, const std::array<std::size_t, columnCount>& widths,
              const std::string& note)
{
    std::string line;
    for (std::size_t column = 0; column < columnCount; ++column) {
        line += row[column];
        if (column + 1 < columnCount) {
            line += std::string(widths[column] - row[column].size() + 2, ' ');
        }
    }
    if (!note.empty()) {
        line += "  (" + note + ")";
    }
    // The last column's padding is not wanted at the end of the line.
    line.erase(line.find_last_not_of(' ') + 1);
    std::cout << line << '\n';
}

} // namespace

ExitCode LinesCommand::run(const std::vector<std::string>& arguments)
{
    ArgumentList list(arguments);
    if (list.takeFlag("--help", "-h")) {
        return CliOutput::help(usage);
    }
    if (const auto problem = list.problem()) {
        return CliOutput::usageError(*problem, usage);
    }
    if (const std::vector<std::string> extra = list.positional(); !extra.empty()) {
        return CliOutput::unexpectedArgument(extra.front(), usage);
    }
    const Telephony telephony;
    if (telephony.deviceCount() == 0) {
        std::cout << "No line devices are configured (keys below HKEY_CURRENT_USER\\"
                  << LineSettings::linesKey << ").\n";
        return ExitCode::Success;
    }
    std::vector<Row> rows {{"#", "Name", "Kind", "Target", "Data", "Voice"}};
    std::vector<std::string> notes {""};
    for (int device = 0; device < telephony.deviceCount(); ++device) {
        const auto number = static_cast<std::uint32_t>(device);
        LineDeviceInfo info;
        if (telephony.enumerate(number, info)) {
            rows.push_back({std::to_string(device), info.name, info.kind, info.target,
                            yesNo(info.supportsData), yesNo(info.supportsVoice)});
            notes.emplace_back();
        } else {
            rows.push_back({std::to_string(device), "Unknown device", "-", "-", "-", "-"});
            notes.push_back(telephony.problem(number));
        }
    }
    std::array<std::size_t, columnCount> widths {};
    for (const Row& row : rows) {
        for (std::size_t column = 0; column < columnCount; ++column) {
            widths[column] = std::max(widths[column], row[column].size());
        }
    }
    for (std::size_t index = 0; index < rows.size(); ++index) {
        printRow(rows[index], widths, notes[index]);
    }
    return ExitCode::Success;
}
