#include "stores/SavedMessageStore.h"

#include "settings/DataPaths.h"
#include "settings/SharedSettings.h"
#include "stores/SavedMessageLine.h"
#include "stores/StoreSettings.h"
#include "stores/StoreUpdate.h"
#include "stores/TextLines.h"

#include <limits>

namespace {

std::string quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

// Why a guarded rewrite at the position must not go ahead; "" while the record there is still
// the one the caller read.
std::string guardMismatch(const std::vector<SavedMessage>& records, int index,
                          const RecordGuard& guard)
{
    if (index < 0 || static_cast<std::size_t>(index) >= records.size()) {
        return "there is no record there any more (expected " + quoted(guard.name) + ")";
    }
    const SavedMessage& found = records[static_cast<std::size_t>(index)];
    if (!guard.matches(found)) {
        return "the record there is now " + quoted(found.name)
            + (found.name == guard.name ? " with other contents" : "") + ", not the "
            + quoted(guard.name) + " read before";
    }
    return {};
}

} // namespace

SavedMessageStore::SavedMessageStore(std::string path)
    : m_file(std::move(path))
{ }

void SavedMessageStore::initPath()
{
    m_file.setPath(
        DataPaths::resolve(SharedSettings::Paths::canMsgDbs, StoreSettings::savedMessagesFile));
}

void SavedMessageStore::setPath(std::string path)
{
    m_file.setPath(std::move(path));
}

bool SavedMessageStore::readRecords(std::vector<SavedMessage>& records, std::size_t limit,
                                    bool missingIsEmpty) const
{
    records.clear();
    std::string bytes, error;
    switch (m_file.read(bytes, error)) {
    case StoreFile::ReadResult::Read:
        break;
    case StoreFile::ReadResult::Missing:
        if (missingIsEmpty) {
            return true;
        }
        return StoreError::set(StoreErrorCode::Missing,
                               "no saved messages: " + path() + " does not exist");
    case StoreFile::ReadResult::Failed:
        return StoreError::set(StoreErrorCode::Io, error);
    }
    records = SavedMessageLine::parseAll(bytes, limit);
    return true;
}

bool SavedMessageStore::openForReading()
{
    StoreError::reset();
    // Reading the whole file at once gives the iteration one version of it, whatever other
    // threads write while it runs, and leaves no file handle to share between threads.
    std::vector<SavedMessage> records;
    const bool read = readRecords(records, std::numeric_limits<std::size_t>::max(), false);
    const std::lock_guard guard(m_iterationMutex);
    m_iteration = std::move(records);
    m_iterationNext = 0;
    m_iterating = read;
    return read;
}

bool SavedMessageStore::readNext(SavedMessage& record)
{
    const std::lock_guard guard(m_iterationMutex);
    if (!m_iterating) {
        return false;
    }
    if (m_iterationNext >= m_iteration.size()) {
        m_iterating = false;
        m_iteration.clear();
        return false;
    }
    record = m_iteration[m_iterationNext++];
    return true;
}

void SavedMessageStore::close()
{
    const std::lock_guard guard(m_iterationMutex);
    m_iterating = false;
    m_iteration.clear();
    m_iterationNext = 0;
}

bool SavedMessageStore::getAt(int index, SavedMessage& record) const
{
    StoreError::reset();
    if (index < 0) {
        return StoreError::set(StoreErrorCode::NoRecord,
                               "no saved message at position " + std::to_string(index));
    }
    std::vector<SavedMessage> records;
    if (!readRecords(records, static_cast<std::size_t>(index) + 1, false)) {
        return false;
    }
    if (records.size() <= static_cast<std::size_t>(index)) {
        return StoreError::set(StoreErrorCode::NoRecord,
                               "no saved message at position " + std::to_string(index) + " of "
                                   + path());
    }
    record = std::move(records[static_cast<std::size_t>(index)]);
    return true;
}

bool SavedMessageStore::list(std::vector<SavedMessage>& records, int limit) const
{
    StoreError::reset();
    return readRecords(records, static_cast<std::size_t>(std::max(limit, 0)), true);
}

int SavedMessageStore::find(std::string_view name) const
{
    std::vector<SavedMessage> records;
    if (!list(records)) {
        return -1;
    }
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i].name == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool SavedMessageStore::add(std::string_view name, std::string_view schedule,
                            std::string_view recipients, std::string_view message)
{
    StoreError::reset();
    const std::string what = "cannot save " + quoted(name) + " in " + path() + ": ";
    if (name.empty()) {
        return StoreError::set(StoreErrorCode::BadField,
                               "cannot save a message in " + path() + ": the name is empty");
    }
    if (recipients.empty()) {
        return StoreError::set(StoreErrorCode::BadField, what + "the recipient list is empty");
    }
    SavedMessage record {std::string(name), std::string(schedule.empty() ? unscheduled : schedule),
                         std::string(recipients), std::string(message)};
    std::string why;
    bool tooLong = false;
    if (!SavedMessageLine::check(record, why, tooLong)) {
        return StoreError::set(tooLong ? StoreErrorCode::TooLong : StoreErrorCode::BadField,
                               what + why);
    }
    return StoreUpdate(m_file, what).createOrChange([&](std::string& bytes) {
        for (const SavedMessage& existing : SavedMessageLine::parseAll(bytes, listingLimit)) {
            if (existing.name == record.name) {
                return StoreError::set(StoreErrorCode::Duplicate,
                                       what + "a saved message of that name exists");
            }
        }
        // Existing lines are kept byte for byte; only a last line that lacks its line end gets
        // one, or the new record would be glued to it.
        if (!TextLines::endsWithLineEnd(bytes)) {
            bytes += "\r\n";
        }
        bytes += SavedMessageLine::format(record);
        return true;
    });
}

bool SavedMessageStore::removeAt(int index)
{
    return rewrite(index, nullptr, true, std::nullopt, std::nullopt, std::nullopt);
}

bool SavedMessageStore::removeAt(int index, const RecordGuard& guard)
{
    return rewrite(index, &guard, true, std::nullopt, std::nullopt, std::nullopt);
}

bool SavedMessageStore::replaceAt(int index, Field schedule, Field recipients, Field message)
{
    return rewrite(index, nullptr, false, schedule, recipients, message);
}

bool SavedMessageStore::replaceAt(int index, const RecordGuard& guard, Field schedule,
                                  Field recipients, Field message)
{
    return rewrite(index, &guard, false, schedule, recipients, message);
}

bool SavedMessageStore::rewrite(int index, const RecordGuard* guard, bool remove, Field schedule,
                                Field recipients, Field message)
{
    StoreError::reset();
    const std::string what = std::string(remove ? "cannot remove" : "cannot change")
        + " the saved message at position " + std::to_string(index) + " of " + path() + ": ";
    if (recipients && recipients->empty()) {
        return StoreError::set(StoreErrorCode::BadField, what + "the recipient list is empty");
    }
    const auto change = [&](std::string& bytes) {
        std::vector<SavedMessage> records
            = SavedMessageLine::parseAll(bytes, std::numeric_limits<std::size_t>::max());
        const bool inRange = index >= 0 && static_cast<std::size_t>(index) < records.size();
        if (guard != nullptr) {
            if (std::string why = guardMismatch(records, index, *guard); !why.empty()) {
                return StoreError::set(StoreErrorCode::RecordChanged, what + why);
            }
        }
        if (inRange) {
            const auto position = records.begin() + index;
            if (remove) {
                records.erase(position);
            } else {
                SavedMessage changed = *position;
                if (schedule) {
                    changed.schedule = schedule->empty() ? unscheduled : *schedule;
                }
                if (recipients) {
                    changed.recipients = *recipients;
                }
                if (message) {
                    changed.message = *message;
                }
                std::string why;
                bool tooLong = false;
                if (!SavedMessageLine::check(changed, why, tooLong)) {
                    return StoreError::set(
                        tooLong ? StoreErrorCode::TooLong : StoreErrorCode::BadField, what + why);
                }
                *position = std::move(changed);
            }
        }
        // Every record is written back field by field, in its canonical form.
        bytes.clear();
        for (const SavedMessage& record : records) {
            bytes += SavedMessageLine::format(record);
        }
        return true;
    };
    return StoreUpdate(m_file, what)
        .changeExisting(change, "no saved messages: " + path() + " does not exist");
}

std::int64_t SavedMessageStore::modificationTime() const
{
    return m_file.modificationTime();
}
