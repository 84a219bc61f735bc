#pragma once

#include "directories/AddressBook.h"
#include "directories/LookupMemo.h"
#include "directories/SqliteDatabase.h"

// The program's own address book "simpleAdb.mdb": an SQLite file with the table adbTable
// (Name, PagerInfo) and the unique index PrimaryKey on the name; names compare without
// regard to case. A path of "=" followed by an SQLite file name or "file:" URI opens that
// database read-only, and the book then reports itself read-only.
class SimpleAddressBook final : public AddressBook
{
public:
    // The longest name or pager information a field holds, in characters.
    static constexpr std::size_t fieldLength = 50;

    // A book that is not located yet; questions go to `prompt` (logged when null).
    explicit SimpleAddressBook(std::shared_ptr<UserPrompt> prompt = nullptr);
    ~SimpleAddressBook() override;

    // Works out the path (`simpleAdb`, else `home`/data/simpleAdb.mdb, else "simpleAdb.mdb")
    // and finds or creates the file through the prompt; "Cancel" makes the book unavailable.
    // True at once for a data source ("=...") or an unavailable book.
    [[nodiscard]] bool locate() override;
    // Opens the file (true at once when unavailable or open); false on a database error.
    [[nodiscard]] bool open() override;
    void close() override;
    bool isDisabled() const override;
    [[nodiscard]] bool add(std::string_view name, std::string_view pagerInfo) override;
    [[nodiscard]] bool enumerate(AddressBookVisitor& visitor) override;
    [[nodiscard]] bool findLike(std::string_view prefix, std::string& name) override;
    bool isOpen() const override;
    // False only for a book opened read-only from a data source.
    bool isWritable() const override;
    [[nodiscard]] bool update(std::string_view name, std::string_view pagerInfo) override;
    [[nodiscard]] bool remove(std::string_view name) override;
    // An entry whose pager information is empty fails with message 142.
    [[nodiscard]] bool getPagerInfo(std::string_view name, std::string& pagerInfo) override;
    AddressBookType type() const override { return AddressBookType::Simple; }
    std::string location() const override;

    // Uses the path (a file, or "=" and a data source), writes it to `simpleAdb` and clears
    // the unavailable flag; false when the settings cannot be written.
    [[nodiscard]] bool setPath(std::string path);
    // Whether the user declined to locate or create the file.
    bool isUnavailable() const;
    // Creates the file at the current path with its table and index.
    [[nodiscard]] bool create();

private:
    bool locateLocked();
    bool createLocked(const std::string& path);
    bool setPathLocked(std::string path);
    bool failDatabase(int stringId);
    bool notOpen(int stringId);
    bool checkInfo(int stringId, std::string_view pagerInfo);

    mutable std::mutex m_mutex;
    SqliteDatabase m_database;
    LookupMemo m_pagerInfoMemo; // getPagerInfo's answers while the file is unchanged
    std::string m_path;
    std::string m_createError; // why the last creation failed ("" after a success)
    bool m_unavailable = false;
};
