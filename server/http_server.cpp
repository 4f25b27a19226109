// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/http_server.h"

#include <array>
#include <atomic>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/signal_set.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <csignal>

namespace ampvane::server {

namespace beast = boost::beast;
namespace http = beast::http;
namespace net = boost::asio;
using tcp = net::ip::tcp;

namespace {

constexpr std::size_t kHeaderBytes = 16 * 1024;
// A larger chunk-size line than this ends the request: the read buffer never grows past it.
constexpr std::size_t kReadBufferBytes = 64 * 1024;
// Connections being told "busy"; past this they are closed without a word.
constexpr std::size_t kMaxRefusing = 256;
// After an answer the rest of an unread request is read and dropped for a moment, so the client sees
// the answer instead of a reset.
constexpr std::size_t kLingerBytes = 256 * 1024;
constexpr auto kLinger = std::chrono::seconds(2);

// What the listener and every connection share; the counters are atomic because the last reference to
// a connection may be dropped on a worker thread.
struct Shared {
    RequestHandler& handler;
    HttpLimits limits;
    std::atomic<std::size_t> open{0};
    std::atomic<std::size_t> refusing{0};
    std::atomic<std::size_t> bodyBytes{0};
};

ExchangeAnswer Refusal(int status, std::string text) { return {status, "text/plain; charset=utf-8", std::move(text)}; }

bool IsNamed(beast::string_view value, beast::string_view name) {
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
    return beast::iequals(value, name);
}

std::string Text(beast::string_view text) { return std::string(text.data(), text.size()); }

class Connection : public std::enable_shared_from_this<Connection> {
public:
    Connection(tcp::socket socket, Shared& shared) : stream_(std::move(socket)), shared_(shared) {
        beast::error_code ec;
        const tcp::endpoint peer = stream_.socket().remote_endpoint(ec);
        if (!ec) client_ = peer.address().to_string();
    }
    ~Connection() {
        ReleaseBody();
        if (serving_) --shared_.open;
        if (refusing_) --shared_.refusing;
    }

    void Serve() {
        serving_ = true;
        ++shared_.open;
        ReadHeader();
    }

    void RefuseBusy() {
        refusing_ = true;
        ++shared_.refusing;
        Write(Refusal(503, "ERROR: The server is busy. Please try again in a minute."));
    }

private:
    void ReadHeader() {
        parser_.emplace();
        parser_->header_limit(kHeaderBytes);
        parser_->body_limit(shared_.limits.maxBodyBytes);
        wireBodyBytes_ = 0;
        stream_.expires_after(shared_.limits.headerDeadline);
        http::async_read_header(stream_, buffer_, *parser_,
                                [self = shared_from_this()](beast::error_code ec, std::size_t) { self->OnHeader(ec); });
    }

    void OnHeader(beast::error_code ec) {
        if (ec == http::error::header_limit || ec == http::error::buffer_overflow)
            return Refuse(431, "ERROR: The request header is too large.");
        if (ec == http::error::body_limit) return Refuse(413, "ERROR: The request is too large.");
        const bool malformed = ec && ec.category() == http::make_error_code(http::error::bad_method).category() &&
                               ec != http::error::end_of_stream && ec != http::error::partial_message;
        if (malformed) return Refuse(400, "ERROR: The request is not valid HTTP.");
        if (ec) return Close(); // gone, silent too long, or the socket failed: there is no one to answer

        const auto& request = parser_->get();
        version_ = request.version();
        keepAlive_ = request.keep_alive();
        head_ = request.method() == http::verb::head;
        if (const auto coding = request.find(http::field::content_encoding);
            coding != request.end() && !IsNamed(coding->value(), "identity"))
            return Refuse(415, "ERROR: Compressed request bodies are not accepted.");
        if (const auto coding = request.find(http::field::transfer_encoding);
            coding != request.end() && !IsNamed(coding->value(), "chunked"))
            return Refuse(501, "ERROR: Only the chunked transfer coding is understood.");
        const auto length = parser_->content_length();
        // A request body ends where its length says; one that runs until the connection closes is not taken.
        if (!length && !parser_->chunked() && (request.method() == http::verb::post || request.method() == http::verb::put))
            return Refuse(411, "ERROR: The request has a body of unknown length; send its Content-Length.");
        if (length && *length > shared_.limits.maxBodyBytes) return Refuse(413, "ERROR: The request is too large.");
        const std::size_t reserve = length ? static_cast<std::size_t>(*length) : parser_->chunked() ? shared_.limits.maxBodyBytes : 0;
        if (reserve > 0) {
            // Many large bodies at once would add up: they wait for another time instead.
            if (shared_.bodyBytes.fetch_add(reserve) + reserve > shared_.limits.bodyBudgetBytes) {
                shared_.bodyBytes -= reserve;
                return Refuse(503, "ERROR: The server is busy. Please try again in a minute.");
            }
            reservedBytes_ = reserve;
        }
        if (parser_->is_done()) return Dispatch();
        stream_.expires_after(shared_.limits.bodyDeadline);
        if (version_ >= 11 && IsNamed(request[http::field::expect], "100-continue")) {
            auto go = std::make_shared<http::response<http::empty_body>>(http::status::continue_, version_);
            return http::async_write(stream_, *go, [self = shared_from_this(), go](beast::error_code ec, std::size_t) {
                if (ec) return self->Close();
                self->ReadBody();
            });
        }
        ReadBody();
    }

    void ReadBody() {
        http::async_read_some(stream_, buffer_, *parser_, [self = shared_from_this()](beast::error_code ec, std::size_t n) {
            self->OnBody(ec, n);
        });
    }

    void OnBody(beast::error_code ec, std::size_t bytes) {
        // Counted as it arrives, framing included, so no transfer coding can stretch the limit.
        wireBodyBytes_ += bytes;
        if (ec == http::error::body_limit || wireBodyBytes_ > shared_.limits.maxBodyBytes)
            return Refuse(413, "ERROR: The request is too large.");
        if (ec == http::error::buffer_overflow) return Refuse(400, "ERROR: The request is not valid HTTP.");
        if (ec) return Close();
        if (!parser_->is_done()) return ReadBody();
        Dispatch();
    }

    void Dispatch() {
        auto& request = parser_->get();
        ExchangeRequest exchange{Text(request.method_string()), Text(request.target()), std::move(request.body()), client_};
        parser_.reset();
        // The reply may come from another thread; the answer is written on this connection's own.
        auto holder = std::make_shared<std::shared_ptr<Connection>>(shared_from_this());
        shared_.handler.Handle(std::move(exchange), [holder](ExchangeAnswer answer) {
            std::shared_ptr<Connection> self = std::move(*holder);
            if (!self) return;
            auto executor = self->stream_.get_executor();
            net::post(executor, [self = std::move(self), answer = std::move(answer)]() mutable { self->Write(std::move(answer)); });
        });
    }

    // An answer to a request that is not read to its end; the connection closes after it.
    void Refuse(int status, std::string text) {
        keepAlive_ = false;
        Write(Refusal(status, std::move(text)));
    }

    void Write(ExchangeAnswer answer) {
        auto response = std::make_shared<http::response<http::string_body>>(static_cast<http::status>(answer.status), version_);
        response->set(http::field::content_type, answer.contentType);
        response->keep_alive(keepAlive_ && serving_);
        response->body() = std::move(answer.body);
        response->prepare_payload();
        if (head_) {
            const std::size_t length = response->body().size();
            response->body().clear();
            response->content_length(length);
        }
        stream_.expires_after(shared_.limits.answerDeadline);
        http::async_write(stream_, *response, [self = shared_from_this(), response](beast::error_code ec, std::size_t) {
            self->ReleaseBody();
            if (ec) return self->Close();
            if (response->keep_alive()) return self->ReadHeader();
            self->Linger();
        });
    }

    void Linger() {
        beast::error_code ignored;
        stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
        stream_.expires_after(kLinger);
        Drain();
    }

    void Drain() {
        // What is read here is thrown away, so all lingering connections may share one buffer.
        static std::array<char, 4096> discard;
        stream_.async_read_some(net::buffer(discard), [self = shared_from_this()](beast::error_code ec, std::size_t n) {
            self->lingered_ += n;
            if (ec || self->lingered_ > kLingerBytes) return self->Close();
            self->Drain();
        });
    }

    void Close() {
        beast::error_code ignored;
        stream_.socket().shutdown(tcp::socket::shutdown_both, ignored);
        stream_.close();
    }

    void ReleaseBody() {
        shared_.bodyBytes -= reservedBytes_;
        reservedBytes_ = 0;
    }

    beast::tcp_stream stream_;
    Shared& shared_;
    beast::flat_buffer buffer_{kReadBufferBytes};
    std::optional<http::request_parser<http::string_body>> parser_;
    std::string client_;
    unsigned version_ = 11;
    bool keepAlive_ = false;
    bool head_ = false;
    bool serving_ = false;
    bool refusing_ = false;
    std::size_t wireBodyBytes_ = 0;
    std::size_t reservedBytes_ = 0;
    std::size_t lingered_ = 0;
};

} // namespace

struct HttpServer::State {
    // Declared before the context, so connections destroyed with it still find what they share.
    Shared shared;
    net::io_context context{1};
    tcp::acceptor acceptor{context};
    net::steady_timer retry{context};
    net::signal_set signals{context};

    void Accept() {
        acceptor.async_accept(context, [this](beast::error_code ec, tcp::socket socket) {
            if (ec == net::error::operation_aborted) return;
            if (ec) {
                // Out of file descriptors, for instance: try again shortly instead of spinning.
                retry.expires_after(std::chrono::milliseconds(100));
                retry.async_wait([this](beast::error_code) { Accept(); });
                return;
            }
            beast::error_code ignored;
            socket.set_option(tcp::no_delay(true), ignored);
            auto connection = std::make_shared<Connection>(std::move(socket), shared);
            if (shared.open < shared.limits.maxConnections)
                connection->Serve();
            else if (shared.refusing < kMaxRefusing)
                connection->RefuseBusy();
            Accept();
        });
    }

    void Stop() {
        beast::error_code ignored;
        acceptor.close(ignored);
        signals.cancel(ignored);
        context.stop();
    }
};

HttpServer::HttpServer(RequestHandler& handler, const HttpLimits& limits)
    : state_(new State{Shared{handler, limits}}) {}

HttpServer::~HttpServer() = default;

std::optional<int> HttpServer::Listen(const std::string& host, int port, std::string& error) {
    beast::error_code ec;
    tcp::resolver resolver(state_->context);
    const auto found = resolver.resolve(host, std::to_string(port), tcp::resolver::passive | tcp::resolver::numeric_service, ec);
    if (ec || found.empty()) {
        error = "Cannot find the address " + host + ": " + ec.message();
        return std::nullopt;
    }
    const tcp::endpoint endpoint = found.begin()->endpoint();
    tcp::acceptor& acceptor = state_->acceptor;
    acceptor.open(endpoint.protocol(), ec);
    if (!ec) acceptor.set_option(net::socket_base::reuse_address(true), ec);
    if (!ec) acceptor.bind(endpoint, ec);
    if (!ec) acceptor.listen(state_->shared.limits.backlog, ec);
    if (ec) {
        error = "Cannot listen on " + host + ":" + std::to_string(port) + ": " + ec.message();
        return std::nullopt;
    }
    return acceptor.local_endpoint().port();
}

void HttpServer::StopOnSignals() {
    state_->signals.add(SIGINT);
    state_->signals.add(SIGTERM);
    state_->signals.async_wait([this](beast::error_code ec, int) {
        if (!ec) state_->Stop();
    });
}

void HttpServer::Run() {
    state_->Accept();
    state_->context.run();
}

void HttpServer::Stop() {
    net::post(state_->context, [this] { state_->Stop(); });
}

} // namespace ampvane::server
