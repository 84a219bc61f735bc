// Reads the help topic files as the program will and fails the build when one cannot be read
// or a link leads nowhere, so a broken topic never reaches a user as an empty help window.
// Usage: norvane_help_check <stamp file> <topic file>...
#include "shell/HelpIndex.h"

#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::cerr << "usage: norvane_help_check <stamp file> <topic file>...\n";
        return 2;
    }
    HelpIndex index;
    for (int i = 2; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::cerr << argv[i] << ": cannot be read\n";
            return 1;
        }
        std::stringstream text;
        text << in.rdbuf();
        if (!index.addSource(text.str(), argv[i])) {
            std::cerr << index.lastErrorText() << '\n';
            return 1;
        }
    }
    if (!index.checkLinks()) {
        std::cerr << "help topics: " << index.lastErrorText() << '\n';
        return 1;
    }
    std::ofstream stamp(argv[1], std::ios::trunc);
    stamp << index.topics().size() << " topics\n";
    return stamp ? 0 : 1;
}
