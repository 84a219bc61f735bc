#include "settings/SettingsStore.h"

#include "ScopedRegistry.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr const char* key = "HKEY_CURRENT_USER\\SOFTWARE\\Tessal\\Norvane\\Test";

std::string valueName(int writer, int round)
{
    return "w" + std::to_string(writer) + "_" + std::to_string(round);
}

// Runs `body` in a child process and returns its pid; the child exits 0 on success.
template<typename Body>
pid_t spawn(Body body)
{
    const pid_t pid = fork();
    if (pid == 0) {
        _exit(body() ? 0 : 1);
    }
    return pid;
}

bool exitedCleanly(pid_t pid)
{
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(SettingsStore, TwoProcessesWritingAtOnceLoseNothing)
{
    ScopedRegistry registry;
    constexpr int writers = 3;
    constexpr int rounds = 60;
    std::vector<pid_t> children;
    for (int w = 0; w < writers; ++w) {
        children.push_back(spawn([w, &registry] {
            // A store object of its own, as another process has.
            SettingsStore store(registry.path());
            for (int r = 0; r < rounds; ++r) {
                if (!store.setValue(key, SettingsValue::makeNumber(valueName(w, r), r))) {
                    return false;
                }
            }
            return true;
        }));
    }
    for (pid_t child : children) {
        EXPECT_TRUE(exitedCleanly(child));
    }
    SettingsStore reader(registry.path());
    EXPECT_EQ(reader.values(key).size(), static_cast<std::size_t>(writers * rounds));
    for (int w = 0; w < writers; ++w) {
        for (int r = 0; r < rounds; ++r) {
            const auto value = reader.value(key, valueName(w, r));
            ASSERT_TRUE(value.has_value()) << valueName(w, r);
            EXPECT_EQ(value->number(), static_cast<std::uint32_t>(r));
        }
    }
}

TEST(SettingsStore, ThreadsOfOneProcessLoseNothing)
{
    ScopedRegistry registry;
    std::vector<std::thread> threads;
    for (int w = 0; w < 4; ++w) {
        threads.emplace_back([w] {
            for (int r = 0; r < 25; ++r) {
                EXPECT_TRUE(SettingsStore::current()->setValue(
                    key, SettingsValue::makeString(valueName(w, r), "x")));
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(SettingsStore::current()->values(key).size(), 100u);
}

TEST(SettingsStore, SurvivesAWriterKilledMidWrite)
{
    ScopedRegistry registry;
    SettingsStore store(registry.path());
    ASSERT_TRUE(store.setValue(key, SettingsValue::makeString("keep", "me")));
    // A large value makes each write long enough to be cut by the kill.
    const std::string bulk(256 * 1024, 'b');
    for (int attempt = 0; attempt < 8; ++attempt) {
        const pid_t child = spawn([&] {
            SettingsStore writer(registry.path());
            for (int r = 0;; ++r) {
                (void)writer.setValue(key,
                                      SettingsValue::makeString("bulk", bulk + std::to_string(r)));
            }
            return true;
        });
        usleep(static_cast<useconds_t>(3000 + attempt * 2000));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);

        SettingsStore reader(registry.path());
        const auto kept = reader.value(key, "keep");
        ASSERT_TRUE(kept.has_value()) << "attempt " << attempt;
        EXPECT_EQ(kept->data, "me");
        // Another writer can carry on after the killed one.
        EXPECT_TRUE(reader.setValue(key, SettingsValue::makeNumber("after", attempt)));
    }
}

TEST(SettingsStore, SeesAnotherWritersChangeAtTheNextRead)
{
    ScopedRegistry registry;
    SettingsStore first(registry.path());
    SettingsStore second(registry.path());
    ASSERT_TRUE(first.setValue(key, SettingsValue::makeNumber("n", 1)));
    EXPECT_EQ(second.value(key, "n")->number(), 1u);
    ASSERT_TRUE(first.setValue(key, SettingsValue::makeNumber("n", 2)));
    EXPECT_EQ(second.value(key, "n")->number(), 2u);

    // A person editing the file by hand, in place.
    std::string text = registry.dir().read("registry.reg");
    const std::size_t at = text.find("dword:00000002");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 14, "dword:00000003");
    FILE* file = fopen(registry.path().c_str(), "r+");
    ASSERT_NE(file, nullptr);
    fwrite(text.data(), 1, text.size(), file);
    fclose(file);
    EXPECT_EQ(second.value(key, "n")->number(), 3u);
}

TEST(SettingsStore, TheFileIsReadableRegistryText)
{
    ScopedRegistry registry;
    ASSERT_TRUE(SettingsStore::current()->setValue(key, SettingsValue::makeNumber("logLevel", 5)));
    const std::string text = registry.dir().read("registry.reg");
    EXPECT_EQ(text.rfind("Windows Registry Editor Version 5.00\r\n", 0), 0u);
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\SOFTWARE\\Tessal\\Norvane\\Test]\r\n"
                        "\"logLevel\"=dword:00000005\r\n"),
              std::string::npos)
        << text;
    struct stat info
    { };
    ASSERT_EQ(stat(registry.path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(SettingsStore, ImportMergesAndRefusesBrokenTextWhole)
{
    ScopedRegistry registry;
    auto store = SettingsStore::current();
    ASSERT_TRUE(store->setValue(key, SettingsValue::makeString("old", "1")));
    ASSERT_TRUE(store->setValue(std::string(key) + "\\Sub", SettingsValue::makeString("s", "1")));

    EXPECT_FALSE(store->importText("[HKCU\\SOFTWARE\\New]\n\"a\"=\"1\"\n\"b\"=dword:xyz\n"));
    EXPECT_NE(SettingsStore::lastErrorText().find("line 3"), std::string::npos);
    EXPECT_FALSE(store->keyExists("HKCU\\SOFTWARE\\New"));

    ASSERT_TRUE(store->importText(std::string("[-") + key + "\\Sub]\n[" + key
                                  + "]\n\"old\"=-\n\"new\"=\"2\"\n"))
        << SettingsStore::lastErrorText();
    EXPECT_FALSE(store->keyExists(std::string(key) + "\\Sub"));
    EXPECT_FALSE(store->value(key, "old").has_value());
    EXPECT_EQ(store->value(key, "new")->data, "2");

    // What export gives, import takes back unchanged.
    const std::string exported = store->exportText();
    ScopedRegistry other;
    ASSERT_TRUE(SettingsStore::current()->importText(exported));
    EXPECT_EQ(SettingsStore::current()->exportText(), exported);
}

TEST(SettingsStore, SubKeysDeleteKeyAndErrors)
{
    ScopedRegistry registry;
    auto store = SettingsStore::current();
    ASSERT_TRUE(store->createKey("HKCU/SOFTWARE/Classes/CLSID/{A}/InprocServer32"));
    ASSERT_TRUE(store->createKey("HKCU\\SOFTWARE\\Classes\\CLSID\\{B}"));
    EXPECT_EQ(store->subKeys("HKCU\\SOFTWARE\\Classes\\CLSID"),
              (std::vector<std::string> {"{A}", "{B}"}));
    EXPECT_TRUE(store->deleteKey("HKCU\\SOFTWARE\\Classes\\CLSID\\{a}"));
    EXPECT_FALSE(store->keyExists("HKCU\\SOFTWARE\\Classes\\CLSID\\{A}\\InprocServer32"));
    EXPECT_FALSE(store->deleteKey("HKCU\\SOFTWARE\\Classes\\CLSID\\{A}"));
    EXPECT_FALSE(store->deleteValue(key, "none"));
    EXPECT_NE(SettingsStore::lastErrorText().find("none"), std::string::npos);
    EXPECT_FALSE(store->setValue("HKEY_SOMEWHERE\\X", SettingsValue::makeNumber("n", 1)));
    EXPECT_NE(SettingsStore::lastErrorText().find("HKEY_SOMEWHERE"), std::string::npos);
}

TEST(SettingsStore, DefaultPathFollowsTheEnvironment)
{
    ScopedRegistry registry;
    EXPECT_EQ(SettingsStore::defaultPath(), registry.path());
    unsetenv("NORVANE_REGISTRY");
    const char* previous = getenv("XDG_CONFIG_HOME");
    const std::string saved = previous ? previous : "";
    setenv("XDG_CONFIG_HOME", "/somewhere/config", 1);
    EXPECT_EQ(SettingsStore::defaultPath(), "/somewhere/config/norvane/registry.reg");
    if (previous) {
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
}

} // namespace
