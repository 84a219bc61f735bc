// reg set warns when a value that the program's or a driver's settings table declares gets
// another type than the table's; the value is stored all the same.
#include "CliRun.h"

#include <gtest/gtest.h>

namespace {

struct TypeWarningCase
{
    const char* label;
    const char* key;
    const char* name;
    std::vector<std::string> typeArguments;
    const char* warning; // "" for none
};

class CliRegTypeWarning : public testing::TestWithParam<TypeWarningCase>
{ };

TEST_P(CliRegTypeWarning, WarnsOnlyWhenTheReaderWouldIgnoreTheValue)
{
    ScopedRegistry registry;
    const TypeWarningCase& c = GetParam();
    std::vector<std::string> arguments = {"reg", "set", c.key, c.name};
    arguments.insert(arguments.end(), c.typeArguments.begin(), c.typeArguments.end());
    const ProcessResult set = runCli(registry, arguments);
    EXPECT_EQ(set.exitCode, 0) << set.err;
    if (*c.warning) {
        EXPECT_NE(set.err.find(std::string("norvane-cli: warning: ") + c.warning),
                  std::string::npos)
            << set.err;
    } else {
        EXPECT_EQ(set.err, "");
    }
    const ProcessResult query = runCli(registry, {"reg", "query", c.key, c.name});
    EXPECT_EQ(query.exitCode, 0) << "stored all the same";
}

constexpr const char* desk = "HKCU\\SOFTWARE\\Tessal\\Norvane\\NorvaneDesk";
const std::string logKey = std::string(desk) + "\\Log";
const std::string pathsKey = std::string(desk) + "\\Paths";
const std::string gatewayKey = std::string(desk) + "\\SnppSrv";

INSTANTIATE_TEST_SUITE_P(
    Tables, CliRegTypeWarning,
    testing::Values(
        TypeWarningCase {"logLevelAsText",
                         logKey.c_str(),
                         "logLevel",
                         {"--string", "6"},
                         "logLevel is read as a number; stored as a string it is ignored"},
        TypeWarningCase {"logLevelAsNumber", logKey.c_str(), "LOGLEVEL", {"--number", "6"}, ""},
        TypeWarningCase {"homeAsNumber",
                         pathsKey.c_str(),
                         "home",
                         {"--number", "1"},
                         "home is read as a string; stored as a number"},
        TypeWarningCase {
            "gatewayPortAsNumber", gatewayKey.c_str(), "port", {"--number", "4444"}, ""},
        TypeWarningCase {"gatewayPortAsBinary",
                         gatewayKey.c_str(),
                         "port",
                         {"--binary", "01"},
                         "port is read as a string; stored as binary"},
        TypeWarningCase {"gatewayFlagAsText",
                         gatewayKey.c_str(),
                         "enabled",
                         {"--string", "1"},
                         "enabled is read as a number"},
        TypeWarningCase {"ploverPortAsText",
                         "HKCU\\SOFTWARE\\Tessal\\Norvane\\Plover",
                         "port",
                         {"--string", "4444"},
                         ""},
        TypeWarningCase {"ploverTimeoutAsText",
                         "HKCU\\SOFTWARE\\Tessal\\Norvane\\Plover",
                         "replyTimeoutMs",
                         {"--string", "2000"},
                         "replyTimeoutMs is read as a number"},
        TypeWarningCase {"modemListAsNumber",
                         "HKCU\\SOFTWARE\\Tessal\\Norvane\\Kestrel",
                         "modemList",
                         {"--number", "0"},
                         "modemList is read as binary"},
        TypeWarningCase {"lineSpeedAsText",
                         "HKCU\\SOFTWARE\\Tessal\\Norvane\\Kestrel\\Lines\\0",
                         "speed",
                         {"--string", "9600"},
                         "speed is read as a number"},
        TypeWarningCase {"linePortAsText",
                         "HKCU\\SOFTWARE\\Tessal\\Norvane\\Kestrel\\Lines\\3",
                         "port",
                         {"--string", "5000"},
                         ""},
        TypeWarningCase {"unknownValue", logKey.c_str(), "mine", {"--string", "x"}, ""},
        TypeWarningCase {
            "sameNameElsewhere", "HKCU\\SOFTWARE\\Other", "logLevel", {"--string", "x"}, ""}),
    [](const auto& p) { return p.param.label; });

} // namespace
