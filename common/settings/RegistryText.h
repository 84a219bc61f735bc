#pragma once

#include "settings/SettingsStore.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

// One line of a key's section: a value, or a line kept as it was written (a comment, or a
// line a person typed that is not a value), so that a rewrite never loses it.
struct RegistryEntry
{
    SettingsValue value;
    std::string rawLine; // used when isRaw; may hold several lines joined by CR LF
    bool isRaw = false;
};

// One key's section.
struct RegistryKeyData
{
    std::string name; // the key's full name as first written
    std::vector<RegistryEntry> entries;
    // Lines that followed a section line the parser does not understand (a typo such as
    // "[Foo" or a key outside the known roots) up to the next key: they belong to no key,
    // are never read as values, and are written after this key's values, as they were.
    std::vector<std::string> strayLines;

    // The value entry of that name (without case), or nullptr.
    RegistryEntry* findValue(std::string_view valueName);
    const RegistryEntry* findValue(std::string_view valueName) const;
};

// Orders key names part by part without regard to case, so that a key's subkeys follow it.
struct RegistryKeyLess
{
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

// A whole registry text: the lines before the first key, then the keys in tree order.
struct RegistryDocument
{
    std::vector<std::string> leadingLines; // comments and other lines before the first key
    std::map<std::string, RegistryKeyData, RegistryKeyLess> keys;
};

// One line of an import, applied in the order of the text as a registry editor does.
struct RegistryChange
{
    enum class Kind { DeleteKey, CreateKey, SetValue, DeleteValue };
    Kind kind = Kind::CreateKey;
    std::string key; // the key's canonical name
    SettingsValue value; // SetValue: the value; DeleteValue: its name
};

// Reading and writing the registry export format:
//   Windows Registry Editor Version 5.00
//   [HKEY_CURRENT_USER\SOFTWARE\Tessal\Norvane\NorvaneDesk\Log]
//   "logLevel"=dword:00000004
//   "name"="text with \"quotes\" and \\ backslashes"
//   "block"=hex:01,02,ff
//   "multi"=hex(1):41,0d,0a,42,00      (a narrow string holding control characters)
// Lines may end in CR LF, LF or CR alone; a value line ending in "\" continues on the next.
// Text is always written 8-bit with CR LF line ends.
class RegistryText
{
public:
    // Files larger than this are refused: far above any real store or export.
    static constexpr std::size_t maxFileSize = 64 * 1024 * 1024;

    // Turns a file's bytes into 8-bit text: UTF-16 with a byte-order mark (what a registry
    // editor exports) becomes UTF-8, a UTF-8 byte-order mark is dropped. False, with `error`
    // saying why, when the UTF-16 is broken.
    [[nodiscard]] static bool decode(std::string_view bytes, std::string& text, std::string& error);
    // Reads a settings store file's bytes leniently. False, with `error` saying why, when the
    // file is not a registry text at all (binary, or nothing in it is a header, key or
    // comment); such a file must not be written over.
    [[nodiscard]] static bool readStore(std::string_view bytes, RegistryDocument& document,
                                        std::string& error);
    // Parses a store text. Strict: any line that is not a header, comment, section or value
    // is an error naming its line; lenient: such lines are kept as raw lines in place.
    // Deletions ([-key], "name"=-) belong to imports and are not understood here.
    [[nodiscard]] static bool parse(std::string_view text, RegistryDocument& document, bool strict,
                                    std::string& error);
    // Parses an import text (strictly) into its changes, in the order of its lines.
    [[nodiscard]] static bool parseImport(std::string_view text,
                                          std::vector<RegistryChange>& changes, std::string& error);
    // The text of the whole document (header, lines before the first key, one section per key).
    static std::string format(const RegistryDocument& document);
    // The text of the key and its subkeys only.
    static std::string format(const RegistryDocument& document, std::string_view key);
    // One value's line, e.g. "\"logLevel\"=dword:00000004".
    static std::string formatValue(const SettingsValue& value);
    // Applies an import's changes in order: a key deleted and then written again holds only
    // what was written after the deletion.
    static void apply(const std::vector<RegistryChange>& changes, RegistryDocument& document);
    // Adds the key and every missing ancestor; true when the key itself was added.
    static bool addKey(RegistryDocument& document, const std::string& key);
    // Removes the key with its subkeys; lines that belonged to no key move to the key before.
    // False when the key did not exist.
    static bool removeKey(RegistryDocument& document, const std::string& key);
    // Compares two names without regard to ASCII case.
    static bool sameName(std::string_view a, std::string_view b);
    // Why the key or value name cannot be written and read back as it is ("" when it can).
    static std::string nameProblem(std::string_view name);
    // The name with control bytes shown as \r, \n, \0 or \xNN, for messages.
    static std::string printable(std::string_view name);
};
