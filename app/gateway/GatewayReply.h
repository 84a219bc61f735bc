#pragma once

#include <string>
#include <string_view>

// One reply line of the gateway to its client: a three-digit code and a text.
struct GatewayReply
{
    int code = 0;
    std::string text;

    // The line as it goes on the wire: "%3.3d ", the text and a single line feed.
    std::string wireText() const;

    bool operator==(const GatewayReply&) const = default;
};

// The gateway's fixed reply texts (those with counts or text in them are formed where used:
// "Send completed - succ=%d, failed=%d", "Bad address (%d)", "Read timeout  (%s)").
namespace GatewayText {
inline constexpr std::string_view ready = "I'm ready";
inline constexpr std::string_view idAccepted = "ID accepted";
inline constexpr std::string_view messageAccepted = "Message accepted";
inline constexpr std::string_view stateResetted = "State resetted";
inline constexpr std::string_view sendSuccessful = "Send successful";
inline constexpr std::string_view sendFailed = "Send failed";
inline constexpr std::string_view bufferFull = "Address buffer full";
inline constexpr std::string_view notAllowed = "Address not allowed";
inline constexpr std::string_view messageTooLong = "Message too long";
inline constexpr std::string_view messageMissing = "Message missing";
inline constexpr std::string_view help = "Er... help? Are you kidding?";
inline constexpr std::string_view goodBye = "Okay, Good Bye!";
inline constexpr std::string_view lostConnection = "Lost connection. Bye!";
inline constexpr std::string_view what = "Wa-What?";
inline constexpr std::string_view hostUnknown = "Your host address is unknown";
inline constexpr std::string_view hostDenied = "Your host is denied access";
inline constexpr std::string_view loginAccepted = "Login accepted";
inline constexpr std::string_view levelAccepted = "Level accepted";
} // namespace GatewayText
