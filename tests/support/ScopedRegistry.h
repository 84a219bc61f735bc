#pragma once

#include "TempDir.h"

#include <optional>
#include <string>

// Points the settings store (NORVANE_REGISTRY) at a file in a fresh temporary folder for
// the life of the object, and restores the previous value afterwards. Data files of the
// test can go into the same folder; so does a first run's home (XDG_DATA_HOME is the
// folder's "xdg-data", so `home` becomes "<folder>/xdg-data/norvane").
class ScopedRegistry
{
public:
    ScopedRegistry();
    ~ScopedRegistry();
    ScopedRegistry(const ScopedRegistry&) = delete;
    ScopedRegistry& operator=(const ScopedRegistry&) = delete;

    // The store file's path.
    const std::string& path() const { return m_path; }
    // The home a first run writes ("<folder>/xdg-data/norvane").
    std::string firstRunHome() const { return m_dir.file("xdg-data/norvane"); }
    // The temporary folder that holds the store file.
    const TempDir& dir() const { return m_dir; }

private:
    TempDir m_dir;
    std::string m_path;
    std::optional<std::string> m_previous;
    std::optional<std::string> m_previousDataHome;
};
