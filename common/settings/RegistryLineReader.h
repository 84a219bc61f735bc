#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Splits a registry text into logical lines: a physical line, or a value line continued over
// lines ending in "\". CR LF, LF and CR alone all end a line.
class RegistryLineReader
{
public:
    // One logical line.
    struct Line
    {
        std::string text; // the joined text, to be parsed
        std::string raw; // the physical lines as they were, joined by CR LF, to be kept
        int number = 0; // the number of its first physical line
        bool cut = false; // it ended in "\" but no continuation followed
    };

    // A reader at the start of the text, which must outlive it.
    explicit RegistryLineReader(std::string_view text)
        : m_text(text)
    { }

    // The next logical line; false at the end of the text.
    bool next(Line& line);
    // Whether a kept line would be joined with the line after it when read back (a value
    // line ending in "\"), so that a writer can keep them apart.
    static bool joinsNext(std::string_view raw);

private:
    std::string_view physical();

    std::string_view m_text;
    std::size_t m_position = 0;
    int m_number = 0;
};
