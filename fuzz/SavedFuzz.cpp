// Fuzzes the saved messages file "canMsg.dat" as the store reads it, and the schedule texts
// inside it. The first eight bytes are the moment for the due test, the rest is the file.
// Checked: no record is lost however lines end (CR LF, LF or CR alone) and the listing limit
// gives a prefix; every record the store would write reads back unchanged; a schedule text
// reads, writes and reads again to the same schedule with bounded text and description; the
// due test never fires outside its minute and never twice on one day; the store lists,
// changes and removes records of the file without touching the others.
#include "FuzzCheck.h"
#include "FuzzScratch.h"
#include "stores/SavedMessageLine.h"
#include "stores/SavedMessageStore.h"
#include "stores/Schedule.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

void require(bool holds, const char* what)
{
    fuzzRequire(holds, "fuzz_saved", what);
}

bool isEmpty(const SavedMessage& record)
{
    return record.name.empty() && record.schedule.empty() && record.recipients.empty()
        && record.message.empty();
}

// The records of the file as its format defines them: a record ends at CR, LF or CR LF.
// Empty records are left out, since how a blank line between two line ends is read is not
// what this compares.
std::vector<SavedMessage> expectedRecords(std::string_view bytes)
{
    std::vector<SavedMessage> records;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            end = bytes.size();
        }
        const SavedMessage record = SavedMessageLine::parse(bytes.substr(start, end - start));
        if (!isEmpty(record)) {
            records.push_back(record);
        }
        start = end + 1;
    }
    return records;
}

std::vector<SavedMessage> withoutEmpty(const std::vector<SavedMessage>& records)
{
    std::vector<SavedMessage> kept;
    for (const SavedMessage& record : records) {
        if (!isEmpty(record)) {
            kept.push_back(record);
        }
    }
    return kept;
}

void checkSchedule(std::string_view text, std::int64_t now)
{
    const Schedule schedule = Schedule::fromText(text);
    const std::string written = schedule.format();
    // A type letter, six numbers of at most 20 characters and their blanks.
    require(written.size() <= 1 + 6 * 21, "schedule text bounded");
    require(Schedule::fromText(written) == schedule, "schedule text round trip");
    require(schedule.describe().size() <= 160, "description bounded");
    require(!schedule.describeLastSent().empty(), "last send described");
    for (int weekday = -1; weekday <= 7; ++weekday) {
        require(schedule.hasWeekday(weekday)
                    == (weekday >= 0 && weekday <= 6 && ((schedule.weekdays >> weekday) & 1) != 0),
                "weekday set");
    }

    if (schedule.isDue(now)) {
        require(schedule.type != ScheduleType::None, "an unscheduled message is never due");
        require(schedule.hour >= 0 && schedule.hour <= 23 && schedule.minute >= 0
                    && schedule.minute <= 59,
                "due only at a real hour and minute");
        if (now != 0) {
            Schedule sent = schedule;
            sent.lastSent = now;
            require(!sent.isDue(now), "not due again once sent today");
        }
    }
}

// The file through the store: it lists what the lines give; the scheduler's change of one
// record (its schedule with the time of the send) is made exactly when that record can be
// written and changes nothing else; removing the record then leaves the others as they were.
void checkStore(std::string_view bytes, const std::vector<SavedMessage>& records, std::int64_t now)
{
    const std::string path = FuzzScratch::path("canMsg.dat");
    FuzzScratch::writeFile(path, bytes);
    SavedMessageStore store(path);
    std::vector<SavedMessage> listed;
    require(store.list(listed, INT_MAX) && listed == records, "the store lists the records");
    if (records.empty()) {
        return;
    }
    const std::size_t index = static_cast<std::uint64_t>(now) % records.size();
    const SavedMessage& chosen = records[index];
    Schedule schedule = Schedule::fromText(chosen.schedule);
    schedule.lastSent = now;
    SavedMessage changed = chosen;
    changed.schedule = schedule.format();
    std::string why;
    bool tooLong = false;
    const bool writable = SavedMessageLine::check(changed, why, tooLong);
    const int position = static_cast<int>(index);
    const bool replaced = store.replaceAt(position, RecordGuard::exactly(chosen), changed.schedule,
                                          std::nullopt, std::nullopt);
    require(replaced == writable, "a change is refused exactly when it cannot be written");
    std::vector<SavedMessage> expected = records;
    if (replaced) {
        expected[index] = changed;
    } else {
        require(!SavedMessageStore::lastErrorText().empty(), "a refused change says why");
    }
    require(store.list(listed, INT_MAX) && listed == expected, "a change keeps the others");
    require(store.removeAt(position, RecordGuard::exactly(expected[index])), "a record goes");
    expected.erase(expected.begin() + position);
    require(store.list(listed, INT_MAX) && listed == expected, "a removal keeps the others");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A zone with daylight saving time, so that the due test meets its changes.
    ::setenv("TZ", "Europe/Berlin", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < sizeof(std::int64_t)) {
        return 0;
    }
    std::int64_t now = 0;
    std::memcpy(&now, data, sizeof now);
    const std::string_view bytes(reinterpret_cast<const char*>(data) + sizeof now,
                                 size - sizeof now);

    const std::vector<SavedMessage> records = SavedMessageLine::parseAll(bytes, SIZE_MAX);
    require(records.size() <= bytes.size(), "no more records than bytes");
    require(withoutEmpty(records) == expectedRecords(bytes),
            "every record is read, whatever ends its line");
    const std::size_t limit = records.size() / 2;
    const std::vector<SavedMessage> first = SavedMessageLine::parseAll(bytes, limit);
    require(first.size() == limit && std::equal(first.begin(), first.end(), records.begin()),
            "a limited read gives the first records");

    std::string rewritten;
    std::vector<SavedMessage> writable;
    for (const SavedMessage& record : records) {
        std::string why;
        bool tooLong = false;
        const bool ok = SavedMessageLine::check(record, why, tooLong);
        require(ok || !why.empty(), "a refusal says why");
        require(!(ok && tooLong), "a length problem is a refusal");
        const std::string line = SavedMessageLine::format(record);
        require(line.size() >= 5 && line.ends_with("\r\n"), "a record line ends in CR LF");
        if (ok) {
            require(line.size() <= SavedMessageLine::maxLineLength + 2, "a written line fits");
            require(SavedMessageLine::parse(line) == record, "record round trip");
            rewritten += line;
            writable.push_back(record);
        }
        checkSchedule(record.schedule, now);
    }
    require(SavedMessageLine::parseAll(rewritten, SIZE_MAX) == writable, "file round trip");
    checkSchedule(bytes, now);
    checkStore(bytes, records, now);
    return 0;
}
