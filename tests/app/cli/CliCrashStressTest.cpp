// Kills norvane-cli with SIGKILL at random moments while it replaces providers, creates the
// databases for the first time and writes settings, saved messages and history, up to three
// commands at once; afterwards every store must be readable and hold every change whose command
// exited 0 (a killed or failed command's change may or may not be there). Each round starts
// from an empty data folder and a settings store of its own.
#include "ChildProcess.h"
#include "CliRun.h"
#include "FakeDriverIds.h"
#include "FakeDriverScript.h"
#include "settings/SettingsKey.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto runTime = std::chrono::seconds(60);
constexpr int stepsPerRound = 8; // with at most 3 sends a step, the history never drops one
constexpr const char* absent = "<absent>";
constexpr const char* present = "<present>";
constexpr const char* settingsKey = "HKCU\\SOFTWARE\\Tessal\\Norvane\\CrashTest";

// One command of a step: the value it gives its key if it takes effect.
struct Change
{
    std::string key; // "providers/Acme", "adb/Pat", "reg/v0", "saved/S0", "history/<text>"
    std::vector<std::string> arguments;
    std::string value;
};

// What each key may hold now: one value after a command that exited 0, more after commands
// that were killed or failed.
using Model = std::map<std::string, std::set<std::string>>;

class CrashRound
{
public:
    CrashRound(std::mt19937& random, int round)
        : m_random(random)
        , m_round(round)
        , m_script(m_registry.dir().file("record.txt"))
    { }

    // Sets up the round's store; false when that failed.
    bool prepare()
    {
        SettingsKey paths(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Paths");
        return paths.setString("home", m_registry.dir().file("home"))
            && FakeDriverScript::registerAs(FakeDriverIds::kestrelClass);
    }

    void runSteps()
    {
        for (int step = 0; step < stepsPerRound; ++step) {
            runStep(step);
        }
    }

    // Checks every store against the model; records test failures.
    void check()
    {
        SCOPED_TRACE("round " + std::to_string(m_round));
        const std::map<std::string, std::string> providers = listed({"providers", "list"});
        const std::map<std::string, std::string> entries = listed({"adb", "list"});
        const ProcessResult history = run({"history", "list"});
        EXPECT_EQ(history.exitCode, 0) << history.err;
        const ProcessResult saved = run({"saved", "list"});
        EXPECT_EQ(saved.exitCode, 0) << saved.err;
        for (const auto& [key, possible] : m_model) {
            const std::string kind = key.substr(0, key.find('/'));
            const std::string name = key.substr(key.find('/') + 1);
            std::string actual;
            if (kind == "providers") {
                actual = providers.count(name) ? providers.at(name) : absent;
            } else if (kind == "adb") {
                actual = entries.count(name) ? entries.at(name) : absent;
            } else if (kind == "reg") {
                actual = settingValue(name);
            } else if (kind == "saved") {
                actual = savedMessage(name);
            } else {
                actual = history.out.find("\t555-0100/1\t" + name + "\n") != std::string::npos
                    ? present
                    : absent;
            }
            std::string expected;
            for (const std::string& value : possible) {
                expected += " [" + value + "]";
            }
            EXPECT_TRUE(possible.count(actual))
                << key << " holds [" << actual << "], expected one of" << expected;
        }
    }

    int exitedZero = 0;
    int killed = 0;
    int failed = 0;

private:
    ProcessResult run(std::vector<std::string> arguments) const
    {
        return runCli(m_registry, std::move(arguments));
    }

    // A list of "name<TAB>value" lines; a failure to read it fails the test.
    std::map<std::string, std::string> listed(std::vector<std::string> arguments) const
    {
        const ProcessResult result = run(arguments);
        EXPECT_EQ(result.exitCode, 0) << arguments[0] << " list: " << result.err;
        std::map<std::string, std::string> rows;
        std::size_t start = 0;
        while (start < result.out.size()) {
            const std::size_t end = result.out.find('\n', start);
            const std::string line = result.out.substr(start, end - start);
            const std::size_t tab = line.find('\t');
            EXPECT_NE(tab, std::string::npos) << line;
            if (tab != std::string::npos) {
                rows[line.substr(0, tab)] = line.substr(tab + 1);
            }
            start = end == std::string::npos ? result.out.size() : end + 1;
        }
        return rows;
    }

    std::string settingValue(const std::string& name) const
    {
        const ProcessResult result = run({"reg", "query", settingsKey, name});
        if (result.exitCode == 0 && !result.out.empty()) {
            return result.out.substr(0, result.out.size() - 1);
        }
        EXPECT_TRUE(result.err.find("no value") != std::string::npos
                    || result.err.find("no key") != std::string::npos)
            << "the settings store cannot be read: " << result.err;
        return absent;
    }

    std::string savedMessage(const std::string& name) const
    {
        const ProcessResult result = run({"saved", "show", name});
        if (result.exitCode != 0) {
            EXPECT_NE(result.err.find("no saved message named"), std::string::npos)
                << "the saved messages cannot be read: " << result.err;
            return absent;
        }
        const std::size_t at = result.out.find("Message:");
        const std::size_t start = result.out.find_first_not_of(' ', at + 8);
        return result.out.substr(start, result.out.find('\n', start) - start);
    }

    // A command for one of the stores, on one of two keys of each, with a value of its own.
    Change pick(int step, int index)
    {
        const std::string value
            = "v" + std::to_string(m_round) + "-" + std::to_string(step) + std::to_string(index);
        const int key = static_cast<int>(m_random() % 2);
        const bool remove = m_random() % 4 == 0;
        switch (m_random() % 5) {
        case 0: {
            const std::string name = key == 0 ? "Acme" : "Beta";
            if (remove) {
                return {"providers/" + name, {"providers", "remove", name}, absent};
            }
            return {"providers/" + name, {"providers", "add", "--replace", name, value}, value};
        }
        case 1: {
            const std::string name = key == 0 ? "Pat" : "Lee";
            const std::string info = "555-" + value + "/1";
            if (remove) {
                return {"adb/" + name, {"adb", "remove", name}, absent};
            }
            const char* action = m_random() % 2 == 0 ? "add" : "update";
            return {"adb/" + name, {"adb", action, name, info}, info};
        }
        case 2: {
            const std::string name = "v" + std::to_string(key);
            return {"reg/" + name, {"reg", "set", settingsKey, name, "--string", value}, value};
        }
        case 3: {
            const std::string name = "S" + std::to_string(key);
            if (remove) {
                return {"saved/" + name, {"saved", "remove", name}, absent};
            }
            return {"saved/" + name, {"saved", "add", name, "555-0100/1", value}, value};
        }
        default:
            return {"history/" + value, {"send", "555-0100/1", value}, present};
        }
    }

    // Starts one to three commands on different keys, kills some of them at random moments,
    // and brings the model up to date with how each ended.
    void runStep(int step)
    {
        std::vector<Change> changes;
        const int count = 1 + static_cast<int>(m_random() % 3);
        for (int i = 0; i < count; ++i) {
            Change change = pick(step, i);
            bool taken = false;
            for (const Change& other : changes) {
                taken = taken || other.key == change.key;
            }
            if (!taken) {
                changes.push_back(std::move(change));
            }
        }
        struct Running
        {
            std::unique_ptr<ChildProcess> child;
            std::optional<Clock::time_point> killAt;
        };
        std::vector<Running> running;
        for (const Change& change : changes) {
            std::vector<std::string> argv = change.arguments;
            argv.insert(argv.begin(), NORVANE_CLI_PATH);
            Running one {std::make_unique<ChildProcess>(), std::nullopt};
            if (!one.child->start(argv, {{"NORVANE_REGISTRY", m_registry.path()}})) {
                return;
            }
            if (m_random() % 5 < 3) {
                one.killAt = Clock::now() + std::chrono::microseconds(m_random() % 30000);
            }
            running.push_back(std::move(one));
        }
        for (Running& one : running) {
            if (one.killAt) {
                std::this_thread::sleep_until(*one.killAt);
                (void)one.child->signal(SIGKILL);
            }
        }
        for (std::size_t i = 0; i < running.size(); ++i) {
            const auto ending = running[i].child->waitForEnd(30000);
            ASSERT_TRUE(ending.has_value()) << "a command did not end";
            std::set<std::string>& possible = m_model[changes[i].key];
            if (possible.empty()) {
                possible.insert(absent);
            }
            if (ending->exitCode == 0) {
                ++exitedZero;
                possible = {changes[i].value};
            } else {
                ++(ending->signal == SIGKILL ? killed : failed);
                possible.insert(changes[i].value);
            }
        }
    }

    std::mt19937& m_random;
    int m_round;
    ScopedRegistry m_registry;
    FakeDriverScript m_script;
    Model m_model;
};

TEST(CliCrashStress, KilledCommandsLoseNoCommittedChangeAndLeaveEveryStoreReadable)
{
    const unsigned seed = std::random_device {}();
    std::mt19937 random(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    const Clock::time_point end = Clock::now() + runTime;
    int rounds = 0;
    int exitedZero = 0;
    int killed = 0;
    int failed = 0;
    while (Clock::now() < end && !testing::Test::HasFailure()) {
        CrashRound round(random, rounds);
        ASSERT_TRUE(round.prepare());
        round.runSteps();
        round.check();
        exitedZero += round.exitedZero;
        killed += round.killed;
        failed += round.failed;
        ++rounds;
    }
    std::printf("%d rounds: %d commands exited 0, %d were killed, %d failed\n", rounds, exitedZero,
                killed, failed);
    if (testing::Test::HasFailure()) {
        return; // the first round that lost something ends the run
    }
    EXPECT_GT(rounds, 10);
    EXPECT_GT(exitedZero, rounds); // the kills leave plenty of changes to check
    EXPECT_GT(killed, rounds);
}

} // namespace
