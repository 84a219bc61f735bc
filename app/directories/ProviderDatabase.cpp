#include "directories/ProviderDatabase.h"

#include "directories/DatabaseFile.h"
#include "directories/DatabaseLocator.h"
#include "directories/DirectorySettings.h"
#include "directories/HeadlessPrompt.h"
#include "directories/SqliteStatement.h"
#include "log/LogFile.h"
#include "log/LogLevel.h"
#include "settings/DataPaths.h"
#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"
#include "text/TextLimits.h"

#include <sqlite3.h>

namespace {

constexpr DatabaseFile::Schema schema {
    "pspTable",
    "CREATE TABLE IF NOT EXISTS pspTable ("
    " Name TEXT(50) NOT NULL COLLATE NOCASE CHECK (length(Name) <= 50),"
    " Phone TEXT(50) COLLATE NOCASE CHECK (length(Phone) <= 50),"
    " ConType INTEGER,"
    " ConParam TEXT(50) COLLATE NOCASE CHECK (length(ConParam) <= 50));"
    "CREATE UNIQUE INDEX IF NOT EXISTS \"PrimaryKey\" ON pspTable (Name);"};

constexpr DatabaseLocator::Texts texts {
    "Cannot find the Paging Service Provider database file\n[%s]\n",
    DirectorySettings::providerFileName};

// A field read back as text: an empty or null field reads "NULL".
std::string fieldText(const std::optional<std::string>& value, bool trim)
{
    if (!value || value->empty()) {
        return "NULL";
    }
    return trim ? std::string(TextLimits::trimTrailingBlanks(*value)) : *value;
}

} // namespace

ProviderDatabase::ProviderDatabase(std::shared_ptr<UserPrompt> prompt)
    : m_prompt(prompt ? std::move(prompt) : std::make_shared<HeadlessPrompt>())
{ }

ProviderDatabase::~ProviderDatabase() = default;

void ProviderDatabase::setPrompt(std::shared_ptr<UserPrompt> prompt)
{
    const std::lock_guard lock(m_mutex);
    m_prompt = prompt ? std::move(prompt) : std::make_shared<HeadlessPrompt>();
}

void ProviderDatabase::locate()
{
    const std::lock_guard lock(m_mutex);
    locateLocked();
}

void ProviderDatabase::locateLocked()
{
    if (m_unavailable) {
        return;
    }
    if (m_path.empty()) {
        m_path = DataPaths::resolve(SharedSettings::Paths::pspDbs,
                                    DirectorySettings::providerFileName);
    }
    const auto found = DatabaseLocator::locate(m_path, texts, *m_prompt,
                                               [this](const std::string& path, std::string& error) {
                                                   m_path = path;
                                                   const bool created = createLocked();
                                                   error = m_createError;
                                                   return created;
                                               });
    if (!found) {
        m_unavailable = true;
        Error::set(0, unavailableText());
        return;
    }
    m_path = *found;
    m_located = true;
    SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    if (!paths.write(SharedSettings::Paths::pspDbs, m_path)) {
        LogFile log;
        (void)log.write(LogLevel::Errors, "Local", "Cannot write the provider database path %s",
                        m_path.c_str());
    }
}

bool ProviderDatabase::open()
{
    const std::lock_guard lock(m_mutex);
    return openLocked();
}

bool ProviderDatabase::openLocked()
{
    if (!m_located) {
        locateLocked();
    }
    if (m_unavailable) {
        return fail("PSP Open Failed", unavailableText());
    }
    if (m_database.isOpen()) {
        return true;
    }
    std::string error;
    if (!DatabaseFile::checkKind(m_path, false, error)) {
        return fail("PSP Open Failed", error);
    }
    int code = 0;
    SqliteStatement probe;
    // A file that is not an SQLite database, or lacks the table, fails here rather than at
    // the first look-up; one that an interrupted creation left empty is completed.
    if (!m_database.open(m_path, SqliteDatabase::Mode::ReadWrite)
        || !DatabaseFile::complete(m_database, schema, error, code)
        || !m_database.prepare("SELECT Name, Phone FROM pspTable LIMIT 0", probe)) {
        if (!error.empty()) {
            Error::set(
                code, "PSP Open Failed: " + error + " (" + std::to_string(code) + ") in " + m_path);
            m_prompt->reportDatabaseError("PSP Open Failed", error, code);
        } else {
            failDatabase("PSP Open Failed");
        }
        probe.finalize();
        m_database.close();
        return false;
    }
    return true;
}

std::string ProviderDatabase::unavailableText() const
{
    std::string text = "the provider database " + m_path + " is not available";
    if (!m_createError.empty()) {
        text += ": " + m_createError;
    }
    return text;
}

bool ProviderDatabase::create()
{
    const std::lock_guard lock(m_mutex);
    return createLocked();
}

bool ProviderDatabase::createLocked()
{
    m_database.close();
    std::string error;
    int code = 0;
    if (!DatabaseFile::create(m_path, schema, error, code)) {
        m_createError = error;
        Error::set(code, "Cannot create database: " + error);
        m_prompt->reportDatabaseError("Cannot create database", error, code);
        return false;
    }
    m_createError.clear();
    LogFile log;
    (void)log.write(LogLevel::Trans, "Local", "Created the provider database %s", m_path.c_str());
    return true;
}

void ProviderDatabase::close()
{
    const std::lock_guard lock(m_mutex);
    m_iterating = false;
    m_rows.clear();
    m_database.close();
}

bool ProviderDatabase::readRows(std::vector<Provider>& rows, const char* context)
{
    if (m_unavailable || !m_database.isOpen()) {
        return fail(context, "the provider database is not open");
    }
    SqliteStatement statement;
    if (!m_database.prepare("SELECT Name, Phone FROM pspTable ORDER BY Name", statement)) {
        return failDatabase(context);
    }
    rows.clear();
    SqliteStatement::Step step;
    while ((step = statement.step()) == SqliteStatement::Step::Row) {
        rows.push_back(
            {fieldText(statement.columnText(0), true), fieldText(statement.columnText(1), true)});
    }
    return step == SqliteStatement::Step::Done || failDatabase(context);
}

bool ProviderDatabase::beginIteration()
{
    const std::lock_guard lock(m_mutex);
    // The rows are read at once, so no read lock stays on the file while a dialog lists them.
    m_iterating = false;
    m_position = 0;
    if (!readRows(m_rows, "PSP Iterator Begin Failed")) {
        m_rows.clear();
        return false;
    }
    m_iterating = true;
    return true;
}

bool ProviderDatabase::atEnd() const
{
    const std::lock_guard lock(m_mutex);
    return m_iterating && m_database.isOpen() && m_position >= m_rows.size();
}

bool ProviderDatabase::next(std::string& name, std::string& phone)
{
    const std::lock_guard lock(m_mutex);
    if (!m_iterating || !m_database.isOpen() || m_position >= m_rows.size()) {
        return false;
    }
    name = m_rows[m_position].name;
    phone = m_rows[m_position].phone;
    ++m_position;
    return true;
}

void ProviderDatabase::endIteration()
{
    const std::lock_guard lock(m_mutex);
    m_iterating = false;
    m_rows.clear();
    m_position = 0;
}

std::vector<Provider> ProviderDatabase::providers()
{
    const std::lock_guard lock(m_mutex);
    std::vector<Provider> rows;
    if (!readRows(rows, "PSP Iterator Begin Failed")) {
        rows.clear();
    }
    return rows;
}

bool ProviderDatabase::getPhone(std::string_view name, std::string& phone)
{
    const std::lock_guard lock(m_mutex);
    if (m_unavailable || !m_database.isOpen()) {
        return fail("PSP GetPhone Failed", "the provider database is not open");
    }
    SqliteStatement statement;
    if (!m_database.prepare("SELECT Phone FROM pspTable WHERE Name = ?1", statement)
        || !statement.bind(1, name)) {
        return failDatabase("PSP GetPhone Failed");
    }
    switch (statement.step()) {
    case SqliteStatement::Step::Row:
        phone = fieldText(statement.columnText(0), false);
        return true;
    case SqliteStatement::Step::Done:
        return fail("PSP GetPhone Failed", "no provider named \"" + std::string(name) + "\"");
    case SqliteStatement::Step::Error:
        break;
    }
    return failDatabase("PSP GetPhone Failed");
}

bool ProviderDatabase::getName(std::string_view phone, std::string& name)
{
    const std::lock_guard lock(m_mutex);
    if (m_unavailable || !m_database.isOpen()) {
        return fail("PSP GetPspName Failed", "the provider database is not open");
    }
    // The first provider's name with this number; nothing when there is none.
    std::optional<std::string> found;
    const auto version = m_database.version();
    if (const auto* kept = m_nameMemo.find(version, phone)) {
        found = *kept;
    } else {
        SqliteStatement statement;
        if (!m_database.prepare("SELECT Name FROM pspTable WHERE Phone = ?1 ORDER BY Name",
                                statement)
            || !statement.bind(1, phone)) {
            return failDatabase("PSP GetPspName Failed");
        }
        switch (statement.step()) {
        case SqliteStatement::Step::Row:
            found = fieldText(statement.columnText(0), true);
            break;
        case SqliteStatement::Step::Done:
            break;
        case SqliteStatement::Step::Error:
            return failDatabase("PSP GetPspName Failed");
        }
        m_nameMemo.keep(version, phone, found);
    }
    if (!found) {
        return fail("PSP GetPspName Failed",
                    "no provider with the number \"" + std::string(phone) + "\"");
    }
    name = *found;
    return true;
}

bool ProviderDatabase::checkField(const char* context, const char* what, std::string_view value)
{
    if (value.empty()) {
        return fail(context, std::string("the provider ") + what + " is empty");
    }
    if (TextLimits::characterCount(value) > fieldLength) {
        return fail(context,
                    std::string("the provider ") + what + " \"" + std::string(value)
                        + "\" is longer than " + std::to_string(fieldLength) + " characters");
    }
    return true;
}

bool ProviderDatabase::add(std::string_view name, std::string_view phone)
{
    const std::lock_guard lock(m_mutex);
    constexpr const char* context = "PSP Add Failed";
    if (m_unavailable || !m_database.isOpen()) {
        return fail(context, "the provider database is not open");
    }
    if (!checkField(context, "name", name) || !checkField(context, "number", phone)) {
        return false;
    }
    SqliteStatement statement;
    if (!m_database.prepare("INSERT INTO pspTable (Name, Phone) VALUES (?1, ?2)", statement)
        || !statement.bind(1, name) || !statement.bind(2, phone)) {
        return failDatabase(context);
    }
    if (statement.step() == SqliteStatement::Step::Done) {
        return true;
    }
    if (m_database.lastError() == SQLITE_CONSTRAINT_UNIQUE) {
        Error::set(m_database.lastError(),
                   std::string(context) + ": a provider named \"" + std::string(name)
                       + "\" exists already in " + m_path);
        m_prompt->reportDatabaseError(context, m_database.lastErrorText(), m_database.lastError());
        return false;
    }
    return failDatabase(context);
}

bool ProviderDatabase::replace(std::string_view name, std::string_view phone)
{
    const std::lock_guard lock(m_mutex);
    constexpr const char* context = "PSP Add Failed"; // the dialog's replace is its "Add"
    if (m_unavailable || !m_database.isOpen()) {
        return fail(context, "the provider database is not open");
    }
    if (!checkField(context, "name", name) || !checkField(context, "number", phone)) {
        return false;
    }
    // One transaction: the row is changed in place, so no reader and no crash ever finds the
    // provider missing; the insert is for a name that is not there yet.
    SqliteStatement update;
    SqliteStatement insert;
    const bool done = m_database.execute("BEGIN IMMEDIATE")
        && m_database.prepare("UPDATE pspTable SET Name = ?1, Phone = ?2 WHERE rowid ="
                              " (SELECT rowid FROM pspTable WHERE Name = ?1 LIMIT 1)",
                              update)
        && update.bind(1, name) && update.bind(2, phone)
        && update.step() == SqliteStatement::Step::Done
        && (m_database.changes() > 0
            || (m_database.prepare("INSERT INTO pspTable (Name, Phone) VALUES (?1, ?2)", insert)
                && insert.bind(1, name) && insert.bind(2, phone)
                && insert.step() == SqliteStatement::Step::Done));
    update.finalize();
    insert.finalize();
    if (!done || !m_database.execute("COMMIT")) {
        failDatabase(context);
        (void)m_database.execute("ROLLBACK");
        return false;
    }
    return true;
}

bool ProviderDatabase::remove(std::string_view name)
{
    const std::lock_guard lock(m_mutex);
    constexpr const char* context = "PSP Delete Failed";
    if (m_unavailable || !m_database.isOpen()) {
        return fail(context, "the provider database is not open");
    }
    SqliteStatement statement;
    if (!m_database.prepare("DELETE FROM pspTable WHERE rowid ="
                            " (SELECT rowid FROM pspTable WHERE Name = ?1 LIMIT 1)",
                            statement)
        || !statement.bind(1, name)) {
        return failDatabase(context);
    }
    if (statement.step() != SqliteStatement::Step::Done) {
        return failDatabase(context);
    }
    if (m_database.changes() == 0) {
        return fail(context, "no provider named \"" + std::string(name) + "\"");
    }
    return true;
}

std::string ProviderDatabase::path() const
{
    const std::lock_guard lock(m_mutex);
    return m_path;
}

void ProviderDatabase::setPath(std::string path)
{
    const std::lock_guard lock(m_mutex);
    m_path = std::move(path);
}

bool ProviderDatabase::isUnavailable() const
{
    const std::lock_guard lock(m_mutex);
    return m_unavailable;
}

bool ProviderDatabase::isOpen() const
{
    const std::lock_guard lock(m_mutex);
    return m_database.isOpen();
}

bool ProviderDatabase::failDatabase(const char* context, bool report)
{
    Error::set(m_database.lastError(),
               std::string(context) + ": " + m_database.lastErrorText() + " ("
                   + std::to_string(m_database.lastError()) + ") in " + m_path);
    if (report) {
        m_prompt->reportDatabaseError(context, m_database.lastErrorText(), m_database.lastError());
    }
    return false;
}

bool ProviderDatabase::fail(const char* context, std::string text)
{
    Error::set(0, std::string(context) + ": " + text);
    return false;
}
