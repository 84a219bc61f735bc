#pragma once

#include "TapTerminal.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

// A whole block from its bytes STX through ETX or US: the checksum characters (worked out
// by the simulator's own code) and CR appended.
inline std::string closedBlock(std::string_view upToTerminator)
{
    return std::string(upToTerminator) + TapTerminal::checksum(upToTerminator) + "\r";
}

// How many of the lines equal `line`.
inline long countOf(const std::vector<std::string>& lines, std::string_view line)
{
    return std::count(lines.begin(), lines.end(), line);
}

// The raw bytes of every block the terminal received.
template<typename Blocks>
std::vector<std::string> rawBlocks(const Blocks& blocks)
{
    std::vector<std::string> raw;
    for (const auto& block : blocks) {
        raw.push_back(block.raw);
    }
    return raw;
}
