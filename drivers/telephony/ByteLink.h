#pragma once

#include <cstddef>
#include <string_view>

// The two operations the IXO/TAP engine needs of the connection to the paging terminal,
// whatever carries it (a modem's serial port, a TCP connection, a test's byte stream).
class ByteLink
{
public:
    virtual ~ByteLink() = default;

    // Sends all bytes; false on failure with lastError() 200 (write failed), 201 (fewer
    // bytes written than asked) or 204 (waiting for the write failed).
    [[nodiscard]] virtual bool write(const void* bytes, std::size_t length) = 0;
    // Collects bytes (NUL bytes skipped) until one of the terminators has been stored or
    // `length` - 1 bytes are held; `length` gives the buffer's capacity and returns the number
    // held. False when `timeoutMs` passes first (203) or on a port error (202 or 204).
    [[nodiscard]] virtual bool read(char* buffer, std::size_t& length, std::string_view terminators,
                                    int timeoutMs)
        = 0;
    // The code of the last failure (0 for none).
    virtual int lastError() const = 0;
    // Whether the remote end is gone for good (the modem reported NO CARRIER, the carrier
    // dropped, the connection was closed): nothing written now reaches the terminal, and on a
    // modem it would be taken as commands.
    virtual bool connectionLost() const { return false; }
};
