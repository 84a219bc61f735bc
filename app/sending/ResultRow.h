#pragma once

#include "sending/ResultStatus.h"

#include <cstdint>
#include <optional>
#include <string>

// One row of a send's results: the recipient entry as it stood in the list (a name or an
// address), what became of its page, in words and as a status, and the help context of that
// outcome (0x30000 plus a message id for address errors, the address book's own code for its
// failures, 0 for driver outcomes).
struct ResultRow
{
    std::string recipient;
    ResultStatus status = ResultStatus::ResultFailed;
    std::string text;
    std::int32_t helpCode = 0;
    // The driver's return code of the transmission that carried the page; none for entries
    // that reached no driver.
    std::optional<std::int32_t> returnCode;
};
