#include "CliOutput.h"

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

ExitCode CliOutput::help(std::string_view usage)
{
    std::cout << usage;
    return ExitCode::Success;
}
