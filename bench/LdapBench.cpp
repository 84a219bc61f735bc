// A directory search returning 1,000 people from a local slapd, from Find Now (a fresh
// connection and anonymous bind) to the last row built, against the peer: OpenLDAP's own
// ldapsearch fetching the same entries from the same server ('(cn=*)' under the same base).
// Run with
//   build-test/bench/bench_ldap --benchmark_min_time=2
// "searchVsLdapsearch" runs both in turn in each iteration and reports the client's time in
// ms ("client_ms"), the peer's ("ldapsearch_ms") and client/peer as "ratio"; the goal is a
// search under 300 ms.
#include "LdapTestServer.h"
#include "ProcessRunner.h"
#include "TestFailure.h"
#include "directories/LdapDirectory.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <memory>

// The fixtures report through this; a benchmark has no test to fail, so it says why and stops.
void testFailure(const std::string& what)
{
    std::cerr << "bench_ldap: " << what << '\n';
    std::exit(1);
}

namespace {

using Clock = std::chrono::steady_clock;
constexpr int peopleCount = 1000;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

LdapTestServer& server()
{
    static const std::unique_ptr<LdapTestServer> running = [] {
        auto made = std::make_unique<LdapTestServer>();
        (void)made->start(LdapTestServer::generatedPeople(peopleCount));
        return made;
    }();
    return *running;
}

void searchVsLdapsearch(benchmark::State& state)
{
    if (const std::string reason = LdapTestServer::unavailableReason(); !reason.empty()) {
        state.SkipWithError(reason.c_str());
        return;
    }
    LdapTestServer& slapd = server();
    std::string storedBase(LdapTestServer::peopleBase);
    std::replace(storedBase.begin(), storedBase.end(), ',', ';');
    const LdapService service {"127.0.0.1", slapd.port(), "", "", storedBase};
    const std::vector<std::string> peer {
        LdapTestServer::toolPath("ldapsearch"),  "-x",    "-LLL", "-H", slapd.uri(), "-b",
        std::string(LdapTestServer::peopleBase), "(cn=*)"};
    double client = 0;
    double ldapsearch = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        LdapDirectory directory(service);
        std::vector<DirectoryRow> rows;
        if (!directory.search("*", rows) || rows.size() != peopleCount) {
            state.SkipWithError(("the search failed: " + directory.lastErrorText()).c_str());
            return;
        }
        client += millisecondsSince(start);

        const Clock::time_point peerStart = Clock::now();
        const ProcessResult result = ProcessRunner::run(peer);
        ldapsearch += millisecondsSince(peerStart);
        if (result.exitCode != 0) {
            state.SkipWithError(("ldapsearch failed: " + result.err).c_str());
            return;
        }
        benchmark::DoNotOptimize(result.out.size());
    }
    const auto rounds = static_cast<double>(state.iterations());
    state.counters["client_ms"] = client / rounds;
    state.counters["ldapsearch_ms"] = ldapsearch / rounds;
    state.counters["ratio"] = client / ldapsearch;
}
BENCHMARK(searchVsLdapsearch)->Unit(benchmark::kMillisecond);

} // namespace
