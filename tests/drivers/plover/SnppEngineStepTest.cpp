// The engine driven one step at a time, as the frame may interfere with it.
#include "SnppEngine.h"
#include "SnppFixture.h"

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

} // namespace
