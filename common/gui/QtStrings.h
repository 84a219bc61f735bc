#pragma once

#include <QString>

#include <string_view>

// A UTF-8 text of the Qt-free code as Qt shows it (the one conversion the windows share).
inline QString fromStd(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
