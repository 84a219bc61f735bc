#include "settings/RegistryParser.h"

#include "settings/RegistryEncoding.h"
#include "settings/RegistryLineReader.h"
#include "settings/RegistryLineSyntax.h"
#include "settings/RegistryText.h"

namespace {

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

    RegistryLineReader reader(text);
    RegistryLineReader::Line line;
    while (reader.next(line)) {
        const std::string_view body = RegistryText::trim(line.text);
        if (body.empty()) {
            continue;
        }
        if (RegistryText::isHeader(body)) {
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
            if (RegistryLineSyntax::readSection(body, name, deletion, why) && !deletion) {
                ++understood;
                // A key's ancestors exist with it, as in the registry, even when the text
                // has no section of their own.
                (void)document.addKey(name);
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
            ok = RegistryLineSyntax::readValue(body, value, deletion, why);
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

} // namespace

bool RegistryParser::readStore(std::string_view bytes, RegistryDocument& document,
                               std::string& error)
{
    std::string text;
    if (!RegistryEncoding::decode(bytes, text, error)) {
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

bool RegistryParser::parse(std::string_view text, RegistryDocument& document, bool strict,
                           std::string& error)
{
    int understood = 0;
    return parseStore(text, document, strict, error, understood);
}

bool RegistryParser::parseImport(std::string_view text, std::vector<RegistryChange>& changes,
                                 std::string& error)
{
    changes.clear();
    std::string current;
    bool inDeletedKey = false;
    RegistryLineReader reader(text);
    RegistryLineReader::Line line;
    while (reader.next(line)) {
        const std::string_view body = RegistryText::trim(line.text);
        if (body.empty() || RegistryText::isHeader(body) || body.front() == ';') {
            continue;
        }
        std::string why;
        if (body.front() == '[') {
            bool deletion = false;
            if (!RegistryLineSyntax::readSection(body, current, deletion, why)) {
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
        } else if (RegistryLineSyntax::readValue(body, value, deletion, why)) {
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
