// SPDX-License-Identifier: GPL-3.0-or-later
// ampvane-server under load and under attack, on loopback; every part is bounded in time.
//  - Load: 50 clients send 10,000 requests (30 % contributions, the rest downloads and lists); requests
//    a second, median and 99th-percentile latency, answered contributions missing afterwards.
//  - Killed: the same load, the server killed with SIGKILL at a random moment and restarted on the same
//    data; answered contributions missing (goal 0).
//  - Crowded: 1,000 idle and 16 slow connections (a header byte every 500 ms) held open while one normal
//    client sends 500 requests; that client's 99th-percentile latency (goal <= 100 ms).
//  - Hostile bodies: four 1 MiB gzip bodies that inflate to 1 GiB, four 100 MB chunked bodies and four
//    100 MB bodies without a length, all at once; the server's peak resident memory (goal <= 64 MB).

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace beast = boost::beast;
namespace http = beast::http;
namespace net = boost::asio;
using tcp = net::ip::tcp;
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
    std::vector<std::string> args = {AMPVANE_SERVER, "--data", folder, "--listen", "127.0.0.1:0", "--dump-limit", "1000000"};
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

// Peak resident memory of a process so far, in MB.
double PeakMegabytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmHWM:")) return std::stod(line.substr(6)) / 1024.0;
    return -1;
}

struct Reply {
    bool ok = false;
    int status = 0;
    std::string body;
};

// One HTTP/1.0 request on a fresh connection, as the program sends them.
Reply Request(int port, const std::string& target) {
    Reply reply;
    try {
        net::io_context context;
        beast::tcp_stream stream(context);
        stream.expires_after(std::chrono::seconds(30));
        stream.connect(tcp::endpoint(net::ip::make_address("127.0.0.1"), static_cast<unsigned short>(port)));
        http::request<http::empty_body> request(http::verb::get, target, 10);
        request.set(http::field::host, "127.0.0.1");
        request.set(http::field::from, "Ampvane");
        http::write(stream, request);
        beast::flat_buffer buffer;
        http::response_parser<http::string_body> parser;
        parser.body_limit(256u << 20);
        http::read(stream, buffer, parser);
        reply.status = static_cast<int>(parser.get().result_int());
        reply.body = std::move(parser.get().body());
        reply.ok = true;
    } catch (const std::exception&) {
    }
    return reply;
}

// A contribution request as the program builds it: pairs, their byte sum as checksum, the version.
std::string ContributionTarget(const std::string& name) {
    const std::vector<std::pair<std::string, std::string>> pairs = {
        {"base", "100"}, {"name", "Load"}, {"p101", "1000"}, {"p100", name}};
    std::string query;
    long long sum = 0;
    for (const auto& [key, value] : pairs) {
        query += (query.empty() ? "" : "&") + key + "=" + value;
        for (unsigned char c : key + value) sum += c;
    }
    return "/data/submit.cgi?" + query + "&crc=" + std::to_string(sum) + "&ver=809";
}

struct RunResult {
    std::vector<double> latencies; // ms
    std::set<std::string> answered;
    double seconds = 0;
};

// Runs the clients; stops early once `stop` is set. `finished` sees the count of finished requests.
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
                const bool contribute = i % 10 < 3;
                const std::string name = prefix + std::to_string(i);
                const std::string target = contribute ? ContributionTarget(name)
                                           : i % 2 ? "/data/send.cgi?data=motor&ver=809"
                                                   : "/data/dump.cgi?table=6&recent=30&ver=809";
                const Clock::time_point begin = Clock::now();
                const Reply answer = Request(port, target);
                const double ms = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
                std::lock_guard lock(mutex);
                if (answer.ok && answer.status == 200) {
                    result.latencies.push_back(ms);
                    if (contribute && answer.body.starts_with("Thank you")) result.answered.insert(name);
                }
                if (finished) finished(++done);
            }
        });
    for (std::thread& t : clients) t.join();
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return result;
}

std::size_t Missing(int port, const std::set<std::string>& answered) {
    const Reply list = Request(port, "/data/dump.cgi?table=1&recent=0&ver=809");
    std::size_t missing = 0;
    for (const std::string& name : answered) missing += list.body.find("\nN\t" + name + "\t") == std::string::npos;
    return missing;
}

double Percentile(std::vector<double> values, int percent) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, values.size() * static_cast<std::size_t>(percent) / 100)];
}

std::string FreshFolder() {
    char pattern[] = "/tmp/ampvane-load-XXXXXX";
    return ::mkdtemp(pattern) ? pattern : "";
}

int Connect(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Sends until everything is sent or the server stops taking it.
void SendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
}

// 1 MiB of gzip that inflates to 1 GiB of zeros.
std::string GzipBomb() {
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, 16 + 15, 9, Z_DEFAULT_STRATEGY);
    const std::vector<unsigned char> zeros(1 << 20, 0);
    std::string out;
    std::vector<unsigned char> buffer(1 << 16);
    for (int block = 0; block < 1024; ++block) {
        z.next_in = const_cast<unsigned char*>(zeros.data());
        z.avail_in = static_cast<uInt>(zeros.size());
        const int flush = block == 1023 ? Z_FINISH : Z_NO_FLUSH;
        do {
            z.next_out = buffer.data();
            z.avail_out = static_cast<uInt>(buffer.size());
            deflate(&z, flush);
            out.append(reinterpret_cast<char*>(buffer.data()), buffer.size() - z.avail_out);
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    return out;
}

void BM_ExchangeLoad(benchmark::State& state) {
    for (auto _ : state) {
        const std::string folder = FreshFolder();
        Server server = Start(folder);
        std::atomic<bool> stop{false};
        const RunResult run = Run(server.port, "Motor-", stop, {});
        const std::size_t missing = Missing(server.port, run.answered);
        Stop(server, SIGTERM);
        std::filesystem::remove_all(folder);
        state.counters["requests_per_second"] = static_cast<double>(run.latencies.size()) / run.seconds;
        state.counters["p50_ms"] = Percentile(run.latencies, 50);
        state.counters["p99_ms"] = Percentile(run.latencies, 99);
        state.counters["answered"] = static_cast<double>(run.latencies.size());
        state.counters["answered_contributions"] = static_cast<double>(run.answered.size());
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
        const RunResult run = Run(server.port, "Killed-", stop, [&](int finished) {
            if (finished != killAt) return;
            ::kill(server.pid, SIGKILL);
            stop = true;
        });
        Stop(server, SIGKILL);
        Server restarted = Start(folder);
        const std::size_t missing = Missing(restarted.port, run.answered);
        Stop(restarted, SIGTERM);
        std::filesystem::remove_all(folder);
        state.counters["killed_after"] = killAt;
        state.counters["answered_contributions"] = static_cast<double>(run.answered.size());
        state.counters["missing_contributions"] = static_cast<double>(missing);
        state.counters["reopened"] = restarted.port > 0 ? 1 : 0;
    }
}

void BM_ExchangeCrowded(benchmark::State& state) {
    for (auto _ : state) {
        const std::string folder = FreshFolder();
        Server server = Start(folder);
        std::vector<int> idle;
        for (int i = 0; i < 1000; ++i) idle.push_back(Connect(server.port));
        std::vector<int> slow;
        for (int i = 0; i < 16; ++i) slow.push_back(Connect(server.port));
        std::atomic<bool> done{false};
        std::thread trickle([&] {
            const std::string header = "GET /data/send.cgi?data=all&ver=809 HTTP/1.0\r\nFrom: Ampvane\r\n";
            for (std::size_t at = 0; !done; at = (at + 1) % header.size()) {
                for (int fd : slow) SendAll(fd, header.substr(at, 1));
                std::this_thread::sleep_for(std::chrono::milliseconds(500));
            }
        });
        std::vector<double> latencies;
        int failed = 0;
        for (int i = 0; i < 500; ++i) {
            const Clock::time_point begin = Clock::now();
            const Reply answer = Request(server.port, i % 2 ? "/data/send.cgi?data=motor&ver=809"
                                                            : "/data/dump.cgi?table=1&recent=0&ver=809");
            latencies.push_back(std::chrono::duration<double, std::milli>(Clock::now() - begin).count());
            failed += answer.ok && answer.status == 200 ? 0 : 1;
        }
        done = true;
        trickle.join();
        for (int fd : idle) ::close(fd);
        for (int fd : slow) ::close(fd);
        Stop(server, SIGTERM);
        std::filesystem::remove_all(folder);
        state.counters["idle_connections"] = static_cast<double>(std::count_if(idle.begin(), idle.end(), [](int fd) { return fd >= 0; }));
        state.counters["p50_ms"] = Percentile(latencies, 50);
        state.counters["p99_ms"] = Percentile(latencies, 99);
        state.counters["failed"] = failed;
    }
}

void BM_ExchangeHostileBodies(benchmark::State& state) {
    const std::string bomb = GzipBomb();
    for (auto _ : state) {
        const std::string folder = FreshFolder();
        Server server = Start(folder);
        const double before = PeakMegabytes(server.pid);
        const std::string megabyte(1 << 20, 'e');
        std::vector<std::thread> attackers;
        for (int i = 0; i < 4; ++i) {
            attackers.emplace_back([&] { // gzip
                const int fd = Connect(server.port);
                SendAll(fd, "POST /support.cgi HTTP/1.0\r\nContent-Encoding: gzip\r\nContent-Length: " +
                                std::to_string(bomb.size()) + "\r\n\r\n");
                SendAll(fd, bomb);
                ::close(fd);
            });
            attackers.emplace_back([&] { // chunked, 100 MB
                const int fd = Connect(server.port);
                SendAll(fd, "POST /support.cgi HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n");
                for (int mb = 0; mb < 100; ++mb) SendAll(fd, "100000\r\n" + megabyte + "\r\n");
                SendAll(fd, "0\r\n\r\n");
                ::close(fd);
            });
            attackers.emplace_back([&] { // no length, 100 MB until the connection closes
                const int fd = Connect(server.port);
                SendAll(fd, "POST /support.cgi HTTP/1.0\r\n\r\ne=a&s=b&m=");
                for (int mb = 0; mb < 100; ++mb) SendAll(fd, megabyte);
                ::close(fd);
            });
        }
        for (std::thread& t : attackers) t.join();
        const Reply after = Request(server.port, "/data/send.cgi?data=motor&ver=809");
        state.counters["peak_mb_before"] = before;
        state.counters["peak_mb"] = PeakMegabytes(server.pid);
        state.counters["serving_after"] = after.ok && after.status == 200 ? 1 : 0;
        Stop(server, SIGTERM);
        std::filesystem::remove_all(folder);
    }
}

} // namespace

BENCHMARK(BM_ExchangeLoad)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_ExchangeKilled)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_ExchangeCrowded)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_ExchangeHostileBodies)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK_MAIN();
