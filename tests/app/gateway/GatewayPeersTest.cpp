// Common SNPP clients relaying pages through the gateway: the Perl Net::SNPP client, and
// HylaFAX's sendpage, which logs in first.
#include "GatewayServerFixture.h"
#include "ProcessRunner.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

class GatewayPeersTest : public GatewayServerTest
{
protected:
    ProcessResult perlClient(const std::string& message, const std::vector<std::string>& pagers)
    {
        std::vector<std::string> argv {NORVANE_PERL_PATH, NORVANE_SNPP_CLIENT_SCRIPT, "127.0.0.1",
                                       port.text(), message};
        argv.insert(argv.end(), pagers.begin(), pagers.end());
        return ProcessRunner::run(argv);
    }

    ProcessResult sendpage(const std::string& pin, const std::string& message)
    {
        return ProcessRunner::run(
            {NORVANE_SENDPAGE_PATH, "-h", "127.0.0.1:" + port.text(), "-p", pin, message},
            {{"HOME", world.registry().dir().path()}});
    }
};

TEST_F(GatewayPeersTest, NetSnppClientRelaysAPage)
{
    world.addEntry("pin1234", "555-1234/1234");
    ASSERT_TRUE(startListening());
    const ProcessResult result = perlClient("Backup finished", {"1234", "relay.example!77"});
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(result.out, "250 Send successful\n");
    ASSERT_TRUE(sender.waitForSends(1, 5000));
    const RecordedSend send = sender.sends().at(0);
    EXPECT_EQ(send.recipients, ";pin1234;relay.example!77");
    EXPECT_EQ(send.message, "Backup finished");
    EXPECT_EQ(send.originTag, "SNPP(127.0.0.1)");
}

TEST_F(GatewayPeersTest, NetSnppClientLearnsOfARefusedPager)
{
    ASSERT_TRUE(startListening(true));
    const ProcessResult result = perlClient("hello", {"555-1234/12"});
    EXPECT_EQ(result.exitCode, 1) << result.out << result.err;
    EXPECT_EQ(result.out, "550 Address not allowed\n");
    EXPECT_TRUE(sender.sends().empty());
}

TEST_F(GatewayPeersTest, SendpageRelaysWhenLevelTwoLoginIsAccepted)
{
    ASSERT_EQ(::access(NORVANE_SENDPAGE_PATH, X_OK), 0)
        << "sendpage is missing: install the Debian package hylafax-client";
    world.addEntry("pin4711", "555-1234/4711");
    ASSERT_TRUE(startListening(false, true));
    const ProcessResult result = sendpage("4711", "Printer on fire");
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    // sendpage looks for a job id that only its own server gives, and says so.
    EXPECT_NE(result.out.find("destination pin 4711"), std::string::npos) << result.out;
    ASSERT_TRUE(sender.waitForSends(1, 5000)) << result.out << result.err;
    const RecordedSend send = sender.sends().at(0);
    EXPECT_EQ(send.recipients, ";pin4711");
    EXPECT_EQ(send.message, "Printer on fire");
    EXPECT_TRUE(world.waitForLog("SNPP:<127.0.0.1> cmd=Login accepted", 2000));
    EXPECT_TRUE(world.waitForLog("SNPP:<127.0.0.1> cmd=Level accepted", 2000));
}

TEST_F(GatewayPeersTest, SendpageIsTurnedAwayWithoutLevelTwoLogin)
{
    ASSERT_EQ(::access(NORVANE_SENDPAGE_PATH, X_OK), 0)
        << "sendpage is missing: install the Debian package hylafax-client";
    world.addEntry("pin4711", "555-1234/4711");
    ASSERT_TRUE(startListening());
    const ProcessResult result = sendpage("4711", "Printer on fire");
    EXPECT_NE(result.exitCode, 0) << result.out << result.err;
    EXPECT_NE(result.err.find("Login failed: 581 Wa-What?"), std::string::npos) << result.err;
    EXPECT_TRUE(sender.sends().empty());
}

} // namespace
