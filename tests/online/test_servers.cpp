// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/test_servers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <vector>

extern char** environ;

namespace ampvane::testing {

namespace {

void SendAll(int socket, std::string_view data) {
    while (!data.empty()) {
        const ssize_t sent = ::send(socket, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent <= 0) return;
        data.remove_prefix(static_cast<std::size_t>(sent));
    }
}

// Blocks until the peer closes the connection (or resets it).
void AwaitClose(int socket) {
    char buffer[256];
    while (::recv(socket, buffer, sizeof buffer, 0) > 0) {
    }
}

// One byte every 50 ms until the peer leaves: fast enough for any "too slow" rule, never done.
void Trickle(int socket) {
    SendAll(socket, "HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n");
    for (int i = 0; i < 100000; ++i) {
        if (::send(socket, "t", 1, MSG_NOSIGNAL) != 1) return;
        pollfd peer{socket, POLLIN, 0};
        // Readable here means the client closed (or sent more, which nobody does).
        if (::poll(&peer, 1, 50) != 0) return;
    }
}

} // namespace

ExchangeServerProcess::ExchangeServerProcess(const std::string& catalogueFile) {
    char pattern[] = "/tmp/ampvane-server-test-XXXXXX";
    if (!::mkdtemp(pattern)) throw std::runtime_error("no temporary folder");
    folder_ = pattern;
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) throw std::runtime_error("no pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::vector<std::string> arguments = {AMPVANE_SERVER, "--data", folder_, "--listen", "127.0.0.1:0"};
    if (!catalogueFile.empty()) arguments.insert(arguments.end(), {"--catalogue", catalogueFile});
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, AMPVANE_SERVER, &actions, nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("cannot start ampvane-server");
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    // The server announces "Listening on 127.0.0.1:PORT" once it accepts connections... after a
    // catalogue import line, when one was given.
    std::FILE* output = ::fdopen(pipeEnds[0], "r");
    char line[256];
    while (std::fgets(line, sizeof line, output)) {
        if (std::sscanf(line, "Listening on 127.0.0.1:%d", &port_) == 1) break;
    }
    std::fclose(output);
    if (port_ == 0) throw std::runtime_error("ampvane-server did not start");
}

ExchangeServerProcess::~ExchangeServerProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::string ExchangeServerProcess::Address() const { return "127.0.0.1:" + std::to_string(port_); }

HostileServer::HostileServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener_, 8) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("hostile server cannot listen");
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

HostileServer::~HostileServer() {
    ::shutdown(listener_, SHUT_RDWR);
    ::close(listener_);
    thread_.join();
}

std::string HostileServer::Address() const { return "127.0.0.1:" + std::to_string(port_); }

void HostileServer::Answer(const std::string& path, std::string answer) {
    std::lock_guard lock(mutex_);
    answers_[path] = std::move(answer);
}

std::string HostileServer::LastRequest() const {
    std::lock_guard lock(mutex_);
    return lastRequest_;
}

int HostileServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void HostileServer::AwaitRequests(int count) const {
    std::unique_lock lock(mutex_);
    arrived_.wait(lock, [&] { return requests_ >= count; });
}

void HostileServer::Serve() {
    for (;;) {
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0) return;
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
            if (got <= 0) break;
            request.append(buffer, static_cast<std::size_t>(got));
        }
        const std::size_t space = request.find(' ');
        std::string path = request.substr(space + 1, request.find(' ', space + 1) - space - 1);
        if (path.starts_with("http://")) path = path.substr(path.find('/', 7));
        path = path.substr(0, path.find('?'));
        std::string answer;
        {
            std::lock_guard lock(mutex_);
            lastRequest_ = request;
            ++requests_;
            if (const auto found = answers_.find(path); found != answers_.end()) answer = found->second;
        }
        arrived_.notify_all();
        if (answer.starts_with("/")) path = answer;
        if (!answer.empty() && !answer.starts_with("/")) {
            SendAll(client, answer);
        } else if (path == "/loop") {
            SendAll(client, "HTTP/1.0 302 Found\r\nLocation: /loop\r\n\r\n");
        } else if (path == "/moved") {
            SendAll(client, "HTTP/1.0 301 Moved\r\nLocation: file.txt\r\n\r\nmoved");
        } else if (path == "/file.txt") {
            SendAll(client, "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello");
        } else if (path == "/huge") {
            SendAll(client, "HTTP/1.0 200 OK\r\nContent-Length: 1073741824\r\n\r\n");
            const std::string chunk(65536, 'x');
            // Streamed, never held: stops as soon as the client closes.
            for (int i = 0; i < 16384; ++i)
                if (::send(client, chunk.data(), chunk.size(), MSG_NOSIGNAL) <= 0) break;
        } else if (path == "/endless") {
            SendAll(client, "HTTP/1.0 200 OK\r\n\r\n");
            const std::string chunk(65536, 'y');
            for (int i = 0; i < 16384; ++i)
                if (::send(client, chunk.data(), chunk.size(), MSG_NOSIGNAL) <= 0) break;
        } else if (path == "/drip") {
            SendAll(client, "HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nd");
            AwaitClose(client);
        } else if (path == "/garbage") {
            static constexpr char kGarbage[] = "\x01\x02garbage \xff\xfe no http here\r\n\r\n";
            SendAll(client, std::string(kGarbage, sizeof kGarbage - 1));
        } else if (path == "/trickle") {
            Trickle(client);
        } else if (path == "/half") {
            SendAll(client, "HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n0123456789");
        } else {
            SendAll(client, "HTTP/1.0 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found");
        }
        ::shutdown(client, SHUT_WR);
        AwaitClose(client);
        ::close(client);
    }
}

} // namespace ampvane::testing
