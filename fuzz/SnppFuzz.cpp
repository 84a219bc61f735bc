// Fuzzes the SNPP client engine with what a server may answer, over a socket pair whose
// server side holds the input's replies and is then shut for writing. Input: a control byte
// (message count, restart limit), a byte giving the length of the message texts, the texts
// (split at LF), then the server's replies. Checked: the engine ends within a number of
// steps linear in the replies; every command it sends is one of its own, one line ending in
// CR LF, and the last is QUIT; no message is called sent without a SEND and a positive answer;
// what it reports stays in range.
#include "FuzzCheck.h"
#include "FuzzReporter.h"
#include "frame/MessageList.h"
#include "net/TcpSocket.h"
#include "plover/SnppEngine.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

void require(bool holds, const char* what)
{
    fuzzRequire(holds, "fuzz_snpp", what);
}

// Larger inputs could fill the socket pair's buffer before the engine reads it.
constexpr std::size_t maxInput = 16384;

bool writeAll(int handle, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t count = ::write(handle, bytes.data(), bytes.size());
        if (count <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
}

std::string readAvailable(int handle)
{
    std::string bytes;
    char buffer[4096];
    ssize_t count = 0;
    while ((count = ::recv(handle, buffer, sizeof buffer, MSG_DONTWAIT)) > 0) {
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    return bytes;
}

// The reply lines as the engine reads them: split at CR or LF, empty ones left out.
std::vector<std::string_view> replyLines(std::string_view replies)
{
    std::vector<std::string_view> lines;
    while (!replies.empty()) {
        const std::size_t end = replies.find_first_of("\r\n");
        if (end != 0) {
            lines.push_back(replies.substr(0, end));
        }
        replies.remove_prefix(end == std::string_view::npos ? replies.size() : end + 1);
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2 || size > maxInput) {
        return 0;
    }
    const std::uint8_t control = data[0];
    const std::size_t textLength = std::min<std::size_t>(data[1], size - 2);
    const std::string_view texts(reinterpret_cast<const char*>(data) + 2, textLength);
    const std::string_view replies(reinterpret_cast<const char*>(data) + 2 + textLength,
                                   size - 2 - textLength);

    MessageList messages;
    const int count = 1 + (control & 3);
    require(addFuzzMessages(messages, count, texts), "the list takes the message");
    SnppEngineSettings settings;
    settings.maxRestarts = (control >> 2) & 3;
    settings.replyTimeoutMs = 1000;

    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        return 0;
    }
    const int server = ends[1];
    if (!writeAll(server, replies) || ::shutdown(server, SHUT_WR) != 0) {
        ::close(ends[0]);
        ::close(server);
        return 0;
    }
    std::string commands;
    {
        TcpSocket connection(ends[0]);
        FuzzReporter reporter;
        SnppEngine engine(connection, messages, reporter, settings);
        engine.start();
        const std::size_t bound = 8 + 4 * replies.size();
        std::size_t steps = 0;
        while (engine.step()) {
            require(++steps <= bound, "the engine ends in bounded steps");
            // Drained as it goes, so that long messages never fill the pair's buffer.
            commands += readAvailable(server);
        }
        require(engine.state() == SnppState::Done && !engine.step(), "the engine stays ended");
        commands += readAvailable(server);
        require(reporter.reportsBounded(2 * count), "reports in range");
        const int code = reporter.lastError();
        require(code == 0 || (code >= 200 && code <= 213), "the overall code is known");
    }
    ::close(server);

    int sends = 0;
    std::string_view rest = commands;
    std::string_view last;
    while (!rest.empty()) {
        const std::size_t end = rest.find("\r\n");
        require(end != std::string_view::npos, "every command ends in CR LF");
        const std::string_view line = rest.substr(0, end);
        require(line.find_first_of("\r\n") == std::string_view::npos, "one line per command");
        require(line.starts_with("PAGER ") || line.starts_with("MESSAGE ") || line == "SEND"
                    || line == "RESE" || line == "QUIT",
                "only the engine's own commands");
        sends += line == "SEND" ? 1 : 0;
        last = line;
        rest.remove_prefix(end + 2);
    }
    require(last == "QUIT", "the engine says goodbye");

    int positive = 0;
    for (const std::string_view line : replyLines(replies)) {
        const std::size_t start = line.find_first_not_of('\0');
        positive += start != std::string_view::npos
                && (line[start] == '2' || line[start] == '8' || line[start] == '9')
            ? 1
            : 0;
    }
    int sent = 0;
    for (int i = 0; i < count; ++i) {
        require(messages.result(i) != MessageResult::Cleared, "every message has a result");
        sent += messages.result(i) == MessageResult::Sent ? 1 : 0;
    }
    require(sent <= sends && sent <= positive, "no message is sent without SEND and a yes");
    return 0;
}
