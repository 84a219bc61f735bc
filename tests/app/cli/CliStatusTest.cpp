// norvane-cli status, and the lock by which one serve runs per settings store.
#include "ServeFixture.h"

#include <unistd.h>

namespace {

class CliStatus : public ServeTest
{
protected:
    ProcessResult status(std::vector<std::string> extra = {}) const
    {
        extra.insert(extra.begin(), "status");
        return runCli(registry, extra);
    }
};

TEST_F(CliStatus, ShowsWhatIsInUseAndThatItWorks)
{
    configureGateway(true, "4444", false,
                     {"localhost", "nohost.invalid", "*.invalid.example", "after.star"});
    const ProcessResult result = status();
    // An allowed host that does not resolve while the gateway is enabled is a problem.
    EXPECT_EQ(result.exitCode, 1) << result.out;
    EXPECT_NE(result.out.find("settings store: " + registry.path() + "  [ok]"), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("log: " + registry.dir().file("ndlog.dat")), std::string::npos);
    EXPECT_NE(result.out.find("history: " + registry.dir().file("data/msg.dat")
                              + "  [missing] not there yet; made at first use"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find(std::string("plover: ") + NV_PLOVER_PLUGIN_PATH + "  [ok] loads"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("enabled: yes, port: 4444"), std::string::npos);
    EXPECT_NE(result.out.find("allowed host: localhost -> 127.0.0.1"), std::string::npos);
    EXPECT_NE(result.out.find("allowed host: *.invalid.example -> every host"), std::string::npos);
    EXPECT_NE(result.out.find("allowed host: nohost.invalid -> does not resolve"),
              std::string::npos);
    EXPECT_EQ(result.out.find("after.star"), std::string::npos) << "the gateway reads no further";
    EXPECT_NE(result.out.find("not running on this settings store"), std::string::npos);
    EXPECT_NE(result.out.find("1 problem found."), std::string::npos) << result.out;

    configureGateway(true, "4444", false, {"localhost"});
    const ProcessResult json = status({"--json"});
    EXPECT_EQ(json.exitCode, 0) << json.out;
    EXPECT_NE(json.out.find("\"hosts\": [{\"name\": \"localhost\", \"address\": \"127.0.0.1\"}]"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("\"serve\": {\"running\": false, \"pid\": null}, \"problems\": 0}"),
              std::string::npos)
        << json.out;
}

TEST_F(CliStatus, BrokenPartsAreProblemsAndFailTheStatus)
{
    // A provider database that is no database, and a driver registered from a file that is no
    // plug-in.
    registry.dir().write("data/pspDbs.mdb", "not a database at all, just text");
    const std::string bogus = registry.dir().write("libbogus.so", "no library");
    SettingsKey inproc(RootKey::CurrentUser,
                       "SOFTWARE\\Classes\\CLSID\\{EDFD8418-26BA-11D2-AC37-000000000000}"
                       "\\InprocServer32");
    ASSERT_TRUE(inproc.setString("", bogus));
    const std::string before = registry.dir().read("registry.reg");
    const ProcessResult result = status({"--json"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.out.find("{\"name\": \"provider database\", \"path\": \""
                              + registry.dir().file("data/pspDbs.mdb")
                              + "\", \"state\": \"problem\", \"detail\": \"does not open"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("{\"name\": \"kestrel\", \"path\": \"" + bogus
                              + "\", \"state\": \"problem\", \"detail\": \"does not load: "),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("\"problems\": 2}"), std::string::npos) << result.out;
    // Status changes nothing.
    EXPECT_EQ(registry.dir().read("registry.reg"), before);
    EXPECT_EQ(registry.dir().read("data/pspDbs.mdb"), "not a database at all, just text");
}

TEST_F(CliStatus, OneServePerStoreUnlessForcedAndStatusNamesIt)
{
    // The gateway's port stored as a number is read too.
    const FreePort port;
    configureGateway(true, "0");
    SettingsKey server(RootKey::CurrentUser, std::string(desk) + "\\SnppSrv");
    ASSERT_TRUE(server.setNumber("port", port.number()));
    ASSERT_TRUE(startServe());
    ASSERT_TRUE(waitListening(port)) << serve.err();

    const ProcessResult running = status();
    EXPECT_NE(running.out.find("running on this settings store (process "), std::string::npos)
        << running.out;

    const ProcessResult second = runCli(registry, {"serve"});
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_NE(second.err.find("norvane-cli: warning: serve already runs on the settings store "
                              + registry.path() + " (process "),
              std::string::npos)
        << second.err;
    EXPECT_NE(second.err.find("--force"), std::string::npos);

    const auto ended = stopServe();
    ASSERT_TRUE(ended.has_value());
    EXPECT_EQ(ended->exitCode, 0);
    EXPECT_NE(status().out.find("not running on this settings store"), std::string::npos);
}

TEST_F(CliStatus, ForceRunsASecondServe)
{
    configureGateway(false, "444");
    ASSERT_TRUE(startServe());
    ASSERT_TRUE(waitForLog("Serve:")) << serve.err();
    ChildProcess second;
    ASSERT_TRUE(second.start({NORVANE_CLI_PATH, "serve", "--force"},
                             {{"NORVANE_REGISTRY", registry.path()}}));
    // It warns and runs on until stopped.
    for (int i = 0; i < 100 && second.err().find("--force asks") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_NE(second.err().find("running a second one as --force asks"), std::string::npos)
        << second.err();
    EXPECT_TRUE(second.running());
    EXPECT_TRUE(second.signal(SIGTERM));
    const auto secondEnded = second.waitForEnd(5000);
    ASSERT_TRUE(secondEnded.has_value());
    EXPECT_EQ(secondEnded->exitCode, 0);
    const auto ended = stopServe();
    ASSERT_TRUE(ended.has_value());
}

} // namespace
