// The plover plug-in as a host sees it: its registration, its members by plover's own
// dispatch numbers, the frame's log lines of a send, the progress window module it looks for,
// and the dialogs it cannot show without a GUI.
#include "PloverPluginFixture.h"
#include "plugin/ClassRegistry.h"

#include <filesystem>

using namespace PloverIds;

namespace {

using PloverPluginTest = PloverPluginFixture;

// The type name a class was registered with.
std::string registeredTypeName(std::string_view classId)
{
    const SettingsKey key(RootKey::CurrentUser,
                          "SOFTWARE\\Classes\\CLSID\\" + std::string(classId));
    std::string name;
    EXPECT_TRUE(key.getString("", name, 256)) << classId;
    return name;
}

TEST_F(PloverPluginTest, RegistrationNamesTheControlAndItsPropertyPage)
{
    ClassRegistry registry;
    const std::string plugin = std::filesystem::absolute(pluginPath).lexically_normal().string();
    const struct
    {
        std::string_view classId;
        std::string_view progId;
        std::string_view typeName;
    } classes[] = {
        // Written out rather than taken from PloverIds, so that a slip there shows.
        {"{518B4086-2747-11D2-AC39-000000000000}", "PLOVER.PloverCtrl.1", "Tessal Plover Driver"},
        {"{518B4087-2747-11D2-AC39-000000000000}", "PLOVER.PloverPropPage.1",
         "Plover Property Page"},
    };
    for (const auto& c : classes) {
        SCOPED_TRACE(c.progId);
        std::string path;
        ASSERT_TRUE(registry.libraryPath(c.classId, path));
        EXPECT_EQ(path, plugin);
        std::string classId;
        ASSERT_TRUE(registry.classIdOfProgId(c.progId, classId));
        EXPECT_EQ(classId, c.classId);
        EXPECT_EQ(registeredTypeName(c.classId), c.typeName);
    }

    ASSERT_TRUE(loader.unregisterServer(pluginPath)) << loader.lastErrorText();
    std::string path;
    EXPECT_FALSE(registry.libraryPath(controlClass, path));
    EXPECT_FALSE(loader.create(controlClass).isValid());
}

TEST_F(PloverPluginTest, PropertyPageBindsNothing)
{
    DispatchClient page = loader.create(propertyPageClass);
    ASSERT_TRUE(page.isValid()) << loader.lastErrorText();
    std::int32_t value = 0;
    EXPECT_FALSE(page.getInt(DebugLevel, value));
    EXPECT_EQ(page.lastError(), DispatchStatus::UnknownDispId);
}

TEST_F(PloverPluginTest, PropertiesStartEmptyAndKeepWhatIsSet)
{
    DispatchClient control = create();
    std::string text = "unset";
    ASSERT_TRUE(control.getText(ClientName, text)) << control.lastErrorText();
    EXPECT_EQ(text, "");
    ASSERT_TRUE(control.getText(ProviderName, text)) << control.lastErrorText();
    EXPECT_EQ(text, "");
    std::int32_t level = -1;
    ASSERT_TRUE(control.getInt(DebugLevel, level)) << control.lastErrorText();
    EXPECT_EQ(level, 0);

    ASSERT_TRUE(control.setText(ClientName, "desk"));
    ASSERT_TRUE(control.setText(ProviderName, "Acme Paging"));
    ASSERT_TRUE(control.setInt(DebugLevel, 7));
    ASSERT_TRUE(control.getText(ClientName, text));
    EXPECT_EQ(text, "desk");
    ASSERT_TRUE(control.getText(ProviderName, text));
    EXPECT_EQ(text, "Acme Paging");
    ASSERT_TRUE(control.getInt(DebugLevel, level));
    EXPECT_EQ(level, 7);
}

TEST_F(PloverPluginTest, DispatchNumbersArePloversOwn)
{
    // Written out rather than taken from PloverIds: a host binds by these very numbers.
    DispatchClient control = create();
    ASSERT_TRUE(control.setText(1, "client"));
    ASSERT_TRUE(control.setText(2, "provider"));
    ASSERT_TRUE(control.setInt(3, 4));
    std::int32_t number = 0;
    ASSERT_TRUE(control.callInt(4, {std::string("77"), std::string("text")}, number));
    EXPECT_EQ(number, 0);
    ASSERT_TRUE(control.callInt(7, {}, number));
    EXPECT_EQ(number, 1);
    ASSERT_TRUE(control.callInt(8, {std::int16_t {0}}, number));
    EXPECT_EQ(number, 5);
    EXPECT_TRUE(control.callMethod(9));
    EXPECT_TRUE(control.callMethod(-552));
    EXPECT_TRUE(control.callMethod(6));
    ASSERT_TRUE(control.callInt(7, {}, number));
    EXPECT_EQ(number, 0);
    ASSERT_TRUE(control.callInt(5, {std::string(":")}, number));
    EXPECT_EQ(number, 216);

    std::string text;
    ASSERT_TRUE(control.getText(1, text));
    EXPECT_EQ(text, "client");
    ASSERT_TRUE(control.getText(2, text));
    EXPECT_EQ(text, "provider");
    // There is no logFileName: 4 is addMessage, a method, and nothing has the number 10.
    EXPECT_FALSE(control.getText(4, text));
    EXPECT_EQ(control.lastError(), DispatchStatus::WrongCallKind);
    EXPECT_FALSE(control.getText(10, text));
    EXPECT_EQ(control.lastError(), DispatchStatus::UnknownDispId);
}

TEST_F(PloverPluginTest, TheMessageListByDispatchNumber)
{
    DispatchClient control = create();
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(add(control, std::to_string(i), "m"), 0);
    }
    EXPECT_EQ(add(control, "20", "one too many"), 207);
    EXPECT_EQ(callInt(control, GetMessageCount), 20);
    EXPECT_EQ(resultCode(control, 19), 5);
    EXPECT_EQ(resultCode(control, -1), 2);
    EXPECT_EQ(resultCode(control, 20), 2);
    ASSERT_TRUE(control.callMethod(Clear));
    EXPECT_EQ(callInt(control, GetMessageCount), 0);
    EXPECT_EQ(resultCode(control, 0), 2);
}

TEST_F(PloverPluginTest, EveryFrameLineOfASendIsLoggedAtItsLevel)
{
    DispatchClient control = create();
    ASSERT_TRUE(control.setText(ProviderName, "Acme"));
    ASSERT_EQ(add(control, "5551234", "hello"), 0);
    ASSERT_EQ(sendToServer(control), 0);

    const std::string connecting = "Status: Connecting " + server.address();
    // The send's lines and the protocol thread's lines each keep their order; the two
    // threads' lines interleave.
    const std::vector<std::pair<std::string, int>> sendLines = {
        {"Send Start (instance=0)", 7},        {"Starting protocol thread...", 9},
        {"Showing Modal Dialog", 9},           {"Modal dialog returns (1)", 9},
        {"Waiting for thread termination", 9}, {"Send okay", 8},
    };
    const std::vector<std::pair<std::string, int>> threadLines = {
        {"LocalThread starts", 8},
        {connecting, 9},
        {"LocalThread start tcp connect", 8},
        {"LocalThread starts fsm", 8},
        {"State starts", 2},
        {"State SendSend (retry=0)", 2},
        {"State disconnect", 9},
        {"LocalThread fsm ends", 8},
        {"LocalThread ends", 8},
    };
    for (const auto* lines : {&sendLines, &threadLines}) {
        int previous = -1;
        for (const auto& [text, level] : *lines) {
            SCOPED_TRACE(text);
            EXPECT_EQ(levelOf(text), level);
            const int index = log.indexOf(text);
            EXPECT_GT(index, previous);
            previous = index;
        }
    }
    EXPECT_GT(log.indexOf("LocalThread starts"), log.indexOf("Starting protocol thread..."));
    EXPECT_LT(log.indexOf("LocalThread ends"), log.indexOf("Send okay"));
    EXPECT_EQ(levelOf("Dialog init"), 10);
    EXPECT_EQ(levelOf("Dialog providername=SNPP Paging (Acme)"), 10);
    EXPECT_EQ(levelOf("Phase: 3"), 10);
}

TEST_F(PloverPluginTest, ACaptionWithoutProviderIsTheBareTitle)
{
    DispatchClient control = create();
    ASSERT_EQ(sendToServer(control), 0);
    EXPECT_EQ(levelOf("Dialog providername=SNPP Paging"), 10);
}

TEST_F(PloverPluginTest, AVisibleSendLooksForTheWindowModuleBesideThePlugin)
{
    // The window module beside the plug-in finds no GUI application in this test (or is not
    // there, in a build without windows): the send goes on headless and says why.
    DispatchClient control = create(nullptr, true);
    ASSERT_EQ(add(control, "5551234", "hello"), 0);
    ASSERT_EQ(sendToServer(control), 0);
    EXPECT_EQ(resultCode(control, 0), 1);
    const std::string module
        = (std::filesystem::absolute(pluginPath).lexically_normal().parent_path()
           / "libplover_gui.so")
              .string();
#if NV_PLOVER_GUI_MODULE_BUILT
    const std::string expected
        = "Progress window not shown: the progress window module " + module + " made no view";
#else
    const std::string expected = "Progress window not shown: cannot load the GUI module " + module;
#endif
    bool found = false;
    for (const LogEntry& entry : log.entries()) {
        if (entry.tag == "plover" && entry.message.starts_with(expected)) {
            found = true;
            EXPECT_EQ(entry.level, 5);
        }
    }
    EXPECT_TRUE(found) << "no line beginning " << expected;
}

TEST_F(PloverPluginTest, DialogsLogALineWithoutAGui)
{
    DispatchClient control = create();
    EXPECT_TRUE(control.callMethod(ShowProperties));
    EXPECT_TRUE(control.callMethod(AboutBox));
    EXPECT_EQ(levelOf("Settings dialog not shown: no dialogs in this process"), 5);
    EXPECT_EQ(levelOf("Plover Control, Version 1.0"), 5);
}

} // namespace
