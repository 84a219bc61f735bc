#include "directories/SqliteStatement.h"

#include "directories/SqliteDatabase.h"

#include <sqlite3.h>

SqliteStatement::~SqliteStatement()
{
    finalize();
}

bool SqliteStatement::bind(int index, std::string_view text)
{
    if (!m_statement) {
        return false;
    }
    // The data pointer may be null for an empty view; SQLite would then bind NULL.
    const char* data = text.data() ? text.data() : "";
    const int result = sqlite3_bind_text(m_statement, index, data, static_cast<int>(text.size()),
                                         SQLITE_TRANSIENT);
    if (result != SQLITE_OK) {
        m_database->captureError(result);
        return false;
    }
    return true;
}

SqliteStatement::Step SqliteStatement::step()
{
    if (!m_statement) {
        return Step::Error;
    }
    const int result = sqlite3_step(m_statement);
    if (result == SQLITE_ROW) {
        return Step::Row;
    }
    if (result == SQLITE_DONE) {
        return Step::Done;
    }
    m_database->captureError(result);
    return Step::Error;
}

std::optional<std::string> SqliteStatement::columnText(int column) const
{
    if (!m_statement || sqlite3_column_type(m_statement, column) == SQLITE_NULL) {
        return std::nullopt;
    }
    const auto* text = sqlite3_column_text(m_statement, column);
    const int length = sqlite3_column_bytes(m_statement, column);
    return std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length));
}

std::int64_t SqliteStatement::columnInt(int column) const
{
    return m_statement ? sqlite3_column_int64(m_statement, column) : 0;
}

void SqliteStatement::finalize()
{
    if (m_statement) {
        if (m_database != nullptr) {
            m_database->release(m_statement);
        } else {
            sqlite3_finalize(m_statement);
        }
        m_statement = nullptr;
    }
    m_database = nullptr;
}
