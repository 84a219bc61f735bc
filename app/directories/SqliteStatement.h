#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3_stmt;
class SqliteDatabase;

// One prepared statement with bound parameters. Failures are recorded on its database.
class SqliteStatement
{
public:
    // The outcome of one step.
    enum class Step { Row, Done, Error };

    SqliteStatement() = default;
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Binds text to the 1-based parameter; false on failure.
    [[nodiscard]] bool bind(int index, std::string_view text);
    // Runs the statement to its next row.
    Step step();
    // The text of the 0-based column of the current row; nothing for a null.
    std::optional<std::string> columnText(int column) const;
    // The 0-based column of the current row as a whole number (0 for a null).
    std::int64_t columnInt(int column) const;
    // Releases the statement (back to its database, which may keep it prepared).
    void finalize();

private:
    friend class SqliteDatabase;
    sqlite3_stmt* m_statement = nullptr;
    SqliteDatabase* m_database = nullptr;
};
