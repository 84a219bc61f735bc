#pragma once

#include <string>
#include <vector>

// What the about box says of the two driver plug-ins, found through their registration
// entries: the version a driver's registration names, the file that serves it, or why it is
// missing with the command that mends it.
class DriverInventory
{
public:
    // One driver as found.
    struct Driver
    {
        std::string name; // "kestrel"
        std::string protocol; // "IXO/TAP", "SNPP"
        bool found = false; // registered (or beside the program) and loadable
        std::string version; // "1" from the program identifier "KESTREL.KestrelCtrl.1"
        std::string typeName; // "Tessal Kestrel Driver"
        std::string path; // the plug-in file, "" when none was found
        std::string problem; // why the driver is missing or not loadable ("" when found)
    };

    // Looks up both drivers in the current user's registration entries.
    static std::vector<Driver> find();
    // One line for the about box: "IXO/TAP driver (kestrel): version 1, <path>" or the
    // problem.
    static std::string describe(const Driver& driver);
};
