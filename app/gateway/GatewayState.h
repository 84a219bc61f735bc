#pragma once

#include "gateway/GatewayReply.h"

#include <cstddef>
#include <string>
#include <vector>

// What a client has built up: the pager list (";" before each accepted address, so it begins
// with ";") and the message.
struct GatewayState
{
    // The longest pager list and message, in characters.
    static constexpr std::size_t maxAddressList = 511;
    static constexpr std::size_t maxMessage = 512;

    std::string addressList;
    std::string messageText;

    bool operator==(const GatewayState&) const = default;
};

// What the session does after a step, besides sending the replies in order.
enum class GatewayAction {
    None,
    Send, // relay the state's message to its pager list, then report with sendDone()
    Close, // close the connection
};

// One line of the gateway's log: its level and text.
struct GatewayLogLine
{
    int level = 0;
    std::string text;

    bool operator==(const GatewayLogLine&) const = default;
};

// The result of one step of the interpreter: the new state, the replies, the log lines and
// the action.
struct GatewayStep
{
    GatewayState state;
    std::vector<GatewayReply> replies;
    std::vector<GatewayLogLine> log;
    GatewayAction action = GatewayAction::None;
};
