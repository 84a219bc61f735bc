#include "directories/SimpleAddressBook.h"

#include "directories/AddressBookVisitor.h"
#include "directories/DatabaseFile.h"
#include "directories/DatabaseLocator.h"
#include "directories/DirectorySettings.h"
#include "directories/SqliteStatement.h"
#include "directories/UserPrompt.h"
#include "log/LogFile.h"
#include "log/LogLevel.h"
#include "settings/DataPaths.h"
#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"
#include "text/StringTable.h"
#include "text/TextLimits.h"

#include <sqlite3.h>

namespace {

constexpr DatabaseFile::Schema schema {
    "adbTable",
    "CREATE TABLE IF NOT EXISTS adbTable ("
    " Name TEXT(50) NOT NULL COLLATE NOCASE CHECK (length(Name) <= 50),"
    " PagerInfo TEXT(50) COLLATE NOCASE CHECK (length(PagerInfo) <= 50));"
    "CREATE UNIQUE INDEX IF NOT EXISTS \"PrimaryKey\" ON adbTable (Name);"};

constexpr DatabaseLocator::Texts texts {"Cannot find the Simple Address Book database file\n[%s]\n",
                                        DirectorySettings::simpleBookFileName};

bool isDataSource(std::string_view path)
{
    return !path.empty() && path.front() == '=';
}

// A LIKE pattern that matches the text literally at the start of a name.
std::string prefixPattern(std::string_view prefix)
{
    std::string pattern;
    for (char c : prefix) {
        if (c == '%' || c == '_' || c == '\\') {
            pattern += '\\';
        }
        pattern += c;
    }
    pattern += '%';
    return pattern;
}

std::string trimmed(const std::optional<std::string>& value)
{
    return value ? std::string(TextLimits::trimTrailingBlanks(*value)) : std::string();
}

} // namespace

SimpleAddressBook::SimpleAddressBook(std::shared_ptr<UserPrompt> prompt)
    : AddressBook(std::move(prompt))
{ }

SimpleAddressBook::~SimpleAddressBook() = default;

bool SimpleAddressBook::locate()
{
    const std::lock_guard lock(m_mutex);
    return locateLocked();
}

bool SimpleAddressBook::locateLocked()
{
    if (m_path.empty()) {
        m_path = DataPaths::resolve(SharedSettings::Paths::simpleAdb,
                                    DirectorySettings::simpleBookFileName);
    }
    if (m_unavailable || isDataSource(m_path)) {
        return true;
    }
    const auto found = DatabaseLocator::locate(m_path, texts, *prompt(),
                                               [this](const std::string& path, std::string& error) {
                                                   const bool created = createLocked(path);
                                                   error = m_createError;
                                                   return created;
                                               });
    if (!found) {
        m_unavailable = true;
        return failWith(StringId::EntryNotFound,
                        "Address Book Error: no address book file " + m_path
                            + (m_createError.empty() ? std::string() : ": " + m_createError));
    }
    (void)setPathLocked(*found);
    return true;
}

bool SimpleAddressBook::create()
{
    const std::lock_guard lock(m_mutex);
    return createLocked(m_path);
}

bool SimpleAddressBook::createLocked(const std::string& path)
{
    m_database.close();
    std::string error;
    int code = 0;
    if (!DatabaseFile::create(path, schema, error, code)) {
        m_createError = error;
        prompt()->reportDatabaseError({}, error, code);
        return failWith(StringId::AddEntryFailed, "Cannot create database: " + error);
    }
    m_createError.clear();
    LogFile log;
    (void)log.write(LogLevel::Trans, "Local", "Created the simple address book %s", path.c_str());
    return true;
}

bool SimpleAddressBook::setPath(std::string path)
{
    const std::lock_guard lock(m_mutex);
    return setPathLocked(std::move(path));
}

bool SimpleAddressBook::setPathLocked(std::string path)
{
    m_path = std::move(path);
    m_unavailable = false;
    SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    return paths.write(SharedSettings::Paths::simpleAdb, m_path);
}

bool SimpleAddressBook::open()
{
    const std::lock_guard lock(m_mutex);
    if (m_unavailable || m_database.isOpen()) {
        return true;
    }
    if (!locateLocked()) {
        return false;
    }
    if (m_unavailable) {
        return true;
    }
    const bool source = isDataSource(m_path);
    const std::string target = source ? m_path.substr(1) : m_path;
    if (target.empty()) {
        return failWith(StringId::EntryNotFound,
                        "Address Book Error: the data source after \"=\" is empty");
    }
    std::string error;
    if (!source && !DatabaseFile::checkKind(target, false, error)) {
        return failWith(StringId::EntryNotFound, "Address Book Error: " + error);
    }
    int code = 0;
    SqliteStatement probe;
    // A data source is only read; a file that an interrupted creation left empty is completed.
    if (!m_database.open(target,
                         source ? SqliteDatabase::Mode::ReadOnly : SqliteDatabase::Mode::ReadWrite)
        || (!source && !DatabaseFile::complete(m_database, schema, error, code))
        || !m_database.prepare("SELECT Name, PagerInfo FROM adbTable LIMIT 0", probe)) {
        probe.finalize();
        if (!error.empty()) {
            prompt()->reportDatabaseError({}, error, code);
            failWith(StringId::EntryNotFound,
                     "Address Book Error: " + error + " (" + std::to_string(code) + ") in "
                         + target);
        } else {
            failDatabase(StringId::EntryNotFound);
        }
        m_database.close();
        return false;
    }
    return true;
}

void SimpleAddressBook::close()
{
    const std::lock_guard lock(m_mutex);
    m_database.close();
}

bool SimpleAddressBook::isDisabled() const
{
    const std::lock_guard lock(m_mutex);
    return !m_database.isOpen() || m_unavailable || m_database.isReadOnly();
}

bool SimpleAddressBook::isOpen() const
{
    const std::lock_guard lock(m_mutex);
    return m_database.isOpen();
}

bool SimpleAddressBook::isWritable() const
{
    const std::lock_guard lock(m_mutex);
    return !m_database.isReadOnly();
}

bool SimpleAddressBook::isUnavailable() const
{
    const std::lock_guard lock(m_mutex);
    return m_unavailable;
}

std::string SimpleAddressBook::location() const
{
    const std::lock_guard lock(m_mutex);
    return m_path;
}

bool SimpleAddressBook::notOpen(int stringId)
{
    return failWith(stringId,
                    m_unavailable ? "Address Book Error: address book is not available"
                                  : "Address Book Error: address book is not open");
}

bool SimpleAddressBook::failDatabase(int stringId)
{
    prompt()->reportDatabaseError({}, m_database.lastErrorText(), m_database.lastError());
    return failWith(stringId,
                    "Address Book Error: " + m_database.lastErrorText() + " ("
                        + std::to_string(m_database.lastError()) + ")");
}

bool SimpleAddressBook::checkInfo(int stringId, std::string_view pagerInfo)
{
    if (TextLimits::characterCount(pagerInfo) > fieldLength) {
        return failWith(stringId,
                        "Address Book Error: the pager information is longer than "
                            + std::to_string(fieldLength) + " characters");
    }
    return true;
}

bool SimpleAddressBook::add(std::string_view name, std::string_view pagerInfo)
{
    const std::lock_guard lock(m_mutex);
    if (!m_database.isOpen()) {
        return notOpen(StringId::AddEntryFailed);
    }
    if (m_database.isReadOnly()) {
        return failWith(StringId::AddEntryFailed, "Address Book Error: address book is read-only");
    }
    name = TextLimits::trimTrailingBlanks(name);
    pagerInfo = TextLimits::trimTrailingBlanks(pagerInfo);
    if (const std::string problem = nameProblem(name, fieldLength); !problem.empty()) {
        return failWith(StringId::AddEntryFailed, "Address Book Error: " + problem);
    }
    if (!checkInfo(StringId::AddEntryFailed, pagerInfo)) {
        return false;
    }
    SqliteStatement statement;
    if (!m_database.prepare("INSERT INTO adbTable (Name, PagerInfo) VALUES (?1, ?2)", statement)
        || !statement.bind(1, name) || !statement.bind(2, pagerInfo)) {
        return failDatabase(StringId::AddEntryFailed);
    }
    if (statement.step() == SqliteStatement::Step::Done) {
        return true;
    }
    if (m_database.lastError() == SQLITE_CONSTRAINT_UNIQUE) {
        return failWith(StringId::AddEntryFailed,
                        "Address Book Error: entry \"" + std::string(name) + "\" exists already");
    }
    return failDatabase(StringId::AddEntryFailed);
}

bool SimpleAddressBook::enumerate(AddressBookVisitor& visitor)
{
    std::vector<std::pair<std::string, std::string>> rows;
    {
        const std::lock_guard lock(m_mutex);
        if (m_unavailable) {
            return true;
        }
        if (!m_database.isOpen()) {
            return notOpen(StringId::EntryNotFound);
        }
        SqliteStatement statement;
        if (!m_database.prepare("SELECT Name, PagerInfo FROM adbTable ORDER BY Name", statement)) {
            return failDatabase(StringId::EntryNotFound);
        }
        SqliteStatement::Step step;
        while ((step = statement.step()) == SqliteStatement::Step::Row) {
            rows.emplace_back(trimmed(statement.columnText(0)), trimmed(statement.columnText(1)));
        }
        if (step == SqliteStatement::Step::Error) {
            return failDatabase(StringId::EntryNotFound);
        }
    }
    // The visitor runs without the lock: a dialog's visitor may call back into the book.
    for (const auto& [name, pagerInfo] : rows) {
        visitor.addName(name);
        (void)visitor.setPagerInfo(pagerInfo);
    }
    return true;
}

bool SimpleAddressBook::findLike(std::string_view prefix, std::string& name)
{
    const std::lock_guard lock(m_mutex);
    if (!m_database.isOpen()) {
        return notOpen(StringId::EntryNotFound);
    }
    SqliteStatement statement;
    if (!m_database.prepare("SELECT Name FROM adbTable WHERE Name LIKE ?1 ESCAPE '\\'"
                            " ORDER BY Name LIMIT 1",
                            statement)
        || !statement.bind(1, prefixPattern(TextLimits::trimTrailingBlanks(prefix)))) {
        return failDatabase(StringId::EntryNotFound);
    }
    switch (statement.step()) {
    case SqliteStatement::Step::Row:
        name = trimmed(statement.columnText(0));
        return true;
    case SqliteStatement::Step::Done:
        return failWith(StringId::EntryNotFound);
    case SqliteStatement::Step::Error:
        break;
    }
    return failDatabase(StringId::EntryNotFound);
}

bool SimpleAddressBook::update(std::string_view name, std::string_view pagerInfo)
{
    const std::lock_guard lock(m_mutex);
    if (!m_database.isOpen()) {
        return notOpen(StringId::UpdateEntryFailed);
    }
    if (m_database.isReadOnly()) {
        return failWith(StringId::UpdateEntryFailed,
                        "Address Book Error: address book is read-only");
    }
    name = TextLimits::trimTrailingBlanks(name);
    pagerInfo = TextLimits::trimTrailingBlanks(pagerInfo);
    if (!checkInfo(StringId::UpdateEntryFailed, pagerInfo)) {
        return false;
    }
    SqliteStatement statement;
    if (!m_database.prepare("UPDATE adbTable SET PagerInfo = ?2 WHERE rowid ="
                            " (SELECT rowid FROM adbTable WHERE Name = ?1 LIMIT 1)",
                            statement)
        || !statement.bind(1, name) || !statement.bind(2, pagerInfo)
        || statement.step() != SqliteStatement::Step::Done) {
        return failDatabase(StringId::UpdateEntryFailed);
    }
    return m_database.changes() > 0 || failWith(StringId::EntryNotFound);
}

bool SimpleAddressBook::remove(std::string_view name)
{
    const std::lock_guard lock(m_mutex);
    if (!m_database.isOpen()) {
        return notOpen(StringId::DeleteEntryFailed);
    }
    if (m_database.isReadOnly()) {
        return failWith(StringId::DeleteEntryFailed,
                        "Address Book Error: address book is read-only");
    }
    SqliteStatement statement;
    if (!m_database.prepare("DELETE FROM adbTable WHERE rowid ="
                            " (SELECT rowid FROM adbTable WHERE Name = ?1 LIMIT 1)",
                            statement)
        || !statement.bind(1, name) || statement.step() != SqliteStatement::Step::Done) {
        return failDatabase(StringId::DeleteEntryFailed);
    }
    return m_database.changes() > 0 || failWith(StringId::EntryNotFound);
}

bool SimpleAddressBook::getPagerInfo(std::string_view name, std::string& pagerInfo)
{
    const std::lock_guard lock(m_mutex);
    if (!m_database.isOpen()) {
        return notOpen(StringId::EntryNotFound);
    }
    // The entry's trimmed pager information; nothing when there is no such entry.
    std::optional<std::string> value;
    const auto version = m_database.version();
    if (const auto* kept = m_pagerInfoMemo.find(version, name)) {
        value = *kept;
    } else {
        SqliteStatement statement;
        if (!m_database.prepare("SELECT PagerInfo FROM adbTable WHERE Name = ?1", statement)
            || !statement.bind(1, name)) {
            return failDatabase(StringId::EntryNotFound);
        }
        switch (statement.step()) {
        case SqliteStatement::Step::Row:
            value = trimmed(statement.columnText(0));
            break;
        case SqliteStatement::Step::Done:
            break;
        case SqliteStatement::Step::Error:
            return failDatabase(StringId::EntryNotFound);
        }
        m_pagerInfoMemo.keep(version, name, value);
    }
    if (!value) {
        return failWith(StringId::EntryNotFound);
    }
    if (value->empty()) {
        return failWith(StringId::EmptyPagerNumber);
    }
    pagerInfo = *value;
    return true;
}
