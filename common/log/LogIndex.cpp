#include "log/LogIndex.h"

#include "log/LogFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

static_assert(sizeof(LogIndex::Entry) == 16, "an entry stays four words");

namespace {

// Large reads keep the system calls few; between two of them the reading can be stopped and
// its progress reported.
constexpr std::size_t chunkSize = std::size_t {4} << 20;
// The entry's offset has 40 bits.
constexpr std::uint64_t largestFile = std::uint64_t {1} << 40;

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether `text` contains `needle` (already in lower case) without regard to ASCII case.
bool containsFolded(std::string_view text, std::string_view needle)
{
    if (needle.size() > text.size()) {
        return false;
    }
    const char first = needle.front();
    const std::size_t last = text.size() - needle.size();
    for (std::size_t i = 0; i <= last; ++i) {
        if (lower(text[i]) != first) {
            continue;
        }
        std::size_t j = 1;
        while (j < needle.size() && lower(text[i + j]) == needle[j]) {
            ++j;
        }
        if (j == needle.size()) {
            return true;
        }
    }
    return false;
}

} // namespace

LogIndex::LogIndex() = default;
LogIndex::~LogIndex() = default;
LogIndex::LogIndex(LogIndex&&) noexcept = default;
LogIndex& LogIndex::operator=(LogIndex&&) noexcept = default;

bool LogIndex::fail(LogIndexError error, std::string text)
{
    m_lastError = error;
    m_lastErrorText = std::move(text);
    return false;
}

void LogIndex::clear()
{
    m_entries.clear();
    m_path.clear();
    m_size = 0;
    m_device = 0;
    m_inode = 0;
    m_parsed = 0;
    m_stopLine = 0;
}

bool LogIndex::load(const std::string& path, std::stop_token stop, const Progress& progress)
{
    clear();
    m_path = path;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT) {
            return fail(LogIndexError::NotFound, "There is no log file at " + path + ".");
        }
        return fail(LogIndexError::ReadFailed,
                    "The log file " + path + " cannot be opened (" + std::strerror(error)
                        + "): check that you may read it.");
    }
    struct stat info
    { };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return fail(LogIndexError::ReadFailed, "The log file " + path + " is not a regular file.");
    }
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size >= largestFile) {
        ::close(fd);
        return fail(LogIndexError::TooLarge,
                    "The log file " + path + " is too large to list: purge it.");
    }
    m_device = info.st_dev;
    m_inode = info.st_ino;
    // Only the bytes there now are read: lines appended meanwhile show at the next reading.
    // The memory of an earlier reading is used again when it fits (new memory costs the
    // system the clearing of every page); far too much of it is given back.
    const std::size_t held = m_bytes ? m_bytes.get_deleter().size : 0;
    if (held < size || held > 2 * size + (std::size_t {16} << 20)) {
        const std::size_t capacity = size > 0 ? size : 1;
        m_bytes.reset();
        m_bytes = std::unique_ptr<char[], Release>(
            static_cast<char*>(LargeBuffer::allocate(capacity)), Release {capacity});
        decltype(m_entries)().swap(m_entries);
    }
    std::size_t filled = 0;
    bool more = true;
    while (filled < size && more) {
        if (stop.stop_requested()) {
            ::close(fd);
            clear();
            return fail(LogIndexError::Stopped, "The reading of " + path + " was stopped.");
        }
        const std::size_t wanted = std::min<std::size_t>(chunkSize, size - filled);
        const ssize_t got = ::read(fd, m_bytes.get() + filled, wanted);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            const int error = errno;
            ::close(fd);
            clear();
            return fail(LogIndexError::ReadFailed,
                        "The log file " + path + " cannot be read (" + std::strerror(error) + ").");
        }
        if (got == 0) {
            break; // cut short by someone else meanwhile: what was read is the log
        }
        filled += static_cast<std::size_t>(got);
        const bool first = m_entries.empty();
        more = parse(filled, false);
        if (first && !m_entries.empty() && m_parsed > 0) {
            // Room for as many entries as lines of this length fill the file, and a little more.
            m_entries.reserve(size / std::max<std::size_t>(1, m_parsed / m_entries.size()) * 21
                              / 20);
        }
        if (progress) {
            progress(filled, size);
        }
    }
    ::close(fd);
    m_size = more ? filled : size;
    if (more) {
        (void)parse(filled, true);
    }
    m_lastError = LogIndexError::None;
    m_lastErrorText.clear();
    return true;
}

bool LogIndex::parse(std::size_t end, bool final)
{
    const char* bytes = m_bytes.get();
    std::size_t pos = m_parsed;
    LogFields fields;
    while (pos < end) {
        // A piece is a line up to its line feed, or the longest piece LogFile::readEntry takes
        // (the line feed after such a piece then reads as an empty line).
        const std::size_t span = std::min(end - pos, LogFile::maxLineLength);
        const auto* feed = static_cast<const char*>(std::memchr(bytes + pos, '\n', span));
        std::size_t pieceEnd = 0;
        std::size_t next = 0;
        if (feed != nullptr) {
            pieceEnd = static_cast<std::size_t>(feed - bytes);
            next = pieceEnd + 1;
        } else if (span == LogFile::maxLineLength || final) {
            pieceEnd = pos + span;
            next = pieceEnd;
        } else {
            break;
        }
        std::string_view line(bytes + pos, pieceEnd - pos);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (!LogFile::splitLine(line, fields)) {
            m_stopLine = m_entries.size() + 1;
            m_parsed = next;
            return false;
        }
        Entry entry {};
        entry.offset = static_cast<std::uint64_t>(fields.tag.data() - bytes);
        entry.tagLength = fields.tag.size();
        entry.time = fields.time;
        entry.messageLength = fields.message.size();
        entry.level = std::clamp(fields.level, -128, 127);
        m_entries.push_back(entry);
        pos = next;
    }
    m_parsed = pos;
    return true;
}

std::string_view LogIndex::tag(const Entry& entry) const
{
    return {m_bytes.get() + entry.offset, static_cast<std::size_t>(entry.tagLength)};
}

std::string_view LogIndex::message(const Entry& entry) const
{
    if (entry.messageLength == 0) {
        return {};
    }
    return {m_bytes.get() + entry.offset + entry.tagLength + 1,
            static_cast<std::size_t>(entry.messageLength)};
}

std::vector<std::uint32_t> LogIndex::select(int highestLevel, std::string_view filter) const
{
    std::string needle(filter);
    std::transform(needle.begin(), needle.end(), needle.begin(), lower);
    std::vector<std::uint32_t> rows;
    rows.reserve(m_entries.size());
    for (std::size_t i = m_entries.size(); i-- > 0;) {
        const Entry& entry = m_entries[i];
        if (entry.levelNumber() > highestLevel) {
            continue;
        }
        if (!needle.empty() && !containsFolded(tag(entry), needle)
            && !containsFolded(message(entry), needle)) {
            continue;
        }
        rows.push_back(static_cast<std::uint32_t>(i));
    }
    rows.shrink_to_fit();
    return rows;
}

std::int64_t LogIndex::rowOfKey(const LogIndex& index, const std::vector<std::uint32_t>& rows,
                                std::uint64_t key)
{
    // Rows run newest first, so their keys (file offsets) fall.
    const auto found = std::lower_bound(rows.begin(), rows.end(), key,
                                        [&index](std::uint32_t row, std::uint64_t wanted) {
                                            return index.entry(row).offset > wanted;
                                        });
    if (found == rows.end() || index.entry(*found).offset != key) {
        return -1;
    }
    return found - rows.begin();
}

bool LogIndex::sameFile(const LogIndex& other) const
{
    return m_path == other.m_path && m_device == other.m_device && m_inode == other.m_inode
        && m_size <= other.m_size;
}

std::string LogIndex::rowText(std::size_t index) const
{
    const Entry& entry = m_entries[index];
    std::string text(LogFile::levelName(entry.levelNumber()));
    text += '\t';
    text += formatTime(entry.time);
    text += '\t';
    text += tag(entry);
    text += '\t';
    text += message(entry);
    return text;
}

std::string LogIndex::formatTime(std::int32_t time)
{
    const std::time_t seconds = time;
    std::tm local {};
    if (localtime_r(&seconds, &local) == nullptr) {
        return "--:-- --/--/----";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%2.2d:%2.2d %2.2d/%2.2d/%4.4d", local.tm_hour, local.tm_min,
                  local.tm_mon + 1, local.tm_mday, local.tm_year + 1900);
    return text;
}
