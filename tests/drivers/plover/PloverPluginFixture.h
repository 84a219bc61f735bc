#pragma once

#include "PrivateLog.h"
#include "SnppTestServer.h"
#include "plover/PloverIds.h"
#include "plover/PloverSettings.h"
#include "plugin/ControlLoader.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// The plover plug-in loaded from its built file by class identifier, registered in a private
// settings store whose shared log the test reads back, with short waits set under the
// driver's key, and the test SNPP server to page through. Controls are driven only by
// dispatch number.
class PloverPluginFixture : public ::testing::Test
{
protected:
    // The shipped plug-in, or its test build (NV_PLOVER_TEST_PLUGIN_PATH) for faked system calls.
    explicit PloverPluginFixture(const char* path = NV_PLOVER_PLUGIN_PATH)
        : pluginPath(path)
    {
        // The engine's logic is the same with short waits; the failing cases stay fast.
        setNumber("replyTimeoutMs", 2000);
        setNumber("lookupTimeoutMs", 2000);
        setNumber("statusPauseMs", 0);
        setNumber("updateWaitMs", 2000);
        setNumber("threadWaitMs", 10000);
        EXPECT_TRUE(loader.registerServer(pluginPath)) << loader.lastErrorText();
    }

    void SetUp() override { ASSERT_TRUE(server.start()); }

    // Stores a number under the driver's key.
    static void setNumber(const std::string& name, std::int32_t value)
    {
        SettingsKey key(RootKey::CurrentUser, PloverKeys::key);
        EXPECT_TRUE(key.setNumber(name, value)) << name;
    }

    // A new control; `isCancelled` stands for the host's cancel request.
    DispatchClient create(std::function<bool()> isCancelled = nullptr, bool showProgress = false)
    {
        ControlOptions options;
        options.isCancelled = std::move(isCancelled);
        options.showProgress = showProgress;
        DispatchClient control = loader.create(PloverIds::controlClass, options);
        EXPECT_TRUE(control.isValid()) << loader.lastErrorText();
        return control;
    }

    static std::int32_t callInt(DispatchClient& control, std::int32_t dispId,
                                std::initializer_list<DispatchValue> args = {})
    {
        std::int32_t value = -999;
        EXPECT_TRUE(control.callInt(dispId, args, value)) << control.lastErrorText();
        return value;
    }
    static std::int32_t add(DispatchClient& control, const std::string& recipient,
                            const std::string& text)
    {
        return callInt(control, PloverIds::AddMessage, {recipient, text});
    }
    static std::int32_t send(DispatchClient& control, const std::string& serverAddress)
    {
        return callInt(control, PloverIds::Send, {serverAddress});
    }
    // Sends to the test server and waits until it has seen every connection end.
    std::int32_t sendToServer(DispatchClient& control)
    {
        const std::int32_t code = send(control, server.address());
        EXPECT_TRUE(server.waitForFinished(server.connections(), 5000));
        return code;
    }
    static std::int32_t resultCode(DispatchClient& control, int index)
    {
        return callInt(control, PloverIds::GetMessageResultCode,
                       {static_cast<std::int16_t>(index)});
    }
    // The result codes of the control's messages.
    static std::vector<int> results(DispatchClient& control)
    {
        std::vector<int> codes;
        const int count = callInt(control, PloverIds::GetMessageCount);
        for (int i = 0; i < count; ++i) {
            codes.push_back(resultCode(control, i));
        }
        return codes;
    }

    // The last "Status: " line of the headless progress view.
    std::string lastStatus() const
    {
        std::string status;
        for (const LogEntry& entry : log.entries()) {
            if (entry.tag == "plover" && entry.message.starts_with("Status: ")) {
                status = entry.message.substr(8);
            }
        }
        return status;
    }
    // The level of the first line of the plug-in with exactly this text, or -1.
    int levelOf(const std::string& message) const { return log.levelOf(message, "plover"); }

    const std::string pluginPath;
    PrivateLog log;
    ControlLoader loader;
    SnppTestServer server;
};
