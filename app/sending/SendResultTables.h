#pragma once

#include "sending/ResultStatus.h"

#include <cstdint>
#include <string>

// What one message's result code means for its row: the message id, its text (formatted)
// and the row's status.
struct MessageOutcome
{
    int messageId = 0;
    std::string text;
    ResultStatus status = ResultStatus::ResultFailed;
};

// The two tables that turn a driver's codes into the texts of the send results.
class SendResultTables
{
public:
    // The message id of a send return code that fails the whole transmission, or 0 when the
    // code has no message of its own (0, 201, 207, 209, 210, 217: the per-message codes
    // decide). Unknown codes give 148 "Unknown return code".
    static int sendErrorMessageId(std::int32_t returnCode);
    // The message, text and status of a per-message result code; unknown codes give 129
    // "Unknown internal error code=<code>" with the status ResultFailed.
    static MessageOutcome messageOutcome(std::int32_t resultCode);
    // The per-message code of a page the driver sent.
    static constexpr std::int32_t sentCode = 1;
};
