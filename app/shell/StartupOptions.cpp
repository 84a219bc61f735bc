#include "shell/StartupOptions.h"

StartupOptions StartupOptions::parse(const std::vector<std::string>& arguments)
{
    StartupOptions options;
    for (const std::string& token : arguments) {
        if (token == "--help") {
            options.action = Action::PrintUsage;
            return options;
        }
        if (token == "--version") {
            options.action = Action::PrintVersion;
            return options;
        }
        if (token.size() < 2 || token[0] != '-')
            continue;
        switch (token[1]) {
        case 'h':
            options.action = Action::ShowHelpBox;
            return options;
        case 'm':
            options.multipleInstances = true;
            break;
        case 't':
            options.taskbarOnly = true;
            break;
        default:
            break;
        }
    }
    return options;
}

std::string StartupOptions::usage()
{
    return "Usage: norvane [-h] [-m] [-t]\n"
           "Writes and sends pages from the desktop.\n\n"
           "  -h         show the options in a message box and end\n"
           "  -m         allow more than one running instance\n"
           "  -t         start on the taskbar only: no splash screen, the window hidden\n"
           "  --help     print this text and end\n"
           "  --version  print the version and end\n\n"
           "A second start without -m brings the running instance's window to the front.\n"
           "norvane-cli does the same work from scripts and servers.\n";
}
