// Fuzzes the settings store's text. The bytes are read as a store file (decoded, parsed
// leniently), written, and read again: the values must be the same and a second write must
// give the same text; the values alone, written, must pass the strict parse and come back
// through an import unchanged. The bytes are also read as an import and applied to the store
// they gave, and the result must survive a write and a read. Invariants that fail abort the run.
#include "settings/RegistryEncoding.h"
#include "settings/RegistryParser.h"
#include "settings/RegistryWriter.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace {

constexpr std::size_t maxInput = 65536;

void require(bool holds, const char* what, const std::string& detail = {})
{
    if (!holds) {
        std::fprintf(stderr, "settings invariant broken: %s %s\n", what, detail.c_str());
        std::abort();
    }
}

using ValueList = std::vector<std::tuple<std::string, std::string, int, std::string>>;

// Every key (with an empty value name and type -1) and every value, in document order.
ValueList valuesOf(const RegistryDocument& document)
{
    ValueList out;
    for (const auto& [name, key] : document.keys) {
        out.emplace_back(name, std::string(), -1, std::string());
        for (const RegistryEntry& entry : key.entries) {
            if (!entry.isRaw) {
                out.emplace_back(name, entry.value.name, static_cast<int>(entry.value.type),
                                 entry.value.data);
            }
        }
    }
    return out;
}

// The document without the lines it keeps as they were: what the values alone look like.
RegistryDocument valuesOnly(const RegistryDocument& document, bool& hadRawLines)
{
    RegistryDocument clean;
    hadRawLines = !document.leadingLines.empty();
    for (const auto& [name, key] : document.keys) {
        RegistryKeyData& copy
            = clean.keys.emplace(name, RegistryKeyData {key.name, {}, {}}).first->second;
        hadRawLines = hadRawLines || !key.strayLines.empty();
        for (const RegistryEntry& entry : key.entries) {
            if (entry.isRaw) {
                hadRawLines = true;
            } else {
                copy.entries.push_back(entry);
            }
        }
    }
    return clean;
}

// Written and read back, the document holds the same values, and writing it again gives the
// same text.
void requireRoundTrip(const RegistryDocument& document)
{
    const std::string written = RegistryWriter::format(document);
    RegistryDocument again;
    std::string error;
    require(RegistryParser::readStore(written, again, error), "a written store reads back", error);
    require(valuesOf(again) == valuesOf(document), "a write keeps the values", written);
    require(RegistryWriter::format(again) == written, "a second write changes nothing", written);

    bool hadRawLines = false;
    const RegistryDocument clean = valuesOnly(document, hadRawLines);
    const std::string cleanText = RegistryWriter::format(clean);
    RegistryDocument strict;
    require(RegistryParser::parse(cleanText, strict, true, error), "strict parse of values", error);
    require(valuesOf(strict) == valuesOf(clean), "strict parse keeps the values", cleanText);
    if (!hadRawLines) {
        require(RegistryParser::parse(written, strict, true, error), "strict parse of a write",
                error);
    }
    // Export, then import into an empty store.
    std::vector<RegistryChange> changes;
    require(RegistryParser::parseImport(cleanText, changes, error), "a written store imports",
            error);
    RegistryDocument imported;
    imported.apply(changes);
    require(valuesOf(imported) == valuesOf(clean), "export then import keeps the values",
            cleanText);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > maxInput) {
        return 0;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    RegistryDocument store;
    std::string error;
    if (RegistryParser::readStore(bytes, store, error)) {
        requireRoundTrip(store);
    } else {
        require(!error.empty(), "a refused store says why");
        store = RegistryDocument {};
    }

    std::string text;
    std::vector<RegistryChange> changes;
    if (RegistryEncoding::decode(bytes, text, error)
        && RegistryParser::parseImport(text, changes, error)) {
        store.apply(changes);
        requireRoundTrip(store);
    }
    return 0;
}
