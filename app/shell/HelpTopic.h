#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One help topic: the key that names it ("HIDS_ERM_NOVALIDADDR"), the context numbers that
// open it (0x30000 plus a message id, 0x20000 plus a window's template, 0x10000 plus a
// control id), its title, the contents heading it is listed under and its body (HTML).
struct HelpTopic
{
    std::string key;
    std::vector<std::uint32_t> contexts;
    std::string title;
    std::string group;
    std::string body;
};
