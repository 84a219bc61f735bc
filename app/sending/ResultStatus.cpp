#include "sending/ResultStatus.h"

std::string_view resultStatusName(ResultStatus status)
{
    switch (status) {
    case ResultStatus::ResultSent:
        return "sent";
    case ResultStatus::ResultRejected:
        return "rejected";
    case ResultStatus::ResultFailed:
        return "failed";
    case ResultStatus::ResultNotDeliverable:
        return "not deliverable";
    case ResultStatus::ResultDeleted:
        return "deleted";
    }
    return "unknown";
}
