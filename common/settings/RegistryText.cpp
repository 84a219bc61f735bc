#include "settings/RegistryText.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

constexpr std::string_view header = "Windows Registry Editor Version 5.00";

// Key and value names compare without regard to ASCII case. Inline rather than std::tolower,
// whose call per character dominated every settings look-up.
char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

bool startsValue(std::string_view trimmed)
{
    return !trimmed.empty() && (trimmed.front() == '"' || trimmed.front() == '@');
}

// A kept line that a reader would join with the next line (a value line ending in "\").
bool mayContinue(std::string_view raw)
{
    const std::size_t lastBreak = raw.rfind('\n');
    const std::string_view last
        = trim(lastBreak == std::string_view::npos ? raw : raw.substr(lastBreak + 1));
    return startsValue(trim(raw)) && !last.empty() && last.back() == '\\';
}

// One logical line: a physical line, or a value line continued over lines ending in "\".
struct LogicalLine
{
    std::string text; // the joined text, to be parsed
    std::string raw; // the physical lines as they were, joined by CR LF, to be kept
    int number = 0; // the number of its first physical line
    bool cut = false; // it ended in "\" but no continuation followed
};

// Splits text into logical lines; CR LF, LF and CR alone all end a line.
class LineReader
{
public:
    explicit LineReader(std::string_view text)
        : m_text(text)
    { }

    bool next(LogicalLine& line)
    {
        if (m_position >= m_text.size()) {
            return false;
        }
        const std::string_view first = physical();
        line.number = m_number;
        line.raw.assign(first);
        line.cut = false;
        std::string_view trimmed = trim(first);
        if (!startsValue(trimmed) || trimmed.back() != '\\') {
            line.text.assign(first);
            return true;
        }
        // Long hex values continue over lines that end in a backslash. A line that starts a
        // section, a value or a comment, a blank line and the end of the text all cut it.
        line.text.assign(trimmed.substr(0, trimmed.size() - 1));
        for (;;) {
            const std::size_t savedPosition = m_position;
            const int savedNumber = m_number;
            if (m_position >= m_text.size()) {
                line.cut = true;
                return true;
            }
            const std::string_view next = physical();
            trimmed = trim(next);
            if (trimmed.empty() || trimmed.front() == '[' || trimmed.front() == ';'
                || startsValue(trimmed)) {
                m_position = savedPosition;
                m_number = savedNumber;
                line.cut = true;
                return true;
            }
            line.raw += "\r\n";
            line.raw += next;
            if (trimmed.back() != '\\') {
                line.text += trimmed;
                return true;
            }
            line.text += trimmed.substr(0, trimmed.size() - 1);
        }
    }

private:
    std::string_view physical()
    {
        const std::size_t end = m_text.find_first_of("\r\n", m_position);
        ++m_number;
        if (end == std::string_view::npos) {
            const std::string_view line = m_text.substr(m_position);
            m_position = m_text.size();
            return line;
        }
        const std::string_view line = m_text.substr(m_position, end - m_position);
        m_position = end + 1;
        if (m_text[end] == '\r' && m_position < m_text.size() && m_text[m_position] == '\n') {
            ++m_position;
        }
        return line;
    }

    std::string_view m_text;
    std::size_t m_position = 0;
    int m_number = 0;
};

// A quoted string with \\ and \" escapes at the start of `text`; consumes it.
bool readQuoted(std::string_view& text, std::string& out)
{
    if (text.empty() || text.front() != '"') {
        return false;
    }
    out.clear();
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            out.push_back(text[++i]);
        } else if (c == '"') {
            text.remove_prefix(i + 1);
            return true;
        } else {
            out.push_back(c);
        }
    }
    return false;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = lower(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// Comma-separated two-digit hex bytes ("01,ff,2a"); an empty list is valid.
bool readHexBytes(std::string_view text, std::string& out)
{
    out.clear();
    text = trim(text);
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view item = trim(text.substr(0, comma));
        if (item.empty() || item.size() > 2) {
            return false;
        }
        int byte = 0;
        for (char c : item) {
            const int digit = hexDigit(c);
            if (digit < 0) {
                return false;
            }
            byte = byte * 16 + digit;
        }
        out.push_back(static_cast<char>(byte));
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
        if (trim(text).empty()) {
            return false; // a trailing comma: the data was cut
        }
    }
    return true;
}

constexpr std::string_view zeroInString = "a string cannot hold a zero byte";

// The data part of a value line (after "="); sets the value's type and data, or `deletion`
// for "-".
bool readData(std::string_view text, SettingsValue& value, bool& deletion, std::string& why)
{
    text = trim(text);
    deletion = false;
    if (text == "-") {
        deletion = true;
        return true;
    }
    if (!text.empty() && text.front() == '"') {
        value.type = ValueType::String;
        if (!readQuoted(text, value.data) || !trim(text).empty()) {
            why = "unterminated or malformed string";
            return false;
        }
        if (value.data.find('\0') != std::string::npos) {
            why = zeroInString;
            return false;
        }
        return true;
    }
    const auto startsWith = [&](std::string_view prefix) {
        return text.size() >= prefix.size()
            && RegistryText::sameName(text.substr(0, prefix.size()), prefix);
    };
    if (startsWith("dword:")) {
        const std::string_view digits = trim(text.substr(6));
        if (digits.empty() || digits.size() > 8) {
            why = "a dword needs 1 to 8 hexadecimal digits";
            return false;
        }
        std::uint32_t number = 0;
        for (char c : digits) {
            const int digit = hexDigit(c);
            if (digit < 0) {
                why = "a dword needs 1 to 8 hexadecimal digits";
                return false;
            }
            number = number * 16 + static_cast<std::uint32_t>(digit);
        }
        value = SettingsValue::makeNumber(value.name, number);
        return true;
    }
    if (startsWith("hex:")) {
        value.type = ValueType::Binary;
        if (!readHexBytes(text.substr(4), value.data)) {
            why = "malformed hex bytes";
            return false;
        }
        return true;
    }
    if (startsWith("hex(1):")) {
        value.type = ValueType::String;
        if (!readHexBytes(text.substr(7), value.data)) {
            why = "malformed hex bytes";
            return false;
        }
        // The stored form ends with the string's terminating zero.
        if (!value.data.empty() && value.data.back() == '\0') {
            value.data.pop_back();
        }
        if (value.data.find('\0') != std::string::npos) {
            why = zeroInString;
            return false;
        }
        return true;
    }
    why = "unknown value type (expected \"text\", dword:, hex: or hex(1):)";
    return false;
}

// A value line: "name"=data or @=data.
bool readValueLine(std::string_view body, SettingsValue& value, bool& deletion, std::string& why)
{
    std::string_view rest = body;
    value = SettingsValue {};
    if (rest.front() == '@') {
        rest.remove_prefix(1);
    } else if (!readQuoted(rest, value.name)) {
        why = "expected \"name\"=data, @=data, a [key] or a ; comment";
        return false;
    }
    if (value.name.find('\0') != std::string::npos) {
        why = "a value name cannot hold a zero byte";
        return false;
    }
    rest = trim(rest);
    if (rest.empty() || rest.front() != '=') {
        why = "expected = after the value name";
        return false;
    }
    return readData(rest.substr(1), value, deletion, why);
}

// A section line: [key] or [-key]; the key's canonical name.
bool readSection(std::string_view body, std::string& name, bool& deletion, std::string& why)
{
    if (body.back() != ']' || body.size() < 3) {
        why = "a section line must read [key name]";
        return false;
    }
    std::string_view inner = body.substr(1, body.size() - 2);
    deletion = inner.front() == '-';
    if (deletion) {
        inner.remove_prefix(1);
    }
    if (inner.find('\0') != std::string_view::npos) {
        why = "a key name cannot hold a zero byte";
        return false;
    }
    name = SettingsStore::normalizeKeyName(inner);
    if (name.empty()) {
        why = "the key name \"" + std::string(inner) + "\" does not start with a known root";
        return false;
    }
    return true;
}

bool isHeader(std::string_view body)
{
    return body == header || body == "REGEDIT4";
}

std::string failure(int line, std::string_view why)
{
    return "line " + std::to_string(line) + ": " + std::string(why);
}

// The store parse; `understood` counts header, comment and key lines.
bool parseStore(std::string_view text, RegistryDocument& document, bool strict, std::string& error,
                int& understood)
{
    enum class Place { Leading, Key, Stray };
    Place place = Place::Leading;
    RegistryKeyData* current = nullptr;
    understood = 0;
    // A line the parser does not understand stays where it was: in the key's values, after
    // the key when it follows a section line that was not understood, or before every key.
    const auto keep = [&](std::string raw) {
        if (place == Place::Key) {
            current->entries.push_back(RegistryEntry {{}, std::move(raw), true});
        } else if (place == Place::Stray && current != nullptr) {
            current->strayLines.push_back(std::move(raw));
        } else {
            document.leadingLines.push_back(std::move(raw));
        }
    };

    LineReader reader(text);
    LogicalLine line;
    while (reader.next(line)) {
        const std::string_view body = trim(line.text);
        if (body.empty()) {
            continue;
        }
        if (isHeader(body)) {
            ++understood;
            continue;
        }
        if (body.front() == ';') {
            ++understood;
            keep(std::move(line.raw));
            continue;
        }
        std::string why;
        if (body.front() == '[') {
            std::string name;
            bool deletion = false;
            if (readSection(body, name, deletion, why) && !deletion) {
                ++understood;
                // A key's ancestors exist with it, as in the registry, even when the text
                // has no section of their own.
                (void)RegistryText::addKey(document, name);
                current = &document.keys.find(name)->second;
                place = Place::Key;
                continue;
            }
            if (strict) {
                error = failure(line.number,
                                deletion ? "a key deletion [-...] belongs in an import" : why);
                return false;
            }
            // Everything up to the next key belongs to this section, which is no key: its
            // lines must not be read as values of the key before it.
            place = Place::Stray;
            keep(std::move(line.raw));
            continue;
        }
        SettingsValue value;
        bool deletion = false;
        bool ok = false;
        if (line.cut && strict) {
            why = "the line ends in a continuation backslash but no continuation follows";
        } else {
            ok = readValueLine(body, value, deletion, why);
        }
        if (ok && deletion) {
            ok = false;
            why = "a value deletion \"name\"=- belongs in an import";
        }
        if (ok && place != Place::Key) {
            ok = false;
            why = place == Place::Leading ? "a value before the first [key] section"
                                          : "a value after a section line that is not a key";
        }
        if (!ok) {
            if (strict) {
                error = failure(line.number, why);
                return false;
            }
            keep(std::move(line.raw));
            continue;
        }
        if (RegistryEntry* existing = current->findValue(value.name)) {
            existing->value = std::move(value);
        } else {
            current->entries.push_back(RegistryEntry {std::move(value), {}, false});
        }
    }
    return true;
}

void appendLine(std::string& out, std::string_view line)
{
    out += line;
    out += "\r\n";
    // A blank line keeps a kept line that ends in "\" from being joined with the next.
    if (mayContinue(line)) {
        out += "\r\n";
    }
}

void appendQuoted(std::string& out, std::string_view text)
{
    out.push_back('"');
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out.push_back('\\');
        }
        out.push_back(c);
    }
    out.push_back('"');
}

void appendHex(std::string& out, std::string_view bytes, bool withTerminator)
{
    char digits[4];
    bool first = true;
    auto add = [&](unsigned char byte) {
        std::snprintf(digits, sizeof digits, "%02x", byte);
        if (!first) {
            out.push_back(',');
        }
        out += digits;
        first = false;
    };
    for (char c : bytes) {
        add(static_cast<unsigned char>(c));
    }
    if (withTerminator) {
        add(0);
    }
}

// A string that a text line cannot carry as it is (line breaks and other control bytes).
bool needsHexForm(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && byte != '\t') || byte == 0x7f;
    });
}

void appendSection(std::string& out, const RegistryKeyData& key, bool withStrayLines)
{
    out += "\r\n[";
    out += key.name;
    out += "]\r\n";
    for (const RegistryEntry& entry : key.entries) {
        if (entry.isRaw) {
            appendLine(out, entry.rawLine);
        } else {
            out += RegistryText::formatValue(entry.value);
            out += "\r\n";
        }
    }
    if (withStrayLines) {
        for (const std::string& line : key.strayLines) {
            appendLine(out, line);
        }
    }
}

bool isWithin(std::string_view name, std::string_view key)
{
    if (name.size() < key.size() || !RegistryText::sameName(name.substr(0, key.size()), key)) {
        return false;
    }
    return name.size() == key.size() || name[key.size()] == '\\';
}

void appendUtf8(std::string& out, std::uint32_t code)
{
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xc0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3f)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xe0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3f)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3f)));
    } else {
        out.push_back(static_cast<char>(0xf0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3f)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3f)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3f)));
    }
}

// UTF-16 (after its byte-order mark) as UTF-8.
bool fromUtf16(std::string_view bytes, bool littleEndian, std::string& text, std::string& error)
{
    if (bytes.size() % 2 != 0) {
        error = "ends in half a UTF-16 character (the file was cut)";
        return false;
    }
    const auto unit = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return littleEndian ? static_cast<std::uint32_t>(a | (b << 8))
                            : static_cast<std::uint32_t>((a << 8) | b);
    };
    text.clear();
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        std::uint32_t code = unit(i);
        if (code >= 0xd800 && code <= 0xdbff && i + 2 < bytes.size() && unit(i + 2) >= 0xdc00
            && unit(i + 2) <= 0xdfff) {
            code = 0x10000 + ((code - 0xd800) << 10) + (unit(i + 2) - 0xdc00);
            i += 2;
        } else if (code >= 0xd800 && code <= 0xdfff) {
            error = "holds a broken UTF-16 character at byte " + std::to_string(i + 2);
            return false;
        }
        appendUtf8(text, code);
    }
    return true;
}

} // namespace

RegistryEntry* RegistryKeyData::findValue(std::string_view valueName)
{
    for (RegistryEntry& entry : entries) {
        if (!entry.isRaw && RegistryText::sameName(entry.value.name, valueName)) {
            return &entry;
        }
    }
    return nullptr;
}

const RegistryEntry* RegistryKeyData::findValue(std::string_view valueName) const
{
    return const_cast<RegistryKeyData*>(this)->findValue(valueName);
}

bool RegistryKeyLess::operator()(std::string_view a, std::string_view b) const
{
    // Part by part, so "A\B" sorts right after "A" and before "A B".
    for (std::size_t i = 0;; ++i) {
        const bool aEnd = i == a.size();
        const bool bEnd = i == b.size();
        if (aEnd || bEnd) {
            return aEnd && !bEnd;
        }
        const char ca = a[i] == '\\' ? '\0' : lower(a[i]);
        const char cb = b[i] == '\\' ? '\0' : lower(b[i]);
        if (ca != cb) {
            return static_cast<unsigned char>(ca) < static_cast<unsigned char>(cb);
        }
    }
}

bool RegistryText::sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lower(x) == lower(y);
           });
}

std::string RegistryText::nameProblem(std::string_view name)
{
    if (name.find_first_of("\r\n") != std::string_view::npos) {
        return "holds a line break";
    }
    if (name.find('\0') != std::string_view::npos) {
        return "holds a zero byte";
    }
    return {};
}

std::string RegistryText::printable(std::string_view name)
{
    std::string out;
    char code[8];
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\0') {
            out += "\\0";
        } else if (byte < 0x20 || byte == 0x7f) {
            std::snprintf(code, sizeof code, "\\x%02x", byte);
            out += code;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

bool RegistryText::decode(std::string_view bytes, std::string& text, std::string& error)
{
    const auto startsWith = [&](std::string_view mark) {
        return bytes.size() >= mark.size() && bytes.substr(0, mark.size()) == mark;
    };
    if (startsWith("\xff\xfe") || startsWith("\xfe\xff")) {
        if (!fromUtf16(bytes.substr(2), bytes[0] == '\xff', text, error)) {
            return false;
        }
    } else {
        text.assign(startsWith("\xef\xbb\xbf") ? bytes.substr(3) : bytes);
    }
    return true;
}

bool RegistryText::readStore(std::string_view bytes, RegistryDocument& document, std::string& error)
{
    std::string text;
    if (!decode(bytes, text, error)) {
        return false;
    }
    if (const std::size_t zero = text.find('\0'); zero != std::string::npos) {
        error = "holds a zero byte (at character " + std::to_string(zero + 1)
            + "): it is binary, not a registry text";
        return false;
    }
    int understood = 0;
    document = RegistryDocument {};
    (void)parseStore(text, document, false, error, understood);
    if (understood == 0 && text.find_first_not_of(" \t\r\n") != std::string::npos) {
        error = "is not a registry text: no line of it is a header, a [key] or a ; comment";
        return false;
    }
    return true;
}

bool RegistryText::parse(std::string_view text, RegistryDocument& document, bool strict,
                         std::string& error)
{
    int understood = 0;
    return parseStore(text, document, strict, error, understood);
}

bool RegistryText::parseImport(std::string_view text, std::vector<RegistryChange>& changes,
                               std::string& error)
{
    changes.clear();
    std::string current;
    bool inDeletedKey = false;
    LineReader reader(text);
    LogicalLine line;
    while (reader.next(line)) {
        const std::string_view body = trim(line.text);
        if (body.empty() || isHeader(body) || body.front() == ';') {
            continue;
        }
        std::string why;
        if (body.front() == '[') {
            bool deletion = false;
            if (!readSection(body, current, deletion, why)) {
                error = failure(line.number, why);
                return false;
            }
            inDeletedKey = deletion;
            changes.push_back(RegistryChange {deletion ? RegistryChange::Kind::DeleteKey
                                                       : RegistryChange::Kind::CreateKey,
                                              current,
                                              {}});
            continue;
        }
        SettingsValue value;
        bool deletion = false;
        if (line.cut) {
            why = "the line ends in a continuation backslash but no continuation follows";
        } else if (readValueLine(body, value, deletion, why)) {
            if (current.empty()) {
                why = "a value before the first [key] section";
            } else if (inDeletedKey) {
                why = "a value inside a deleted key [-...]";
            }
        }
        if (!why.empty()) {
            error = failure(line.number, why);
            return false;
        }
        changes.push_back(RegistryChange {deletion ? RegistryChange::Kind::DeleteValue
                                                   : RegistryChange::Kind::SetValue,
                                          current, std::move(value)});
    }
    return true;
}

std::string RegistryText::formatValue(const SettingsValue& value)
{
    std::string line;
    if (value.name.empty()) {
        line = "@";
    } else {
        appendQuoted(line, value.name);
    }
    line.push_back('=');
    switch (value.type) {
    case ValueType::String:
        if (needsHexForm(value.data)) {
            line += "hex(1):";
            appendHex(line, value.data, true);
        } else {
            appendQuoted(line, value.data);
        }
        break;
    case ValueType::Number: {
        char digits[16];
        std::snprintf(digits, sizeof digits, "dword:%08x", value.number());
        line += digits;
        break;
    }
    case ValueType::Binary:
        line += "hex:";
        appendHex(line, value.data, false);
        break;
    }
    return line;
}

std::string RegistryText::format(const RegistryDocument& document)
{
    std::string out(header);
    out += "\r\n";
    for (const std::string& line : document.leadingLines) {
        appendLine(out, line);
    }
    for (const auto& [name, key] : document.keys) {
        appendSection(out, key, true);
    }
    return out;
}

std::string RegistryText::format(const RegistryDocument& document, std::string_view key)
{
    std::string out(header);
    out += "\r\n";
    for (const auto& [name, data] : document.keys) {
        if (isWithin(name, key)) {
            appendSection(out, data, false);
        }
    }
    return out;
}

bool RegistryText::addKey(RegistryDocument& document, const std::string& key)
{
    bool added = false;
    for (std::size_t slash = key.find('\\');; slash = key.find('\\', slash + 1)) {
        const std::string part = key.substr(0, slash);
        if (document.keys.find(part) == document.keys.end()) {
            document.keys.emplace(part, RegistryKeyData {part, {}, {}});
            added = part == key;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    return added;
}

bool RegistryText::removeKey(RegistryDocument& document, const std::string& key)
{
    auto first = document.keys.lower_bound(key);
    auto last = first;
    std::vector<std::string> stray;
    while (last != document.keys.end() && isWithin(last->first, key)) {
        stray.insert(stray.end(), last->second.strayLines.begin(), last->second.strayLines.end());
        ++last;
    }
    if (first == last) {
        return false;
    }
    // Lines that belonged to no key were written after the removed keys' values; they stay
    // where they were, now after the key before.
    std::vector<std::string>& before = first == document.keys.begin()
        ? document.leadingLines
        : std::prev(first)->second.strayLines;
    before.insert(before.end(), stray.begin(), stray.end());
    document.keys.erase(first, last);
    return true;
}

void RegistryText::apply(const std::vector<RegistryChange>& changes, RegistryDocument& document)
{
    for (const RegistryChange& change : changes) {
        switch (change.kind) {
        case RegistryChange::Kind::DeleteKey:
            (void)removeKey(document, change.key);
            break;
        case RegistryChange::Kind::CreateKey:
            (void)addKey(document, change.key);
            break;
        case RegistryChange::Kind::SetValue: {
            (void)addKey(document, change.key);
            RegistryKeyData& data = document.keys.find(change.key)->second;
            if (RegistryEntry* existing = data.findValue(change.value.name)) {
                existing->value = change.value;
            } else {
                data.entries.push_back(RegistryEntry {change.value, {}, false});
            }
            break;
        }
        case RegistryChange::Kind::DeleteValue: {
            const auto found = document.keys.find(change.key);
            if (found != document.keys.end()) {
                std::erase_if(found->second.entries, [&](const RegistryEntry& entry) {
                    return !entry.isRaw && sameName(entry.value.name, change.value.name);
                });
            }
            break;
        }
        }
    }
}
