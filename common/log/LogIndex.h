#pragma once

#include "log/LargeBuffer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

// Why LogIndex::load failed.
enum class LogIndexError {
    None,
    NotFound, // there is no log file (an empty log, not a fault)
    ReadFailed, // the file is there but could not be read
    Stopped, // the caller asked the reading to stop
    TooLarge, // the file is larger than an index can address
};

// The whole log file read in one pass for the log viewer: the file's bytes are held once and
// each entry is a few numbers pointing into them, so a log of a million lines costs little more
// than its own size. Lines are split as LogFile::readEntry splits them, and the reading ends at
// the first line that cannot be split. Not safe for use from several threads at once; a loaded
// index may be read from any thread.
class LogIndex
{
public:
    // One entry: where its tag and message lie in the file, its time and its level.
    struct Entry
    {
        std::uint64_t offset : 40; // the tag's first byte in the file (the entry's key)
        std::uint64_t tagLength : 24; // the message starts one byte after the tag
        std::int32_t time;
        std::uint32_t messageLength : 24;
        std::int32_t level : 8; // levels beyond -128..127 are kept at those bounds

        // The entry's level as the viewer compares it.
        int levelNumber() const { return level; }
    };

    // How much of the file has been read (both in bytes); called on the loading thread.
    using Progress = std::function<void(std::uint64_t done, std::uint64_t total)>;

    // An empty index.
    LogIndex();
    ~LogIndex();
    LogIndex(LogIndex&&) noexcept;
    LogIndex& operator=(LogIndex&&) noexcept;

    // Reads the file at `path` from its start to the size it has now, replacing what the index
    // held (and using its memory again where that fits); stops early (with LogIndexError::Stopped)
    // once `stop` is requested. A missing file fails with LogIndexError::NotFound and leaves the
    // index empty.
    [[nodiscard]] bool load(const std::string& path, std::stop_token stop = {},
                            const Progress& progress = {});
    // The last failure of load().
    LogIndexError lastError() const { return m_lastError; }
    // What failed and on which file, for the user.
    const std::string& lastErrorText() const { return m_lastErrorText; }

    // The number of entries read.
    std::size_t size() const { return m_entries.size(); }
    // The entry at a position in file order.
    const Entry& entry(std::size_t index) const { return m_entries[index]; }
    // The entry's origin tag.
    std::string_view tag(const Entry& entry) const;
    // The entry's message text.
    std::string_view message(const Entry& entry) const;

    // The positions of the entries whose level is at most `highestLevel` and whose tag or
    // message contains `filter` (without regard to ASCII case; empty matches all), newest
    // (last in the file) first.
    std::vector<std::uint32_t> select(int highestLevel, std::string_view filter) const;
    // The position of the entry whose key (Entry::offset) is `key` among `rows` as select()
    // gave them, or -1.
    static std::int64_t rowOfKey(const LogIndex& index, const std::vector<std::uint32_t>& rows,
                                 std::uint64_t key);

    // Whether the reading ended at the end of the file, not at a line that cannot be split.
    bool complete() const { return m_stopLine == 0; }
    // The number (from 1) of the line the reading stopped at; 0 when complete().
    std::uint64_t stopLine() const { return m_stopLine; }
    // The file read, its size when read, and whether `other` was read from the same file
    // (not one deleted and written anew in between).
    const std::string& path() const { return m_path; }
    std::uint64_t fileSize() const { return m_size; }
    bool sameFile(const LogIndex& other) const;

    // The entry as one line of text for the clipboard: level name, time, tag and message
    // separated by tabs.
    std::string rowText(std::size_t index) const;
    // A time (seconds since 1970, UTC) as the viewer shows it in local time: "hh:mm mm/dd/yyyy".
    static std::string formatTime(std::int32_t time);

private:
    bool fail(LogIndexError error, std::string text);
    // Empties the index but keeps its memory.
    void clear();
    // Splits the lines in [m_parsed, end); a piece without its line end waits for more bytes
    // unless `final`. False once a line cannot be split.
    bool parse(std::size_t end, bool final);

    // Frees the file's bytes, which come from LargeBuffer.
    struct Release
    {
        std::size_t size;
        void operator()(char* bytes) const noexcept { LargeBuffer::release(bytes, size); }
    };

    std::unique_ptr<char[], Release> m_bytes;
    std::vector<Entry, LargeBuffer::Allocator<Entry>> m_entries;
    std::string m_path;
    std::uint64_t m_size = 0;
    std::uint64_t m_device = 0;
    std::uint64_t m_inode = 0;
    std::size_t m_parsed = 0;
    std::uint64_t m_stopLine = 0;
    LogIndexError m_lastError = LogIndexError::None;
    std::string m_lastErrorText;
};
