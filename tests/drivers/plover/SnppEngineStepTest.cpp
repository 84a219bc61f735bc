// The engine driven one step at a time, as the frame may interfere with it.
#include "SnppFixture.h"
#include "plover/SnppEngine.h"

#include <chrono>
#include <thread>

namespace {

using EngineStepTest = SnppFixture;

TEST_F(EngineStepTest, ARequestedDisconnectIsTheNextStepWhateverTheEngineDecided)
{
    load({{"5551234", "a"}});
    ASSERT_TRUE(transport.connect("127.0.0.1", std::to_string(server.port()), 1000));
    SnppEngine engine(transport.connection(), list, reporter, {2000, 3});
    engine.start();
    EXPECT_EQ(engine.state(), SnppState::Start);
    EXPECT_TRUE(engine.step());
    EXPECT_EQ(engine.state(), SnppState::WaitReply);
    EXPECT_TRUE(engine.step()); // the greeting
    EXPECT_EQ(engine.state(), SnppState::NextPacket);
    EXPECT_TRUE(engine.step());
    EXPECT_EQ(engine.state(), SnppState::SendPin);
    engine.requestDisconnect();
    EXPECT_EQ(engine.state(), SnppState::Disconnect);
    EXPECT_TRUE(engine.step());
    EXPECT_EQ(engine.state(), SnppState::Done);
    EXPECT_FALSE(engine.step());
    transport.close();
    EXPECT_TRUE(server.waitForFinished(1, 5000));
    EXPECT_EQ(server.lines(), (std::vector<std::string> {"QUIT"}));
    EXPECT_EQ(results(), (std::vector<int> {5}));
}

TEST_F(EngineStepTest, ARequestWhileTheGreetingIsAwaitedSkipsStraightToGoodbye)
{
    load({{"5551234", "a"}});
    ASSERT_TRUE(transport.connect("127.0.0.1", std::to_string(server.port()), 1000));
    SnppEngine engine(transport.connection(), list, reporter, {2000, 3});
    engine.start();
    EXPECT_TRUE(engine.step());
    // Asked while the engine waits for the greeting, as the frame does after its dialog.
    engine.requestDisconnect();
    EXPECT_EQ(engine.state(), SnppState::Disconnect);
    EXPECT_TRUE(engine.step());
    EXPECT_FALSE(engine.step());
    transport.close();
    EXPECT_TRUE(server.waitForFinished(1, 5000));
    EXPECT_EQ(server.lines(), (std::vector<std::string> {"QUIT"}));
}

TEST_F(EngineStepTest, ARequestBeforeTheStartSaysGoodbyeWithoutAwaitingTheGreeting)
{
    // The frame may ask while the protocol thread is still connecting.
    load({{"5551234", "a"}});
    ASSERT_TRUE(transport.connect("127.0.0.1", std::to_string(server.port()), 1000));
    SnppEngine engine(transport.connection(), list, reporter, {60000, 3});
    engine.requestDisconnect();
    EXPECT_TRUE(engine.run());
    EXPECT_EQ(engine.state(), SnppState::Done);
    transport.close();
    EXPECT_TRUE(server.waitForFinished(1, 5000));
    EXPECT_EQ(server.lines(), (std::vector<std::string> {"QUIT"}));
    EXPECT_EQ(results(), (std::vector<int> {5}));
}

TEST_F(EngineStepTest, ARequestEndsAWaitForASilentServerEarly)
{
    server.silenceOn("GREETING");
    ASSERT_TRUE(transport.connect("127.0.0.1", std::to_string(server.port()), 1000));
    SnppEngine engine(transport.connection(), list, reporter, {60000, 3});
    engine.start();
    EXPECT_TRUE(engine.step());
    std::thread stopper([&engine] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        engine.requestDisconnect();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(engine.step()); // waits for the greeting until the request comes
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_EQ(engine.state(), SnppState::Disconnect);
    EXPECT_EQ(reporter.lastError(), 0);
    EXPECT_TRUE(engine.step());
    EXPECT_FALSE(engine.step());
    transport.close();
    EXPECT_TRUE(server.waitForFinished(1, 5000));
    EXPECT_EQ(server.lines(), (std::vector<std::string> {"QUIT"}));
}

} // namespace
