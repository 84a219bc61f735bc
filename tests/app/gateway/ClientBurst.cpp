#include "ClientBurst.h"

#include "LoopbackSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

enum class Phase { Greeting, Goodbye, Done, Failed };

struct BurstClient
{
    int handle = -1;
    Phase phase = Phase::Greeting;
    std::string received;
    bool closed = false; // the server closed or reset the connection
};

// Takes in what has come.
void receive(BurstClient& client)
{
    char chunk[256];
    for (;;) {
        const ssize_t received = ::recv(client.handle, chunk, sizeof chunk, 0);
        if (received > 0) {
            client.received.append(chunk, static_cast<std::size_t>(received));
            continue;
        }
        if (received == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
            client.closed = true;
        }
        return;
    }
}

// True when a whole reply line has been received (its first digit in `first`).
bool takeLine(BurstClient& client, char& first)
{
    const std::size_t end = client.received.find('\n');
    if (end == std::string::npos) {
        return false;
    }
    first = client.received.empty() ? '\0' : client.received[0];
    client.received.erase(0, end + 1);
    return true;
}

} // namespace

ClientBurst::Outcome ClientBurst::run(int port, int clients, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto deadline = start + std::chrono::milliseconds(timeoutMs);
    std::vector<BurstClient> burst(static_cast<std::size_t>(clients));
    for (BurstClient& client : burst) {
        client.handle = connectToLoopback(port, true);
        if (client.handle < 0) {
            client.phase = Phase::Failed;
        }
    }
    Outcome outcome;
    for (;;) {
        std::vector<pollfd> entries;
        std::vector<BurstClient*> owners;
        for (BurstClient& client : burst) {
            if (client.phase == Phase::Greeting || client.phase == Phase::Goodbye) {
                entries.push_back({client.handle, POLLIN, 0});
                owners.push_back(&client);
            }
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (entries.empty() || left.count() <= 0) {
            break;
        }
        if (::poll(entries.data(), entries.size(), static_cast<int>(left.count())) < 0
            && errno != EINTR) {
            break;
        }
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].revents == 0) {
                continue;
            }
            BurstClient& client = *owners[i];
            receive(client);
            char first = '\0';
            while (client.phase != Phase::Failed && takeLine(client, first)) {
                if (first != '2') {
                    client.phase = Phase::Failed;
                } else if (client.phase == Phase::Greeting) {
                    client.phase = ::send(client.handle, "QUIT\r\n", 6, MSG_NOSIGNAL) == 6
                        ? Phase::Goodbye
                        : Phase::Failed;
                } else if (client.phase == Phase::Goodbye) {
                    client.phase = Phase::Done;
                    ++outcome.served;
                    outcome.lastServed = Clock::now() - start;
                    break;
                }
            }
            if (client.closed && client.phase != Phase::Done) {
                client.phase = Phase::Failed;
            }
        }
    }
    for (BurstClient& client : burst) {
        if (client.handle >= 0) {
            ::close(client.handle);
        }
    }
    outcome.dropped = clients - outcome.served;
    return outcome;
}
