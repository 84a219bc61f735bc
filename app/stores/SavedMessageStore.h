#pragma once

#include "stores/SavedMessage.h"
#include "stores/StoreError.h"
#include "stores/StoreFile.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The saved messages store "canMsg.dat": named messages, one record a line (see
// SavedMessageLine), addressed by their 0-based position in the file. Every operation reads
// the file afresh, so the file on disk is the only copy.
//
// Safe for the user-interface thread, the scheduler thread and other processes at once:
// every change takes the lock file beside the store, reads the newest file, changes it and
// replaces it atomically, so no change is lost and the store is never seen half written.
// Positions move when a record is removed; the guarded forms of removeAt() and replaceAt()
// check that the record at the position is still the one the caller read and fail with
// RecordChanged otherwise. Failures leave the file unchanged and set the last error.
class SavedMessageStore
{
public:
    // A field of replaceAt(): a value, or std::nullopt to keep the record's current one.
    using Field = std::optional<std::string_view>;

    // Listing, searching, the duplicate-name test and the scheduler see this many records.
    static constexpr int listingLimit = 100;
    // The schedule text of a message that was never scheduled.
    static constexpr std::string_view unscheduled = "-";

    // A store without a path; call initPath() or setPath().
    SavedMessageStore() = default;
    // The store at the path.
    explicit SavedMessageStore(std::string path);
    SavedMessageStore(const SavedMessageStore&) = delete;
    SavedMessageStore& operator=(const SavedMessageStore&) = delete;

    // Works out the path from the settings: `canMsgDbs`, else home/data/canMsg.dat, else
    // "canMsg.dat".
    void initPath();
    // Uses the file at the path.
    void setPath(std::string path);
    // The store file's path.
    const std::string& path() const { return m_file.path(); }

    // Starts an iteration over every record, from a snapshot of the file taken now; false
    // when the file cannot be read (for example when it does not exist yet).
    [[nodiscard]] bool openForReading();
    // The next record of the iteration; false when none is open or at its end (which ends it).
    [[nodiscard]] bool readNext(SavedMessage& record);
    // Ends the iteration; nothing happens when none is open.
    void close();

    // The record at the position; false when the file cannot be read or has no such record.
    [[nodiscard]] bool getAt(int index, SavedMessage& record) const;
    // The first `limit` records in file order; true with none for a missing file, false
    // only when the file exists but cannot be read.
    [[nodiscard]] bool list(std::vector<SavedMessage>& records, int limit = listingLimit) const;
    // The position of the record named exactly `name` among the first 100, or -1.
    int find(std::string_view name) const;

    // Appends a record. Refused: an empty name or recipient list, a name that exists among
    // the first 100 records (exact comparison), a field the file cannot keep. An empty
    // schedule is stored as "-". Creates the file (and its folder) when missing.
    [[nodiscard]] bool add(std::string_view name, std::string_view schedule,
                           std::string_view recipients, std::string_view message);
    // Removes the record at the position; a position past the end changes nothing and is no
    // failure. False when the file is missing or cannot be rewritten.
    [[nodiscard]] bool removeAt(int index);
    // removeAt() only while the record at the position matches `guard` (else RecordChanged).
    [[nodiscard]] bool removeAt(int index, const RecordGuard& guard);
    // Changes the fields given (the name stays); a position past the end changes nothing and
    // is no failure. An empty schedule is stored as "-"; an empty recipient list is refused.
    [[nodiscard]] bool replaceAt(int index, Field schedule, Field recipients, Field message);
    // replaceAt() only while the record at the position matches `guard` (else RecordChanged).
    [[nodiscard]] bool replaceAt(int index, const RecordGuard& guard, Field schedule,
                                 Field recipients, Field message);

    // The file's last modification in seconds since 1970 (UTC), or -1 when it cannot be read.
    std::int64_t modificationTime() const;

    // The code of the last failure on the calling thread.
    static StoreErrorCode lastError() { return StoreError::code(); }
    // The text of the last failure on the calling thread.
    static const std::string& lastErrorText() { return StoreError::text(); }

private:
    bool readRecords(std::vector<SavedMessage>& records, std::size_t limit,
                     bool missingIsEmpty) const;
    bool rewrite(int index, const RecordGuard* guard, bool remove, Field schedule, Field recipients,
                 Field message);

    StoreFile m_file;
    mutable std::mutex m_iterationMutex; // guards the iteration, which any thread may run
    std::vector<SavedMessage> m_iteration;
    std::size_t m_iterationNext = 0;
    bool m_iterating = false;
};
