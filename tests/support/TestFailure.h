#pragma once

#include <string>

// Fails the running test with the text. The fixtures use no test framework and report through
// this; the GoogleTest and the QtTest adapter each define it (GTestFailure.cpp, QtTestFailure.cpp).
void testFailure(const std::string& what);
