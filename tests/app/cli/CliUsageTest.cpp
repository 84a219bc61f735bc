#include "CliRun.h"

#include <gtest/gtest.h>

namespace {

struct UsageCase
{
    std::vector<std::string> arguments;
    int exitCode;
    const char* inStderr;
};

class CliUsage : public testing::TestWithParam<UsageCase>
{ };

TEST_P(CliUsage, AnswersWithTheRightExitCodeAndMessage)
{
    ScopedRegistry registry;
    const ProcessResult result = runCli(registry, GetParam().arguments);
    EXPECT_EQ(result.exitCode, GetParam().exitCode) << result.err;
    EXPECT_NE(result.err.find(GetParam().inStderr), std::string::npos) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    BadArguments, CliUsage,
    testing::Values(
        UsageCase {{}, 2, "Usage: norvane-cli <command>"},
        UsageCase {{"frobnicate"}, 2, "unknown command \"frobnicate\""},
        UsageCase {{"reg"}, 2, "reg needs an action"},
        UsageCase {{"reg", "dance"}, 2, "unknown action \"dance\""},
        UsageCase {{"reg", "query"}, 2, "query takes KEY"},
        UsageCase {{"reg", "query", "NOROOT\\x"}, 2, "is not a key name"},
        UsageCase {{"reg", "set", "HKCU\\A", "n"}, 2, "one of --string"},
        UsageCase {
            {"reg", "set", "HKCU\\A", "n", "--number", "12x"}, 2, "\"12x\" is not a 32-bit number"},
        UsageCase {
            {"reg", "set", "HKCU\\A", "n", "--number", "4294967296"}, 2, "is not a 32-bit number"},
        UsageCase {
            {"reg", "set", "HKCU\\A", "n", "--binary", "0g"}, 2, "is not a list of hex bytes"},
        UsageCase {{"reg", "set", "HKCU\\A", "n", "--string"}, 2, "--string needs a value"},
        UsageCase {
            {"reg", "set", "HKCU\\A", "n", "--string", "a", "--number", "1"}, 2, "one of --string"},
        UsageCase {{"reg", "query", "HKCU\\A", "--bogus"}, 2, "unknown option --bogus"},
        UsageCase {{"reg", "delete", "HKCU\\A"}, 2, "delete takes KEY and NAME"},
        UsageCase {{"reg", "import"}, 2, "import takes one FILE"},
        UsageCase {{"log", "--level", "99"}, 2, "is not a log level"},
        UsageCase {{"log", "--level", "None"}, 2, "is not a log level"},
        UsageCase {{"log", "--level"}, 2, "--level needs a value"},
        UsageCase {{"log", "extra"}, 2, "unexpected argument \"extra\""},
        UsageCase {{"log", "--purge", "--follow"}, 2, "cannot be combined"},
        UsageCase {{"serve", "now"}, 2, "unexpected argument \"now\""},
        UsageCase {{"serve", "--port", "444"}, 2, "unknown option --port"},
        UsageCase {{"reg", "query", "HKCU\\Missing"}, 1, "no key HKEY_CURRENT_USER\\Missing"},
        UsageCase {
            {"reg", "import", "/nonexistent/file.reg"}, 1, "cannot read /nonexistent/file.reg"}));

TEST(CliUsage, HelpAndVersionEverywhere)
{
    ScopedRegistry registry;
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>> {
             {"--help"}, {"reg", "--help"}, {"log", "--help"}, {"serve", "--help"}}) {
        const ProcessResult result = runCli(registry, arguments);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_NE(result.out.find("Usage: norvane-cli"), std::string::npos) << result.out;
    }
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>> {
             {"--version"}, {"reg", "--version"}, {"log", "--version"}, {"serve", "--version"}}) {
        const ProcessResult result = runCli(registry, arguments);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.out.rfind("norvane-cli ", 0), 0u) << result.out;
    }
}

} // namespace
