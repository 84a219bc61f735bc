#include "cli/RegCommand.h"

#include "cli/ArgumentList.h"
#include "cli/CliOutput.h"
#include "cli/KnownSettings.h"
#include "settings/RegistryText.h"
#include "settings/SettingsStore.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>

namespace {

constexpr std::string_view usage
    = "Usage: norvane-cli reg <action> [arguments]\n"
      "\n"
      "Query and change the settings store (a text file in the registry export format;\n"
      "$NORVANE_REGISTRY names another file). KEY is a full key name such as\n"
      "'HKCU\\SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Log' (\"/\" may stand for \"\\\").\n"
      "\n"
      "Actions:\n"
      "  query KEY            print the key and its subkeys in the store's text form\n"
      "  query KEY NAME       print one value: text, decimal number or hex bytes\n"
      "  set KEY NAME --string TEXT | --number N | --binary HEX\n"
      "                       store a value (N decimal or 0x hex; HEX like 01,02,ff or 0102ff)\n"
      "  delete KEY NAME      remove a value\n"
      "  delete-key KEY       remove a key with its subkeys and values\n"
      "  export [FILE]        write the whole store (default: standard output)\n"
      "  import FILE          merge a registry text into the store (- reads standard input),\n"
      "                       line by line in order; [-KEY] and \"name\"=- lines delete\n"
      "  path                 print the store file's path\n"
      "\n"
      "Options:\n"
      "  --help               show this text\n";

ExitCode storeFailure(std::string_view what)
{
    return CliOutput::fail(std::string(what) + ": " + SettingsStore::lastErrorText());
}

std::string keyName(const std::string& given)
{
    return SettingsStore::normalizeKeyName(given);
}

bool parseNumber(std::string_view text, std::uint32_t& number)
{
    bool negative = false;
    int base = 10;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return false;
    }
    if (negative) {
        if (value > 0x80000000ULL) {
            return false;
        }
        number = static_cast<std::uint32_t>(-static_cast<std::int64_t>(value));
        return true;
    }
    if (value > 0xffffffffULL) {
        return false;
    }
    number = static_cast<std::uint32_t>(value);
    return true;
}

bool parseHex(std::string_view text, std::string& bytes)
{
    std::string digits;
    for (char c : text) {
        if (c == ',' || c == ' ' || c == ':') {
            continue;
        }
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            return false;
        }
        digits.push_back(c);
    }
    if (digits.size() % 2 != 0) {
        return false;
    }
    bytes.clear();
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        bytes.push_back(static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    }
    return true;
}

std::string valueText(const SettingsValue& value)
{
    switch (value.type) {
    case ValueType::String:
        return value.data;
    case ValueType::Number:
        return std::to_string(static_cast<std::int32_t>(value.number()));
    case ValueType::Binary: {
        std::string text;
        char digits[4];
        for (char c : value.data) {
            std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(c));
            text += text.empty() ? "" : ",";
            text += digits;
        }
        return text;
    }
    }
    return {};
}

ExitCode query(SettingsStore& store, const std::vector<std::string>& args)
{
    if (args.empty() || args.size() > 2) {
        return CliOutput::usageError("query takes KEY and an optional NAME", usage);
    }
    const std::string key = keyName(args[0]);
    if (key.empty()) {
        return CliOutput::usageError("\"" + args[0] + "\" is not a key name", usage);
    }
    if (!store.readable()) {
        return CliOutput::fail(SettingsStore::lastErrorText());
    }
    if (!store.keyExists(key)) {
        return CliOutput::fail("no key " + key + " in " + store.path());
    }
    if (args.size() == 1) {
        std::cout << store.exportText(key);
        return ExitCode::Success;
    }
    const auto value = store.value(key, args[1]);
    if (!value) {
        return CliOutput::fail("no value \"" + args[1] + "\" in " + key);
    }
    std::cout << valueText(*value) << '\n';
    return ExitCode::Success;
}

ExitCode set(SettingsStore& store, ArgumentList& list)
{
    std::string text, number, hex;
    const bool isString = list.takeOption("--string", text);
    const bool isNumber = list.takeOption("--number", number);
    const bool isBinary = list.takeOption("--binary", hex);
    if (const auto problem = list.problem()) {
        return CliOutput::usageError(*problem, usage);
    }
    const std::vector<std::string> args = list.positional();
    if (args.size() != 3 || isString + isNumber + isBinary != 1) {
        return CliOutput::usageError("set takes KEY NAME and one of --string, --number, --binary",
                                     usage);
    }
    const std::string key = keyName(args[1]);
    if (key.empty()) {
        return CliOutput::usageError("\"" + args[1] + "\" is not a key name", usage);
    }
    SettingsValue value;
    if (isString) {
        value = SettingsValue::makeString(args[2], text);
    } else if (isNumber) {
        std::uint32_t parsed = 0;
        if (!parseNumber(number, parsed)) {
            return CliOutput::usageError("\"" + number + "\" is not a 32-bit number", usage);
        }
        value = SettingsValue::makeNumber(args[2], parsed);
    } else {
        std::string bytes;
        if (!parseHex(hex, bytes)) {
            return CliOutput::usageError("\"" + hex + "\" is not a list of hex bytes", usage);
        }
        value = SettingsValue::makeBinary(args[2], bytes);
    }
    if (!store.setValue(key, value)) {
        return storeFailure("cannot set \"" + RegistryText::printable(args[2]) + "\" in "
                            + RegistryText::printable(key));
    }
    // Stored as asked, but a reader that ignores it would leave the user wondering.
    if (const auto known = KnownSettings::find(key, args[2])) {
        if (const std::string why = KnownSettings::mismatch(*known, value.type); !why.empty()) {
            std::cerr << "norvane-cli: warning: " << why << '\n';
        }
    }
    return ExitCode::Success;
}

ExitCode exportStore(SettingsStore& store, const std::vector<std::string>& args)
{
    if (args.size() > 1) {
        return CliOutput::usageError("export takes at most one FILE", usage);
    }
    if (!store.readable()) {
        return CliOutput::fail(SettingsStore::lastErrorText());
    }
    const std::string text = store.exportText();
    if (args.empty() || args[0] == "-") {
        std::cout << text;
        return ExitCode::Success;
    }
    std::ofstream out(args[0], std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        return CliOutput::fail("cannot write " + args[0]);
    }
    return ExitCode::Success;
}

ExitCode importStore(SettingsStore& store, const std::vector<std::string>& args)
{
    if (args.size() != 1) {
        return CliOutput::usageError("import takes one FILE (or - for standard input)", usage);
    }
    if (!store.importFile(args[0])) {
        return CliOutput::fail(SettingsStore::lastErrorText());
    }
    return ExitCode::Success;
}

} // namespace

ExitCode RegCommand::run(const std::vector<std::string>& arguments)
{
    ArgumentList list(arguments);
    if (list.takeFlag("--help", "-h")) {
        return CliOutput::help(usage);
    }
    std::vector<std::string> args = list.positional();
    if (args.empty()) {
        return CliOutput::usageError("reg needs an action", usage);
    }
    const std::string action = args.front();
    const std::shared_ptr<SettingsStore> store = SettingsStore::current();
    if (action == "set") {
        return set(*store, list);
    }
    if (const auto problem = list.problem()) {
        return CliOutput::usageError(*problem, usage);
    }
    args.erase(args.begin());
    if (action == "query") {
        return query(*store, args);
    }
    if (action == "delete") {
        if (args.size() != 2) {
            return CliOutput::usageError("delete takes KEY and NAME", usage);
        }
        const std::string key = keyName(args[0]);
        if (key.empty()) {
            return CliOutput::usageError("\"" + args[0] + "\" is not a key name", usage);
        }
        return store->deleteValue(key, args[1]) ? ExitCode::Success
                                                : storeFailure("cannot delete \"" + args[1] + "\"");
    }
    if (action == "delete-key") {
        if (args.size() != 1 || keyName(args[0]).empty()) {
            return CliOutput::usageError("delete-key takes one KEY", usage);
        }
        return store->deleteKey(keyName(args[0])) ? ExitCode::Success
                                                  : storeFailure("cannot delete the key");
    }
    if (action == "export") {
        return exportStore(*store, args);
    }
    if (action == "import") {
        return importStore(*store, args);
    }
    if (action == "path") {
        if (!args.empty()) {
            return CliOutput::usageError("path takes no arguments", usage);
        }
        std::cout << store->path() << '\n';
        return ExitCode::Success;
    }
    return CliOutput::usageError("unknown action \"" + action + "\"", usage);
}
