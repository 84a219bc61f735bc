#include "gateway/GatewayCommand.h"

#include <array>

namespace {

struct CommandName
{
    std::string_view name;
    CommandKind kind;
};

// In the order the names are compared; the first match wins.
constexpr std::array<CommandName, 8> commandNames {{
    {"PAGE", CommandKind::Page},
    {"MESS", CommandKind::Mess},
    {"RESE", CommandKind::Rese},
    {"SEND", CommandKind::Send},
    {"HELP", CommandKind::Help},
    {"QUIT", CommandKind::Quit},
    {"LOGI", CommandKind::Login},
    {"LEVE", CommandKind::Level},
}};

char upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool startsWithName(std::string_view line, std::string_view name)
{
    if (line.size() < name.size()) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (upper(line[i]) != name[i]) {
            return false;
        }
    }
    return true;
}

// Text bytes are 0x20 to 0x7F; a tab, any other control byte or an 8-bit byte ends the line.
std::string_view cutAtControl(std::string_view line)
{
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        if (byte < 0x20 || byte > 0x7F) {
            return line.substr(0, i);
        }
    }
    return line;
}

} // namespace

GatewayCommand GatewayCommand::parse(std::string_view line, bool level2Login)
{
    GatewayCommand command;
    for (const CommandName& entry : commandNames) {
        if (!startsWithName(line, entry.name)) {
            continue;
        }
        if ((entry.kind == CommandKind::Login || entry.kind == CommandKind::Level)
            && !level2Login) {
            break;
        }
        command.kind = entry.kind;
        break;
    }
    if (command.kind == CommandKind::Page || command.kind == CommandKind::Mess) {
        const std::string_view text = cutAtControl(line);
        const std::size_t blank = text.find(' ');
        if (blank != std::string_view::npos) {
            command.argument = std::string(text.substr(blank + 1));
        }
    }
    return command;
}
