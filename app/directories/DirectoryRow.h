#pragma once

#include <string>

// One row of a directory search as the "Directory Search" list shows it.
struct DirectoryRow
{
    std::string name;
    std::string mail;
    std::string pager;

    bool operator==(const DirectoryRow&) const = default;
};
