#include "cli/CliOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

ExitCode CliOutput::fail(std::string_view text)
{
    std::cerr << programName << ": " << text << '\n';
    return ExitCode::Failure;
}

ExitCode CliOutput::usageError(std::string_view text, std::string_view usage)
{
    std::cerr << programName << ": " << text << "\n\n" << usage;
    return ExitCode::Usage;
}

ExitCode CliOutput::unexpectedArgument(std::string_view word, std::string_view usage)
{
    return usageError("unexpected argument \"" + std::string(word) + "\"", usage);
}

ExitCode CliOutput::help(std::string_view usage)
{
    std::cout << usage;
    return ExitCode::Success;
}

ExitCode CliOutput::finish(ExitCode code)
{
    // The stream's flush reaches the C library's, where a write error shows with its errno.
    errno = 0;
    std::cout.flush();
    int why = errno;
    if (std::fflush(stdout) != 0) {
        why = errno;
    }
    if (!std::cout.fail() && std::ferror(stdout) == 0) {
        return code;
    }
    std::cerr << programName << ": cannot write the output";
    if (why != 0) {
        std::cerr << ": " << std::strerror(why);
    }
    std::cerr << '\n';
    return ExitCode::Failure;
}

namespace {

void appendEscaped(std::string& out, unsigned char byte)
{
    static constexpr char digits[] = "0123456789abcdef";
    out += "\\x";
    out += digits[byte >> 4];
    out += digits[byte & 0x0F];
}

} // namespace

std::string CliOutput::printable(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\\') {
            out += "\\\\";
        } else if (byte == '\t') {
            out += "\\t";
        } else if (byte == '\r') {
            out += "\\r";
        } else if (byte == '\n') {
            out += "\\n";
        } else if (byte < 0x20 || byte == 0x7F || (byte >= 0x80 && byte <= 0x9F)) {
            // A lone 0x80-0x9F is a C1 control to a terminal in an 8-bit code page; inside
            // UTF-8 it is a continuation byte, kept below with its lead byte.
            appendEscaped(out, byte);
        } else if (byte == 0xC2 && i + 1 < text.size()
                   && static_cast<unsigned char>(text[i + 1]) >= 0x80
                   && static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            // U+0080 to U+009F: the C1 controls in UTF-8 (U+009B starts an escape sequence).
            appendEscaped(out, byte);
            appendEscaped(out, static_cast<unsigned char>(text[++i]));
        } else if (byte >= 0xC0) {
            // A UTF-8 lead byte: the continuation bytes it announces go with it unchanged;
            // any more are stray bytes and looked at one by one.
            out += text[i];
            const int expected = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : 1;
            for (int taken = 0; taken < expected && i + 1 < text.size()
                 && static_cast<unsigned char>(text[i + 1]) >= 0x80
                 && static_cast<unsigned char>(text[i + 1]) <= 0xBF;
                 ++taken) {
                out += text[++i];
            }
        } else {
            out += text[i];
        }
    }
    return out;
}
