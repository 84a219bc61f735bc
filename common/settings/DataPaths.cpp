#include "settings/DataPaths.h"

#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace {

// The user's home folder: $HOME, else the password database's entry.
std::string userHome()
{
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return home;
    }
    std::vector<char> buffer(16384);
    passwd entry {};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr
        && found->pw_dir != nullptr && found->pw_dir[0] == '/') {
        return found->pw_dir;
    }
    return {};
}

} // namespace

std::string DataPaths::resolve(const StringSetting& setting, std::string_view fileName)
{
    const SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    std::string path = paths.read(setting);
    if (!path.empty()) {
        return path;
    }
    const std::string folder = home();
    if (!folder.empty()) {
        return inHome(folder, fileName);
    }
    return std::string(fileName);
}

std::string DataPaths::inHome(std::string_view home, std::string_view fileName)
{
    std::string path(home);
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    path += "data/";
    path += fileName;
    return path;
}

std::string DataPaths::home()
{
    SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    if (!paths.isOpen() || paths.hasValue(SharedSettings::Paths::home.name)) {
        return paths.read(SharedSettings::Paths::home);
    }
    const std::string folder = defaultHome();
    if (folder.empty() || folder.size() >= SharedSettings::Paths::home.bufferSize) {
        return {};
    }
    std::error_code error;
    std::filesystem::create_directories(inHome(folder, ""), error);
    if (error) {
        return {};
    }
    // Not written when the store cannot take it: this run still uses the folder, and the
    // next run tries again.
    (void)paths.write(SharedSettings::Paths::home, folder);
    return folder;
}

std::string DataPaths::defaultHome()
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/') {
        std::string folder = dataHome;
        if (folder.back() != '/') {
            folder += '/';
        }
        return folder + "norvane";
    }
    const std::string home = userHome();
    if (home.empty()) {
        return {};
    }
    return home + (home.back() == '/' ? "" : "/") + ".local/share/norvane";
}
