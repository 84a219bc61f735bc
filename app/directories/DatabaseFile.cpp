#include "directories/DatabaseFile.h"

#include "directories/SqliteDatabase.h"
#include "directories/SqliteStatement.h"
#include "files/FileIo.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string notADatabase(const std::string& path, const std::string& what)
{
    return path + " is " + what + ", not a database file; choose another path";
}

// The number of tables in the database and whether one of them is `table` (any case); false
// on a database error (recorded by the database).
bool countTables(SqliteDatabase& database, const char* table, int& count, bool& found)
{
    SqliteStatement statement;
    if (!database.prepare("SELECT count(*), coalesce(sum(name = ?1 COLLATE NOCASE), 0)"
                          " FROM sqlite_master WHERE type = 'table'",
                          statement)
        || !statement.bind(1, table) || statement.step() != SqliteStatement::Step::Row) {
        return false;
    }
    count = static_cast<int>(statement.columnInt(0));
    found = statement.columnInt(1) > 0;
    return true;
}

} // namespace

bool DatabaseFile::checkKind(const std::string& path, bool mayBeMissing, std::string& error)
{
    struct stat info
    { };
    if (::stat(path.c_str(), &info) == 0) {
        if (S_ISREG(info.st_mode)) {
            return true;
        }
        error = notADatabase(path, FileIo::kindOf(info.st_mode));
        return false;
    }
    const int statErrno = errno;
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        // Creating through the link would make a file somewhere else.
        error = notADatabase(path, "a symbolic link to a missing file");
        return false;
    }
    if (statErrno == ENOENT && mayBeMissing) {
        return true;
    }
    error = "cannot reach " + path + ": " + std::strerror(statErrno);
    return false;
}

bool DatabaseFile::create(const std::string& path, const Schema& schema, std::string& error,
                          int& errorCode)
{
    errorCode = 0;
    if (!checkKind(path, true, error)) {
        return false;
    }
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) {
        std::error_code failure;
        std::filesystem::create_directories(parent, failure);
        if (failure) {
            error = "cannot create the folder " + parent.string() + ": " + failure.message();
            errorCode = failure.value();
            return false;
        }
    }
    // O_EXCL never follows a link and never opens what another process made; what is there
    // already is opened as it is (without blocking on a pipe) and checked once it is open.
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 && errno == EEXIST) {
        fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    }
    if (fd < 0) {
        errorCode = errno;
        error = "cannot create " + path + ": " + std::strerror(errorCode);
        return false;
    }
    struct stat info
    { };
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    if (!regular) {
        error = notADatabase(path, FileIo::kindOf(info.st_mode));
        return false;
    }
    SqliteDatabase database;
    if (!database.open(path, SqliteDatabase::Mode::ReadWrite)) {
        error = database.lastErrorText() + " in " + path;
        errorCode = database.lastError();
        return false;
    }
    return complete(database, schema, error, errorCode);
}

bool DatabaseFile::complete(SqliteDatabase& database, const Schema& schema, std::string& error,
                            int& errorCode)
{
    int count = 0;
    bool found = false;
    if (countTables(database, schema.table, count, found) && found) {
        return true; // the usual case: no write lock is taken
    }
    // Under the write lock the file is looked at again: another process may have completed it.
    bool done = database.execute("BEGIN IMMEDIATE")
        && countTables(database, schema.table, count, found)
        && (found || count > 0 || database.execute(schema.sql)) && database.execute("COMMIT");
    if (!done) {
        error = database.lastErrorText();
        errorCode = database.lastError();
        (void)database.execute("ROLLBACK");
        return false;
    }
    if (!found && count > 0) {
        error = "the database has no table " + std::string(schema.table);
        errorCode = SQLITE_ERROR;
        return false;
    }
    return true;
}
