#include "TestFailure.h"

#include <gtest/gtest.h>

void testFailure(const std::string& what)
{
    ADD_FAILURE() << what;
}
