// SPDX-License-Identifier: GPL-3.0-or-later
// Load on ampvane-server over loopback: 50 clients send 10,000 requests in all (contributions and
// downloads, alternating); reports requests per second and the 99th-percentile latency. The second run
// kills the server with SIGKILL at a random moment, restarts it on the same data and counts the
// answered contributions that are missing (must be 0). Bounded: every request has the client's time-outs.

#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "online/contribution.h"
#include "online/http_client.h"

extern char** environ;

namespace {

using namespace ampvane;
using Clock = std::chrono::steady_clock;

constexpr int kClients = 50;
constexpr int kRequests = 10000;

struct Server {
    pid_t pid = -1;
    int port = 0;
};

Server Start(const std::string& folder) {
    int ends[2];
    if (::pipe(ends) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], 1);
    posix_spawn_file_actions_addclose(&actions, ends[0]);
    std::vector<std::string> args = {AMPVANE_SERVER, "--data", folder, "--listen", "127.0.0.1:0"};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    Server server;
    posix_spawn(&server.pid, AMPVANE_SERVER, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[1]);
    std::FILE* out = ::fdopen(ends[0], "r");
    char line[256];
    while (std::fgets(line, sizeof line, out))
        if (std::sscanf(line, "Listening on 127.0.0.1:%d", &server.port) == 1) break;
    std::fclose(out);
    return server;
}

void Stop(Server& server, int signal) {
    if (server.pid <= 0) return;
    ::kill(server.pid, signal);
    int status = 0;
    ::waitpid(server.pid, &status, 0);
    server.pid = -1;
}

HttpResult Get(int port, const std::string& target) {
    HttpRequest request;
    request.server = {"127.0.0.1", port};
    request.target = target;
    HttpObserver quiet;
    HttpLimits limits;
    limits.connectTimeout = std::chrono::seconds(5);
    limits.silenceTimeout = std::chrono::seconds(5);
    return PerformHttp(request, limits, quiet);
}

std::string ContributionOf(const std::string& name) {
    WorkbenchFields fields;
    fields.SetText(WorkbenchControl::MotorNameEdit, name);
    fields.SetText(WorkbenchControl::MotorConstantEdit, "1000");
    return ContributionTarget(ContributionPairs(fields, 100, "Load", "", {}));
}

struct RunResult {
    std::vector<double> latencies; // ms
    std::set<std::string> answered;
    double seconds = 0;
};

// Runs the clients; stops early (without counting) once `stop` is set.
RunResult Run(int port, const std::string& prefix, std::atomic<bool>& stop, const std::function<void(int)>& finished) {
    RunResult result;
    std::mutex mutex;
    std::atomic<int> next{0};
    std::atomic<int> done{0};
    const Clock::time_point start = Clock::now();
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c)
        clients.emplace_back([&] {
            for (int i; (i = next++) < kRequests && !stop;) {
                const bool contribute = i % 2 == 0;
                const std::string name = prefix + std::to_string(i);
                const Clock::time_point begin = Clock::now();
                const HttpResult answer = Get(port, contribute ? ContributionOf(name) : "/data/send.cgi?data=motor&ver=809");
                const double ms = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
                std::lock_guard lock(mutex);
                if (answer.success) {
                    result.latencies.push_back(ms);
                    if (contribute && !answer.body.starts_with("ERROR: ")) result.answered.insert(name);
                }
                if (finished) finished(++done);
            }
        });
    for (std::thread& t : clients) t.join();
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return result;
}

std::set<std::string> Stored(int port) {
    const HttpResult list = Get(port, "/data/dump.cgi?table=1&recent=0&ver=809");
    std::set<std::string> names;
    for (const ContributedEntry& entry : ContributedEntries(SplitContributedLines(list.body))) names.insert(entry.name);
    return names;
}

double Percentile99(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, values.size() * 99 / 100)];
}

std::string FreshFolder() {
    char pattern[] = "/tmp/ampvane-load-XXXXXX";
    return ::mkdtemp(pattern) ? pattern : "";
}

void BM_ExchangeLoad(benchmark::State& state) {
    for (auto _ : state) {
        const std::string folder = FreshFolder();
        Server server = Start(folder);
        std::atomic<bool> stop{false};
        const RunResult run = Run(server.port, "Motor ", stop, {});
        const std::set<std::string> stored = Stored(server.port);
        std::size_t missing = 0;
        for (const std::string& name : run.answered) missing += stored.contains(name) ? 0 : 1;
        Stop(server, SIGTERM);
        std::filesystem::remove_all(folder);
        state.counters["requests_per_second"] = static_cast<double>(run.latencies.size()) / run.seconds;
        state.counters["p99_ms"] = Percentile99(run.latencies);
        state.counters["answered"] = static_cast<double>(run.latencies.size());
        state.counters["missing_contributions"] = static_cast<double>(missing);
    }
}

void BM_ExchangeKilled(benchmark::State& state) {
    for (auto _ : state) {
        const std::string folder = FreshFolder();
        Server server = Start(folder);
        std::atomic<bool> stop{false};
        std::mt19937 random(std::random_device{}());
        const int killAt = std::uniform_int_distribution<int>(500, kRequests - 500)(random);
        // The client that finishes the killAt-th request kills the server: a random point of the run.
        const RunResult run = Run(server.port, "Killed ", stop, [&](int finished) {
            if (finished != killAt) return;
            ::kill(server.pid, SIGKILL);
            stop = true;
        });
        Stop(server, SIGKILL);
        Server restarted = Start(folder);
        const std::set<std::string> stored = Stored(restarted.port);
        std::size_t missing = 0;
        for (const std::string& name : run.answered) missing += stored.contains(name) ? 0 : 1;
        Stop(restarted, SIGTERM);
        std::filesystem::remove_all(folder);
        state.counters["killed_after"] = killAt;
        state.counters["answered_contributions"] = static_cast<double>(run.answered.size());
        state.counters["missing_contributions"] = static_cast<double>(missing);
        state.counters["reopened"] = restarted.port > 0 ? 1 : 0;
    }
}

} // namespace

BENCHMARK(BM_ExchangeLoad)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_ExchangeKilled)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK_MAIN();
