#include "LoopbackPair.h"

#include <gtest/gtest.h>

LoopbackPair::LoopbackPair(bool cancellableLookup)
    : client(cancellableLookup)
{
    if (!server.bind(port.text())) {
        ADD_FAILURE() << server.lastErrorText();
        return;
    }
    // A first accept with a short wait only starts listening, so the client can connect on
    // this thread before the accept that takes it.
    EXPECT_EQ(server.acceptConnection(1, 5), nullptr);
    if (!client.connect(cancellableLookup ? "localhost" : "127.0.0.1", port.text())) {
        ADD_FAILURE() << client.lastErrorText();
        return;
    }
    accepted = server.acceptConnection(5000, 5);
    EXPECT_NE(accepted, nullptr) << server.lastErrorText();
}
