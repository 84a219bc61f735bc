#include "CliRun.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

constexpr const char* logKey = "HKCU\\SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Log";

struct SetCase
{
    std::vector<std::string> typeArguments;
    const char* queried;
};

class CliRegSet : public testing::TestWithParam<SetCase>
{ };

TEST_P(CliRegSet, StoresAndQueriesEachType)
{
    ScopedRegistry registry;
    std::vector<std::string> arguments = {"reg", "set", logKey, "v"};
    arguments.insert(arguments.end(), GetParam().typeArguments.begin(),
                     GetParam().typeArguments.end());
    const ProcessResult set = runCli(registry, arguments);
    ASSERT_EQ(set.exitCode, 0) << set.err;
    const ProcessResult query = runCli(registry, {"reg", "query", logKey, "v"});
    EXPECT_EQ(query.exitCode, 0) << query.err;
    EXPECT_EQ(query.out, std::string(GetParam().queried) + "\n");
}

INSTANTIATE_TEST_SUITE_P(Types, CliRegSet,
                         testing::Values(SetCase {{"--string", "hello world"}, "hello world"},
                                         SetCase {{"--string="}, ""},
                                         SetCase {{"--number", "12"}, "12"},
                                         SetCase {{"--number", "-3"}, "-3"},
                                         SetCase {{"--number", "0x2A"}, "42"},
                                         SetCase {{"--number", "4294967295"}, "-1"},
                                         SetCase {{"--binary", "01,02,ff"}, "01,02,ff"},
                                         SetCase {{"--binary", "0a0B"}, "0a,0b"}));

TEST(CliReg, WhatTheCliSetsTheProgramReads)
{
    ScopedRegistry registry;
    ASSERT_EQ(runCli(registry, {"reg", "set", logKey, "logLevel", "--number", "9"}).exitCode, 0);
    const SettingsKey key(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Log");
    EXPECT_EQ(key.getNumber("logLevel", 4), 9);
}

TEST(CliReg, DeleteValueAndKey)
{
    ScopedRegistry registry;
    ASSERT_EQ(
        runCli(registry, {"reg", "set", "HKCU/SOFTWARE/T/Sub", "a", "--string", "1"}).exitCode, 0);
    EXPECT_EQ(runCli(registry, {"reg", "delete", "HKCU/SOFTWARE/T/Sub", "a"}).exitCode, 0);
    const ProcessResult again = runCli(registry, {"reg", "delete", "HKCU/SOFTWARE/T/Sub", "a"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.err.find("no value \"a\""), std::string::npos) << again.err;
    EXPECT_EQ(runCli(registry, {"reg", "delete-key", "HKCU/SOFTWARE/T"}).exitCode, 0);
    EXPECT_EQ(runCli(registry, {"reg", "query", "HKCU/SOFTWARE/T/Sub"}).exitCode, 1);
}

TEST(CliReg, ExportThenImportIntoAnotherStoreGivesTheSameStore)
{
    ScopedRegistry first;
    ASSERT_EQ(runCli(first, {"reg", "set", logKey, "logLevel", "--number", "6"}).exitCode, 0);
    ASSERT_EQ(
        runCli(first, {"reg", "set", logKey, "note", "--string", "a \"quoted\" \\ text"}).exitCode,
        0);
    ASSERT_EQ(runCli(first, {"reg", "set", logKey, "blob", "--binary", "00ff"}).exitCode, 0);
    const std::string file = first.dir().file("export.reg");
    ASSERT_EQ(runCli(first, {"reg", "export", file}).exitCode, 0);
    const ProcessResult exported = runCli(first, {"reg", "export"});

    ScopedRegistry second;
    const ProcessResult imported = runCli(second, {"reg", "import", file});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(runCli(second, {"reg", "export"}).out, exported.out);

    // Standard input works too, and a broken text changes nothing.
    ScopedRegistry third;
    const ProcessResult broken
        = runCli(third, {"reg", "import", "-"}, "[HKCU\\A]\n\"ok\"=\"1\"\n\"bad\"=dword:\n");
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_NE(broken.err.find("line 3"), std::string::npos) << broken.err;
    EXPECT_EQ(runCli(third, {"reg", "query", "HKCU\\A"}).exitCode, 1);
}

TEST(CliReg, PathNamesTheStore)
{
    ScopedRegistry registry;
    const ProcessResult result = runCli(registry, {"reg", "path"});
    EXPECT_EQ(result.out, registry.path() + "\n");
}

constexpr const char* linesKey = "HKEY_CURRENT_USER\\SOFTWARE\\Tessal\\Norvane\\Kestrel\\Lines";

// Runs the CLI against a settings store at any path (a folder, a device, a link).
ProcessResult runCliAt(const std::string& store, std::vector<std::string> arguments,
                       const std::string& input = {})
{
    arguments.insert(arguments.begin(), NORVANE_CLI_PATH);
    return ProcessRunner::run(arguments, {{"NORVANE_REGISTRY", store}}, input);
}

TEST(CliReg, ATypoInTheStoreHidesNoKeyAndSetKeepsEveryLine)
{
    ScopedRegistry registry;
    const std::string original = std::string("Windows Registry Editor Version 5.00\r\n"
                                             "; front desk\r\n\r\n[")
        + logKey + "]\r\n\"logLevel\"=dword:00000006\r\n\r\n[Foo\r\n\r\n[SOFTWARE\\Typo]\r\n"
        + "\"x\"=\"1\"\r\n\r\n[]\r\n\r\n[" + linesKey + "\\0]\r\n\"type\"=\"tcp\"\r\n"
        + "\"host\"=\"127.0.0.1\"\r\n\"port\"=dword:00001388\r\n";
    registry.dir().write("registry.reg", original);
    ASSERT_EQ(runCli(registry, {"reg", "query", std::string(linesKey) + "\\0", "port"}).out,
              "5000\n");
    ASSERT_EQ(runCli(registry, {"reg", "set", logKey, "logLevel", "--number", "7"}).exitCode, 0);
    const std::string rewritten = registry.dir().read("registry.reg");
    for (const char* kept : {"; front desk\r\n", "[Foo\r\n", "[SOFTWARE\\Typo]\r\n\"x\"=\"1\"\r\n",
                             "[]\r\n", "\"port\"=dword:00001388\r\n"}) {
        EXPECT_NE(rewritten.find(kept), std::string::npos) << kept << " lost:\n" << rewritten;
    }
    const ProcessResult lines = runCli(registry, {"lines"});
    EXPECT_NE(lines.out.find("127.0.0.1:5000"), std::string::npos) << lines.out << lines.err;
}

TEST(CliReg, NamesWithLineBreaksAreRefused)
{
    ScopedRegistry registry;
    ASSERT_EQ(runCli(registry, {"reg", "set", "HKCU\\T", "ok", "--number", "1"}).exitCode, 0);
    const std::string before = registry.dir().read("registry.reg");
    const ProcessResult injected
        = runCli(registry,
                 {"reg", "set", "HKCU\\T",
                  "n\r\n[HKEY_CURRENT_USER\\InjB]\r\n\"evil\"=dword:00000001", "--number", "1"});
    EXPECT_EQ(injected.exitCode, 1);
    EXPECT_NE(injected.err.find("line break"), std::string::npos) << injected.err;
    EXPECT_EQ(injected.err.find('\r'), std::string::npos) << "the name is shown escaped";
    const ProcessResult badKey
        = runCli(registry, {"reg", "set", "HKCU\\T\n[HKCU\\InjC]", "n", "--number", "1"});
    EXPECT_EQ(badKey.exitCode, 1);
    EXPECT_EQ(runCli(registry, {"reg", "query", "HKCU\\InjB"}).exitCode, 1);
    EXPECT_EQ(registry.dir().read("registry.reg"), before);
}

std::string utf16le(std::string_view text)
{
    std::string out = "\xff\xfe";
    for (char c : text) {
        out += c;
        out += '\0';
    }
    return out;
}

TEST(CliReg, ReadsWhatARegistryEditorExportsAndOldMacFiles)
{
    const std::string text = std::string("Windows Registry Editor Version 5.00\r\n\r\n[") + logKey
        + "]\r\n\"logLevel\"=dword:00000009\r\n";
    std::string crOnly = text;
    std::erase(crOnly, '\n');
    for (const std::string& bytes : {utf16le(text), crOnly}) {
        ScopedRegistry registry;
        registry.dir().write("registry.reg", bytes);
        const ProcessResult query = runCli(registry, {"reg", "query", logKey, "logLevel"});
        EXPECT_EQ(query.out, "9\n") << query.err;
        ASSERT_EQ(runCli(registry, {"reg", "set", logKey, "other", "--number", "1"}).exitCode, 0);
        const std::string rewritten = registry.dir().read("registry.reg");
        EXPECT_NE(rewritten.find("\"logLevel\"=dword:00000009\r\n"), std::string::npos)
            << rewritten;
    }
}

TEST(CliReg, ABinaryStoreIsNotWrittenOver)
{
    ScopedRegistry registry;
    const std::string binary("\x89PNG\r\n\x1a\n\x00\x00\x00\x0dIHDR", 16);
    registry.dir().write("registry.reg", binary);
    const ProcessResult set = runCli(registry, {"reg", "set", logKey, "n", "--number", "1"});
    EXPECT_EQ(set.exitCode, 1);
    EXPECT_NE(set.err.find("not a registry text"), std::string::npos) << set.err;
    EXPECT_EQ(runCli(registry, {"reg", "export"}).exitCode, 1);
    // The other commands go on with defaults, but say so.
    const ProcessResult lines = runCli(registry, {"lines"});
    EXPECT_NE(lines.err.find("not a registry text"), std::string::npos) << lines.err;
    EXPECT_NE(lines.err.find("going on with the default settings"), std::string::npos) << lines.err;
    EXPECT_EQ(registry.dir().read("registry.reg"), binary);
}

TEST(CliReg, ALinkedStoreStaysALink)
{
    ScopedRegistry registry;
    const std::string target = registry.dir().write("real.reg", "; kept\r\n");
    ASSERT_EQ(symlink(target.c_str(), registry.path().c_str()), 0);
    ASSERT_EQ(runCli(registry, {"reg", "set", logKey, "n", "--number", "1"}).exitCode, 0);
    struct stat info
    { };
    ASSERT_EQ(lstat(registry.path().c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    const std::string written = registry.dir().read("real.reg");
    EXPECT_NE(written.find("; kept\r\n"), std::string::npos) << written;
    EXPECT_NE(written.find("\"n\"=dword:00000001"), std::string::npos) << written;
}

TEST(CliReg, ImportAppliesItsLinesInOrder)
{
    ScopedRegistry registry;
    ASSERT_EQ(
        runCli(registry, {"reg", "set", std::string(linesKey) + "\\0", "device", "--string", "x"})
            .exitCode,
        0);
    // Delete the line devices and define them anew, as a registry editor applies it.
    const std::string import = std::string("Windows Registry Editor Version 5.00\r\n\r\n[-")
        + linesKey + "]\r\n\r\n[" + linesKey + "\\0]\r\n\"type\"=\"tcp\"\r\n"
        + "\"host\"=\"127.0.0.1\"\r\n\"port\"=dword:00001388\r\n";
    const ProcessResult imported = runCli(registry, {"reg", "import", "-"}, import);
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(runCli(registry, {"reg", "query", std::string(linesKey) + "\\0", "device"}).exitCode,
              1);
    const ProcessResult lines = runCli(registry, {"lines"});
    EXPECT_NE(lines.out.find("127.0.0.1:5000"), std::string::npos) << lines.out << lines.err;
}

TEST(CliReg, AZeroByteInAnImportedStringIsRefused)
{
    ScopedRegistry registry;
    const std::string import = std::string("[HKCU\\T]\n\"s\"=\"a") + '\0' + "b\"\n";
    const ProcessResult imported = runCli(registry, {"reg", "import", "-"}, import);
    EXPECT_EQ(imported.exitCode, 1);
    EXPECT_NE(imported.err.find("line 2: a string cannot hold a zero byte"), std::string::npos)
        << imported.err;
    // Control bytes that a string may hold go out and come back unchanged.
    ASSERT_EQ(runCli(registry, {"reg", "import", "-"}, "[HKCU\\T]\n\"s\"=hex(1):61,01,0a,62,00\n")
                  .exitCode,
              0);
    const std::string exported = runCli(registry, {"reg", "export"}).out;
    ScopedRegistry other;
    ASSERT_EQ(runCli(other, {"reg", "import", "-"}, exported).exitCode, 0);
    EXPECT_EQ(runCli(other, {"reg", "query", "HKCU\\T", "s"}).out, "a\x01\nb\n");
}

TEST(CliReg, FoldersDevicesAndReadOnlyFilesAreErrors)
{
    ScopedRegistry registry;
    const ProcessResult folderImport = runCli(registry, {"reg", "import", registry.dir().path()});
    EXPECT_EQ(folderImport.exitCode, 1);
    EXPECT_NE(folderImport.err.find("folder"), std::string::npos) << folderImport.err;

    // A private FIFO and copy of /dev/zero, so that a fault can never replace the system's.
    const std::string fifo = registry.dir().file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::vector<std::string> specials = {registry.dir().path(), fifo};
    if (const std::string zero = registry.dir().file("zero");
        mknod(zero.c_str(), S_IFCHR | 0600, makedev(1, 5)) == 0) {
        specials.push_back(zero);
    }
    for (const std::string& store : specials) {
        for (const std::vector<std::string>& command :
             {std::vector<std::string> {"reg", "export"},
              std::vector<std::string> {"reg", "query", logKey},
              std::vector<std::string> {"reg", "set", logKey, "n", "--number", "1"}}) {
            const ProcessResult result = runCliAt(store, command);
            EXPECT_EQ(result.exitCode, 1) << store << " " << command[1];
            EXPECT_NE(result.err.find(store), std::string::npos) << result.err;
        }
    }

    ASSERT_EQ(runCli(registry, {"reg", "set", logKey, "n", "--number", "1"}).exitCode, 0);
    const std::string before = registry.dir().read("registry.reg");
    ASSERT_EQ(chmod(registry.path().c_str(), 0444), 0);
    const ProcessResult readOnly = runCli(registry, {"reg", "set", logKey, "n", "--number", "2"});
    EXPECT_EQ(readOnly.exitCode, 1);
    EXPECT_NE(readOnly.err.find("read-only"), std::string::npos) << readOnly.err;
    EXPECT_EQ(registry.dir().read("registry.reg"), before);
}

} // namespace
