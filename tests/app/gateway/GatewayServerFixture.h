#pragma once

#include "FreePort.h"
#include "GatewayClient.h"
#include "GatewayTestSupport.h"
#include "gateway/SnppServer.h"
#include "net/SystemCalls.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <netdb.h>
#include <string>
#include <thread>

// The system's calls with two faults on demand: host names ending in ".unresolvable.test" are
// not found (without asking any name server), and getpeername fails while failPeer is set.
class GatewayFaultCalls final : public SystemCalls
{
public:
    int getAddrInfo(const char* node, const char* service, const addrinfo* hints,
                    addrinfo** result) override
    {
        const std::string name = node != nullptr ? node : "";
        const std::string suffix = ".unresolvable.test";
        if (name.size() >= suffix.size()
            && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
            return EAI_NONAME;
        }
        return SystemCalls::getAddrInfo(node, service, hints, result);
    }
    int getPeerName(int handle, sockaddr* address, socklen_t* length) override
    {
        if (failPeer.load()) {
            errno = ENOTCONN;
            return -1;
        }
        return SystemCalls::getPeerName(handle, address, length);
    }

    std::atomic<bool> failPeer {false};
};

// A gateway on a free port of a private world, with a recording sender. The fault calls are
// installed for the fixture's life (before the gateway thread starts, removed after it ends).
class GatewayServerTest : public testing::Test
{
protected:
    GatewayServerTest() { SystemCalls::install(&calls); }
    ~GatewayServerTest() override
    {
        server.reset();
        SystemCalls::install(nullptr);
    }

    // Configures an enabled gateway on the fixture's port admitting 127.0.0.1, starts it and
    // waits until it listens; false when it never did.
    [[nodiscard]] bool startListening(bool fromAdbOnly = false, bool level2Login = false)
    {
        world.configure(true, port.text(), fromAdbOnly, level2Login);
        world.allowHost("127.0.0.1");
        start();
        return waitListening(port.number());
    }
    // Starts the gateway thread with the settings as they stand.
    void start()
    {
        server = std::make_unique<SnppServer>(sender, &world.providers(), &world.books());
        server->restart();
    }
    // Waits until the gateway listens on the port.
    bool waitListening(int portNumber, int timeoutMs = 5000) const
    {
        const auto deadline
            = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (server->listeningPort() != portNumber) {
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }

    GatewayFaultCalls calls;
    GatewayWorld world;
    RecordingSender sender;
    FreePort port;
    std::unique_ptr<SnppServer> server;
};
