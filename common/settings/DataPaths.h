#pragma once

#include "SettingDefinition.h"

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
};
