// The kestrel plug-in loaded from its built file by class identifier, registered in a private
// settings store and driven only by dispatch number, sending to the simulated paging terminal
// over a TCP line and through the fake modem on a pseudo-terminal.
#include "FakeModem.h"
#include "KestrelTestSettings.h"
#include "PrivateLog.h"
#include "TapTerminalSimulator.h"
#include "kestrel/KestrelIds.h"
#include "plugin/ClassRegistry.h"
#include "plugin/ControlLoader.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace KestrelIds;
using namespace std::chrono_literals;

namespace {

constexpr const char* pluginPath = NV_KESTREL_PLUGIN_PATH;

class KestrelPluginTest : public ::testing::Test
{
protected:
    KestrelPluginTest()
    {
        EXPECT_TRUE(KestrelTestSettings::shortTerminalWaits());
        EXPECT_TRUE(KestrelTestSettings::shortFrameWaits());
        EXPECT_TRUE(loader.registerServer(pluginPath)) << loader.lastErrorText();
    }

    DispatchClient create(std::function<bool()> isCancelled = nullptr)
    {
        ControlOptions options;
        options.isCancelled = std::move(isCancelled);
        DispatchClient control = loader.create(controlClass, options);
        EXPECT_TRUE(control.isValid()) << loader.lastErrorText();
        return control;
    }

    static void writeLine(const std::string& name,
                          const std::vector<std::pair<std::string, std::string>>& texts,
                          const std::vector<std::pair<std::string, std::int32_t>>& numbers)
    {
        SettingsKey key(RootKey::CurrentUser, std::string(LineSettings::linesKey) + "\\" + name);
        for (const auto& [value, text] : texts) {
            ASSERT_TRUE(key.setString(value, text));
        }
        for (const auto& [value, number] : numbers) {
            ASSERT_TRUE(key.setNumber(value, number));
        }
    }
    static void tcpLine(const std::string& name, int port)
    {
        ASSERT_TRUE(KestrelTestSettings::tcpLine(name, "127.0.0.1", port));
    }
    static void modemLine(const std::string& name, const std::string& device)
    {
        writeLine(name, {{"type", "modem"}, {"device", device}},
                  {{"commandTimeout", 500},
                   {"answerTimeout", 30000},
                   {"guardTime", 50},
                   {"dtrDropTime", 10}});
    }
    static void setModemList(const std::vector<std::uint32_t>& devices)
    {
        ASSERT_TRUE(KestrelTestSettings::key().setBinary(
            "modemList", KestrelTestSettings::modemListBytes(devices)));
    }

    static std::int32_t callInt(DispatchClient& control, std::int32_t dispId,
                                std::initializer_list<DispatchValue> args = {})
    {
        std::int32_t value = -999;
        EXPECT_TRUE(control.callInt(dispId, args, value)) << control.lastErrorText();
        return value;
    }
    static std::int32_t add(DispatchClient& control, const std::string& recipient,
                            const std::string& text)
    {
        return callInt(control, AddMessage, {recipient, text});
    }
    static std::int32_t send(DispatchClient& control, const std::string& number = "5551234")
    {
        return callInt(control, Send, {number});
    }
    static std::int32_t resultCode(DispatchClient& control, int index)
    {
        return callInt(control, GetMessageResultCode, {static_cast<std::int16_t>(index)});
    }

    // The last "Status: " line of the headless progress view.
    std::string lastStatus() const
    {
        std::string status;
        for (const LogEntry& entry : log.entries()) {
            if (entry.tag == "kestrel" && entry.message.starts_with("Status: ")) {
                status = entry.message.substr(8);
            }
        }
        return status;
    }

    PrivateLog log;
    ControlLoader loader;
};

TEST_F(KestrelPluginTest, RegistrationNamesTheControlAndItsPropertyPage)
{
    ClassRegistry registry;
    std::string path;
    ASSERT_TRUE(registry.libraryPath(controlClass, path));
    EXPECT_EQ(path, std::filesystem::absolute(pluginPath).lexically_normal().string());
    ASSERT_TRUE(registry.libraryPath(propertyPageClass, path));
    std::string classId;
    ASSERT_TRUE(registry.classIdOfProgId(controlProgId, classId));
    EXPECT_EQ(classId, controlClass);
    ASSERT_TRUE(registry.classIdOfProgId(propertyPageProgId, classId));
    EXPECT_EQ(classId, propertyPageClass);

    ASSERT_TRUE(loader.unregisterServer(pluginPath)) << loader.lastErrorText();
    EXPECT_FALSE(registry.libraryPath(controlClass, path));
    EXPECT_FALSE(loader.create(controlClass).isValid());
}

TEST_F(KestrelPluginTest, PropertyPageBindsNothing)
{
    DispatchClient page = loader.create(propertyPageClass);
    ASSERT_TRUE(page.isValid()) << loader.lastErrorText();
    std::int32_t value = 0;
    EXPECT_FALSE(page.getInt(DebugLevel, value));
    EXPECT_EQ(page.lastError(), DispatchStatus::UnknownDispId);
}

TEST_F(KestrelPluginTest, PropertiesAndTheMessageListByDispatchNumber)
{
    DispatchClient control = create();
    std::string text;
    ASSERT_TRUE(control.getText(ClientName, text));
    EXPECT_EQ(text, "kestrel");
    ASSERT_TRUE(control.getText(ProviderName, text));
    EXPECT_EQ(text, "");
    ASSERT_TRUE(control.setText(LogFileName, "/tmp/elsewhere.dat"));
    ASSERT_TRUE(control.getText(LogFileName, text));
    EXPECT_EQ(text, "/tmp/elsewhere.dat");
    std::int32_t level = -1;
    ASSERT_TRUE(control.getInt(DebugLevel, level));
    EXPECT_EQ(level, 0);

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

TEST_F(KestrelPluginTest, TwoControlsKeepTheirOwnLists)
{
    DispatchClient first = create();
    DispatchClient second = create();
    ASSERT_EQ(add(first, "1", "a"), 0);
    ASSERT_EQ(add(first, "2", "b"), 0);
    EXPECT_EQ(callInt(second, GetMessageCount), 0);
    ASSERT_TRUE(second.callMethod(Clear));
    EXPECT_EQ(callInt(first, GetMessageCount), 2);
}

TEST_F(KestrelPluginTest, SendsTwentyMessagesOverATcpLine)
{
    TapTerminalSimulator terminal;
    ASSERT_TRUE(terminal.listen());
    tcpLine("0", terminal.port());
    DispatchClient control = create();
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(add(control, std::to_string(1000 + i), "page " + std::to_string(i)), 0);
    }
    EXPECT_EQ(add(control, "2000", "refused"), 207);
    ASSERT_EQ(send(control), 0);

    const std::vector<TapReceivedMessage> received = terminal.messages();
    ASSERT_EQ(received.size(), 20u);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(received[static_cast<std::size_t>(i)].pagerId, std::to_string(1000 + i));
        EXPECT_EQ(received[static_cast<std::size_t>(i)].text, "page " + std::to_string(i));
        EXPECT_EQ(resultCode(control, i), 1);
    }
    EXPECT_EQ(lastStatus(), "Disconnecting");
    EXPECT_EQ(log.levelOf("Progress: 40 of 40"), 10);
}

TEST_F(KestrelPluginTest, EveryLineOfTheSendIsLoggedAtItsLevel)
{
    TapTerminalSimulator terminal;
    ASSERT_TRUE(terminal.listen());
    tcpLine("0", terminal.port());
    DispatchClient control = create();
    ASSERT_EQ(add(control, "1234", "HI"), 0);
    ASSERT_EQ(send(control), 0);

    // The send's lines and the protocol thread's lines each keep their order; the two
    // threads' lines interleave.
    const std::vector<std::pair<const char*, int>> sendLines = {
        {"Send Start (instance=0)", 4},
        {"Start protocol thread", 8},
        {"Show Modal dialog", 9},
        {"Modal dialog returns 1", 9},
        {"Waiting for terminate thread", 10},
        {"Send okay", 8},
    };
    const std::vector<std::pair<const char*, int>> threadLines = {
        {"Local Thread starts", 9},    {"Status: Dialing 5551234", 9}, {"Thread starts dialing", 9},
        {"Thread dial successful", 9}, {"Thread starts FSM", 9},       {"STATE Start", 10},
        {"STATE Disconnect", 11},      {"Thread FSM retuens", 9},      {"Thread ends", 9},
    };
    for (const auto* lines : {&sendLines, &threadLines}) {
        int previous = -1;
        for (const auto& [text, level] : *lines) {
            SCOPED_TRACE(text);
            EXPECT_EQ(log.levelOf(text), level);
            const int index = log.indexOf(text);
            EXPECT_GT(index, previous);
            previous = index;
        }
    }
    EXPECT_GT(log.indexOf("Local Thread starts"), log.indexOf("Start protocol thread"));
    EXPECT_LT(log.indexOf("Thread ends"), log.indexOf("Send okay"));
    // The line reports the connection from its own thread, while the dial returns.
    EXPECT_EQ(log.levelOf("LINECALLSTATE Connected"), 10);
    EXPECT_GT(log.indexOf("LINECALLSTATE Connected"), log.indexOf("Thread starts dialing"));
    EXPECT_LT(log.indexOf("LINECALLSTATE Connected"), log.indexOf("Thread starts FSM"));
    EXPECT_EQ(log.levelOf("Progress dialog init"), 10);
    EXPECT_EQ(log.levelOf("Provider name=IXO/TAP Paging"), 10);
}

TEST_F(KestrelPluginTest, PagerIdentifiersAreReadAsTheCLibraryReadsThem)
{
    TapTerminalSimulator terminal;
    ASSERT_TRUE(terminal.listen());
    tcpLine("0", terminal.port());
    DispatchClient control = create();
    ASSERT_EQ(add(control, "abc", "no digits"), 0);
    ASSERT_EQ(add(control, "-5", "negative"), 0);
    ASSERT_EQ(send(control), 0);
    const std::vector<TapReceivedMessage> received = terminal.messages();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].pagerId, "0");
    EXPECT_EQ(received[1].pagerId, "4294967291");
}

TEST_F(KestrelPluginTest, EmptyListLogsInAndReturnsZero)
{
    TapTerminalSimulator terminal;
    ASSERT_TRUE(terminal.listen());
    tcpLine("0", terminal.port());
    DispatchClient control = create();
    ASSERT_EQ(send(control), 0);
    ASSERT_TRUE(terminal.waitForEnd(5000));
    EXPECT_EQ(terminal.logins(), 1);
    EXPECT_TRUE(terminal.blocks().empty());
    EXPECT_TRUE(terminal.eotSeen());
}

TEST_F(KestrelPluginTest, TerminalAnswersGiveEachMessageItsCode)
{
    const struct
    {
        const char* name;
        std::vector<TapBlockAnswer> answers;
        int code;
        int writes;
    } cases[] = {
        {"NAK four times with the resend limit 3",
         {TapBlockAnswer::Nak, TapBlockAnswer::Nak, TapBlockAnswer::Nak, TapBlockAnswer::Nak},
         4,
         4},
        {"RS", {TapBlockAnswer::Rs}, 3, 1},
        {"NAK then ACK", {TapBlockAnswer::Nak, TapBlockAnswer::Ack}, 1, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TapTerminalScript script;
        script.blockAnswers = c.answers;
        TapTerminalSimulator terminal(script);
        ASSERT_TRUE(terminal.listen());
        tcpLine("0", terminal.port());
        DispatchClient control = create();
        ASSERT_EQ(add(control, "1", "first"), 0);
        ASSERT_EQ(add(control, "2", "second"), 0);
        ASSERT_EQ(send(control), 0);
        EXPECT_EQ(resultCode(control, 0), c.code);
        EXPECT_EQ(resultCode(control, 1), 1);
        EXPECT_EQ(static_cast<int>(terminal.blocks().size()), c.writes + 1);
    }
}

TEST_F(KestrelPluginTest, BlockTextLimitFromTheSettingsSplitsALongMessage)
{
    // A terminal that keeps to 256-byte blocks: 250 text bytes per block.
    ASSERT_TRUE(KestrelTestSettings::key().setNumber("maxBlockText", 250));
    TapTerminalSimulator terminal;
    ASSERT_TRUE(terminal.listen());
    tcpLine("0", terminal.port());
    DispatchClient control = create();
    const std::string text(600, 'x');
    ASSERT_EQ(add(control, "77", text), 0);
    ASSERT_EQ(send(control), 0);
    EXPECT_EQ(resultCode(control, 0), 1);
    const std::vector<TapReceivedBlock> blocks = terminal.blocks();
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[0].text.size(), 250u);
    EXPECT_EQ(blocks[1].text.size(), 250u);
    EXPECT_EQ(blocks[2].text.size(), 100u);
    ASSERT_EQ(terminal.messages().size(), 1u);
    EXPECT_EQ(terminal.messages()[0].text, text);
}

TEST_F(KestrelPluginTest, SilentTerminalFailsWith212)
{
    // With a prompt time-out of 0 every wait for the prompt ends at once.
    SettingsKey key(RootKey::CurrentUser, KestrelSettings::key);
    ASSERT_TRUE(key.setNumber("maxPromptTimeout", 0));
    TapTerminalScript script;
    script.promptAfterCr = -1;
    TapTerminalSimulator terminal(script);
    ASSERT_TRUE(terminal.listen());
    tcpLine("0", terminal.port());
    DispatchClient control = create();
    ASSERT_EQ(add(control, "1", "a"), 0);
    EXPECT_EQ(send(control), 212);
    EXPECT_EQ(resultCode(control, 0), 5);
    EXPECT_EQ(lastStatus(), "Disconnecting");
    EXPECT_EQ(log.levelOf("Status: Error: remote not responding"), 9);
    EXPECT_EQ(log.levelOf("Send failed - Last Error bad (err=212)"), 8);
}

TEST_F(KestrelPluginTest, EmptyModemListRefusesWithoutDialling)
{
    TapTerminalSimulator terminal;
    ASSERT_TRUE(terminal.listen());
    tcpLine("0", terminal.port());
    setModemList({});
    DispatchClient control = create();
    ASSERT_EQ(add(control, "1", "a"), 0);
    EXPECT_EQ(send(control), 215);
    EXPECT_EQ(resultCode(control, 0), 5);
    EXPECT_FALSE(terminal.waitForEnd(100));
    EXPECT_EQ(terminal.prompts(), 0);
    EXPECT_EQ(log.levelOf("Send Start (instance=0)"), -1);
}

TEST_F(KestrelPluginTest, NoLineOnAnyDeviceGivesSevenAndNoFreeLines)
{
    const std::string missing = log.registry().dir().file("no-such-tty");
    modemLine("0", missing);
    modemLine("1", missing);
    setModemList({0, 1});
    DispatchClient control = create();
    ASSERT_EQ(add(control, "1", "a"), 0);
    EXPECT_EQ(send(control), 7);
    EXPECT_EQ(resultCode(control, 0), 5);
    EXPECT_EQ(lastStatus(), "No free lines");
    EXPECT_EQ(log.levelOf("Thread dial failed"), 2);
    EXPECT_EQ(log.levelOf("Trying dev 1 [devNo=1]"), 10);
}

// A TCP connection to 127.0.0.1:port; -1 when it cannot be made.
int connectToLoopback(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (fd >= 0
        && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

class KestrelModemTest : public KestrelPluginTest
{
protected:
    KestrelModemTest()
    {
        EXPECT_TRUE(modem.start()) << modem.errorText();
        modemLine("0", modem.devicePath());
        SettingsKey location(RootKey::CurrentUser, LineSettings::locationKey);
        (void)location.setString("localAccessCode", "9");
    }

    // Each number the modem dials reaches its own terminal, listening on loopback (each
    // serves one call and hangs up after the caller's EOT, as real terminals do).
    void dialTerminals(const std::map<std::string, TapTerminalSimulator*>& terminals)
    {
        for (const auto& [number, terminal] : terminals) {
            ASSERT_TRUE(terminal->listen());
        }
        modem.setRemoteDialer([terminals](const std::string& number) {
            const auto found = terminals.find(number);
            return found == terminals.end() ? -1 : connectToLoopback(found->second->port());
        });
    }

    // The lines typed at the modem after the n-th dial command.
    std::vector<std::string> linesAfterDial(std::size_t n) const
    {
        const std::vector<std::string> lines = modem.linesTyped();
        std::size_t dials = 0;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].rfind("ATD", 0) == 0 && ++dials == n) {
                return std::vector<std::string>(lines.begin() + static_cast<long>(i) + 1,
                                                lines.end());
            }
        }
        return {};
    }

    FakeModem modem;
};

TEST_F(KestrelModemTest, SendsThroughTheModemToTheTerminal)
{
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    TapTerminalSimulator terminal;
    ASSERT_TRUE(terminal.serve(pair[0]));
    modem.setRemoteDescriptor(pair[1]);

    DispatchClient control = create();
    ASSERT_EQ(add(control, "1234", "HI"), 0);
    ASSERT_EQ(add(control, "77", "second page"), 0);
    EXPECT_EQ(send(control), 0);
    EXPECT_EQ(resultCode(control, 0), 1);
    EXPECT_EQ(resultCode(control, 1), 1);
    EXPECT_EQ(modem.dialled(), (std::vector<std::string> {"9 5551234"}));
    const std::vector<TapReceivedMessage> received = terminal.messages();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].text, "HI");
    EXPECT_TRUE(modem.waitUntil([this] { return !modem.inCall(); }));

    terminal.stop();
    modem.setRemoteDescriptor(-1);
    close(pair[0]);
    close(pair[1]);
}

TEST_F(KestrelModemTest, BusyRemoteModemGives206)
{
    modem.setDialResult(FakeModem::DialResult::Busy, 20ms);
    DispatchClient control = create();
    ASSERT_EQ(add(control, "1", "a"), 0);
    EXPECT_EQ(send(control), 206);
    EXPECT_EQ(resultCode(control, 0), 5);
    EXPECT_EQ(lastStatus(), "Remote modem busy");
    EXPECT_EQ(log.levelOf("LINECALLSTATE Busy"), 10);
}

TEST_F(KestrelModemTest, CancelWhileDiallingAbortsWith213)
{
    modem.setDialResult(FakeModem::DialResult::Connect, 30s);
    // The host cancels once the modem has been told to dial.
    DispatchClient control = create([this] { return !modem.dialled().empty(); });
    ASSERT_EQ(add(control, "1", "a"), 0);
    ASSERT_EQ(add(control, "2", "b"), 0);
    EXPECT_EQ(send(control), 213);
    EXPECT_EQ(resultCode(control, 0), 5);
    EXPECT_EQ(resultCode(control, 1), 5);
    EXPECT_EQ(lastStatus(), "Aborting...");
    EXPECT_EQ(log.levelOf("User clicked cancel button"), 9);
    EXPECT_EQ(log.levelOf("Send failed - Last Error bad (err=213)"), 8);
    EXPECT_TRUE(modem.waitUntil([this] { return modem.hostClosed(); }));
}

TEST_F(KestrelModemTest, CallsInARowEachEndWithTheModemsOwnAnswers)
{
    // A two-number send: each call is dialled, served and hung up in turn. Each terminal
    // hangs up after the EOT, so the modem is back in command mode when the hang-up begins:
    // the hang-up must see that instead of typing "+++" at the command line and waiting.
    TapTerminalSimulator first;
    TapTerminalSimulator second;
    dialTerminals({{"9 5559876", &first}, {"9 5551234", &second}});
    DispatchClient control = create();
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    ASSERT_EQ(add(control, "2", "two numbers"), 0);
    EXPECT_EQ(send(control, "5559876"), 0);
    const auto oneCall = Clock::now() - start;
    ASSERT_TRUE(control.callMethod(Clear));
    ASSERT_EQ(add(control, "1", "two numbers"), 0);
    EXPECT_EQ(send(control, "5551234"), 0);
    const auto twoCalls = Clock::now() - start;
    EXPECT_EQ(resultCode(control, 0), 1);

    ASSERT_EQ(first.messages().size(), 1u);
    EXPECT_EQ(first.messages()[0].pagerId, "2");
    ASSERT_EQ(second.messages().size(), 1u);
    EXPECT_EQ(second.messages()[0].pagerId, "1");
    EXPECT_EQ(modem.dialled(), (std::vector<std::string> {"9 5559876", "9 5551234"}));
    // Between the calls and after them only commands were typed: the hang-up's ATH, the next
    // call's set-up.
    for (const std::string& line : modem.linesTyped()) {
        EXPECT_EQ(line.rfind("AT", 0), 0u) << line;
    }
    EXPECT_EQ(linesAfterDial(1),
              (std::vector<std::string> {"ATH", "ATZ", "ATE0V1Q0", "ATDT9 5551234", "ATH"}));
    EXPECT_EQ(log.indexOf("Hang up on " + modem.devicePath() + ": ATH answered no answer"), -1);
    RecordProperty(
        "oneCallMs",
        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(oneCall).count()));
    RecordProperty(
        "twoCallsMs",
        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(twoCalls).count()));
}

TEST_F(KestrelModemTest, TerminalsForcedDisconnectLeavesNoPageTextForTheModem)
{
    // The terminal answers the first block with ESC EOT and hangs up: the modem reports NO
    // CARRIER and takes what follows as commands. The second page would dial if sent.
    TapTerminalScript script;
    script.blockAnswers = {TapBlockAnswer::ForcedDisconnect};
    TapTerminalSimulator terminal(script);
    dialTerminals({{"9 5551234", &terminal}});
    DispatchClient control = create();
    ASSERT_EQ(add(control, "1", "first"), 0);
    ASSERT_EQ(add(control, "2", "ATDT 5550000"), 0);
    ASSERT_EQ(add(control, "3", "third"), 0);
    EXPECT_EQ(send(control), 202);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(resultCode(control, i), 5);
    }
    EXPECT_TRUE(modem.waitUntil([this] { return !modem.inCall(); }));
    EXPECT_EQ(modem.dialled(), (std::vector<std::string> {"9 5551234"}));
    EXPECT_EQ(linesAfterDial(1), (std::vector<std::string> {"ATH"}));
    EXPECT_EQ(terminal.blocks().size(), 1u);
    EXPECT_EQ(log.levelOf("STATE Remote forced disconnect (ESC EOT)"), 2);
}

TEST_F(KestrelModemTest, CarrierLossEndsTheExchangeAtOnce)
{
    // The terminal stays silent on the first block; the carrier drops while the driver waits
    // for its answer. Nothing more may reach the modem, now in command mode.
    TapTerminalScript script;
    script.blockAnswers = {TapBlockAnswer::Silence};
    TapTerminalSimulator terminal(script);
    dialTerminals({{"9 5551234", &terminal}});
    std::atomic<bool> dropped {false};
    // The host's cancel poll serves as the moment to drop the carrier: once the block is in.
    DispatchClient control = create([&] {
        if (!dropped && !terminal.blocks().empty()) {
            dropped = true;
            modem.dropCarrier();
        }
        return false;
    });
    ASSERT_EQ(add(control, "1", "first"), 0);
    ASSERT_EQ(add(control, "2", "ATDT 5550000"), 0);
    EXPECT_EQ(send(control), 202);
    EXPECT_TRUE(dropped);
    EXPECT_EQ(resultCode(control, 0), 5);
    EXPECT_EQ(resultCode(control, 1), 5);
    EXPECT_EQ(modem.dialled(), (std::vector<std::string> {"9 5551234"}));
    EXPECT_EQ(linesAfterDial(1), (std::vector<std::string> {"ATH"}));
    EXPECT_EQ(terminal.blocks().size(), 1u);
    EXPECT_EQ(log.levelOf("Carrier lost: the modem reported NO CARRIER"), 2);
    EXPECT_EQ(lastStatus(), "Connection lost");
}

TEST_F(KestrelPluginTest, DialogsLogALineWithoutAGui)
{
    DispatchClient control = create();
    EXPECT_TRUE(control.callMethod(ShowProperties));
    EXPECT_TRUE(control.callMethod(AboutBox));
    EXPECT_EQ(log.levelOf("Settings dialog not shown: no dialogs in this process"), 5);
    EXPECT_EQ(log.levelOf("Kestrel Control, Version 1.0"), 5);
}

} // namespace
