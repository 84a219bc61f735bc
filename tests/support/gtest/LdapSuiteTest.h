#pragma once

#include "LdapSamplePeople.h"
#include "LdapTestServer.h"

#include <gtest/gtest.h>

#include <memory>

// One slapd with the sample people for a whole suite; each test skips, saying why, where slapd
// is not installed, and fails when it is but did not start.
class LdapSuiteTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        if (LdapTestServer::unavailableReason().empty()) {
            s_server = std::make_unique<LdapTestServer>();
            if (!s_server->start(ldapSamplePeople())) {
                s_server.reset();
            }
        }
    }
    static void TearDownTestSuite() { s_server.reset(); }

    void SetUp() override
    {
        if (const std::string reason = LdapTestServer::unavailableReason(); !reason.empty()) {
            GTEST_SKIP() << reason;
        }
        ASSERT_TRUE(s_server) << "the test slapd did not start";
    }

    inline static std::unique_ptr<LdapTestServer> s_server;
};
