// The two database files under crashes, races and things that are not files, through the
// built norvane-cli: a child killed at a chosen step (strace stops it with SIGKILL at its n-th
// data sync), several first uses at once, and named pipes, folders, links and device nodes at
// the path.
#include "ChildProcess.h"
#include "CliRun.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr const char* pathsKey = "HKCU\\SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Paths";

// A private settings store whose home lies in the test's folder.
class CliDatabaseSafety : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(setHome(registry)); }

    static bool setHome(const ScopedRegistry& store)
    {
        return runCli(store, {"reg", "set", pathsKey, "home", "--string", store.dir().file("home")})
                   .exitCode
            == 0;
    }

    ProcessResult run(std::vector<std::string> arguments) { return runCli(registry, arguments); }

    // Runs the CLI under strace, which kills it with SIGKILL on entry to its n-th fdatasync
    // (SQLite's sync before and at each commit); a run that ends without reaching it exits as
    // usual.
    static ProcessResult runKilledAtSync(const ScopedRegistry& store, int n,
                                         std::vector<std::string> arguments)
    {
        arguments.insert(
            arguments.begin(),
            {NORVANE_STRACE_PATH, "-f", "-qq", "-o", "/dev/null", "-e", "trace=fdatasync", "-e",
             "inject=fdatasync:signal=KILL:when=" + std::to_string(n), NORVANE_CLI_PATH});
        // LeakSanitizer cannot check a traced program at its exit.
        const char* sanitizer = std::getenv("ASAN_OPTIONS");
        return ProcessRunner::run(
            arguments,
            {{"NORVANE_REGISTRY", store.path()},
             {"ASAN_OPTIONS", std::string(sanitizer ? sanitizer : "") + ":detect_leaks=0"}});
    }

    ScopedRegistry registry;
};

TEST_F(CliDatabaseSafety, ReplaceWithARefusedNumberKeepsTheProvider)
{
    ASSERT_EQ(run({"providers", "add", "Acme Paging", "555-0100"}).exitCode, 0);
    const ProcessResult refused
        = run({"providers", "add", "--replace", "Acme Paging", std::string(51, '7')});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("longer than 50 characters"), std::string::npos) << refused.err;
    EXPECT_EQ(run({"providers", "list"}).out, "Acme Paging\t555-0100\n");

    // A replace of a name that is not there adds it; another case of a name replaces it.
    ASSERT_EQ(run({"providers", "add", "--replace", "Beta", "1"}).exitCode, 0);
    ASSERT_EQ(run({"providers", "add", "--replace", "ACME PAGING", "555-0199"}).exitCode, 0);
    EXPECT_EQ(run({"providers", "list"}).out, "ACME PAGING\t555-0199\nBeta\t1\n");
}

TEST_F(CliDatabaseSafety, ReplaceKilledAtAnySyncKeepsTheProvider)
{
    ASSERT_EQ(run({"providers", "add", "Acme", "100"}).exitCode, 0);
    std::string phone = "100";
    bool finished = false;
    for (int n = 1; n < 40 && !finished; ++n) {
        SCOPED_TRACE("killed at fdatasync " + std::to_string(n));
        const std::string next = std::to_string(100 + n);
        const ProcessResult replace
            = runKilledAtSync(registry, n, {"providers", "add", "--replace", "Acme", next});
        finished = replace.exitCode == 0;
        const ProcessResult now = run({"providers", "phone", "Acme"});
        ASSERT_EQ(now.exitCode, 0) << "the provider is gone: " << now.err;
        // Killed, the replace either happened or did not; finished, it happened.
        EXPECT_TRUE(now.out == next + "\n" || (!finished && now.out == phone + "\n")) << now.out;
        phone = now.out.substr(0, now.out.size() - 1);
    }
    EXPECT_TRUE(finished) << "the replace never ran to its end";
}

// Reads one provider's number over and over on a connection of its own, as another program
// would, and counts the reads that found no row.
class ProviderReader
{
public:
    explicit ProviderReader(const std::string& path)
    {
        if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
            // Retry at once rather than sleep: a sleeping reader would miss short moments.
            sqlite3_busy_handler(
                m_db,
                [](void*, int tries) {
                    std::this_thread::yield();
                    return tries < 10000000 ? 1 : 0;
                },
                nullptr);
        }
    }
    ~ProviderReader() { sqlite3_close(m_db); }
    ProviderReader(const ProviderReader&) = delete;
    ProviderReader& operator=(const ProviderReader&) = delete;

    // One read: 1 found, 0 missing, -1 the database was busy or failed.
    int read(const char* name)
    {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_db, "SELECT Phone FROM pspTable WHERE Name = ?1", -1, &statement,
                               nullptr)
            != SQLITE_OK) {
            return -1;
        }
        sqlite3_bind_text(statement, 1, name, -1, SQLITE_TRANSIENT);
        const int result = sqlite3_step(statement);
        sqlite3_finalize(statement);
        return result == SQLITE_ROW ? 1 : result == SQLITE_DONE ? 0 : -1;
    }

private:
    sqlite3* m_db = nullptr;
};

TEST_F(CliDatabaseSafety, ReadersNeverFindAReplacedProviderMissing)
{
    ASSERT_EQ(run({"providers", "add", "Acme", "0"}).exitCode, 0);
    std::atomic<bool> done = false;
    std::atomic<int> failedReplaces = 0;
    std::thread writer([&] {
        for (int i = 1; i <= 60; ++i) {
            if (run({"providers", "add", "--replace", "Acme", std::to_string(i)}).exitCode != 0) {
                ++failedReplaces;
            }
        }
        done = true;
    });
    ProviderReader reader(registry.dir().file("home/data/pspDbs.mdb"));
    int found = 0;
    int missing = 0;
    while (!done) {
        const int result = reader.read("Acme");
        found += result == 1 ? 1 : 0;
        missing += result == 0 ? 1 : 0;
    }
    writer.join();
    EXPECT_EQ(failedReplaces, 0);
    EXPECT_GT(found, 60);
    EXPECT_EQ(missing, 0) << "of " << found + missing << " reads";
    EXPECT_EQ(run({"providers", "phone", "Acme"}).out, "60\n");
}

struct FirstUseCase
{
    const char* label;
    std::vector<std::string> create; // the first use, killed
    std::vector<std::string> change; // a later change that must work
    std::vector<std::string> list;
    const char* fileName;
};

class CliFirstUseKilled : public CliDatabaseSafety, public testing::WithParamInterface<FirstUseCase>
{ };

TEST_P(CliFirstUseKilled, AtAnySyncLeavesADatabaseTheNextCommandUses)
{
    const FirstUseCase& use = GetParam();
    bool finished = false;
    for (int n = 1; n < 40 && !finished; ++n) {
        SCOPED_TRACE("first use killed at fdatasync " + std::to_string(n));
        ScopedRegistry fresh;
        ASSERT_TRUE(setHome(fresh));
        const ProcessResult first = runKilledAtSync(fresh, n, use.create);
        finished = first.exitCode == 0;
        if (!finished) {
            ASSERT_EQ(first.exitCode, -1) << first.err; // it was killed, it did not fail
        }
        const ProcessResult change = runCli(fresh, use.change);
        EXPECT_EQ(change.exitCode, 0) << change.err;
        const ProcessResult list = runCli(fresh, use.list);
        EXPECT_EQ(list.exitCode, 0) << list.err;
        EXPECT_NE(list.out.find(use.change[2]), std::string::npos) << list.out;
        EXPECT_TRUE(
            std::filesystem::is_regular_file(fresh.dir().file("home/data") + "/" + use.fileName));
    }
    EXPECT_TRUE(finished) << "the first use never ran to its end";
}

INSTANTIATE_TEST_SUITE_P(Files, CliFirstUseKilled,
                         testing::Values(FirstUseCase {"providers",
                                                       {"providers", "add", "Acme", "1"},
                                                       {"providers", "add", "Beta", "2"},
                                                       {"providers", "list"},
                                                       "pspDbs.mdb"},
                                         FirstUseCase {"addressBook",
                                                       {"adb", "add", "Pat", "1/1"},
                                                       {"adb", "add", "Lee", "2/2"},
                                                       {"adb", "list"},
                                                       "simpleAdb.mdb"}),
                         [](const auto& p) { return p.param.label; });

TEST_F(CliDatabaseSafety, FirstUsesAtOnceLoseNoChange)
{
    constexpr int rounds = 8;
    constexpr int each = 4;
    int succeeded = 0;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ScopedRegistry fresh;
        ASSERT_TRUE(setHome(fresh));
        std::vector<std::unique_ptr<ChildProcess>> children;
        for (int i = 0; i < each; ++i) {
            const std::string n = std::to_string(i);
            for (const std::vector<std::string>& arguments :
                 {std::vector<std::string> {NORVANE_CLI_PATH, "providers", "add", "P" + n, n},
                  std::vector<std::string> {NORVANE_CLI_PATH, "adb", "add", "N" + n, n + "/1"}}) {
                children.push_back(std::make_unique<ChildProcess>());
                ASSERT_TRUE(
                    children.back()->start(arguments, {{"NORVANE_REGISTRY", fresh.path()}}));
            }
        }
        std::vector<bool> added;
        for (const auto& child : children) {
            const auto ending = child->waitForEnd(30000);
            ASSERT_TRUE(ending.has_value());
            added.push_back(ending->exitCode == 0);
        }
        const std::string providers = runCli(fresh, {"providers", "list"}).out;
        const std::string entries = runCli(fresh, {"adb", "list"}).out;
        for (int i = 0; i < each; ++i) {
            const std::string n = std::to_string(i);
            if (added[2 * i]) {
                ++succeeded;
                EXPECT_NE(providers.find("P" + n + "\t" + n + "\n"), std::string::npos)
                    << "provider P" << n << " added, now missing:\n"
                    << providers;
            }
            if (added[2 * i + 1]) {
                ++succeeded;
                EXPECT_NE(entries.find("N" + n + "\t" + n + "/1\n"), std::string::npos)
                    << "entry N" << n << " added, now missing:\n"
                    << entries;
            }
        }
    }
    EXPECT_GT(succeeded, rounds * each); // most adds get through the races
}

struct KindCase
{
    const char* label;
    std::vector<std::string> command;
    const char* setting;
    int exitCode; // -1: not looked at (the list command's rule for an unavailable book)
};

class CliDatabaseKinds : public CliDatabaseSafety, public testing::WithParamInterface<KindCase>
{ };

// What is at a path, told by lstat: its file type, or 0 when nothing is there.
mode_t kindAt(const std::string& path)
{
    struct stat info
    { };
    return ::lstat(path.c_str(), &info) == 0 ? (info.st_mode & S_IFMT) : 0;
}

TEST_P(CliDatabaseKinds, OnlyARegularFileIsCreatedAndNothingElseIsDeleted)
{
    const std::string dir = registry.dir().file("odd");
    std::filesystem::create_directories(dir);
    std::vector<std::string> paths;
    paths.push_back(dir + "/pipe.mdb");
    ASSERT_EQ(::mkfifo(paths.back().c_str(), 0600), 0);
    paths.push_back(dir + "/folder.mdb");
    std::filesystem::create_directory(paths.back());
    paths.push_back(dir + "/dangling.mdb");
    std::filesystem::create_symlink(dir + "/nowhere/target.mdb", paths.back());
    if (::geteuid() == 0) {
        paths.push_back(dir + "/null.mdb"); // a node of the device /dev/null is
        ASSERT_EQ(::mknod(paths.back().c_str(), S_IFCHR | 0666, ::makedev(1, 3)), 0);
    }
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        const mode_t before = kindAt(path);
        ASSERT_EQ(run({"reg", "set", pathsKey, GetParam().setting, "--string", path}).exitCode, 0);
        const ProcessResult result = run(GetParam().command);
        if (GetParam().exitCode >= 0) {
            EXPECT_EQ(result.exitCode, GetParam().exitCode) << result.out;
        }
        EXPECT_NE(result.err.find(path + " is "), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("not a database file"), std::string::npos) << result.err;
        EXPECT_EQ(kindAt(path), before) << "what was at the path is gone or changed";
        EXPECT_EQ(kindAt(dir + "/nowhere"), 0U) << "a file was created through the link";
    }
}

INSTANTIATE_TEST_SUITE_P(Files, CliDatabaseKinds,
                         testing::Values(KindCase {"providers", {"providers", "list"}, "pspDbs", 1},
                                         KindCase {
                                             "addressBook", {"adb", "list"}, "simpleAdb", -1}),
                         [](const auto& p) { return p.param.label; });

} // namespace
