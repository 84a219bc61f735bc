#pragma once

#include <cstddef>
#include <string>

// Splits the bytes a client sends into command lines, one byte at a time: a NUL, a line feed
// or a carriage return ends a line, empty lines are skipped (so CR LF, LF and CR all end one
// line), and a line that reaches maxLength characters ends where it stands, the rest of it
// becoming the next line.
class LineAssembler
{
public:
    // The longest command line, in characters.
    static constexpr std::size_t maxLength = 1023;

    // Takes one byte; true when it completed a line, which takeLine() then gives. While a
    // completed line waits to be taken, a byte is not taken and the result stays true.
    bool push(char byte);
    // The completed line; the assembler starts the next one.
    std::string takeLine();
    // The characters of the line read so far.
    const std::string& partial() const { return m_line; }
    // Whether a completed line waits to be taken.
    bool hasLine() const { return m_complete; }

private:
    std::string m_line;
    bool m_complete = false;
};
