#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The arguments of one command, taken apart option by option. Options may come anywhere
// among the positional arguments; "--" ends the options.
class ArgumentList
{
public:
    // The arguments as given after the command's name.
    explicit ArgumentList(std::vector<std::string> arguments);

    // Removes the flag (e.g. "--follow" or its short form) and tells whether it was there.
    bool takeFlag(std::string_view name, std::string_view shortName = {});
    // Removes the option and its value ("--level 5" or "--level=5"); false when it is absent.
    // A missing value is recorded as an error.
    bool takeOption(std::string_view name, std::string& value);
    // The first remaining argument that starts with "-" and is not "-" itself, if any.
    std::optional<std::string> unknownOption() const;
    // The arguments that are not options, in order.
    std::vector<std::string> positional() const;
    // A usage error found while taking options ("--level needs a value").
    const std::string& error() const { return m_error; }
    // What is wrong with the options once all known ones are taken: error(), else
    // "unknown option X"; nothing when all is well.
    std::optional<std::string> problem() const;

private:
    std::vector<std::string> m_arguments;
    std::size_t m_endOfOptions;
    std::string m_error;
};
