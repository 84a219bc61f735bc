#pragma once

#include <string>
#include <string_view>

// File operations the stores share: whole reads and writes that survive interrupted calls,
// folders made on demand, and the atomic replacement of a file's content.
namespace FileIo {

// Writes every byte to the descriptor; false (errno set) when a write fails.
[[nodiscard]] bool writeAll(int fd, std::string_view bytes);
// Reads the descriptor to its end into `out`; false (errno set) when a read fails.
[[nodiscard]] bool readAll(int fd, std::string& out);
// The folder that holds the path ("." for a bare name, "/" for a file in the root).
std::string folderOf(const std::string& path);
// Makes the folder and its missing parents; on failure `error` names the folder and why.
[[nodiscard]] bool makeFolders(const std::string& folder, std::string& error);
// "<what> <path>: <the system's reason for errno>".
std::string systemError(std::string_view what, const std::string& path);
// Replaces the file at `path` with `bytes`: written to `temporaryPath` (beside it), flushed to
// the disk, renamed over the file, and the rename made durable. The file is always either its
// old or its new whole content; it keeps its permissions (`newMode` for a new file). On
// failure the file is untouched, the temporary file removed, and `error` says why.
[[nodiscard]] bool replaceAtomically(const std::string& path, const std::string& temporaryPath,
                                     std::string_view bytes, unsigned newMode, std::string& error);

} // namespace FileIo
