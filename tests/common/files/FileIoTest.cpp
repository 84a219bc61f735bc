#include "files/FileIo.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

TEST(FileIo, ReadAllStopsAtTheBoundWhateverTheFileSaysItHolds)
{
    // A pipe says nothing of its size, as /proc files and devices do not: only the bound
    // ends the read. The writer stops when the reader closes its end (EPIPE, not a signal).
    std::signal(SIGPIPE, SIG_IGN);
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    std::thread writer([&] {
        const std::string chunk(4096, 'z');
        for (int i = 0; i < 8; ++i) {
            if (!FileIo::writeAll(ends[1], chunk)) {
                break;
            }
        }
        ::close(ends[1]);
    });
    std::string out;
    errno = 0;
    EXPECT_FALSE(FileIo::readAll(ends[0], out, 10000));
    EXPECT_EQ(errno, EFBIG);
    EXPECT_TRUE(out.empty());
    ::close(ends[0]);
    writer.join();

    // Exactly at the bound is still a whole read.
    TempDir dir;
    const std::string path = dir.write("exact", std::string(10000, 'a'));
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_TRUE(FileIo::readAll(fd, out, 10000));
    EXPECT_EQ(out.size(), 10000u);
    ::close(fd);
}

TEST(FileIo, ReadRegularFileTellsMissingFromRefused)
{
    TempDir dir;
    const std::string file = dir.write("store.dat", "line\r\n");
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const struct
    {
        std::string path;
        FileIo::ReadResult result;
        const char* inError;
    } cases[] = {
        {file, FileIo::ReadResult::Read, ""},
        {dir.file("missing"), FileIo::ReadResult::Missing, "No such file"},
        {dir.file("store.dat/below"), FileIo::ReadResult::Missing, "Not a directory"},
        {dir.path(), FileIo::ReadResult::Failed, "it is a folder, not a regular file"},
        {fifo, FileIo::ReadResult::Failed, "it is a FIFO (named pipe), not a regular file"},
        {"/dev/null", FileIo::ReadResult::Failed, "it is a character device, not a regular file"},
    };
    for (const auto& one : cases) {
        std::string out, error;
        EXPECT_EQ(FileIo::readRegularFile(one.path, out, error), one.result) << one.path;
        EXPECT_NE(error.find(one.inError), std::string::npos) << error;
        if (one.result == FileIo::ReadResult::Read) {
            EXPECT_EQ(out, "line\r\n");
        } else {
            EXPECT_NE(error.find(one.path), std::string::npos) << error;
        }
    }
}

TEST(FileIo, AReadOnlyFileIsNotReplaced)
{
    TempDir dir;
    const std::string path = dir.write("store.dat", "old");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    std::string error;
    EXPECT_FALSE(FileIo::replaceAtomically(path, dir.file("store.tmp"), "new", 0644, error));
    EXPECT_NE(error.find(path + " is read-only"), std::string::npos) << error;
    EXPECT_EQ(dir.read("store.dat"), "old");
    EXPECT_EQ(dir.read("store.tmp"), "");

    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    EXPECT_TRUE(FileIo::replaceAtomically(path, dir.file("store.tmp"), "new", 0644, error))
        << error;
    EXPECT_EQ(dir.read("store.dat"), "new");
}

} // namespace
