// Fuzzes what a client can send the SNPP gateway: the byte stream is split into command lines
// by the line assembler and, in the same run, by the socket reader over a socket pair (both
// must agree), and every line goes through the command interpreter. The first byte chooses the
// options and the outcomes of the sends. Invariants that fail abort the run.
#include "MemoryAddressBook.h"
#include "gateway/BookAddressJudge.h"
#include "gateway/CommandInterpreter.h"
#include "gateway/CommandReader.h"
#include "gateway/LineAssembler.h"
#include "net/TcpSocket.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

// Longer inputs could fill the socket pair's buffer before the reader drains it.
constexpr std::size_t maxInput = 16384;

void require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "gateway invariant broken: %s\n", what);
        std::abort();
    }
}

MemoryAddressBook& book()
{
    static MemoryAddressBook* entries = [] {
        auto* made = new MemoryAddressBook();
        (void)made->add("pin1", "555-1234/1");
        (void)made->add("pin42", "pager.example!42");
        (void)made->add("Alice", "pager.example:444!12");
        (void)made->add("Bob", "5551212");
        (void)made->add("Broken", "555-1234/");
        return made;
    }();
    return *entries;
}

struct Split
{
    std::vector<std::string> lines;
    std::string partial;
};

Split assemble(std::string_view stream)
{
    Split split;
    LineAssembler assembler;
    for (char byte : stream) {
        if (assembler.push(byte)) {
            split.lines.push_back(assembler.takeLine());
        }
    }
    split.partial = assembler.partial();
    return split;
}

// The same stream through the socket reader: written into one end of a socket pair that is
// then closed, so the reader ends with a lost connection.
bool readFromSocket(std::string_view stream, Split& split)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        return false;
    }
    std::size_t written = 0;
    while (written < stream.size()) {
        const ssize_t count = ::write(ends[1], stream.data() + written, stream.size() - written);
        if (count <= 0) {
            ::close(ends[0]);
            ::close(ends[1]);
            return false;
        }
        written += static_cast<std::size_t>(count);
    }
    ::close(ends[1]);
    TcpSocket socket(ends[0]);
    CommandReader reader(socket, nullptr, {});
    std::string line;
    ReadOutcome outcome = ReadOutcome::Line;
    while ((outcome = reader.readLine(line, 1000)) == ReadOutcome::Line) {
        split.lines.push_back(line);
    }
    require(outcome == ReadOutcome::Lost, "a closed stream ends as a lost connection");
    split.partial = reader.partial();
    return true;
}

void checkStep(const GatewayStep& step)
{
    const GatewayState& state = step.state;
    require(state.addressList.size() <= GatewayState::maxAddressList, "pager list fits");
    require(state.messageText.size() <= GatewayState::maxMessage, "message fits");
    require(state.addressList.empty() || state.addressList.front() == ';',
            "pager list begins with ;");
    require(state.addressList.find(";;") == std::string::npos
                && (state.addressList.empty() || state.addressList.back() != ';'),
            "no empty pager entry");
    for (const GatewayReply& reply : step.replies) {
        const std::string wire = reply.wireText();
        require(reply.code >= 100 && reply.code <= 999, "three-digit code");
        require(wire.size() >= 5 && wire[3] == ' ', "code then blank");
        require(wire.find_first_of(std::string("\r\0", 2)) == std::string::npos,
                "no CR or NUL in a reply");
        require(wire.find('\n') == wire.size() - 1, "one line feed at the end");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1 || size > maxInput) {
        return 0;
    }
    const std::uint8_t control = data[0];
    const std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);

    const Split assembled = assemble(stream);
    Split read;
    if (readFromSocket(stream, read)) {
        require(read.lines == assembled.lines, "reader and assembler give the same lines");
        require(read.partial == assembled.partial, "reader and assembler keep the same rest");
    }
    for (const std::string& line : assembled.lines) {
        require(!line.empty() && line.size() <= LineAssembler::maxLength, "line length");
    }

    GatewayOptions options;
    options.fromAdbOnly = (control & 1) != 0;
    options.level2Login = (control & 2) != 0;
    BookAddressJudge judge(nullptr, &book());
    const CommandInterpreter interpreter("192.0.2.7", options, judge);
    GatewayState state;
    unsigned sendIndex = 0;
    for (const std::string& line : assembled.lines) {
        GatewayStep step = interpreter.step(state, line);
        checkStep(step);
        if (step.action == GatewayAction::Send) {
            require(step.replies.empty(), "SEND waits for the send before replying");
            // Bits 2..7 of the control byte choose each send's outcome in turn.
            const unsigned pick = (control >> (2 + (sendIndex++ % 3) * 2)) & 3U;
            GatewaySendCounts counts;
            counts.sent = pick == 2 ? 0 : static_cast<int>(pick);
            counts.failed = pick == 1 ? 0 : 2;
            step = interpreter.sendDone(step.state, pick != 3, counts);
            checkStep(step);
            require(step.replies.size() == 1, "one reply to SEND");
        }
        state = step.state;
        if (step.action == GatewayAction::Close) {
            return 0;
        }
    }
    const GatewayStep lost = interpreter.lost(state, assembled.partial);
    checkStep(lost);
    require(lost.action == GatewayAction::Close && lost.replies.size() == 2, "lost closes");
    return 0;
}
