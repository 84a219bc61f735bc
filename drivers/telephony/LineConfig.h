#pragma once

#include <cstdint>
#include <string>

// The two kinds of line device; Unknown marks a configuration whose type is not understood.
enum class LineKind { Modem, Tcp, Unknown };

// One line device as the settings store defines it (the values of one Lines\<n> key, with
// their defaults applied). Times are in milliseconds.
struct LineConfig
{
    std::string key; // the subkey's name below Lines, e.g. "0"
    LineKind kind = LineKind::Modem;
    std::string type; // the type text as stored, for error messages
    std::string name; // as stored; may be empty
    bool voice = false;

    // Hayes modem on a serial device.
    std::string device;
    std::int32_t speed = 0; // bits per second; 0 keeps the device's speed
    std::string initString;
    std::string initString2;
    std::string dialPrefix;
    std::int32_t commandTimeout = 0;
    std::int32_t answerTimeout = 0;
    std::int32_t guardTime = 0;
    std::int32_t dtrDropTime = 0;

    // TCP line to a paging terminal.
    std::string host;
    std::int32_t port = 0;
    std::int32_t connectTimeout = 0;
};
