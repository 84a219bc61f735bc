// Fuzzes the shared log file "ndlog.dat" as `norvane-cli log` and the viewer read it, and the
// lines the writers make. The first byte chooses a level, the input is split at its first
// 0x00 byte into a log file and a line to write (tag up to the first ":", then the text).
// Checked: reading stops at the first malformed line and nowhere else, and each entry is
// that line's split; a written message line and dump line read back with the same level,
// the tag made safe and the text with its control bytes escaped.
#include "FuzzCheck.h"
#include "FuzzScratch.h"
#include "log/LogFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

void require(bool holds, const char* what)
{
    fuzzRequire(holds, "fuzz_log", what);
}

// The file's lines as the reader takes them: up to a LF, without one CR before it.
std::vector<std::string_view> fileLines(std::string_view bytes)
{
    std::vector<std::string_view> lines;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
    }
    return lines;
}

bool sameEntry(const LogEntry& a, const LogEntry& b)
{
    return a.level == b.level && a.time == b.time && a.tag == b.tag && a.message == b.message;
}

std::vector<LogEntry> readAll(const std::string& path, bool& atEnd, std::size_t bound)
{
    LogFile log(LogFile::Mode::PlugIn);
    log.setPath(path);
    require(log.openForReading(), "the log opens");
    std::vector<LogEntry> entries;
    LogEntry entry;
    while (log.readEntry(entry)) {
        entries.push_back(entry);
        require(entries.size() <= bound, "reading ends");
    }
    atEnd = log.atEnd();
    return entries;
}

std::string escaped(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        char hex[8];
        std::snprintf(hex, sizeof hex, "<%2.2x>", byte);
        out += byte < 0x20 || byte == 0x7f ? std::string(hex) : std::string(1, c);
    }
    return out;
}

std::string safeTag(std::string_view tag)
{
    std::string out(tag);
    for (char& c : out) {
        if (c == ',' || c == ':' || c == '\r' || c == '\n') {
            c = '_';
        }
    }
    return out;
}

void checkWritten(int level, std::string_view tag, std::string_view text)
{
    const std::string path = FuzzScratch::path("written.dat");
    std::remove(path.c_str());
    {
        LogFile log(LogFile::Mode::Program);
        log.setPath(path);
        const std::string message(text);
        require(log.write(level, tag, "%s", message.c_str()), "a message line is written");
        require(log.writeDump(level, tag, text, text.data(), text.size()),
                "a dump line is written");
    }
    bool atEnd = false;
    const std::vector<LogEntry> entries = readAll(path, atEnd, 2);
    require(atEnd && entries.size() == 2, "both written lines read back");
    std::string dump = escaped(text) + "=" + std::to_string(text.size()) + "[";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        char hex[8];
        std::snprintf(hex, sizeof hex, "<%2.2x>", byte);
        dump += byte >= 0x20 && byte <= 0x7f ? std::string(1, c) : std::string(hex);
    }
    dump += "]";
    const std::string messageText = escaped(std::string(text).c_str());
    for (std::size_t i = 0; i < 2; ++i) {
        require(entries[i].level == level, "level read back");
        require(entries[i].tag == safeTag(tag), "tag read back");
        require(entries[i].message == (i == 0 ? messageText : dump), "text read back");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Lines longer than the reader's line buffer would be read in pieces.
    if (size < 1 || size > 60000) {
        return 0;
    }
    // Levels -3 to 4 pass the default highest level of 4.
    const int level = static_cast<int>(data[0] % 8) - 3;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t zero = input.find('\0');
    const std::string_view file = input.substr(0, zero);

    const std::string path = FuzzScratch::path("ndlog.dat");
    FuzzScratch::writeFile(path, file);
    const std::vector<std::string_view> lines = fileLines(file);
    bool atEnd = false;
    const std::vector<LogEntry> entries = readAll(path, atEnd, lines.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        LogEntry expected;
        require(LogFile::parseLine(lines[i], expected), "a read line parses");
        require(sameEntry(entries[i], expected), "an entry is its line's split");
        require(!entries[i].tag.empty() && entries[i].tag.find(':') == std::string::npos,
                "a tag is not empty and holds no colon");
    }
    LogEntry ignored;
    require(atEnd == (entries.size() == lines.size()), "reading ends at the end or at a bad line");
    if (!atEnd) {
        require(!LogFile::parseLine(lines[entries.size()], ignored), "reading stops at a bad line");
    }

    if (zero != std::string_view::npos) {
        const std::string_view line = input.substr(zero + 1);
        const std::size_t colon = line.find(':');
        const std::string_view tag = line.substr(0, colon);
        const std::string_view text
            = colon == std::string_view::npos ? std::string_view() : line.substr(colon + 1);
        // An empty tag reads back wrong by design of the format (the text is taken for it);
        // every writer has a tag.
        if (!tag.empty()) {
            checkWritten(level, tag, text);
        }
    }
    return 0;
}
