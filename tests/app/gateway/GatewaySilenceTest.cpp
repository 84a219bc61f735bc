// A client that says nothing for the whole byte wait of 30 seconds. This test takes its 30
// seconds: the wait is the gateway's own and is not shortened for tests.
#include "GatewayServerFixture.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

TEST_F(GatewayServerTest, ASilentClientIsDisconnectedAfterThirtySeconds)
{
    ASSERT_TRUE(startListening());
    GatewayClient client(port.number());
    EXPECT_EQ(client.readLine(), "220 I'm ready");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(client.readLine(40000), "400 Read timeout  ()");
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(29900));
    EXPECT_LT(waited, std::chrono::seconds(35));
    EXPECT_EQ(client.readLine(), "221 Lost connection. Bye!");
    EXPECT_TRUE(client.waitForClose());
}

} // namespace
