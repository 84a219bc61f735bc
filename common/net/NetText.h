#pragma once

#include <netinet/in.h>
#include <string>

// The system's text for an error number, made safely on any thread.
std::string systemErrorText(int error);

// An IPv4 address as "%d.%d.%d.%d", each byte in decimal.
std::string dottedAddress(const in_addr& address);
