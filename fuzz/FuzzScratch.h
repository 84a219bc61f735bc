#pragma once

#include <string>
#include <string_view>

// A private folder for the files a fuzz target reads and writes, made once per process and
// removed when it ends. Making it also points NORVANE_REGISTRY at an empty settings store in
// it, so that whatever the code under test reads from the settings is the defaults and
// never the user's own store.
class FuzzScratch
{
public:
    // The folder of this process (made on first use; aborts when it cannot be made).
    static const std::string& folder();
    // The path of a file called `name` in the folder.
    static std::string path(std::string_view name);
    // Replaces the file at the path with exactly these bytes; aborts when it cannot.
    static void writeFile(const std::string& path, std::string_view bytes);
};
