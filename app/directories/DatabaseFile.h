#pragma once

#include <string>

class SqliteDatabase;

// The file of one of the program's SQLite databases. Creating it never replaces or deletes what
// is at the path, so several processes may create it at once; a file that a creation cut short
// left empty (0 bytes, or a database without any table) is completed with the schema at the
// next creation or open. Only a regular file (or a link to one) may stand at the path.
class DatabaseFile
{
public:
    // The table a complete file holds and the statements that make it, all "IF NOT EXISTS".
    struct Schema
    {
        const char* table;
        const char* sql;
    };

    // Whether the path may hold a database: a regular file, a link to one, or (with
    // `mayBeMissing`) nothing at all. False with `error` naming the path and what is there.
    [[nodiscard]] static bool checkKind(const std::string& path, bool mayBeMissing,
                                        std::string& error);
    // Creates the file with the schema (and its missing parent folders), or completes the empty
    // regular file another process has just made there. False with `error` and `errorCode`
    // (SQLite's or errno) on failure; nothing at the path is ever deleted or replaced.
    [[nodiscard]] static bool create(const std::string& path, const Schema& schema,
                                     std::string& error, int& errorCode);
    // Gives an open database without any table the schema, in one transaction; true when the
    // schema's table exists afterwards. A database holding other tables only is left alone.
    [[nodiscard]] static bool complete(SqliteDatabase& database, const Schema& schema,
                                       std::string& error, int& errorCode);
};
