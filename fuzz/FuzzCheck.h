#pragma once

#include <cstdio>
#include <cstdlib>

// Ends the fuzz run with the broken property named, so that libFuzzer keeps the input that
// broke it. Used instead of assert(), which a release build would drop.
inline void fuzzRequire(bool holds, const char* target, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "%s: property broken: %s\n", target, what);
        std::abort();
    }
}
