#include "ScopedRegistry.h"

#include <cstdlib>

ScopedRegistry::ScopedRegistry()
    : m_path(m_dir.file("registry.reg"))
{
    if (const char* previous = std::getenv("NORVANE_REGISTRY")) {
        m_previous = previous;
    }
    setenv("NORVANE_REGISTRY", m_path.c_str(), 1);
}

ScopedRegistry::~ScopedRegistry()
{
    if (m_previous) {
        setenv("NORVANE_REGISTRY", m_previous->c_str(), 1);
    } else {
        unsetenv("NORVANE_REGISTRY");
    }
}
