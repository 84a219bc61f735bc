#pragma once

#include "directories/LookupMemo.h"
#include "directories/SqliteDatabase.h"
#include "threads/ThreadLastError.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class UserPrompt;

// One paging service provider: its name and modem number (or host name).
struct Provider
{
    std::string name;
    std::string phone;
};

// The paging service provider database "pspDbs.mdb": an SQLite file with the table
// pspTable (Name, Phone, ConType, ConParam) and the unique index PrimaryKey on the name.
// Names and numbers compare without regard to case. One object serves the whole program;
// every operation may be called from any thread. Failures return false; the calling thread's
// last error says what failed and on what, and database errors also go to the prompt.
class ProviderDatabase
{
public:
    // The longest name or number a field holds, in characters.
    static constexpr std::size_t fieldLength = 50;

    // A database that is not located yet; questions and reports go to `prompt` (a logging
    // HeadlessPrompt when null).
    explicit ProviderDatabase(std::shared_ptr<UserPrompt> prompt = nullptr);
    ~ProviderDatabase();
    ProviderDatabase(const ProviderDatabase&) = delete;
    ProviderDatabase& operator=(const ProviderDatabase&) = delete;

    // Replaces the prompt (the GUI sets its dialogs here).
    void setPrompt(std::shared_ptr<UserPrompt> prompt);
    // Works out the path (`pspDbs`, else `home`/data/pspDbs.mdb, else "pspDbs.mdb"), finds or
    // creates the file through the prompt, and writes the found path to `pspDbs`. Declining
    // sets the unavailable flag for the rest of the run. Nothing happens while unavailable.
    void locate();
    // Opens the file (locating it first when that has not happened); false when unavailable
    // or on a database error.
    [[nodiscard]] bool open();
    // Creates the file at the current path with its table and index.
    [[nodiscard]] bool create();
    // Closes the database.
    void close();

    // Starts an iteration over all providers (name order); false when unavailable or not open.
    [[nodiscard]] bool beginIteration();
    // Whether the iteration has passed its last row (false without an iteration).
    bool atEnd() const;
    // Gives the current row's name and number (trailing blanks removed, "NULL" for an empty or
    // null field) and moves on; false without an iteration or at its end.
    [[nodiscard]] bool next(std::string& name, std::string& phone);
    // Ends the iteration.
    void endIteration();

    // The number of the provider with that name (any case), as stored; false when none.
    [[nodiscard]] bool getPhone(std::string_view name, std::string& phone);
    // The name (trailing blanks removed) of the first provider with that number; false when none.
    [[nodiscard]] bool getName(std::string_view phone, std::string& name);
    // Adds a provider; refuses an empty or over-long name or number and a name that exists.
    [[nodiscard]] bool add(std::string_view name, std::string_view phone);
    // Sets the number of the provider with that name (and the name's case), or adds the
    // provider when there is none, as one change: a refused value or a failure leaves the old
    // row, and no reader ever finds it missing. Refuses an empty or over-long name or number.
    [[nodiscard]] bool replace(std::string_view name, std::string_view phone);
    // Deletes the provider with that name; false when there is none.
    [[nodiscard]] bool remove(std::string_view name);

    // Every provider in iteration order (empty when unavailable, not open or on an error).
    std::vector<Provider> providers();
    // The path of the file ("" until located).
    std::string path() const;
    // Uses this path instead of the settings (before locate or open).
    void setPath(std::string path);
    // Whether the user declined to locate or create the file.
    bool isUnavailable() const;
    // Whether the database is open.
    bool isOpen() const;
    // The SQLite result code of the calling thread's last failure (0 when the file was
    // unavailable or a value was refused).
    static int lastError() { return Error::code(); }
    // The calling thread's last error text: what failed, on what.
    static const std::string& lastErrorText() { return Error::text(); }

private:
    using Error = ThreadLastError<int, ProviderDatabase>;

    void locateLocked();
    bool openLocked();
    bool createLocked();
    std::string unavailableText() const;
    bool readRows(std::vector<Provider>& rows, const char* context);
    bool failDatabase(const char* context, bool report = true);
    bool fail(const char* context, std::string text);
    bool checkField(const char* context, const char* what, std::string_view value);

    mutable std::mutex m_mutex;
    std::shared_ptr<UserPrompt> m_prompt;
    SqliteDatabase m_database;
    LookupMemo m_nameMemo; // getName's answers while the file is unchanged
    std::string m_path;
    std::string m_createError; // why the last creation failed ("" after a success)
    bool m_located = false;
    bool m_unavailable = false;
    bool m_iterating = false;
    std::vector<Provider> m_rows;
    std::size_t m_position = 0;
};
