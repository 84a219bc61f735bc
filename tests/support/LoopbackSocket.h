#pragma once

// Plain TCP sockets on 127.0.0.1 for test peers and benchmarks; no test framework, so the
// benchmarks link it too. Both return a descriptor the caller closes, or -1 with errno set.

// A listening socket on a port the system picks (port 0, so parallel runs never collide);
// `port` receives the port number.
int listenOnLoopback(int backlog, int& port);

// A socket connected (or, when `nonBlocking`, still connecting) to `port` on 127.0.0.1.
int connectToLoopback(int port, bool nonBlocking = false);
