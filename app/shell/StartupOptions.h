#pragma once

#include <string>
#include <string_view>
#include <vector>

// The desktop program's command line: "-h", "-m" and "-t" act by their second character
// (-help is "-h", -mt is "-m"), any other token is ignored, and "-h" ends the start wherever it
// stands. "--help" and "--version" print to standard output instead, as on every Linux program.
class StartupOptions
{
public:
    // What the start does after reading the command line.
    enum class Action { Run, ShowHelpBox, PrintUsage, PrintVersion };

    // The help box's text ("\r" breaks a line) and caption.
    static constexpr std::string_view helpText
        = "-h  Display help message\r-m  Allow multiple instances\r-t  Start on taskbar only\r";
    static constexpr std::string_view helpCaption = "Norvane Options";

    // Reads the arguments that follow the program name.
    static StartupOptions parse(const std::vector<std::string>& arguments);
    // The usage text that --help prints.
    static std::string usage();

    Action action = Action::Run;
    // "-m": no single-instance lock is taken or tested.
    bool multipleInstances = false;
    // "-t": no splash screen, the compose window starts hidden.
    bool taskbarOnly = false;
};
