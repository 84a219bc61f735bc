#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;
class SqliteStatement;

// One open SQLite database file. Errors are kept as the last error text and code
// (SQLite's extended result code); nothing throws. A statement, once released, is kept
// prepared (reset, its parameters cleared) for the next prepare of the same text until the
// database is closed: a look-up then costs no parse and no plan.
class SqliteDatabase
{
public:
    // How a file is opened: read-write (it must exist), read-only (a path or a "file:" URI),
    // or created when missing.
    enum class Mode { ReadWrite, ReadOnly, Create };

    SqliteDatabase() = default;
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // Opens the file; false with the last error set. Waits up to two seconds for another
    // process's write lock.
    [[nodiscard]] bool open(const std::string& path, Mode mode);
    // Closes the database, finalising the statements it keeps (those still in use must be
    // finalised before).
    void close();
    // Whether a database is open.
    bool isOpen() const { return m_db != nullptr; }
    // Whether it was opened read-only.
    bool isReadOnly() const { return m_readOnly; }

    // Runs SQL text without parameters (one or more statements, for schema changes).
    [[nodiscard]] bool execute(const char* sql);
    // Prepares one statement, or hands out the one kept for this text; false with the last
    // error set.
    [[nodiscard]] bool prepare(std::string_view sql, SqliteStatement& statement);
    // The rows changed by the last insert, update or delete.
    int changes() const;

    // The last error's description ("" after success of open).
    const std::string& lastError() const { return m_error; }
    // The last error's extended SQLite result code.
    int lastErrorCode() const { return m_errorCode; }
    // Records the current error of the connection (used by statements).
    void captureError(int code);
    // The SQLite handle (nullptr when closed).
    sqlite3* handle() const { return m_db; }

private:
    friend class SqliteStatement;
    // Takes back a statement that is done with: reset and kept when it belongs to the open
    // connection and none is kept for its text yet, else finalised.
    void release(sqlite3_stmt* statement);
    void finalizeKept();

    sqlite3* m_db = nullptr;
    std::mutex m_keptMutex; // guards m_kept: statements may be released from any thread
    std::unordered_map<std::string, sqlite3_stmt*> m_kept; // by SQL text, reset and unbound
    bool m_readOnly = false;
    std::string m_error;
    int m_errorCode = 0;
};
