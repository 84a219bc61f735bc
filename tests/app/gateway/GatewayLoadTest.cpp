// Many clients in a row, some of them cut off mid-line or reset: the gateway keeps answering
// and keeps no descriptor of them.
#include "GatewayServerFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

int openDescriptors()
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

// A whole exchange that ends with QUIT; false at the first unexpected reply.
bool fullSession(int port, int index)
{
    GatewayClient client(port);
    return client.readLine() == "220 I'm ready"
        && client.ask("PAGE 555-1234/12") == "250 ID accepted"
        && client.ask("MESS page " + std::to_string(index)) == "250 Message accepted"
        && client.ask("SEND") == "250 Send successful"
        && client.ask("QUIT") == "221 Okay, Good Bye!" && client.waitForClose();
}

TEST_F(GatewayServerTest, AThousandClientsInARowSomeCutOffLeaveNothingBehind)
{
    ASSERT_TRUE(startListening());
    ASSERT_TRUE(fullSession(port.number(), -1));
    const int before = openDescriptors();

    int full = 0;
    for (int i = 0; i < 1000; ++i) {
        if (i % 4 == 0) {
            ASSERT_TRUE(fullSession(port.number(), i)) << "client " << i;
            ++full;
            continue;
        }
        GatewayClient client(port.number());
        ASSERT_TRUE(client.connected()) << "client " << i;
        switch (i % 4) {
        case 1:
            // Gone in the middle of a line, without waiting for anything.
            (void)client.send("PAGE 555-12");
            client.close();
            break;
        case 2:
            // Reset in the middle of a line after the greeting.
            ASSERT_EQ(client.readLine(), "220 I'm ready") << "client " << i;
            (void)client.send("MESS half a mess");
            client.close(true);
            break;
        default:
            // Connected and gone before the greeting could be read.
            client.close(true);
            break;
        }
    }
    // The gateway serves one client at a time, so this one runs after all the others.
    ASSERT_TRUE(fullSession(port.number(), 1000));
    EXPECT_EQ(sender.sends().size(), static_cast<std::size_t>(full + 2));
    EXPECT_LE(openDescriptors(), before);
    EXPECT_EQ(server->state(), ThreadState::Running);
}

} // namespace
