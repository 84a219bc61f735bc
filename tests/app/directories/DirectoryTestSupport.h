#pragma once

#include "ScopedRegistry.h"
#include "directories/AddressBookVisitor.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

#include <optional>
#include <sqlite3.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

inline constexpr const char* pathsKey = "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Paths";
inline constexpr const char* adbKey = "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Adb";

// Sets a string value of the Paths key.
inline void setPath(const char* name, const std::string& value)
{
    SettingsKey paths(RootKey::CurrentUser, pathsKey);
    (void)paths.setString(name, value);
}

// A string value of a key ("" when missing).
inline std::string readString(const char* key, const char* name)
{
    const SettingsKey opened(RootKey::CurrentUser, key);
    std::string value;
    (void)opened.getString(name, value, 4096);
    return value;
}

// Collects an enumeration as (name, pager information) pairs.
class CollectingVisitor final : public AddressBookVisitor
{
public:
    void addName(std::string_view name) override { entries.emplace_back(std::string(name), ""); }
    bool setPagerInfo(std::string_view pagerInfo) override
    {
        if (entries.empty()) {
            return false;
        }
        entries.back().second = std::string(pagerInfo);
        return true;
    }
    std::vector<std::pair<std::string, std::string>> entries;
};

// Runs SQL on a database file directly, as another tool would; "" or the error.
inline std::string runSql(const std::string& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    std::string error;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
        error = sqlite3_errmsg(db);
    } else {
        char* message = nullptr;
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
            error = message ? message : "error";
        }
        sqlite3_free(message);
    }
    sqlite3_close(db);
    return error;
}

// Runs SQL on a database file from a child process of its own, as another program would;
// true when the child succeeded.
inline bool runSqlInAnotherProcess(const std::string& path, const std::string& sql)
{
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(runSql(path, sql).empty() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)
        && WEXITSTATUS(status) == 0;
}

// A key to look up and what it should find: a text, or nothing (std::nullopt).
using LookUpCase = std::pair<std::string, std::optional<std::string>>;

// Asks `lookUp` (bool (const std::string& key, std::string& found), as the directories'
// look-ups are) for each key in turn and checks each answer against the table.
template<typename LookUp>
void expectLookUps(LookUp&& lookUp, const std::vector<LookUpCase>& cases)
{
    for (const auto& [key, expected] : cases) {
        std::string found;
        const bool ok = lookUp(key, found);
        EXPECT_EQ(ok, expected.has_value()) << "looking up \"" << key << '"';
        if (ok && expected) {
            EXPECT_EQ(found, *expected) << "looking up \"" << key << '"';
        }
    }
}

// The single text result of a query on a database file ("" when none).
inline std::string querySql(const std::string& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    std::string result;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK
            && sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0)) {
            result = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return result;
}
