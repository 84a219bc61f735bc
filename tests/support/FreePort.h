#pragma once

#include <string>

// A TCP port on 127.0.0.1 that was free when the object was made: the system picks it for a
// socket bound to port 0, which is closed again at once. For tests of servers, which then bind
// it themselves (another program could take it in between, which loopback tests accept).
class FreePort
{
public:
    FreePort();

    // The port number (0 when none could be had; the test has then failed).
    int number() const { return m_number; }
    // The port number as decimal text, as port texts are given.
    const std::string& text() const { return m_text; }

private:
    int m_number = 0;
    std::string m_text;
};
