#pragma once

#include "ChildProcess.h"
#include "CliRun.h"
#include "FreePort.h"
#include "GatewayClient.h"
#include "PrivateLog.h"
#include "plugin/ControlLoader.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// norvane-cli serve run as a child process against the test's private settings store, with
// its data and the shared log (level 12) in the store's folder and the SNPP plug-in
// registered from its built file. The gateway listens on a free port of 127.0.0.1.
class ServeTest : public testing::Test
{
protected:
    static constexpr const char* desk = "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk";

    ServeTest()
    {
        std::filesystem::create_directories(registry.dir().file("data"));
        SettingsKey paths(RootKey::CurrentUser, std::string(desk) + "\\Paths");
        EXPECT_TRUE(paths.setString("home", registry.dir().path()));
        SettingsKey plover(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\Plover");
        EXPECT_TRUE(plover.setNumber("replyTimeoutMs", 5000));
        EXPECT_TRUE(plover.setNumber("threadWaitMs", 5000));
    }

    void SetUp() override
    {
        ControlLoader loader;
        ASSERT_TRUE(loader.registerServer(NV_PLOVER_PLUGIN_PATH)) << loader.lastErrorText();
    }

    void TearDown() override
    {
        if (serve.running()) {
            ADD_FAILURE() << "serve still runs at the end of the test; stderr:\n" << serve.err();
        }
    }

    // Writes the gateway's settings: enabled, the port, level 2 login and the allowed hosts
    // (the hosts key holds exactly these).
    static void configureGateway(bool enabled, const std::string& port, bool level2Login = false,
                                 const std::vector<std::string>& hosts = {"127.0.0.1"})
    {
        SettingsKey server(RootKey::CurrentUser, std::string(desk) + "\\SnppSrv");
        EXPECT_TRUE(server.setBool("enabled", enabled));
        EXPECT_TRUE(server.setString("port", port));
        EXPECT_TRUE(server.setBool("level2Login", level2Login));
        SettingsKey allowed(RootKey::CurrentUser, std::string(desk) + "\\SnppSrv\\hosts");
        std::string name;
        std::string data;
        while (allowed.enumValue(0, name, data)) {
            EXPECT_TRUE(allowed.deleteValue(name));
        }
        for (const std::string& host : hosts) {
            EXPECT_TRUE(allowed.setString(host, "rwx"));
        }
    }

    // Starts "norvane-cli serve" with the extra arguments.
    bool startServe(const std::vector<std::string>& extra = {})
    {
        std::vector<std::string> argv {NORVANE_CLI_PATH, "serve"};
        argv.insert(argv.end(), extra.begin(), extra.end());
        return serve.start(argv, {{"NORVANE_REGISTRY", registry.path()}});
    }

    // Sends the signal and waits up to boundMs for serve to end.
    std::optional<ChildProcess::Ending> stopServe(int signal = SIGTERM, int boundMs = 5000)
    {
        EXPECT_TRUE(serve.signal(signal));
        return serve.waitForEnd(boundMs);
    }

    // The shared log's whole text.
    std::string logText() const { return registry.dir().read("ndlog.dat"); }

    // How many lines of the log hold `text`.
    int logCount(std::string_view text) const
    {
        const std::string log = logText();
        int count = 0;
        for (std::size_t at = log.find(text); at != std::string::npos;
             at = log.find(text, at + text.size())) {
            ++count;
        }
        return count;
    }

    // The first line of the log that holds `text` (without its line end); "" when none does.
    std::string logLine(std::string_view text) const
    {
        const std::string log = logText();
        const std::size_t at = log.find(text);
        if (at == std::string::npos) {
            return {};
        }
        const std::size_t begin = log.rfind('\n', at);
        const std::size_t start = begin == std::string::npos ? 0 : begin + 1;
        const std::size_t end = log.find("\r\n", at);
        return log.substr(start, end == std::string::npos ? std::string::npos : end - start);
    }

    // The level of the first log line that holds `text`; -1 when none does.
    int logLevelOf(std::string_view text) const
    {
        const std::string line = logLine(text);
        return line.empty() ? -1 : std::atoi(line.c_str());
    }

    // Waits up to timeoutMs until `count` lines of the log hold `text`.
    bool waitForLog(std::string_view text, int timeoutMs = 10000, int count = 1) const
    {
        const auto deadline
            = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (logCount(text) < count) {
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }

    // Waits until serve has reported its gateway listening on the port for the count-th time.
    bool waitListening(const FreePort& port, int count = 1) const
    {
        return waitForLog("Serve:Gateway listening on port " + port.text() + "\r\n", 10000, count);
    }

    PrivateLog privateLog {12};
    const ScopedRegistry& registry = privateLog.registry();
    FreePort gatewayPort;
    ChildProcess serve;
};
