#include "cli/ArgumentList.h"

#include <algorithm>

ArgumentList::ArgumentList(std::vector<std::string> arguments)
    : m_arguments(std::move(arguments))
{
    const auto separator = std::find(m_arguments.begin(), m_arguments.end(), "--");
    m_endOfOptions = static_cast<std::size_t>(separator - m_arguments.begin());
}

bool ArgumentList::takeFlag(std::string_view name, std::string_view shortName)
{
    for (std::size_t i = 0; i < m_endOfOptions; ++i) {
        if (m_arguments[i] == name || (!shortName.empty() && m_arguments[i] == shortName)) {
            m_arguments.erase(m_arguments.begin() + static_cast<std::ptrdiff_t>(i));
            --m_endOfOptions;
            return true;
        }
    }
    return false;
}

bool ArgumentList::takeOption(std::string_view name, std::string& value)
{
    for (std::size_t i = 0; i < m_endOfOptions; ++i) {
        const std::string& argument = m_arguments[i];
        const auto erase = [&](std::size_t count) {
            m_arguments.erase(m_arguments.begin() + static_cast<std::ptrdiff_t>(i),
                              m_arguments.begin() + static_cast<std::ptrdiff_t>(i + count));
            m_endOfOptions -= count;
        };
        if (argument == name) {
            if (i + 1 >= m_endOfOptions) {
                m_error = std::string(name) + " needs a value";
                erase(1);
                return false;
            }
            value = m_arguments[i + 1];
            erase(2);
            return true;
        }
        if (argument.size() > name.size() && argument.compare(0, name.size(), name) == 0
            && argument[name.size()] == '=') {
            value = argument.substr(name.size() + 1);
            erase(1);
            return true;
        }
    }
    return false;
}

std::optional<std::string> ArgumentList::unknownOption() const
{
    for (std::size_t i = 0; i < m_endOfOptions; ++i) {
        const std::string& argument = m_arguments[i];
        if (argument.size() > 1 && argument.front() == '-') {
            return argument;
        }
    }
    return std::nullopt;
}

std::vector<std::string> ArgumentList::positional() const
{
    std::vector<std::string> result(
        m_arguments.begin(), m_arguments.begin() + static_cast<std::ptrdiff_t>(m_endOfOptions));
    if (m_endOfOptions < m_arguments.size()) {
        result.insert(result.end(),
                      m_arguments.begin() + static_cast<std::ptrdiff_t>(m_endOfOptions) + 1,
                      m_arguments.end());
    }
    return result;
}

std::optional<std::string> ArgumentList::problem() const
{
    if (!m_error.empty()) {
        return m_error;
    }
    if (const auto option = unknownOption()) {
        return "unknown option " + *option;
    }
    return std::nullopt;
}
