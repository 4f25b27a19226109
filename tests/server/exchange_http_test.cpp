// SPDX-License-Identifier: GPL-3.0-or-later
// The exchange server over real sockets on the loopback address: hostile and slow clients, the limits
// that keep it serving, and what the pages answer.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <thread>
#include <vector>

#include "server/exchange_service.h"
#include "server/exchange_store.h"
#include "server/http_server.h"
#include "support/command_run.h"
#include "support/test_paths.h"

namespace ampvane::server {
namespace {

// The server in this process, on a free loopback port, stopped when the object goes.
class RunningServer {
public:
    explicit RunningServer(const HttpLimits& limits = {}, const ServiceOptions& options = {}) {
        std::string error;
        store_ = ExchangeStore::Open(dir_.path().string(), error);
        if (!store_) throw std::runtime_error(error);
        service_ = std::make_unique<ExchangeService>(*store_, options);
        http_ = std::make_unique<HttpServer>(*service_, limits);
        const std::optional<int> port = http_->Listen("127.0.0.1", 0, error);
        if (!port) throw std::runtime_error(error);
        port_ = *port;
        thread_ = std::thread([this] { http_->Run(); });
    }
    ~RunningServer() {
        http_->Stop();
        thread_.join();
        service_->Close();
    }
    int Port() const { return port_; }
    ExchangeStore& Store() { return *store_; }
    std::string Folder() const { return dir_.path().string(); }

private:
    testing::TempDir dir_;
    std::unique_ptr<ExchangeStore> store_;
    std::unique_ptr<ExchangeService> service_;
    std::unique_ptr<HttpServer> http_;
    int port_ = 0;
    std::thread thread_;
};

// A blocking loopback socket; a broken server fails the test after a long wait instead of hanging it.
int Connect(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    timeval patience{60, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) ADD_FAILURE() << "cannot connect";
    return fd;
}

void SendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) return; // the server stopped reading: its answer tells why
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
}

std::string ReadToEnd(int fd) {
    std::string text;
    char buffer[8192];
    for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
    return text;
}

struct Answer {
    int status = 0;
    std::string head, body;
};

Answer Parse(const std::string& raw) {
    Answer answer;
    const std::size_t end = raw.find("\r\n\r\n");
    answer.head = raw.substr(0, end);
    if (end != std::string::npos) answer.body = raw.substr(end + 4);
    if (raw.starts_with("HTTP/1.")) answer.status = std::atoi(raw.c_str() + 9);
    return answer;
}

// Sends a whole request, says that nothing more comes, and reads the answer to its end.
Answer Exchange(int port, std::string_view request) {
    const int fd = Connect(port);
    SendAll(fd, request);
    ::shutdown(fd, SHUT_WR);
    const Answer answer = Parse(ReadToEnd(fd));
    ::close(fd);
    return answer;
}

Answer Get(int port, const std::string& target) { return Exchange(port, "GET " + target + " HTTP/1.0\r\n\r\n"); }

std::string Chunked(std::size_t chunks, std::size_t size, const std::string& extension = {}) {
    std::string body;
    const std::string data(size, 'a');
    char line[64];
    for (std::size_t i = 0; i < chunks; ++i) {
        std::snprintf(line, sizeof line, "%zx", size);
        body += line + extension + "\r\n" + data + "\r\n";
    }
    return body + "0\r\n\r\n";
}

std::string SupportPost(const std::string& body, const std::string& extraHeader = {}) {
    return "POST /support.cgi HTTP/1.0\r\n" + extraHeader + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

TEST(ExchangeHttp, HostileRequestsGetAClearAnswerAndCostLittle) {
    RunningServer server;
    const std::string chunkedHead = "POST /support.cgi HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n";
    const std::string ranges = [] {
        std::string list = "bytes=0-";
        for (int i = 0; i < 2000; ++i) list += ",0-";
        return list;
    }();
    const std::string longMessage = "e=me&s=Hi&m=" + std::string(100000, 'x');
    const struct {
        const char* what;
        std::string request;
        int status;
        std::string bodyPart;
    } cases[] = {
        {"compressed body", SupportPost("e=a&s=b&m=c", "Content-Encoding: gzip\r\n"), 415, "Compressed"},
        {"unknown transfer coding",
         "POST /support.cgi HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: gzip, chunked\r\n\r\n0\r\n\r\n", 501, "chunked"},
        {"announced too large", "POST /support.cgi HTTP/1.0\r\nContent-Length: 3000000\r\n\r\n", 413, "too large"},
        {"chunked past the limit", chunkedHead + Chunked(11, 200 * 1024), 413, "too large"},
        // 1.1 MB of data, but 2.3 MB on the wire
        {"chunk framing counts", chunkedHead + Chunked(1100, 1024, ";e=" + std::string(1100, 'x')), 413, "too large"},
        {"body without a length", "POST /support.cgi HTTP/1.0\r\n\r\ne=a&s=b&m=c", 411, "length"},
        {"header too large", "GET /data/send.cgi?data=motor HTTP/1.0\r\nX: " + std::string(20000, 'x') + "\r\n\r\n", 431,
         "header"},
        {"not HTTP", std::string("\x16\x03\x01\x02\x00 hello\r\n\r\n"), 400, "not valid HTTP"},
        {"a support message over 8 KB", SupportPost(longMessage), 200, "Thank you"},
        {"unknown path", "GET /etc/passwd HTTP/1.0\r\n\r\n", 404, ""},
        {"POST to a reading path", "POST /data/send.cgi HTTP/1.0\r\nContent-Length: 0\r\n\r\n", 404, ""},
        {"HEAD never writes", "HEAD /data/submit.cgi?base=100 HTTP/1.0\r\n\r\n", 404, ""},
        {"absolute URL from a proxy", "GET http://example.org/contrib.htm HTTP/1.0\r\n\r\n", 200, "Contributing"},
    };
    for (const auto& c : cases) {
        const Answer answer = Exchange(server.Port(), c.request);
        EXPECT_EQ(answer.status, c.status) << c.what << "\n" << answer.head;
        EXPECT_NE(answer.body.find(c.bodyPart), std::string::npos) << c.what << ": " << answer.body;
    }
    // Ranges are not served: the whole answer, once.
    const Answer whole = Get(server.Port(), "/data/send.cgi?data=all&ver=809");
    const Answer ranged =
        Exchange(server.Port(), "GET /data/send.cgi?data=all&ver=809 HTTP/1.0\r\nRange: " + ranges + "\r\n\r\n");
    EXPECT_EQ(ranged.status, 200);
    EXPECT_EQ(ranged.body, whole.body);
    EXPECT_EQ(server.Store().CountSupportRequests(), 1);
}

TEST(ExchangeHttp, SlowAndSilentClientsDoNotStallOthers) {
    RunningServer server;
    std::vector<int> idle;
    for (int i = 0; i < 200; ++i) idle.push_back(Connect(server.Port()));
    for (int i = 0; i < 16; ++i) {
        idle.push_back(Connect(server.Port()));
        SendAll(idle.back(), "GET /data/send.cgi?da");
    }
    const Answer answer = Get(server.Port(), "/data/send.cgi?data=motor&ver=809");
    EXPECT_EQ(answer.status, 200);
    for (int fd : idle) ::close(fd);
}

TEST(ExchangeHttp, DeadlinesAndTheConnectionCapFreeTheServer) {
    HttpLimits limits;
    limits.headerDeadline = std::chrono::milliseconds(100);
    limits.maxConnections = 3;
    RunningServer server(limits);
    // A header that never ends: the server closes the connection without an answer.
    const int slow = Connect(server.Port());
    SendAll(slow, "GET /data/send.cgi HTTP/1.1\r\nHost: x\r\n");
    EXPECT_EQ(ReadToEnd(slow), "");
    ::close(slow);

    limits.headerDeadline = std::chrono::seconds(60);
    RunningServer capped(limits);
    std::vector<int> open;
    for (int i = 0; i < 3; ++i) open.push_back(Connect(capped.Port()));
    const Answer busy = Get(capped.Port(), "/data/send.cgi?data=motor&ver=809");
    EXPECT_EQ(busy.status, 503);
    EXPECT_NE(busy.body.find("busy"), std::string::npos);
    for (int fd : open) ::close(fd);
}

TEST(ExchangeHttp, KeptAliveConnectionsAnswerEachRequest) {
    RunningServer server;
    const std::string first = "GET /data/send.cgi?data=motor&ver=809 HTTP/1.1\r\nHost: x\r\n\r\n";
    const std::string last = "GET /contrib.htm HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n";
    const int fd = Connect(server.Port());
    SendAll(fd, first + last);
    const std::string raw = ReadToEnd(fd);
    ::close(fd);
    EXPECT_EQ(raw.find("HTTP/1.1 200"), 0u);
    EXPECT_NE(raw.find("HTTP/1.1 200", 1), std::string::npos);
    EXPECT_NE(raw.find("text/html"), std::string::npos);
}

Contribution Motor(const std::string& name) {
    return {1, name, name + "\t1000\t\t\t\t\t", "Jo", "jo@example.org"};
}

TEST(ExchangeHttp, ContributedListsHoldTheNewestUpToTheLimit) {
    ServiceOptions options;
    options.dumpLimit = 3;
    RunningServer server({}, options);
    for (const char* name : {"M1", "M2", "M3", "M4", "<b>M5</b>"}) server.Store().AddContribution(Motor(name), "10.0.0.1");
    const struct {
        std::string query;
        int status;
        std::size_t lines; // the F line included
    } cases[] = {{"", 200, 4}, {"&max=2", 200, 3}, {"&max=10", 200, 4}, {"&max=0", 200, 1}, {"&max=-1", 400, 0},
                 {"&max=x", 400, 0}};
    for (const auto& c : cases) {
        const Answer answer = Get(server.Port(), "/data/dump.cgi?table=1&recent=0&ver=809" + c.query);
        EXPECT_EQ(answer.status, c.status) << c.query;
        if (c.status != 200) continue;
        EXPECT_EQ(static_cast<std::size_t>(std::count(answer.body.begin(), answer.body.end(), '\n')), c.lines) << c.query;
        if (c.lines > 1) {
            EXPECT_NE(answer.body.find("\nN\t<b>M5</b>\t"), std::string::npos) << "newest first";
        }
    }
    // The pages the program's messages point to.
    const Answer contributed = Get(server.Port(), "/data/contrib.html");
    EXPECT_EQ(contributed.status, 200);
    EXPECT_NE(contributed.head.find("text/html"), std::string::npos);
    EXPECT_NE(contributed.body.find("&lt;b&gt;M5&lt;/b&gt;"), std::string::npos);
    EXPECT_EQ(contributed.body.find("<b>M5"), std::string::npos);
    EXPECT_EQ(Get(server.Port(), "/contrib.htm").status, 200);
}

TEST(ExchangeHttp, ConcurrentContributionsAreAllCommittedAndPrivate) {
    RunningServer server;
    std::vector<std::thread> clients;
    std::atomic<int> thanked{0};
    for (int i = 0; i < 24; ++i)
        clients.emplace_back([&, i] {
            const std::string name = "Load" + std::to_string(i);
            std::string query = "base=100&name=Jo&p100=" + name;
            long long sum = 0;
            for (char c : std::string("base100nameJop100") + name) sum += static_cast<unsigned char>(c);
            query += "&crc=" + std::to_string(sum) + "&ver=809";
            if (Get(server.Port(), "/data/submit.cgi?" + query).body.starts_with("Thank you")) ++thanked;
        });
    for (std::thread& t : clients) t.join();
    EXPECT_EQ(thanked, 24);
    EXPECT_EQ(server.Store().CountContributions(), 24);
    struct stat info {};
    ASSERT_EQ(::stat((server.Folder() + "/exchange.sqlite").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600);
}

TEST(RateLimit, ForgetsAddressesAMinuteAfterTheirLastWrite) {
    RateLimiter limiter(5);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 20000; ++i) limiter.Allow("10.0." + std::to_string(i / 256) + "." + std::to_string(i % 256), start);
    EXPECT_EQ(limiter.Addresses(), 20000u);
    EXPECT_TRUE(limiter.Allow("10.1.0.1", start + std::chrono::seconds(61)));
    EXPECT_EQ(limiter.Addresses(), 1u);
}

#ifdef AMPVANE_SERVER
TEST(ServerProgram, RefusesBadLimits) {
    const testing::CommandRun bad = testing::RunCommand(
        testing::ProgramLine(AMPVANE_SERVER, "--data /tmp --listen 127.0.0.1:0 --max-connections none"));
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("--max-connections takes a whole number"), std::string::npos);
}
#endif

} // namespace
} // namespace ampvane::server
