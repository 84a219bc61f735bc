#pragma once

#include <atomic>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

// One line of the log read back: level, time (seconds since 1970, UTC), origin tag, text.
struct LogEntry
{
    int level = 0;
    std::int32_t time = 0;
    std::string tag;
    std::string message;
};

// One line split in place: the tag and the message point into the line's own text.
struct LogFields
{
    int level = 0;
    std::int32_t time = 0;
    std::string_view tag;
    std::string_view message;
};

// The shared log file "ndlog.dat" that the program and both driver plug-ins append to.
// Each line reads "level,time,tag:message" and ends in CR LF; a line is written only when its
// level is at most the configured `logLevel`. Each line goes out in one write, so lines of
// different writers and processes never mix. Opening and writing report failure but are not
// [[nodiscard]]: the log is where failures are reported, so its own failure has nowhere else
// to go, and a writer that cannot log carries on.
class LogFile
{
public:
    // Program: settings are loaded at once and a write without an open file opens the file
    // for that one line. PlugIn: the send opens the file; writes while it is closed are dropped.
    enum class Mode { Program, PlugIn };

    // A closed log; in Program mode the settings are loaded at once.
    explicit LogFile(Mode mode = Mode::Program);
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Works out the path (`logFile`, else `home`/data/ndlog.dat, else "ndlog.dat") and reads
    // `logLevel` and `maxLogSize`.
    bool loadSettings();
    // Opens the file for appending (creating it); succeeds without opening anything while
    // the settings are not loaded.
    bool openForAppend();
    // Opens the file for reading from its start; fails when it is missing.
    [[nodiscard]] bool openForReading();
    // Writes one message line if the level passes; true when written or filtered out.
    bool write(int level, std::string_view tag, const char* format, ...)
        __attribute__((format(printf, 4, 5)));
    // write() with a va_list.
    bool writeV(int level, std::string_view tag, const char* format, va_list arguments)
        __attribute__((format(printf, 4, 0)));
    // Writes one dump line "label=n[bytes]" if the level passes (bytes outside 0x20..0x7F as <xx>).
    bool writeDump(int level, std::string_view tag, std::string_view label, const void* data,
                   std::size_t length);
    // Reads and splits the next line of a file opened for reading; false at the end or at a
    // line without a level, a time and a tag.
    [[nodiscard]] bool readEntry(LogEntry& entry);
    // Closes the file if one is open; always true.
    bool close();
    // Deletes the log file (whether that worked is not reported).
    void removeFile();

    // Splits one line (without its line end) as readEntry() does.
    [[nodiscard]] static bool parseLine(std::string_view line, LogEntry& entry);
    // parseLine() without copying: the fields point into `line`.
    [[nodiscard]] static bool splitLine(std::string_view line, LogFields& fields);
    // The longest line readEntry() takes in one piece; the rest is read as a line of its own,
    // so a damaged file cannot exhaust memory.
    static constexpr std::size_t maxLineLength = 65536;
    // The short name of a level ("None" ... "Debug6", "Bad" otherwise).
    static std::string_view levelName(int level);

    // Whether a line of this level would be written.
    bool passes(int level) const { return level <= m_level.load(std::memory_order_relaxed); }
    // The log file's path (empty until the settings are loaded).
    const std::string& path() const { return m_path; }
    // The configured highest level that is written.
    int level() const { return m_level.load(std::memory_order_relaxed); }
    // The configured maximum size in kilobytes (kept for the Options sheet; nothing acts on it).
    int maxSize() const { return m_maxSize; }
    // Whether a file is open for appending or reading.
    bool isOpen() const;
    // Whether the last failed readEntry() met the end of the file (not a malformed line).
    bool atEnd() const;
    // Uses this file instead of the configured one; the level settings stay as loaded.
    void setPath(std::string path);

private:
    bool appendLine(std::string& line);
    bool closeLocked();

    Mode m_mode;
    mutable std::mutex m_mutex; // a plug-in shares its log between two threads
    std::string m_path;
    int m_appendFd = -1;
    std::FILE* m_reader = nullptr;
    std::atomic<int> m_level {4};
    int m_maxSize = 50;
    bool m_settingsLoaded = false;
    bool m_atEnd = false;
};
