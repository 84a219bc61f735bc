#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
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
    // A number that changes with every commit to the file, by any connection of any process,
    // and with every open: SQLite's file change counter, read from the file's header without
    // a lock. Unknown (nullopt) inside a transaction of this connection, for a write-ahead-log
    // database (which does not keep the counter), a data source given as a URI, or an empty file.
    std::optional<std::uint64_t> version() const;
    // The rows changed by the last insert, update or delete.
    int changes() const;

    // The last error's description ("" after success of open).
    const std::string& lastErrorText() const { return m_error; }
    // The last error's extended SQLite result code.
    int lastError() const { return m_errorCode; }
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
    int m_headerFd = -1; // the file, opened read-only for version()
    std::uint32_t m_openCount = 0; // told apart in version(): another open, another file
    std::mutex m_keptMutex; // guards m_kept: statements may be released from any thread
    std::unordered_map<std::string, sqlite3_stmt*> m_kept; // by SQL text, reset and unbound
    bool m_readOnly = false;
    std::string m_error;
    int m_errorCode = 0;
};
