#pragma once

#include <string>
#include <vector>

// What "status" found, gathered without changing anything (no file or setting is written).
struct StatusReport
{
    // One thing checked: its name, where it is, and how it stands.
    struct Item
    {
        std::string name;
        std::string where; // a path, a class identifier and file, a host ...
        std::string state; // "ok", "missing" (made at first use), "off", "problem"
        std::string detail; // in words
    };
    // One allowed host of the gateway.
    struct Host
    {
        std::string name;
        std::string address; // "" when it does not resolve; "*" for every host
    };

    Item store;
    Item home;
    std::vector<Item> files;
    std::vector<Item> drivers;
    std::vector<Item> lines;
    bool gatewayEnabled = false;
    std::string gatewayPort;
    bool fromAdbOnly = false;
    bool level2Login = false;
    std::vector<Host> hosts;
    int servePid = 0; // 0: no serve runs on the store; -1: one runs, its id unknown

    // Looks at everything.
    static StatusReport gather();
    // The number of items in the "problem" state (and allowed hosts that do not resolve
    // while the gateway is enabled).
    int problemCount() const;
};
