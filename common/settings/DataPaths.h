#pragma once

#include "settings/SettingDefinition.h"

#include <string>
#include <string_view>

// The path rules of the data files: a file's own value in the Paths key when it is set,
// else the file in the "data" folder of `home`, else the bare file name.
class DataPaths
{
public:
    // The path of the data file named by `setting` (its default is the bare file name).
    static std::string resolve(const StringSetting& setting, std::string_view fileName);
    // The file in the "data" folder of the home directory ("<home>/data/<fileName>").
    static std::string inHome(std::string_view home, std::string_view fileName);
    // The home directory. When the `home` value does not exist at all (a first run), the
    // user's data folder (defaultHome()) is created with its "data" folder and written as
    // `home`, as an installer would. An existing empty `home`, or a folder that cannot be
    // made, gives "": the data files then go by their bare names.
    static std::string home();
    // The home of a first run: "$XDG_DATA_HOME/norvane" when XDG_DATA_HOME is an absolute
    // path, else "$HOME/.local/share/norvane"; "" when no home folder is known.
    static std::string defaultHome();
};
