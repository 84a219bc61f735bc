#include "DataPaths.h"

#include "SettingsKey.h"
#include "SharedSettings.h"

std::string DataPaths::resolve(const StringSetting& setting, std::string_view fileName)
{
    const SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    std::string path = paths.read(setting);
    if (!path.empty()) {
        return path;
    }
    const std::string home = paths.read(SharedSettings::Paths::home);
    if (!home.empty()) {
        return inHome(home, fileName);
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
