#pragma once

#include "directories/SimpleAddressBook.h"

#include <sqlite3.h>
#include <string>

// The address books of the benchmarks hold this many entries, named "Person 0" and on.
inline constexpr int entryCount = 10000;

inline std::string entryName(int i)
{
    return "Person " + std::to_string(i);
}

// A simple address book of entryCount entries, filled in one transaction.
inline void fillSimpleBook(SimpleAddressBook& book)
{
    (void)book.open(); // created headless
    sqlite3* db = nullptr;
    sqlite3_open(book.location().c_str(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO adbTable VALUES (?1, ?2)", -1, &insert, nullptr);
    for (int i = 0; i < entryCount; ++i) {
        const std::string name = entryName(i);
        const std::string info = "555-0100/" + std::to_string(i + 1);
        sqlite3_bind_text(insert, 1, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, info.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}
