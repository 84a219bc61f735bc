#include "directories/VCard.h"

#include "text/TextLimits.h"

#include <algorithm>

namespace {

// A vCard 2.1 value is written without escapes, so a line break in it would start new
// properties (or a new card): line breaks become blanks.
std::string oneLine(std::string_view value)
{
    std::string line(value);
    for (char& c : line) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return line;
}

std::string upper(std::string_view text)
{
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return result;
}

bool isLine(std::string_view line, std::string_view expected)
{
    return TextLimits::equalsNoCase(TextLimits::trimTrailingBlanks(line), expected);
}

// Splits at the separator outside double quotes.
std::vector<std::string> splitOutsideQuotes(std::string_view text, char separator)
{
    std::vector<std::string> parts(1);
    bool quoted = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == separator && !quoted) {
            parts.emplace_back();
            continue;
        }
        parts.back() += c;
    }
    return parts;
}

std::string unquote(std::string_view text)
{
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        text = text.substr(1, text.size() - 2);
    }
    return std::string(text);
}

// Splits a compound value (N) at unescaped semicolons; parts stay escaped.
std::vector<std::string> splitCompound(std::string_view value)
{
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            parts.back() += value.substr(i, 2);
            ++i;
        } else if (value[i] == ';') {
            parts.emplace_back();
        } else {
            parts.back() += value[i];
        }
    }
    return parts;
}

bool isContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Whether the text is well-formed UTF-8: each lead byte followed by exactly as many
// continuation bytes as it announces, no overlong forms, surrogates or values past U+10FFFF.
bool isUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        unsigned min = 0;
        unsigned value = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            min = 0x80;
            value = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            min = 0x800;
            value = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            min = 0x10000;
            value = lead & 0x07u;
        } else {
            return false;
        }
        if (text.size() - i < length) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if (!isContinuationByte(text[i + k])) {
                return false;
            }
            value = (value << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        }
        if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

std::string trimBlanks(std::string text)
{
    const auto notBlank = [](char c) { return c != ' ' && c != '\t'; };
    text.erase(text.begin(), std::find_if(text.begin(), text.end(), notBlank));
    text.erase(std::find_if(text.rbegin(), text.rend(), notBlank).base(), text.end());
    return text;
}

} // namespace

std::vector<VCard> VCard::parse(std::string_view text)
{
    std::vector<VCard> cards;
    VCard* current = nullptr;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        start = end == std::string_view::npos ? text.size() : end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const bool continuation = !line.empty() && (line.front() == ' ' || line.front() == '\t');
        if (!current) {
            if (!continuation && isLine(line, "BEGIN:VCARD")) {
                cards.emplace_back();
                current = &cards.back();
                current->m_lines.emplace_back(line);
            }
            continue;
        }
        if (line.empty()) {
            continue; // blank lines inside a card carry nothing
        }
        current->m_lines.emplace_back(line);
        if (!continuation && isLine(line, "END:VCARD")) {
            current->analyse();
            current = nullptr;
        }
    }
    if (current) {
        // A card cut off before its END line is still read; rewriting it adds the END.
        current->m_lines.emplace_back("END:VCARD");
        current->analyse();
    }
    return cards;
}

VCard VCard::make(std::string_view name, std::string_view pagerInfo, std::string_view uid)
{
    VCard card;
    const auto append = [&card](std::string_view logical) {
        for (std::string& line : fold(logical)) {
            card.m_lines.push_back(std::move(line));
        }
    };
    append("BEGIN:VCARD");
    append("VERSION:4.0");
    append("PRODID:-//Tessal//Norvane Desk//EN");
    append("UID:" + std::string(uid));
    append("FN:" + escapeText(name));
    append("N:;" + escapeText(name) + ";;;");
    if (!pagerInfo.empty()) {
        append("TEL;VALUE=text;TYPE=pager:" + escapeText(pagerInfo));
    }
    append("END:VCARD");
    card.analyse();
    return card;
}

void VCard::analyse()
{
    m_properties.clear();
    for (std::size_t i = 0; i < m_lines.size();) {
        std::string logical = m_lines[i];
        std::size_t count = 1;
        while (i + count < m_lines.size() && !m_lines[i + count].empty()
               && (m_lines[i + count].front() == ' ' || m_lines[i + count].front() == '\t')) {
            logical += m_lines[i + count].substr(1);
            ++count;
        }
        Property property;
        if (parseProperty(logical, property)) {
            property.firstLine = i;
            property.lineCount = count;
            m_properties.push_back(std::move(property));
        }
        i += count;
    }
}

bool VCard::parseProperty(const std::string& logical, Property& property)
{
    // The value starts at the first colon outside the quoted parameter values.
    bool quoted = false;
    std::size_t colon = std::string::npos;
    for (std::size_t i = 0; i < logical.size(); ++i) {
        if (logical[i] == '"') {
            quoted = !quoted;
        } else if (logical[i] == ':' && !quoted) {
            colon = i;
            break;
        }
    }
    if (colon == std::string::npos || colon == 0) {
        return false;
    }
    property.prefix = logical.substr(0, colon);
    property.value = logical.substr(colon + 1);
    const std::vector<std::string> parts = splitOutsideQuotes(property.prefix, ';');
    std::string_view name = parts.front();
    if (const std::size_t dot = name.rfind('.'); dot != std::string_view::npos) {
        name.remove_prefix(dot + 1); // "item1.TEL": the group is not part of the name
    }
    property.name = upper(name);
    for (std::size_t p = 1; p < parts.size(); ++p) {
        Parameter parameter;
        const std::size_t equals = parts[p].find('=');
        if (equals == std::string::npos) {
            parameter.name = "TYPE"; // vCard 2.1: "TEL;PAGER:..."
            parameter.values.push_back(parts[p]);
        } else {
            parameter.name = upper(parts[p].substr(0, equals));
            for (const std::string& value :
                 splitOutsideQuotes(std::string_view(parts[p]).substr(equals + 1), ',')) {
                parameter.values.push_back(unquote(value));
            }
        }
        property.parameters.push_back(std::move(parameter));
    }
    return true;
}

bool VCard::hasParameterValue(const Property& property, std::string_view name,
                              std::string_view value)
{
    for (const Parameter& parameter : property.parameters) {
        if (parameter.name != name) {
            continue;
        }
        for (const std::string& candidate : parameter.values) {
            // A quoted list ("pager,voice") arrives as one value; look inside it too.
            for (const std::string& part : splitOutsideQuotes(candidate, ',')) {
                if (TextLimits::equalsNoCase(trimBlanks(part), value)) {
                    return true;
                }
            }
        }
    }
    return false;
}

bool VCard::isPager(const Property& property)
{
    return property.name == "TEL" && hasParameterValue(property, "TYPE", "pager");
}

const VCard::Property* VCard::find(std::string_view name) const
{
    for (const Property& property : m_properties) {
        if (property.name == name) {
            return &property;
        }
    }
    return nullptr;
}

const VCard::Property* VCard::findPager() const
{
    for (const Property& property : m_properties) {
        if (isPager(property)) {
            return &property;
        }
    }
    return nullptr;
}

std::string VCard::name() const
{
    if (const Property* fn = find("FN")) {
        const std::string name = trimBlanks(unescapeText(fn->value));
        if (!name.empty()) {
            return name;
        }
    }
    if (const Property* n = find("N")) {
        const std::vector<std::string> parts = splitCompound(n->value);
        const std::string family = unescapeText(parts[0]);
        const std::string given = parts.size() > 1 ? unescapeText(parts[1]) : std::string();
        return trimBlanks(given + " " + family);
    }
    return {};
}

std::string VCard::pagerInfo() const
{
    const Property* tel = findPager();
    if (!tel) {
        return {};
    }
    std::string value = trimBlanks(unescapeText(tel->value));
    if (TextLimits::startsWithNoCase(value, "tel:")) {
        value.erase(0, 4);
    }
    return value;
}

std::string VCard::version() const
{
    const Property* version = find("VERSION");
    return version ? trimBlanks(version->value) : std::string();
}

void VCard::setPagerInfo(std::string_view pagerInfo)
{
    const Property* tel = findPager();
    const std::string version = this->version();
    std::string logical;
    if (!pagerInfo.empty()) {
        std::string prefix;
        if (tel && !hasParameterValue(*tel, "VALUE", "uri")
            && (version != "4.0" || hasParameterValue(*tel, "VALUE", "text"))) {
            prefix = tel->prefix; // keep the writing tool's group and parameters
        } else if (version == "4.0") {
            prefix = "TEL;VALUE=text;TYPE=pager";
        } else if (version == "2.1") {
            prefix = "TEL;PAGER";
        } else {
            prefix = "TEL;TYPE=PAGER";
        }
        logical = prefix + ":" + (version == "2.1" ? oneLine(pagerInfo) : escapeText(pagerInfo));
    }
    std::vector<std::string> replacement
        = logical.empty() ? std::vector<std::string>() : fold(logical);
    std::size_t at = 0;
    std::size_t removed = 0;
    if (tel) {
        at = tel->firstLine;
        removed = tel->lineCount;
    } else if (const Property* end = find("END")) {
        at = end->firstLine;
    } else {
        at = m_lines.size();
    }
    const auto position = m_lines.begin() + static_cast<std::ptrdiff_t>(at);
    m_lines.erase(position, position + static_cast<std::ptrdiff_t>(removed));
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), replacement.begin(),
                   replacement.end());
    analyse();
}

std::string VCard::text() const
{
    std::string text;
    for (const std::string& line : m_lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string VCard::escapeText(std::string_view value)
{
    std::string escaped;
    escaped.reserve(value.size() + 8);
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case ',':
            escaped += "\\,";
            break;
        case ';':
            escaped += "\\;";
            break;
        case '\r':
            if (i + 1 < value.size() && value[i + 1] == '\n') {
                ++i;
            }
            escaped += "\\n";
            break;
        case '\n':
            escaped += "\\n";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string VCard::unescapeText(std::string_view value)
{
    std::string text;
    text.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            text += value[i];
            continue;
        }
        const char next = value[++i];
        text += next == 'n' || next == 'N' ? '\n' : next;
    }
    return text;
}

std::vector<std::string> VCard::fold(std::string_view line)
{
    std::vector<std::string> lines;
    // Text that is not UTF-8 has no characters to keep whole: it is folded by bytes.
    const bool characters = isUtf8(line);
    std::size_t limit = maxLineBytes;
    while (line.size() > limit) {
        std::size_t cut = limit;
        while (characters && cut > 0 && isContinuationByte(line[cut])) {
            --cut; // never split a multi-byte character
        }
        if (cut == 0) {
            cut = limit; // every pass takes at least one byte
        }
        lines.push_back((lines.empty() ? "" : " ") + std::string(line.substr(0, cut)));
        line.remove_prefix(cut);
        limit = maxLineBytes - 1; // the leading blank counts
    }
    lines.push_back((lines.empty() ? "" : " ") + std::string(line));
    return lines;
}
