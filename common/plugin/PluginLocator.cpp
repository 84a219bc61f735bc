#include "plugin/PluginLocator.h"

#include <filesystem>
#include <system_error>

#ifndef NORVANE_PLUGIN_DIR_FROM_BIN
// The installed plug-in folder relative to the installed program's folder.
#define NORVANE_PLUGIN_DIR_FROM_BIN "../lib/norvane"
#endif

namespace {

std::string fileNameOf(std::string_view name)
{
    return "lib" + std::string(name) + ".so";
}

std::string normal(const std::filesystem::path& path)
{
    return path.lexically_normal().string();
}

} // namespace

std::string PluginLocator::programFolder()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || program.empty()) {
        return {};
    }
    return program.parent_path().string();
}

std::vector<std::string> PluginLocator::candidates(std::string_view programFolder,
                                                   std::string_view name)
{
    if (programFolder.empty() || name.empty()) {
        return {};
    }
    const std::filesystem::path folder(programFolder);
    const std::string file = fileNameOf(name);
    std::vector<std::string> paths;
    paths.push_back(normal(folder / "../../drivers" / std::string(name) / file));
    paths.push_back(normal(folder / NORVANE_PLUGIN_DIR_FROM_BIN / file));
    if (const std::string plain = normal(folder / "../lib/norvane" / file); plain != paths.back()) {
        paths.push_back(plain);
    }
    return paths;
}

std::string PluginLocator::find(std::string_view name)
{
    for (const std::string& path : candidates(programFolder(), name)) {
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error)) {
            return path;
        }
    }
    return {};
}

std::string PluginLocator::installedPath(std::string_view name)
{
    const std::string folder = programFolder();
    if (folder.empty()) {
        return "/usr/local/lib/norvane/" + fileNameOf(name);
    }
    return normal(std::filesystem::path(folder) / NORVANE_PLUGIN_DIR_FROM_BIN / fileNameOf(name));
}
