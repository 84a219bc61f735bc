#pragma once

#include <string>

// What the test SNPP server does, on cue, instead of its normal answer to a command.
struct SnppCue
{
    // How the server misbehaves.
    enum class Action {
        Reply, // sends `reply` as it stands (any code, several lines, no line end at all)
        Silence, // answers nothing and keeps the connection open
        Close, // sends `reply` (may be empty or half a line) and closes the connection
        Reset, // drops the connection at once with a reset (RST), sending nothing
        Trickle, // sends `reply` a byte at a time, `delayMs` apart
        Late, // sends `reply` after a pause of `delayMs`
    };

    // The command it applies to: its first four letters in capitals ("PAGE", "MESS", "SEND",
    // "RESE", "QUIT", "HELP"), or "GREETING" for the greeting sent on connecting.
    std::string command;
    Action action = Action::Reply;
    std::string reply;
    // How many times the cue applies before the normal answer returns; below 0: every time.
    int times = 1;
    // The pause between the bytes of a Trickle, or before a Late reply.
    int delayMs = 0;
    // How many of the command's occurrences get their normal answer before the cue applies.
    int after = 0;
};
