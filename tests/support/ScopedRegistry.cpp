#include "ScopedRegistry.h"

#include <cstdlib>

namespace {

std::optional<std::string> currentValue(const char* name)
{
    if (const char* value = std::getenv(name)) {
        return std::string(value);
    }
    return std::nullopt;
}

void restore(const char* name, const std::optional<std::string>& value)
{
    if (value) {
        setenv(name, value->c_str(), 1);
    } else {
        unsetenv(name);
    }
}

} // namespace

ScopedRegistry::ScopedRegistry()
    : m_path(m_dir.file("registry.reg"))
    , m_previous(currentValue("NORVANE_REGISTRY"))
    , m_previousDataHome(currentValue("XDG_DATA_HOME"))
{
    setenv("NORVANE_REGISTRY", m_path.c_str(), 1);
    // A first run writes `home` below the data folder: keep it in this folder too.
    setenv("XDG_DATA_HOME", m_dir.file("xdg-data").c_str(), 1);
}

ScopedRegistry::~ScopedRegistry()
{
    restore("NORVANE_REGISTRY", m_previous);
    restore("XDG_DATA_HOME", m_previousDataHome);
}
