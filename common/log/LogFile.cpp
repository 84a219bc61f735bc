#include "log/LogFile.h"

#include "log/LogLevel.h"
#include "settings/DataPaths.h"
#include "settings/SettingsKey.h"
#include "settings/SettingsStore.h"
#include "settings/SharedSettings.h"
#include "text/TextNumber.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

constexpr std::string_view fileName = "ndlog.dat";

// The prefix "%d,%d,%s:" with the tag made safe: "," and ":" would split the line wrongly when
// it is read back, and line breaks would end it.
std::string prefix(int level, std::string_view tag)
{
    std::string text = std::to_string(level);
    text += ',';
    text += std::to_string(static_cast<std::int32_t>(std::time(nullptr)));
    text += ',';
    for (char c : tag) {
        text += (c == ',' || c == ':' || c == '\r' || c == '\n') ? '_' : c;
    }
    text += ':';
    return text;
}

// Control bytes (a terminal's ESC or EOT, a line end) are written as dump lines write them,
// "<1b>", so that a line never carries a raw control byte and stays one line.
void appendMessage(std::string& line, std::string_view message)
{
    char escaped[8];
    for (char c : message) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            std::snprintf(escaped, sizeof escaped, "<%2.2x>", byte);
            line += escaped;
        } else {
            line += c;
        }
    }
}

// The next token as a classic tokenizer finds it: delimiters at its start are skipped, and
// it ends at the next delimiter (which is consumed) or at the end of the text.
bool nextToken(std::string_view& rest, char delimiter, std::string_view& token)
{
    std::size_t start = 0;
    while (start < rest.size() && rest[start] == delimiter) {
        ++start;
    }
    if (start == rest.size()) {
        rest = {};
        return false;
    }
    const std::size_t end = rest.find(delimiter, start);
    token
        = rest.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    rest = end == std::string_view::npos ? std::string_view {} : rest.substr(end + 1);
    return true;
}

// A token as TextNumber::leading reads it, with a quick way for the usual plain digits (the
// log viewer reads a million of them).
long leadingNumber(std::string_view token)
{
    if (token.empty() || token.size() > 18) {
        return TextNumber::leading(token);
    }
    long value = 0;
    for (char c : token) {
        if (c < '0' || c > '9') {
            return TextNumber::leading(token);
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

// What the log settings came to, and the settings store's generation they were read in.
struct LogSettings
{
    std::uint64_t generation = 0;
    std::string path;
    int level = 4;
    int maxSize = 50;
};

// The log settings as they stand. Every log is made with them (the gateway makes one per
// client, a send one per send), so they are read again only when the store has changed, which
// costs one look at the store file rather than a dozen look-ups.
LogSettings currentSettings()
{
    static std::mutex cacheMutex;
    static LogSettings cache;
    const std::shared_ptr<SettingsStore> store = SettingsStore::current();
    const std::uint64_t generation = store ? store->generation() : 0;
    if (generation != 0) {
        const std::lock_guard<std::mutex> guard(cacheMutex);
        if (cache.generation == generation) {
            return cache;
        }
    }
    LogSettings fresh;
    // Tagged with the generation seen before reading: a change made meanwhile gives a newer
    // one, so the next log reads again.
    fresh.generation = generation;
    fresh.path = DataPaths::resolve(SharedSettings::Paths::logFile, fileName);
    const SettingsKey log(RootKey::CurrentUser, SharedSettings::Log::key);
    fresh.maxSize = log.read(SharedSettings::Log::maxLogSize);
    fresh.level = log.read(SharedSettings::Log::logLevel);
    if (generation != 0) {
        const std::lock_guard<std::mutex> guard(cacheMutex);
        cache = fresh;
    }
    return fresh;
}

} // namespace

LogFile::LogFile(Mode mode)
    : m_mode(mode)
{
    if (m_mode == Mode::Program) {
        loadSettings();
    }
}

LogFile::~LogFile()
{
    close();
}

bool LogFile::loadSettings()
{
    const LogSettings settings = currentSettings();
    const std::lock_guard<std::mutex> guard(m_mutex);
    m_path = settings.path;
    m_maxSize = settings.maxSize;
    m_level = settings.level;
    m_settingsLoaded = true;
    return true;
}

bool LogFile::openForAppend()
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    if (!m_settingsLoaded) {
        return true;
    }
    closeLocked();
    m_appendFd = ::open(m_path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    return m_appendFd >= 0;
}

bool LogFile::openForReading()
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    closeLocked();
    m_reader = std::fopen(m_path.c_str(), "rbe");
    return m_reader != nullptr;
}

bool LogFile::isOpen() const
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_appendFd >= 0 || m_reader != nullptr;
}

bool LogFile::atEnd() const
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_atEnd;
}

void LogFile::setPath(std::string path)
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    m_path = std::move(path);
    m_settingsLoaded = true;
}

bool LogFile::write(int level, std::string_view tag, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const bool written = writeV(level, tag, format, arguments);
    va_end(arguments);
    return written;
}

bool LogFile::writeV(int level, std::string_view tag, const char* format, va_list arguments)
{
    if (!passes(level)) {
        return true;
    }
    va_list copy;
    va_copy(copy, arguments);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string message(needed > 0 ? static_cast<std::size_t>(needed) : 0, '\0');
    if (needed > 0) {
        std::vsnprintf(message.data(), message.size() + 1, format, arguments);
    }
    std::string line = prefix(level, tag);
    appendMessage(line, message);
    return appendLine(line);
}

bool LogFile::writeDump(int level, std::string_view tag, std::string_view label, const void* data,
                        std::size_t length)
{
    if (!passes(level)) {
        return true;
    }
    std::string line = prefix(level, tag);
    appendMessage(line, label);
    line += '=';
    line += std::to_string(length);
    line += '[';
    const auto* bytes = static_cast<const unsigned char*>(data);
    char escaped[8];
    for (std::size_t i = 0; i < length; ++i) {
        if (bytes[i] >= 0x20 && bytes[i] <= 0x7f) {
            line += static_cast<char>(bytes[i]);
        } else {
            std::snprintf(escaped, sizeof escaped, "<%2.2x>", bytes[i]);
            line += escaped;
        }
    }
    line += ']';
    return appendLine(line);
}

bool LogFile::appendLine(std::string& line)
{
    line += "\r\n";
    const std::lock_guard<std::mutex> guard(m_mutex);
    int fd = m_appendFd;
    bool openedHere = false;
    if (fd < 0) {
        if (m_mode == Mode::PlugIn || !m_settingsLoaded) {
            return false;
        }
        fd = ::open(m_path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) {
            return false;
        }
        openedHere = true;
    }
    // One write per line: with O_APPEND the whole line lands at the end in one piece.
    std::string_view rest = line;
    bool ok = true;
    while (!rest.empty()) {
        const ssize_t written = ::write(fd, rest.data(), rest.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            ok = false;
            break;
        }
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
    if (openedHere) {
        ::close(fd);
    }
    return ok;
}

bool LogFile::readEntry(LogEntry& entry)
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    if (m_reader == nullptr) {
        return false;
    }
    std::string line;
    int c = 0;
    while (line.size() < maxLineLength && (c = getc_unlocked(m_reader)) != EOF && c != '\n') {
        line.push_back(static_cast<char>(c));
    }
    m_atEnd = c == EOF && line.empty();
    if (m_atEnd) {
        // Another writer may add lines later; a later call reads them.
        std::clearerr(m_reader);
        return false;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return parseLine(line, entry);
}

bool LogFile::parseLine(std::string_view line, LogEntry& entry)
{
    LogFields fields;
    if (!splitLine(line, fields)) {
        return false;
    }
    entry.level = fields.level;
    entry.time = fields.time;
    entry.tag.assign(fields.tag);
    entry.message.assign(fields.message);
    return true;
}

bool LogFile::splitLine(std::string_view line, LogFields& fields)
{
    std::string_view rest = line;
    std::string_view level, time, tag;
    if (!nextToken(rest, ',', level) || !nextToken(rest, ',', time) || !nextToken(rest, ':', tag)) {
        return false;
    }
    fields.level = static_cast<int>(leadingNumber(level));
    fields.time = static_cast<std::int32_t>(leadingNumber(time));
    fields.tag = tag;
    fields.message = rest;
    return true;
}

bool LogFile::close()
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    return closeLocked();
}

bool LogFile::closeLocked()
{
    if (m_appendFd >= 0) {
        ::close(m_appendFd);
        m_appendFd = -1;
    }
    if (m_reader != nullptr) {
        std::fclose(m_reader);
        m_reader = nullptr;
    }
    return true;
}

void LogFile::removeFile()
{
    (void)::unlink(m_path.c_str());
}

std::string_view LogFile::levelName(int level)
{
    return LogLevel::shortName(level);
}
