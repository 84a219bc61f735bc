#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

class UserPrompt;

// The locate step of the two database files: find the file, or ask the user (through the
// prompt) to browse for it, create it or go on without it; and the creation of a new file.
class DatabaseLocator
{
public:
    // The texts of one kind of database file.
    struct Texts
    {
        std::string_view missingFormat; // "Cannot find the ... database file\n[%s]\n"
        std::string_view fileName; // the name the open-file dialog offers
    };

    // Loops until the file at the (possibly browsed) path exists or was created by `create`
    // (which says why it failed in `error`); gives its path, or nothing when the user chose
    // "Cancel". A failed creation shows "Create database file failed" and asks again.
    static std::optional<std::string>
    locate(std::string path, const Texts& texts, UserPrompt& prompt,
           const std::function<bool(const std::string& path, std::string& error)>& create);
    // Whether a regular file exists at the path.
    static bool fileExists(const std::string& path);
};
