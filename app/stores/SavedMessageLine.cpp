#include "stores/SavedMessageLine.h"

#include "stores/TextLines.h"

#include <array>

namespace {

bool isDelimiter(char c)
{
    return c == SavedMessageLine::delimiter || c == '\n' || c == '\r';
}

// The next token in the manner of strtok: skip delimiters, take up to the next one.
std::string_view nextToken(std::string_view& rest)
{
    std::size_t start = 0;
    while (start < rest.size() && isDelimiter(rest[start])) {
        ++start;
    }
    std::size_t end = start;
    while (end < rest.size() && !isDelimiter(rest[end])) {
        ++end;
    }
    const std::string_view token = rest.substr(start, end - start);
    rest.remove_prefix(end);
    return token;
}

// What in the field the file cannot keep, or nullptr.
const char* badByte(std::string_view field)
{
    for (const char c : field) {
        if (c == SavedMessageLine::delimiter) {
            return "the byte 0x05 (the field delimiter)";
        }
        if (c == '\r' || c == '\n') {
            return "a line break";
        }
        if (c == '\0') {
            return "a zero byte";
        }
    }
    return nullptr;
}

} // namespace

SavedMessage SavedMessageLine::parse(std::string_view line)
{
    SavedMessage record;
    record.name = nextToken(line);
    record.schedule = nextToken(line);
    record.recipients = nextToken(line);
    record.message = nextToken(line);
    return record;
}

std::vector<SavedMessage> SavedMessageLine::parseAll(std::string_view bytes, std::size_t limit)
{
    std::vector<SavedMessage> records;
    for (const std::string_view line : TextLines::split(bytes, limit)) {
        records.push_back(parse(line));
    }
    return records;
}

std::string SavedMessageLine::format(const SavedMessage& record)
{
    std::string line;
    line.reserve(record.name.size() + record.schedule.size() + record.recipients.size()
                 + record.message.size() + 5);
    line += record.name;
    line += delimiter;
    line += record.schedule;
    line += delimiter;
    line += record.recipients;
    line += delimiter;
    line += record.message;
    line += "\r\n";
    return line;
}

bool SavedMessageLine::check(const SavedMessage& record, std::string& why, bool& tooLong)
{
    tooLong = false;
    const std::array<std::pair<const char*, const std::string*>, 4> fields = {{
        {"name", &record.name},
        {"schedule", &record.schedule},
        {"recipient list", &record.recipients},
        {"message", &record.message},
    }};
    bool emptySeen = false;
    for (const auto& [label, value] : fields) {
        if (const char* bad = badByte(*value)) {
            why = std::string("the ") + label + " holds " + bad;
            return false;
        }
        if (value->empty()) {
            emptySeen = true;
        } else if (emptySeen) {
            // An empty field in front of this one would vanish when the line is read back.
            why = std::string("the ") + label + " cannot follow an empty field";
            return false;
        }
    }
    if (record.name.size() > maxNameLength) {
        why = "the name has " + std::to_string(record.name.size()) + " characters (at most "
            + std::to_string(maxNameLength) + ")";
        tooLong = true;
        return false;
    }
    if (record.schedule.size() > maxScheduleLength) {
        why = "the schedule text has " + std::to_string(record.schedule.size())
            + " characters (at most " + std::to_string(maxScheduleLength) + ")";
        tooLong = true;
        return false;
    }
    const std::size_t length = format(record).size() - 2;
    if (length > maxLineLength) {
        why = "the record needs " + std::to_string(length) + " characters, more than the "
            + std::to_string(maxLineLength)
            + " a line of the saved messages file holds (name, schedule, recipients and message "
              "together)";
        tooLong = true;
        return false;
    }
    return true;
}
