#pragma once

#include <chrono>

// Many SNPP clients that connect to 127.0.0.1 at once and each do what SNPP clients do on
// connecting: wait for the greeting, say QUIT and wait for its reply. Used by the burst test
// and the gateway benchmark.
class ClientBurst
{
public:
    // What a burst came to.
    struct Outcome
    {
        int served = 0; // clients that got a 2xx greeting and a 2xx reply to QUIT
        int dropped = 0; // clients refused, reset or not served before the deadline
        std::chrono::duration<double> lastServed {}; // from the first connect to the last served
    };

    // Runs `clients` clients against the port, giving up on those not served within timeoutMs.
    static Outcome run(int port, int clients, int timeoutMs);
};
