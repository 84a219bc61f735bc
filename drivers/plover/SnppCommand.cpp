#include "plover/SnppCommand.h"

std::string SnppCommand::pager(std::int32_t pagerId)
{
    return "PAGER " + std::to_string(pagerId) + "\r\n";
}

std::string SnppCommand::message(std::string_view text)
{
    std::string line = "MESSAGE ";
    line.reserve(line.size() + text.size() + 2);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        line += byte < 0x20 || byte == 0x7f ? ' ' : c;
    }
    line += "\r\n";
    return line;
}

std::string SnppCommand::send()
{
    return "SEND\r\n";
}

std::string SnppCommand::reset()
{
    return "RESE\r\n";
}

std::string SnppCommand::quit()
{
    return "QUIT\r\n";
}
