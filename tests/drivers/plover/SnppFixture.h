#pragma once

#include "SnppTestServer.h"
#include "TestReporter.h"
#include "frame/MessageList.h"
#include "plover/PloverSettings.h"
#include "plover/SnppSession.h"
#include "plover/SnppTransport.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

// One SNPP send against the test server: a private settings store and log, the server, the
// transport, the message list and a reporter standing in for the send frame.
class SnppFixture : public ::testing::Test
{
public:
    using Messages = std::vector<std::pair<std::string, std::string>>;

    // The three lines that page one message.
    static std::vector<std::string> page(const std::string& pager, const std::string& text)
    {
        return {"PAGER " + pager, "MESSAGE " + text, "SEND"};
    }

    // The lines joined, for building an expected exchange.
    static std::vector<std::string> join(std::initializer_list<std::vector<std::string>> parts)
    {
        std::vector<std::string> lines;
        for (const auto& part : parts) {
            lines.insert(lines.end(), part.begin(), part.end());
        }
        return lines;
    }

    void SetUp() override
    {
        ASSERT_TRUE(server.start());
        // Short waits keep the failing exchanges fast; the engine's logic is the same.
        settings.replyTimeoutMs = 2000;
        settings.statusPauseMs = 0;
    }

protected:
    // Adds the messages (recipient, text) to the list.
    void load(const Messages& messages)
    {
        for (const auto& [recipient, text] : messages) {
            ASSERT_TRUE(list.add(recipient, text));
        }
    }

    // Runs one send to the test server and waits until the server has seen the connection
    // end; gives the send's overall code.
    int send()
    {
        SnppSession session(transport, list, reporter, settings);
        session.run("127.0.0.1", std::to_string(server.port()));
        EXPECT_TRUE(server.waitForFinished(server.connections(), 5000));
        return reporter.lastError();
    }

    // The results of the list's messages.
    std::vector<int> results() const
    {
        std::vector<int> codes;
        for (int i = 0; i < list.count(); ++i) {
            codes.push_back(static_cast<int>(list.result(i)));
        }
        return codes;
    }

    TestReporter reporter {12, "plover"};
    SnppTestServer server;
    SnppTransport transport;
    MessageList list;
    PloverSettings settings;
};
