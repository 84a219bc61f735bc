// The SNPP driver against a real server of another make: Net::SNPP::Server.
#include "PerlSnppPeer.h"
#include "SnppFixture.h"

#include <chrono>
#include <thread>

namespace {

using PeerTest = SnppFixture;

TEST_F(PeerTest, PagesGoThroughNetSnppServer)
{
    PerlSnppPeer peer;
    ASSERT_TRUE(peer.start());
    // The server takes pager identifiers of seven digits or more only: the short one is
    // refused each time, given up after its restarts, and the others still go out once.
    load({{"5551234", "first page"}, {"123", "refused"}, {"5551235", "second page"}});
    SnppSession session(transport, list, reporter, settings);
    session.run("127.0.0.1", std::to_string(peer.port()));
    EXPECT_EQ(reporter.lastError(), 0);
    EXPECT_EQ(results(), (std::vector<int> {1, 6, 1}));
    // The server appends the record before it answers SEND, so it is complete by now.
    EXPECT_EQ(peer.record(), "5551234\tfirst page\n5551235\tsecond page\n");
}

} // namespace
