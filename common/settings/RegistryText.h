#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The rules of the registry export format that reading and writing share:
//   Windows Registry Editor Version 5.00
//   [HKEY_CURRENT_USER\SOFTWARE\Tessal\Norvane\NorvaneDesk\Log]
//   "logLevel"=dword:00000004
//   "name"="text with \"quotes\" and \\ backslashes"
//   "block"=hex:01,02,ff
//   "multi"=hex(1):41,0d,0a,42,00      (a narrow string holding control characters)
// Lines may end in CR LF, LF or CR alone; a value line ending in "\" continues on the next.
// Text is always written 8-bit with CR LF line ends. RegistryParser reads it, RegistryWriter
// writes it, RegistryEncoding turns a file's bytes into its text.
class RegistryText
{
public:
    // Files larger than this are refused: far above any real store or export.
    static constexpr std::size_t maxFileSize = 64 * 1024 * 1024;
    // The first line of every text written.
    static constexpr std::string_view header = "Windows Registry Editor Version 5.00";

    // Whether the line (without blanks around it) is a header line, this one or "REGEDIT4".
    static bool isHeader(std::string_view line);
    // The character in lower case when it is an ASCII capital. Inline rather than
    // std::tolower, whose call per character dominated every settings look-up.
    static char lower(char c)
    {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    // Compares two names without regard to ASCII case.
    static bool sameName(std::string_view a, std::string_view b);
    // Whether the key name `name` is `key` or one of its subkeys (without regard to case).
    static bool isWithin(std::string_view name, std::string_view key);
    // The text without the spaces and tabs around it and a CR at its end.
    static std::string_view trim(std::string_view text);
    // Why the key or value name cannot be written and read back as it is ("" when it can).
    static std::string nameProblem(std::string_view name);
    // The name with control bytes shown as \r, \n, \0 or \xNN, for messages.
    static std::string printable(std::string_view name);
};
