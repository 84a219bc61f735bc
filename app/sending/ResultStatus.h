#pragma once

#include <cstdint>
#include <string_view>

// What became of one recipient's page; the results list shows it as an icon.
enum class ResultStatus : std::int32_t {
    ResultSent = 0, // green tick
    ResultRejected = 1, // yellow disc with a red cross
    ResultFailed = 2, // red question mark
    ResultNotDeliverable = 3, // sheet of paper with a red cross
    ResultDeleted = 4, // no picture of its own
};

// A short lower-case name of the status for text output ("sent", "not deliverable").
std::string_view resultStatusName(ResultStatus status);
