#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/types.h>

// File operations the stores share: whole reads and writes that survive interrupted calls,
// folders made on demand, and the atomic replacement of a file's content.
namespace FileIo {

// The most any store file is read to: far above any real store, yet an endless or huge file
// (a device, /proc, a wrong path) gives an error instead of exhausting the memory.
inline constexpr std::size_t maxReadBytes = std::size_t {64} * 1024 * 1024;

// How reading a whole file went.
enum class ReadResult { Read, Missing, Failed };

// Writes every byte to the descriptor; false (errno set) when a write fails.
[[nodiscard]] bool writeAll(int fd, std::string_view bytes);
// Reads the descriptor to its end into `out`, at most `limit` bytes; false (errno set) when a
// read fails, or with errno EFBIG when there is more than `limit`.
[[nodiscard]] bool readAll(int fd, std::string& out, std::size_t limit = maxReadBytes);
// Opens the file at `path` (a symbolic link to one counts) for reading, only when it is a
// regular file: never blocks on a FIFO, never opens a device. -1 on failure, with `error`
// naming the path and why; errno is ENOENT (or ENOTDIR) when nothing is at the path.
[[nodiscard]] int openRegularFile(const std::string& path, std::string& error);
// Reads the regular file at `path` whole (at most maxReadBytes) into `out`: Missing when
// nothing is at the path; Failed for anything else that is not a readable regular file of at
// most that size, with `error` naming the path and why. The read every store uses.
[[nodiscard]] ReadResult readRegularFile(const std::string& path, std::string& out,
                                         std::string& error);
// Why the store file at `path` must not be replaced or deleted ("" when it may, or when
// nothing is there): a file that is not a regular file, a read-only file (no write
// permission bit, which even the superuser respects here), or one this user may not write.
std::string replaceProblem(const std::string& path);
// The folder that holds the path ("." for a bare name, "/" for a file in the root).
std::string folderOf(const std::string& path);
// Makes the folder and its missing parents; on failure `error` names the folder and why.
[[nodiscard]] bool makeFolders(const std::string& folder, std::string& error);
// "<what> <path>: <the system's reason for errno>".
std::string systemError(std::string_view what, const std::string& path);
// What a file of that mode is, in words for an error text ("a folder", "a named pipe", ...).
const char* kindOf(mode_t mode);
// Replaces the file at `path` with `bytes`: written to `temporaryPath` (beside it), flushed to
// the disk, renamed over the file, and the rename made durable. The file is always either its
// old or its new whole content; it keeps its permissions (`newMode` for a new file). A file
// with a replaceProblem() is refused. On failure the file is untouched, the temporary file
// removed, and `error` says why.
[[nodiscard]] bool replaceAtomically(const std::string& path, const std::string& temporaryPath,
                                     std::string_view bytes, unsigned newMode, std::string& error);

} // namespace FileIo
