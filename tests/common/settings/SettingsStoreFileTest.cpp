// The settings store against files a person or another program left at its path: typos,
// other encodings, binary content, links, read-only files, folders and devices.
#include "ScopedRegistry.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

constexpr const char* keyA = "HKEY_CURRENT_USER\\SOFTWARE\\Tessal\\Norvane\\A";
constexpr const char* keyB = "HKEY_CURRENT_USER\\SOFTWARE\\Tessal\\Norvane\\B";

// Every non-blank line of `original` appears in `rewritten`, in the same order.
::testing::AssertionResult keepsEveryLine(const std::string& original, const std::string& rewritten)
{
    std::size_t from = 0;
    std::size_t start = 0;
    while (start < original.size()) {
        std::size_t end = original.find("\r\n", start);
        if (end == std::string::npos) {
            end = original.size();
        }
        const std::string line = original.substr(start, end - start);
        start = end + 2;
        if (line.empty()) {
            continue;
        }
        const std::size_t at = rewritten.find(line + "\r\n", from);
        if (at == std::string::npos) {
            return ::testing::AssertionFailure() << "lost or moved: " << line << "\n" << rewritten;
        }
        from = at + line.size();
    }
    return ::testing::AssertionSuccess();
}

const std::string storeWithTypos = std::string("Windows Registry Editor Version 5.00\r\n"
                                               "; settings of the front desk\r\n\r\n[")
    + keyA + "]\r\n\"a\"=dword:00000001\r\n\"broken\"=dword:xyz\r\n\r\n[Foo\r\n\r\n"
    + "[SOFTWARE\\Typo]\r\n\"lost\"=\"no\"\r\n\r\n[]\r\n\r\n[" + keyB + "]\r\n\"b\"=\"2\"\r\n";

TEST(SettingsStoreFile, TyposHideNoKeyAndAWriteKeepsThem)
{
    ScopedRegistry registry;
    registry.dir().write("registry.reg", storeWithTypos);
    SettingsStore store(registry.path());
    ASSERT_TRUE(store.value(keyB, "b").has_value());
    EXPECT_EQ(store.value(keyB, "b")->data, "2");
    EXPECT_FALSE(store.value(keyA, "lost").has_value());

    ASSERT_TRUE(store.setValue(keyA, SettingsValue::makeNumber("c", 3)));
    ASSERT_TRUE(store.setValue(keyB, SettingsValue::makeNumber("d", 4)));
    const std::string rewritten = registry.dir().read("registry.reg");
    EXPECT_TRUE(keepsEveryLine(storeWithTypos, rewritten));
    SettingsStore fresh(registry.path());
    EXPECT_EQ(fresh.value(keyA, "c")->number(), 3u);
    EXPECT_EQ(fresh.value(keyB, "d")->number(), 4u);
    EXPECT_EQ(fresh.value(keyB, "b")->data, "2");
}

struct BadName
{
    const char* label;
    std::string key;
    std::string name;
};

class SettingsStoreBadName : public testing::TestWithParam<BadName>
{ };

TEST_P(SettingsStoreBadName, IsRefusedAndTheFileIsUnchanged)
{
    ScopedRegistry registry;
    SettingsStore store(registry.path());
    ASSERT_TRUE(store.setValue(keyA, SettingsValue::makeString("x", "1")));
    const std::string before = registry.dir().read("registry.reg");
    EXPECT_FALSE(store.setValue(GetParam().key, SettingsValue::makeNumber(GetParam().name, 1)));
    const std::string error = SettingsStore::lastErrorText();
    EXPECT_TRUE(error.find("line break") != std::string::npos
                || error.find("zero byte") != std::string::npos)
        << error;
    if (GetParam().key != keyA) {
        EXPECT_FALSE(store.createKey(GetParam().key + "\\Sub"));
    }
    EXPECT_EQ(registry.dir().read("registry.reg"), before);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SettingsStoreBadName,
    testing::Values(BadName {"valueInjection", keyA,
                             "n\r\n[HKEY_CURRENT_USER\\InjB]\r\n\"evil\"=dword:1"},
                    BadName {"valueLf", keyA, "a\nb"}, BadName {"valueCr", keyA, "a\rb"},
                    BadName {"valueZero", keyA, std::string("a\0b", 3)},
                    BadName {"keyLf", std::string(keyA) + "\n[HKEY_CURRENT_USER\\InjB]", "n"},
                    BadName {"keyZero", std::string(keyA) + std::string("\0x", 2), "n"}),
    [](const testing::TestParamInfo<BadName>& p) { return p.param.label; });

TEST(SettingsStoreFile, KeyNamesWithBracketsReadBack)
{
    ScopedRegistry registry;
    const std::string odd = std::string(keyA) + "\\a]b\\end]";
    ASSERT_TRUE(SettingsStore(registry.path()).setValue(odd, SettingsValue::makeNumber("n", 7)));
    SettingsStore fresh(registry.path());
    ASSERT_TRUE(fresh.value(odd, "n").has_value());
    EXPECT_EQ(fresh.value(odd, "n")->number(), 7u);
}

std::string asUtf16le(std::string_view text)
{
    std::string out = "\xff\xfe";
    for (char c : text) {
        out += c;
        out += '\0';
    }
    return out;
}

struct ForeignFile
{
    const char* label;
    std::string bytes;
};

class SettingsStoreForeignFile : public testing::TestWithParam<ForeignFile>
{ };

const std::string exported
    = std::string("Windows Registry Editor Version 5.00\r\n; exported\r\n\r\n[") + keyA
    + "]\r\n\"home\"=\"/opt/norvane\"\r\n\r\n[" + keyB + "]\r\n\"n\"=dword:0000002a\r\n";

std::string crOnly(std::string text)
{
    std::string out;
    for (char c : text) {
        if (c != '\n') {
            out += c;
        }
    }
    return out;
}

// What a registry editor exports, or a file saved with old Mac line ends: read as written,
// and a write keeps every value and comment in the one documented format.
TEST_P(SettingsStoreForeignFile, IsReadAndRewrittenInTheDocumentedFormat)
{
    ScopedRegistry registry;
    registry.dir().write("registry.reg", GetParam().bytes);
    SettingsStore store(registry.path());
    ASSERT_TRUE(store.value(keyA, "home").has_value()) << SettingsStore::lastErrorText();
    EXPECT_EQ(store.value(keyA, "home")->data, "/opt/norvane");
    EXPECT_EQ(store.value(keyB, "n")->number(), 42u);

    ASSERT_TRUE(store.setValue(keyB, SettingsValue::makeNumber("m", 1)));
    const std::string rewritten = registry.dir().read("registry.reg");
    EXPECT_TRUE(keepsEveryLine(exported, rewritten));
    EXPECT_EQ(rewritten.find('\0'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Encodings, SettingsStoreForeignFile,
                         testing::Values(ForeignFile {"utf16le", asUtf16le(exported)},
                                         ForeignFile {"crOnly", crOnly(exported)}),
                         [](const testing::TestParamInfo<ForeignFile>& p) {
                             return p.param.label;
                         });

TEST(SettingsStoreFile, ABinaryFileIsNeverWrittenOver)
{
    ScopedRegistry registry;
    const std::string binary("\x7f"
                             "ELF\x02\x01\x01\x00\x00\x00\x03\x00\x3e\x00",
                             14);
    registry.dir().write("registry.reg", binary);
    SettingsStore store(registry.path());
    EXPECT_FALSE(store.readable());
    EXPECT_NE(SettingsStore::lastErrorText().find("not a registry text"), std::string::npos)
        << SettingsStore::lastErrorText();
    EXPECT_FALSE(store.keyExists(keyA));
    EXPECT_FALSE(store.setValue(keyA, SettingsValue::makeNumber("n", 1)));
    EXPECT_NE(SettingsStore::lastErrorText().find(registry.path()), std::string::npos);
    EXPECT_FALSE(store.importText(std::string("[") + keyA + "]\n\"n\"=dword:1\n"));
    EXPECT_EQ(registry.dir().read("registry.reg"), binary);
}

TEST(SettingsStoreFile, ALinkedStoreIsWrittenThroughItsLink)
{
    ScopedRegistry registry;
    ASSERT_EQ(mkdir(registry.dir().file("dotfiles").c_str(), 0700), 0);
    registry.dir().write("dotfiles/norvane.reg", exported);
    // A relative link, as a dotfiles manager makes.
    ASSERT_EQ(symlink("dotfiles/norvane.reg", registry.path().c_str()), 0);
    SettingsStore store(registry.path());
    ASSERT_TRUE(store.setValue(keyA, SettingsValue::makeNumber("n", 5)));

    struct stat link
    { };
    ASSERT_EQ(lstat(registry.path().c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode));
    const std::string target = registry.dir().read("dotfiles/norvane.reg");
    EXPECT_NE(target.find("\"n\"=dword:00000005"), std::string::npos) << target;
    EXPECT_TRUE(keepsEveryLine(exported, target));
    EXPECT_EQ(SettingsStore(registry.path()).value(keyA, "n")->number(), 5u);
}

TEST(SettingsStoreFile, AReadOnlyFileIsNotRewritten)
{
    ScopedRegistry registry;
    registry.dir().write("registry.reg", exported);
    ASSERT_EQ(chmod(registry.path().c_str(), 0444), 0);
    SettingsStore store(registry.path());
    EXPECT_EQ(store.value(keyB, "n")->number(), 42u);
    EXPECT_FALSE(store.setValue(keyA, SettingsValue::makeNumber("n", 1)));
    EXPECT_NE(SettingsStore::lastErrorText().find("read-only"), std::string::npos)
        << SettingsStore::lastErrorText();
    EXPECT_FALSE(store.deleteKey(keyB));
    EXPECT_EQ(registry.dir().read("registry.reg"), exported);
    struct stat info
    { };
    ASSERT_EQ(stat(registry.path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0444u);
}

enum class Special { Folder, Fifo, ZeroDevice };

class SettingsStoreNotAFile : public testing::TestWithParam<Special>
{ };

// An endless device must not be read without limit, a FIFO must not hang the read, and a
// folder is no empty store. The device is a private copy of /dev/zero, so that a fault can
// never replace the system's.
TEST_P(SettingsStoreNotAFile, IsRefusedWithAClearError)
{
    ScopedRegistry registry;
    const std::string path = registry.dir().file("special");
    const char* said = "device or other special file";
    switch (GetParam()) {
    case Special::Folder:
        ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
        said = "is a folder";
        break;
    case Special::Fifo:
        ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        break;
    case Special::ZeroDevice:
        if (mknod(path.c_str(), S_IFCHR | 0600, makedev(1, 5)) != 0) {
            GTEST_SKIP() << "cannot make a device node here (not root)";
        }
        break;
    }
    SettingsStore store(path);
    EXPECT_FALSE(store.readable());
    EXPECT_NE(SettingsStore::lastErrorText().find(said), std::string::npos)
        << SettingsStore::lastErrorText();
    EXPECT_FALSE(store.value(keyA, "n").has_value());
    EXPECT_FALSE(store.setValue(keyA, SettingsValue::makeNumber("n", 1)));
    EXPECT_NE(SettingsStore::lastErrorText().find(path), std::string::npos);
    struct stat info
    { };
    ASSERT_EQ(lstat(path.c_str(), &info), 0);
    EXPECT_FALSE(S_ISREG(info.st_mode));
    EXPECT_NE(lstat((path + ".lock").c_str(), &info), 0) << "nothing made beside it";
}

INSTANTIATE_TEST_SUITE_P(Paths, SettingsStoreNotAFile,
                         testing::Values(Special::Folder, Special::Fifo, Special::ZeroDevice));

TEST(SettingsStoreFile, AHugeFileIsRefusedUnread)
{
    ScopedRegistry registry;
    // A sparse file: 64 MiB and one byte long without using the disk.
    const int fd = open(registry.path().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, 64 * 1024 * 1024 + 1), 0);
    close(fd);
    SettingsStore store(registry.path());
    EXPECT_FALSE(store.readable());
    EXPECT_NE(SettingsStore::lastErrorText().find("larger than 64 MiB"), std::string::npos)
        << SettingsStore::lastErrorText();
    EXPECT_FALSE(store.setValue(keyA, SettingsValue::makeNumber("n", 1)));
}

TEST(SettingsStoreFile, AnImportFolderIsRefused)
{
    ScopedRegistry registry;
    SettingsStore store(registry.path());
    EXPECT_FALSE(store.importFile(registry.dir().path()));
    EXPECT_NE(SettingsStore::lastErrorText().find("folder"), std::string::npos);
    const std::string file = registry.dir().write("import.reg", asUtf16le(exported));
    ASSERT_TRUE(store.importFile(file)) << SettingsStore::lastErrorText();
    EXPECT_EQ(store.value(keyB, "n")->number(), 42u);
}

} // namespace
