#pragma once

#include "stores/SavedMessage.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The line format of the saved messages file "canMsg.dat": name, schedule, recipients and
// message joined by the byte 0x05, ending in CR LF. There is no escaping, so no field may hold
// 0x05, CR or LF, and no field may be empty in front of a non-empty one (runs of delimiters
// read as one and would shift the fields behind it).
class SavedMessageLine
{
public:
    // The field delimiter.
    static constexpr char delimiter = '\x05';
    // The longest record line the file format holds, without its CR LF: readers of the format
    // take a line into 256 bytes, and 253 + CR LF + the terminating zero fill them.
    static constexpr std::size_t maxLineLength = 253;
    // The longest name (the name field of the dialogs holds 127 characters).
    static constexpr std::size_t maxNameLength = 127;
    // The longest schedule text (a schedule's text form has 30 characters).
    static constexpr std::size_t maxScheduleLength = 63;

    // Splits one line (its line end may be present) as the store reads it: delimiters are
    // 0x05, CR and LF, runs of them count as one, leading ones are skipped, and a missing
    // field reads as empty. An empty line is a record of four empty fields.
    static SavedMessage parse(std::string_view line);
    // Splits a whole file into records, at most `limit`: a line ends in CR LF, LF or CR alone
    // (see TextLines), and a last line without a line end counts.
    static std::vector<SavedMessage> parseAll(std::string_view bytes, std::size_t limit);
    // The record's line with its CR LF.
    static std::string format(const SavedMessage& record);
    // Whether the record can be written so that it reads back unchanged; on false, `why`
    // says what is wrong and `tooLong` tells a length problem from a bad field.
    [[nodiscard]] static bool check(const SavedMessage& record, std::string& why, bool& tooLong);
};
