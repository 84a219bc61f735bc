#pragma once

#include <memory>
#include <netinet/in.h>
#include <string>
#include <string_view>

// A host-name lookup for the host's first IPv4 address. resolve() looks up on the calling
// thread; an object looks up on a helper thread so that its caller can stop waiting: the lookup
// finishes, fails, runs out of the caller's waiting time or is cancelled from another thread.
// The helper shares only the lookup's state with the object, so the object (and whoever owns it)
// may go away while the system's lookup is still running; its late result is dropped.
class HostLookup
{
public:
    // How a lookup ended.
    enum class Outcome { Found, NotFound, Cancelled, TimedOut };

    // The outcome, the address when found, and the system's reason when not.
    struct Result
    {
        Outcome outcome = Outcome::NotFound;
        in_addr address {};
        std::string detail;
    };

    // Looks the host up on the calling thread, waiting as long as the system does.
    static Result resolve(std::string_view host);

    // Starts looking the host up on a helper thread.
    explicit HostLookup(std::string_view host);
    // Drops the lookup; a helper still running ends on its own and discards its result.
    ~HostLookup();
    HostLookup(const HostLookup&) = delete;
    HostLookup& operator=(const HostLookup&) = delete;

    // Waits up to waitMs (below 0: without limit) for the lookup to end or be cancelled.
    Result wait(int waitMs);
    // Ends a lookup that has not finished yet: wait() gives Cancelled at once. Does nothing once
    // the lookup has finished. Safe from any thread.
    void cancel();

    // The number of helper threads that have not ended yet.
    static int pendingThreads();
    // Waits up to waitMs (below 0: without limit) for every helper thread to end and joins the
    // ended ones; true when none is left. A plug-in waits here before it lets itself be unloaded.
    [[nodiscard]] static bool waitForThreads(int waitMs);

    struct State;

private:
    std::shared_ptr<State> m_state;
};
