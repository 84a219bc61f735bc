#pragma once

#include "settings/RegistryChange.h"
#include "settings/RegistryDocument.h"

#include <string>
#include <string_view>
#include <vector>

// Reads registry texts (see RegistryText): a settings store into its document, an import
// into its changes.
class RegistryParser
{
public:
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
};
