#include "directories/SqliteDatabase.h"

#include "directories/SqliteStatement.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace {

constexpr int busyTimeoutMs = 2000;

} // namespace

SqliteDatabase::~SqliteDatabase()
{
    close();
}

bool SqliteDatabase::open(const std::string& path, Mode mode)
{
    close();
    int flags = SQLITE_OPEN_FULLMUTEX | SQLITE_OPEN_URI;
    switch (mode) {
    case Mode::ReadWrite:
        flags |= SQLITE_OPEN_READWRITE;
        break;
    case Mode::ReadOnly:
        flags |= SQLITE_OPEN_READONLY;
        break;
    case Mode::Create:
        flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        break;
    }
    const int result = sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr);
    if (result != SQLITE_OK) {
        m_errorCode = m_db ? sqlite3_extended_errcode(m_db) : result;
        m_error = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(result);
        sqlite3_close(m_db);
        m_db = nullptr;
        return false;
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, busyTimeoutMs);
    m_readOnly = mode == Mode::ReadOnly;
    ++m_openCount;
    // A URI names a data source whose file is not necessarily the path itself.
    if (path.rfind("file:", 0) != 0) {
        m_headerFd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    }
    m_error.clear();
    m_errorCode = 0;
    return true;
}

void SqliteDatabase::close()
{
    finalizeKept();
    if (m_headerFd >= 0) {
        ::close(m_headerFd);
        m_headerFd = -1;
    }
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    m_readOnly = false;
}

bool SqliteDatabase::execute(const char* sql)
{
    if (!m_db) {
        m_error = "the database is not open";
        m_errorCode = SQLITE_MISUSE;
        return false;
    }
    char* message = nullptr;
    const int result = sqlite3_exec(m_db, sql, nullptr, nullptr, &message);
    if (result != SQLITE_OK) {
        m_errorCode = sqlite3_extended_errcode(m_db);
        m_error = message ? message : sqlite3_errstr(result);
        sqlite3_free(message);
        return false;
    }
    return true;
}

bool SqliteDatabase::prepare(std::string_view sql, SqliteStatement& statement)
{
    statement.finalize();
    if (!m_db) {
        m_error = "the database is not open";
        m_errorCode = SQLITE_MISUSE;
        return false;
    }
    {
        const std::lock_guard lock(m_keptMutex);
        if (const auto kept = m_kept.find(std::string(sql)); kept != m_kept.end()) {
            statement.m_statement = kept->second;
            statement.m_database = this;
            m_kept.erase(kept);
            return true;
        }
    }
    // Persistent: the statement is meant to be kept and used many times.
    const int result
        = sqlite3_prepare_v3(m_db, sql.data(), static_cast<int>(sql.size()),
                             SQLITE_PREPARE_PERSISTENT, &statement.m_statement, nullptr);
    if (result != SQLITE_OK) {
        captureError(result);
        return false;
    }
    statement.m_database = this;
    return true;
}

std::optional<std::uint64_t> SqliteDatabase::version() const
{
    // Inside a transaction this connection sees its own changes before the file has them.
    if (m_db == nullptr || m_headerFd < 0 || sqlite3_get_autocommit(m_db) == 0) {
        return std::nullopt;
    }
    // Header bytes 16..31: 18 and 19 are the write and read format (2: write-ahead log), 24..27
    // the change counter, which every commit in rollback-journal mode increases.
    unsigned char header[16];
    if (::pread(m_headerFd, header, sizeof header, 16) != static_cast<ssize_t>(sizeof header)
        || header[2] != 1 || header[3] != 1) {
        return std::nullopt;
    }
    const std::uint32_t counter = (std::uint32_t {header[8]} << 24)
        | (std::uint32_t {header[9]} << 16) | (std::uint32_t {header[10]} << 8) | header[11];
    return (std::uint64_t {m_openCount} << 32) | counter;
}

int SqliteDatabase::changes() const
{
    return m_db ? sqlite3_changes(m_db) : 0;
}

void SqliteDatabase::captureError(int code)
{
    m_errorCode = m_db ? sqlite3_extended_errcode(m_db) : code;
    m_error = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(code);
}

void SqliteDatabase::release(sqlite3_stmt* statement)
{
    // Reset ends the statement's read or write of the file at once, as finalising would.
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    const char* sql = sqlite3_sql(statement);
    const std::lock_guard lock(m_keptMutex);
    if (m_db != nullptr && sqlite3_db_handle(statement) == m_db && sql != nullptr
        && m_kept.emplace(sql, statement).second) {
        return;
    }
    sqlite3_finalize(statement);
}

void SqliteDatabase::finalizeKept()
{
    const std::lock_guard lock(m_keptMutex);
    for (const auto& [sql, statement] : m_kept) {
        sqlite3_finalize(statement);
    }
    m_kept.clear();
}
