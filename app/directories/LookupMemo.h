#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

// The answers of one kind of look-up in a database, kept for as long as the database's
// version (SqliteDatabase::version()) stays the same: a repeated look-up in an unchanged file
// then costs no query, and any commit, in this process or another, makes it ask again.
class LookupMemo
{
public:
    // The answer kept for the key at this version (nullopt inside: no row); null when none is
    // kept or the version differs or is unknown.
    const std::optional<std::string>* find(std::optional<std::uint64_t> version,
                                           std::string_view key) const;
    // Keeps the answer a query gave at this version (read before the query, so a change made
    // meanwhile only makes the next look-up ask again); nothing is kept for an unknown version.
    void keep(std::optional<std::uint64_t> version, std::string_view key,
              std::optional<std::string> answer);

private:
    std::optional<std::uint64_t> m_version;
    std::unordered_map<std::string, std::optional<std::string>> m_answers;
};
