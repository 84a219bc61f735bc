#pragma once

#include <string>
#include <string_view>
#include <vector>

// Finds a driver plug-in file beside the running program, so that a first send works
// before anyone registered the drivers: in a build tree the program lies in
// <build>/app/<program>/ and the plug-in in <build>/drivers/<name>/lib<name>.so; installed,
// the program lies in <prefix>/bin and the plug-ins in <prefix>/lib/norvane. Everything is
// relative to the program's own file, never to a path fixed at build time.
class PluginLocator
{
public:
    // The folder of the running program's file; "" when it cannot be read.
    static std::string programFolder();
    // The places, in order, where the plug-in `name` ("kestrel") may lie for a program in
    // `programFolder`.
    static std::vector<std::string> candidates(std::string_view programFolder,
                                               std::string_view name);
    // The first candidate for the running program that is a file; "" when there is none.
    static std::string find(std::string_view name);
    // Where an installed program expects the plug-in: the path to give "norvane-cli regsvr".
    static std::string installedPath(std::string_view name);
};
