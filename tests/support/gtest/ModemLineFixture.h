#pragma once

#include "FakeModem.h"
#include "LineTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>

// A fake modem on a pseudo-terminal, started, with the settings store and log of
// LineFixtureBase: the common ground of the tests that drive a modem line.
class ModemLineFixture : public testing::Test, public LineFixtureBase
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(modem.start()) << modem.errorText();
        // As the line's guard time in the settings, so that its hang-up escapes quickly.
        modem.setGuardTime(std::chrono::milliseconds(50));
    }

    FakeModem modem;
};
