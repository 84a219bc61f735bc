#include "cli/LogRelay.h"

#include "log/LogFile.h"

#include <chrono>
#include <fcntl.h>
#include <ostream>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

constexpr auto pollInterval = std::chrono::milliseconds(100);

bool isDriverTag(std::string_view tag)
{
    return tag == "kestrel" || tag == "plover";
}

long long sizeOf(const std::string& path)
{
    struct stat info
    { };
    return ::stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : 0;
}

} // namespace

LogRelay::LogRelay(std::ostream& out, std::string prefix, Lines lines)
    : m_out(out)
    , m_prefix(std::move(prefix))
    , m_lines(lines)
{ }

LogRelay::~LogRelay()
{
    stop();
}

void LogRelay::start(const std::string& path)
{
    stop();
    m_stopping = false;
    m_path = path;
    try {
        m_thread = std::thread(&LogRelay::run, this, path, sizeOf(path));
    } catch (const std::system_error& error) {
        m_out << ("cannot follow the log " + path + ": " + error.what() + "\n") << std::flush;
        m_path.clear();
    }
}

void LogRelay::abandon()
{
    if (m_thread.joinable()) {
        m_stopping = true;
        m_thread.detach();
    }
}

void LogRelay::stop()
{
    if (m_thread.joinable()) {
        m_stopping = true;
        m_thread.join();
    }
    m_path.clear();
}

void LogRelay::run(std::string path, long long offset)
{
    std::string partial;
    for (;;) {
        // Read once more after the stop request, so the driver's last lines are not lost.
        const bool last = m_stopping.load();
        offset = relayFrom(path, offset, partial);
        if (last) {
            return;
        }
        std::this_thread::sleep_for(pollInterval);
    }
}

long long LogRelay::relayFrom(const std::string& path, long long offset, std::string& partial)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        // Not there yet, or not readable for a moment: try again from the same place.
        return offset;
    }
    if (sizeOf(path) < offset) {
        // The log was purged meanwhile: follow the new file from its start.
        offset = 0;
        partial.clear();
    }
    std::string bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::pread(fd, buffer, sizeof buffer, static_cast<off_t>(offset));
        if (got <= 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
        offset += got;
    }
    ::close(fd);
    partial += bytes;
    std::size_t start = 0;
    for (std::size_t end = partial.find('\n'); end != std::string::npos;
         end = partial.find('\n', start)) {
        std::string_view line(partial.data() + start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        LogEntry entry;
        if (LogFile::parseLine(line, entry) && (m_lines == Lines::All || isDriverTag(entry.tag))) {
            // One write per line, so that other writers of the stream do not split it.
            std::string shown = m_prefix;
            if (m_lines == Lines::All) {
                shown += LogFile::levelName(entry.level);
                shown += ' ';
            }
            shown += entry.tag + ": " + entry.message + '\n';
            m_out << shown << std::flush;
        }
        start = end + 1;
    }
    partial.erase(0, start);
    return offset;
}
