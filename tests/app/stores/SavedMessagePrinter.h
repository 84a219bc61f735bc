#pragma once

#include "stores/SavedMessage.h"

#include <ostream>

// Shows a record's four fields in test failures (0x05 and line breaks as escapes).
inline void PrintTo(const SavedMessage& record, std::ostream* out)
{
    const auto field = [out](const std::string& text) {
        *out << '"';
        for (const char c : text) {
            if (c == '\x05') {
                *out << "\\x05";
            } else if (c == '\r') {
                *out << "\\r";
            } else if (c == '\n') {
                *out << "\\n";
            } else {
                *out << c;
            }
        }
        *out << '"';
    };
    *out << '{';
    field(record.name);
    *out << ", ";
    field(record.schedule);
    *out << ", ";
    field(record.recipients);
    *out << ", ";
    field(record.message);
    *out << '}';
}
