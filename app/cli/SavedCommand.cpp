#include "cli/SavedCommand.h"

#include "cli/ArgumentList.h"
#include "cli/CliOutput.h"
#include "stores/SavedMessageStore.h"
#include "stores/Schedule.h"
#include "stores/ScheduleForm.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <iostream>
#include <optional>

namespace {

constexpr std::string_view usage
    = "Usage: norvane-cli saved list\n"
      "       norvane-cli saved show NAME\n"
      "       norvane-cli saved add NAME RECIPIENTS MESSAGE\n"
      "       norvane-cli saved remove NAME\n"
      "       norvane-cli saved schedule NAME once MM/DD HH:MM\n"
      "       norvane-cli saved schedule NAME weekly DAYS HH:MM\n"
      "       norvane-cli saved schedule NAME monthly DAY HH:MM\n"
      "       norvane-cli saved clear NAME\n"
      "\n"
      "Manage the saved messages that the desktop program offers and the scheduler sends.\n"
      "The file is found from the settings (Paths: canMsgDbs, else home/data/canMsg.dat,\n"
      "else ./canMsg.dat). Only the first 100 saved messages are listed, found and sent.\n"
      "\n"
      "Actions:\n"
      "  list        name, schedule in words and last send of every saved message\n"
      "  show        one saved message in full\n"
      "  add         save a message; RECIPIENTS is a \";\"-separated list, MESSAGE may be \"\"\n"
      "  remove      delete a saved message\n"
      "  schedule    set when the scheduler sends it (local time, 24-hour HH:MM):\n"
      "                once MM/DD        on that month and day\n"
      "                weekly DAYS       on weekdays such as Mon,Wed,Fri or Mon-Fri or all\n"
      "                monthly DAY       on that day of every month (1 to 31)\n"
      "              the message may be sent again from then on, even today\n"
      "  clear       remove the schedule\n"
      "\n"
      "Options:\n"
      "  --file PATH   use this saved messages file instead of the configured one\n"
      "  --help        show this text\n"
      "Put \"--\" before arguments that start with \"-\".\n";

std::string quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

std::string lowered(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// A whole decimal number of at most `maxDigits` digits, nothing else.
std::optional<int> smallNumber(std::string_view text, std::size_t maxDigits)
{
    if (text.empty() || text.size() > maxDigits) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

// "A/B" or "A:B" with one- or two-digit numbers.
bool numberPair(std::string_view text, char separator, int& first, int& second)
{
    const std::size_t split = text.find(separator);
    if (split == std::string_view::npos) {
        return false;
    }
    const auto a = smallNumber(text.substr(0, split), 2);
    const auto b = smallNumber(text.substr(split + 1), 2);
    if (!a || !b) {
        return false;
    }
    first = *a;
    second = *b;
    return true;
}

std::optional<int> weekdayNumber(std::string_view text)
{
    const std::string name = lowered(text);
    for (int weekday = 0; weekday < 7; ++weekday) {
        const std::string full = lowered(Schedule::weekdayName(weekday));
        if (name == full || (name.size() == 3 && full.compare(0, 3, name) == 0)) {
            return weekday;
        }
    }
    return std::nullopt;
}

// "Mon,Wed,Fri", "Mon-Fri" (also across the week's end, "Fri-Mon") or "all".
bool parseWeekdays(std::string_view text, std::int32_t& weekdays)
{
    weekdays = 0;
    if (lowered(text) == "all") {
        weekdays = 0x7F;
        return true;
    }
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        const std::size_t dash = item.find('-');
        const auto from = weekdayNumber(item.substr(0, dash));
        const auto to
            = dash == std::string_view::npos ? from : weekdayNumber(item.substr(dash + 1));
        if (!from || !to) {
            return false;
        }
        for (int weekday = *from;; weekday = (weekday + 1) % 7) {
            weekdays |= 1 << weekday;
            if (weekday == *to) {
                break;
            }
        }
    }
    return weekdays != 0;
}

// Applies "once MM/DD HH:MM", "weekly DAYS HH:MM" or "monthly DAY HH:MM"; "" or the problem.
std::string applySchedule(const std::vector<std::string>& words, Schedule& schedule)
{
    if (words.size() != 3) {
        return "schedule takes NAME, a kind (once, weekly, monthly), when and HH:MM";
    }
    int hour = 0, minute = 0;
    if (!numberPair(words[2], ':', hour, minute) || hour > 23 || minute > 59) {
        return quoted(words[2]) + " is not a time HH:MM from 00:00 to 23:59";
    }
    const std::string kind = lowered(words[0]);
    if (kind == "once") {
        int month = 0, day = 0;
        if (!numberPair(words[1], '/', month, day) || month < 1 || month > 12 || day < 1
            || day > ScheduleForm::daysInMonth(month)) {
            return quoted(words[1]) + " is not a date MM/DD";
        }
        schedule.type = ScheduleType::Once;
        schedule.month = month;
        schedule.day = day;
    } else if (kind == "weekly") {
        std::int32_t weekdays = 0;
        if (!parseWeekdays(words[1], weekdays)) {
            return quoted(words[1]) + " is not a list of weekdays such as Mon,Wed,Fri or Mon-Fri";
        }
        schedule.type = ScheduleType::Weekly;
        schedule.weekdays = weekdays;
    } else if (kind == "monthly") {
        const auto day = smallNumber(words[1], 2);
        if (!day || *day < 1 || *day > 31) {
            return quoted(words[1]) + " is not a day of the month from 1 to 31";
        }
        schedule.type = ScheduleType::Monthly;
        schedule.day = *day;
    } else {
        return quoted(words[0]) + " is not a kind of schedule (once, weekly or monthly)";
    }
    schedule.hour = hour;
    schedule.minute = minute;
    // As the schedule dialog's OK does: an edited schedule may fire again, even today.
    schedule.lastSent = 0;
    return {};
}

ExitCode storeFailure()
{
    return CliOutput::fail(SavedMessageStore::lastErrorText());
}

// Finds the message by name and changes it by its position, guarded by the name; a position
// that moved under a concurrent change is looked up again.
template<typename Change>
ExitCode changeNamed(SavedMessageStore& store, const std::string& name, Change&& change)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        const int position = store.find(name);
        if (position < 0) {
            if (SavedMessageStore::lastError() == StoreErrorCode::Io) {
                return storeFailure();
            }
            return CliOutput::fail("no saved message named " + quoted(name) + " in "
                                   + store.path());
        }
        if (change(position)) {
            return ExitCode::Success;
        }
        const StoreErrorCode why = SavedMessageStore::lastError();
        if (why != StoreErrorCode::RecordChanged && why != StoreErrorCode::NoRecord) {
            return storeFailure();
        }
    }
    return storeFailure();
}

void printTable(const std::vector<SavedMessage>& records)
{
    std::size_t nameWidth = 4, scheduleWidth = 8;
    std::vector<Schedule> schedules;
    std::vector<std::string> names;
    for (const SavedMessage& record : records) {
        schedules.push_back(Schedule::fromText(record.schedule));
        names.push_back(CliOutput::printable(record.name));
        nameWidth = std::max(nameWidth, names.back().size());
        scheduleWidth = std::max(scheduleWidth, schedules.back().describe().size());
    }
    const auto row = [&](std::string_view name, std::string_view schedule,
                         std::string_view lastSent) {
        std::cout << name << std::string(nameWidth - name.size() + 2, ' ') << schedule
                  << std::string(scheduleWidth - schedule.size() + 2, ' ') << lastSent << '\n';
    };
    row("Name", "Schedule", "Last sent");
    for (std::size_t i = 0; i < records.size(); ++i) {
        row(names[i], schedules[i].describe(), schedules[i].describeLastSent());
    }
}

ExitCode list(const SavedMessageStore& store)
{
    std::vector<SavedMessage> records;
    if (!store.list(records, INT_MAX)) {
        return storeFailure();
    }
    if (records.empty()) {
        std::cerr << programName << ": no saved messages in " << store.path() << '\n';
        return ExitCode::Success;
    }
    const std::size_t total = records.size();
    records.resize(std::min<std::size_t>(total, SavedMessageStore::listingLimit));
    printTable(records);
    if (total > records.size()) {
        std::cerr << programName << ": " << total - records.size()
                  << " more saved messages after the first " << SavedMessageStore::listingLimit
                  << " are kept but not listed, found or sent\n";
    }
    return ExitCode::Success;
}

ExitCode show(const SavedMessageStore& store, const std::string& name)
{
    const int position = store.find(name);
    SavedMessage record;
    if (position < 0 || !store.getAt(position, record)) {
        if (SavedMessageStore::lastError() == StoreErrorCode::Io) {
            return storeFailure();
        }
        return CliOutput::fail("no saved message named " + quoted(name) + " in " + store.path());
    }
    const Schedule schedule = Schedule::fromText(record.schedule);
    std::cout << "Name:       " << CliOutput::printable(record.name) << "\n"
              << "To:         " << CliOutput::printable(record.recipients) << "\n"
              << "Message:    " << CliOutput::printable(record.message) << "\n"
              << "Schedule:   " << schedule.describe() << "\n"
              << "Last sent:  " << schedule.describeLastSent() << "\n"
              << "Stored as:  " << CliOutput::printable(record.schedule) << "\n"
              << "Position:   " << position << "\n";
    return ExitCode::Success;
}

} // namespace

ExitCode SavedCommand::run(const std::vector<std::string>& arguments)
{
    ArgumentList list(arguments);
    if (list.takeFlag("--help", "-h")) {
        return CliOutput::help(usage);
    }
    std::string file;
    const bool hasFile = list.takeOption("--file", file);
    if (const auto problem = list.problem()) {
        return CliOutput::usageError(*problem, usage);
    }
    std::vector<std::string> words = list.positional();
    if (words.empty()) {
        return CliOutput::usageError("saved needs an action", usage);
    }
    const std::string action = words.front();
    words.erase(words.begin());

    SavedMessageStore store;
    if (hasFile) {
        store.setPath(file);
    } else {
        store.initPath();
    }

    if (action == "list") {
        if (!words.empty()) {
            return CliOutput::usageError("list takes no arguments", usage);
        }
        return ::list(store);
    }
    if (action == "add") {
        if (words.size() != 3) {
            return CliOutput::usageError("add takes NAME, RECIPIENTS and MESSAGE", usage);
        }
        if (!store.add(words[0], {}, words[1], words[2])) {
            return storeFailure();
        }
        std::cout << "Saved " << quoted(words[0]) << ".\n";
        return ExitCode::Success;
    }
    if (action != "show" && action != "remove" && action != "schedule" && action != "clear") {
        return CliOutput::usageError("unknown action " + quoted(action), usage);
    }
    if (words.empty()) {
        return CliOutput::usageError(action + " takes NAME", usage);
    }
    const std::string name = words.front();
    words.erase(words.begin());
    if (action == "schedule") {
        // The kind and times are checked before the store is touched.
        Schedule probe;
        if (const std::string problem = applySchedule(words, probe); !problem.empty()) {
            return CliOutput::usageError(problem, usage);
        }
    } else if (!words.empty()) {
        return CliOutput::usageError(action + " takes only NAME", usage);
    }

    if (action == "show") {
        return show(store, name);
    }
    if (action == "remove") {
        const ExitCode code = changeNamed(store, name, [&](int position) {
            return store.removeAt(position, RecordGuard::named(name));
        });
        if (code == ExitCode::Success) {
            std::cout << "Removed " << quoted(name) << ".\n";
        }
        return code;
    }
    if (action == "clear") {
        const ExitCode code = changeNamed(store, name, [&](int position) {
            return store.replaceAt(position, RecordGuard::named(name), Schedule::clearedText,
                                   std::nullopt, std::nullopt);
        });
        if (code == ExitCode::Success) {
            std::cout << quoted(name) << ": Not scheduled\n";
        }
        return code;
    }
    std::string described;
    const ExitCode code = changeNamed(store, name, [&](int position) {
        SavedMessage record;
        if (!store.getAt(position, record)) {
            return false;
        }
        // Fields the new type does not use keep their values, as in the schedule dialog.
        Schedule schedule = Schedule::fromText(record.schedule);
        (void)applySchedule(words, schedule);
        described = schedule.describe();
        return store.replaceAt(position, RecordGuard::exactly(record), schedule.format(),
                               std::nullopt, std::nullopt);
    });
    if (code == ExitCode::Success) {
        std::cout << quoted(name) << ": " << described << '\n';
    }
    return code;
}
