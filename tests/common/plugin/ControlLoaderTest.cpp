#include "plugin/ControlLoader.h"

#include "PluginFiles.h"
#include "ScopedRegistry.h"
#include "TestClassIds.h"
#include "plugin/ClassRegistry.h"
#include "plugin/PluginLibrary.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Registers a class by hand, as if some plug-in at `path` had done it.
void registerAt(const char* classId, const std::string& path)
{
    ClassRegistry registry;
    ASSERT_TRUE(registry.registerClass({classId, "", "Test", path})) << registry.lastErrorText();
}

struct FailureCase
{
    const char* label;
    // Prepares the store (and files) and returns the class identifier to create.
    std::function<std::string(const ScopedRegistry&)> arrange;
    ControlError error;
    std::vector<std::string> textParts; // each must appear in the error text
};

// Names the case in test listings.
void PrintTo(const FailureCase& c, std::ostream* out)
{
    *out << '"' << c.label << '"';
}

class ControlLoaderFailure : public testing::TestWithParam<FailureCase>
{ };

TEST_P(ControlLoaderFailure, ReportsWhatFailedOnWhat)
{
    const FailureCase& c = GetParam();
    ScopedRegistry scoped;
    const std::string classId = c.arrange(scoped);
    ControlLoader loader;
    DispatchClient client = loader.create(classId);
    EXPECT_FALSE(client.isValid()) << c.label;
    EXPECT_EQ(loader.lastError(), c.error) << c.label << ": " << loader.lastErrorText();
    for (const std::string& part : c.textParts) {
        EXPECT_NE(loader.lastErrorText().find(part), std::string::npos)
            << c.label << ": \"" << part << "\" not in \"" << loader.lastErrorText() << "\"";
    }
}

INSTANTIATE_TEST_SUITE_P(
    LoaderCases, ControlLoaderFailure,
    testing::Values(
        FailureCase {"invalid class id",
                     [](const ScopedRegistry&) { return std::string("nope"); },
                     ControlError::InvalidClassId,
                     {"\"nope\" is not a class identifier"}},
        FailureCase {"not registered",
                     [](const ScopedRegistry&) { return std::string(TestClassIds::driver); },
                     ControlError::NotRegistered,
                     {TestClassIds::driver, "not registered", "InprocServer32"}},
        FailureCase {"library missing",
                     [](const ScopedRegistry& scoped) {
                         registerAt(TestClassIds::driver, scoped.dir().file("gone.so"));
                         return std::string(TestClassIds::driver);
                     },
                     ControlError::LibraryMissing,
                     {TestClassIds::driver, "gone.so", "does not exist"}},
        FailureCase {"not a shared library",
                     [](const ScopedRegistry& scoped) {
                         registerAt(TestClassIds::driver,
                                    scoped.dir().write("text.so", "this is not a library\n"));
                         return std::string(TestClassIds::driver);
                     },
                     ControlError::LibraryNotLoadable,
                     {TestClassIds::driver, "cannot load the plug-in library", "text.so: "}},
        FailureCase {"no entry points",
                     [](const ScopedRegistry&) {
                         registerAt(TestClassIds::driver, PluginFiles::noEntry);
                         return std::string(TestClassIds::driver);
                     },
                     ControlError::EntryPointMissing,
                     {PluginFiles::noEntry, "lacks the entry point nvPluginAbiVersion"}},
        FailureCase {"only the version entry point",
                     [](const ScopedRegistry&) {
                         registerAt(TestClassIds::driver, PluginFiles::abiOnly);
                         return std::string(TestClassIds::driver);
                     },
                     ControlError::EntryPointMissing,
                     {PluginFiles::abiOnly, "lacks the entry point nvGetClassObject"}},
        FailureCase {"other interface version",
                     [](const ScopedRegistry&) {
                         registerAt(TestClassIds::driver, PluginFiles::badAbi);
                         return std::string(TestClassIds::driver);
                     },
                     ControlError::AbiMismatch,
                     {PluginFiles::badAbi, "version 999", "uses version 1"}},
        FailureCase {"class not served",
                     [](const ScopedRegistry&) {
                         registerAt(TestClassIds::unserved, PluginFiles::testPlugin);
                         return std::string(TestClassIds::unserved);
                     },
                     ControlError::UnknownClass,
                     {TestClassIds::unserved, "does not serve this class"}},
        FailureCase {"construction throws",
                     [](const ScopedRegistry&) {
                         registerAt(TestClassIds::broken, PluginFiles::testPlugin);
                         return std::string(TestClassIds::broken);
                     },
                     ControlError::CreationFailed,
                     {TestClassIds::broken, "always fails to construct"}}),
    [](const testing::TestParamInfo<FailureCase>& param) { return std::to_string(param.index); });

TEST(ControlLoader, CreatesARegisteredClassByAnySpellingOfItsIdentifier)
{
    ScopedRegistry scoped;
    registerAt(TestClassIds::echo, PluginFiles::testPlugin);
    ControlLoader loader;
    DispatchClient client = loader.create("6a3f1c20-0d5e-4b7a-9c11-5e2d7a000002");
    ASSERT_TRUE(client.isValid()) << loader.lastErrorText();
    EXPECT_EQ(loader.lastError(), ControlError::None);
    EXPECT_EQ(client.classId(), TestClassIds::echo);
    std::string joined;
    ASSERT_TRUE(
        client.callText(TestClassIds::Concat, {std::string("a"), std::string("b")}, joined));
    EXPECT_EQ(joined, "ab");
}

TEST(ControlLoader, CreateFromFileNeedsNoRegistration)
{
    ScopedRegistry scoped;
    ControlLoader loader;
    DispatchClient client = loader.createFromFile(PluginFiles::testPlugin, TestClassIds::driver);
    ASSERT_TRUE(client.isValid()) << loader.lastErrorText();
    DispatchClient none = loader.createFromFile(PluginFiles::testPlugin, TestClassIds::unserved);
    EXPECT_FALSE(none.isValid());
    EXPECT_EQ(loader.lastError(), ControlError::UnknownClass);
}

TEST(PluginLibrary, LoadingTheSameFileAgainReusesIt)
{
    ControlError error = ControlError::None;
    std::string text;
    const auto first = PluginLibrary::open(PluginFiles::testPlugin, error, text);
    ASSERT_TRUE(first) << text;
    // Another spelling of the same path.
    const std::string path = PluginFiles::testPlugin;
    const std::string dotted
        = path.substr(0, path.rfind('/')) + "/./" + path.substr(path.rfind('/') + 1);
    const auto second = PluginLibrary::open(dotted, error, text);
    EXPECT_EQ(first.get(), second.get());
    EXPECT_EQ(first->path(), path);
}

TEST(ControlLoader, FreeUnusedKeepsALibraryWithLiveControls)
{
    ScopedRegistry scoped;
    registerAt(TestClassIds::echo, PluginFiles::testPlugin);
    ControlLoader loader;
    DispatchClient client = loader.create(TestClassIds::echo);
    ASSERT_TRUE(client.isValid()) << loader.lastErrorText();

    EXPECT_EQ(ControlLoader::freeUnusedLibraries(), 0);
    std::string joined;
    ASSERT_TRUE(client.callText(TestClassIds::Concat, {std::string("x"), std::string("y")}, joined))
        << client.lastErrorText();

    client.reset();
    EXPECT_EQ(ControlLoader::freeUnusedLibraries(), 1);
    EXPECT_EQ(ControlLoader::freeUnusedLibraries(), 0);

    // Loaded afresh on the next use.
    DispatchClient again = loader.create(TestClassIds::echo);
    ASSERT_TRUE(again.isValid()) << loader.lastErrorText();
    ASSERT_TRUE(again.callText(TestClassIds::Concat, {std::string("1"), std::string("2")}, joined));
    EXPECT_EQ(joined, "12");
}

} // namespace
