#include "plover/PloverText.h"

#include "frame/SendReporter.h"
#include "log/LogFile.h"

#include <cstdarg>
#include <cstdio>

std::string PloverText::format(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    va_list copy;
    va_copy(copy, arguments);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(needed > 0 ? static_cast<std::size_t>(needed) : 0, '\0');
    if (needed > 0) {
        std::vsnprintf(text.data(), text.size() + 1, format, arguments);
    }
    va_end(arguments);
    return text;
}

void PloverText::log(SendReporter& reporter, int level, const char* format, ...)
{
    LogFile& file = reporter.log();
    // Most engine lines sit above the configured level; skip the formatting for them.
    if (!file.passes(level)) {
        return;
    }
    va_list arguments;
    va_start(arguments, format);
    file.writeV(level, reporter.tag(), format, arguments);
    va_end(arguments);
}
