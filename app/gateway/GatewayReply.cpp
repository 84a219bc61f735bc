#include "gateway/GatewayReply.h"

#include <cstdio>

std::string GatewayReply::wireText() const
{
    // "%3.3d" pads with zeros to three digits; a code outside 0..999 keeps all its digits.
    char code3[16];
    std::snprintf(code3, sizeof code3, "%3.3d ", code);
    std::string line(code3);
    line.reserve(line.size() + text.size() + 1);
    line += text;
    line += '\n';
    return line;
}
