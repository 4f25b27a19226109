// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/exchange_service.h"

#include <boost/asio/post.hpp>

#include "data/table_catalogue.h"
#include "server/exchange_protocol.h"
#include "server/exchange_pages.h"
#include "server/exchange_store.h"

namespace ampvane::server {

namespace {

constexpr const char* kHtml = "text/html; charset=utf-8";

std::optional<std::string> Value(const QueryPairs& pairs, std::string_view name) {
    for (const auto& [key, value] : pairs)
        if (key == name) return value;
    return std::nullopt;
}

ExchangeAnswer Text(int status, std::string text) { return {status, "text/plain; charset=utf-8", std::move(text)}; }

// "max" of dump.cgi: a whole number; nullopt when it is not one.
std::optional<long long> WholeNumber(const std::string& text) {
    if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    return std::stoll(text);
}

} // namespace

bool RateLimiter::Allow(const std::string& client, Clock::time_point now) {
    if (perMinute_ <= 0) return true;
    constexpr auto kWindow = std::chrono::minutes(1);
    std::lock_guard lock(mutex_);
    if (now - lastSweep_ >= kWindow) {
        std::erase_if(recent_, [&](const auto& entry) { return now - entry.second.back() >= kWindow; });
        lastSweep_ = now;
    }
    auto& times = recent_[client];
    std::erase_if(times, [&](Clock::time_point t) { return now - t >= kWindow; });
    if (static_cast<int>(times.size()) >= perMinute_) return false;
    times.push_back(now);
    return true;
}

std::size_t RateLimiter::Addresses() {
    std::lock_guard lock(mutex_);
    return recent_.size();
}

ExchangeService::ExchangeService(ExchangeStore& store, const ServiceOptions& options)
    : store_(store), options_(options), limiter_(options.ratePerMinute), committer_(store) {}

ExchangeService::~ExchangeService() { Close(); }

void ExchangeService::Close() {
    readers_.join();
    committer_.Close();
}

void ExchangeService::Handle(ExchangeRequest request, ExchangeReply reply) {
    // A proxy may pass on the absolute URL it was given: only its path and query count.
    std::string_view target = request.target;
    if (target.starts_with("http://")) {
        const std::size_t slash = target.find('/', 7);
        target = slash == std::string_view::npos ? "/" : target.substr(slash);
    }
    const std::size_t mark = target.find('?');
    const std::string path(target.substr(0, mark));
    const std::string query(mark == std::string_view::npos ? std::string_view() : target.substr(mark + 1));

    if (path == "/data/submit.cgi" && request.method == "GET") {
        if (!limiter_.Allow(request.client))
            return reply(Text(200, "ERROR: Too many contributions from your address. Please try again later."));
        const std::optional<QueryPairs> pairs = DecodeQuery(query);
        if (!pairs) return reply(Text(200, "ERROR: The request is not properly encoded."));
        SubmitCheck check = CheckSubmission(*pairs);
        if (!check.contribution) return reply(Text(200, "ERROR: " + check.reason));
        const std::string thanks = "Thank you for contributing the " + TypeNameOf(check.contribution->kind) + " \"" +
                                   check.contribution->name + "\" to the Ampvane data exchange.";
        return committer_.Add({std::move(*check.contribution), request.client}, [reply, thanks](long long id) {
            reply(id ? Text(200, thanks) : Text(500, "ERROR: The contribution could not be stored."));
        });
    }
    if (path == "/support.cgi" && request.method == "POST") {
        // The answer never holds the word the client reads as a failure unless it is one.
        if (!limiter_.Allow(request.client))
            return reply(Text(200, "Error: Too many messages from your address. Please try again later."));
        std::string reason;
        std::optional<SupportMessage> message = ParseSupportBody(request.body, reason);
        if (!message) return reply(Text(200, "Error: " + reason));
        return committer_.Add({std::move(*message), request.client}, [reply](long long id) {
            reply(id ? Text(200, "Thank you. Your message has reached Ampvane technical support.")
                     : Text(500, "Error: The message could not be stored."));
        });
    }
    if (request.method != "GET" && request.method != "HEAD") return reply(Text(404, "Not found."));
    // Reads may take a while on a big table: off the network thread.
    boost::asio::post(readers_, [this, path, query, reply = std::move(reply)] { reply(Read(path, query)); });
}

ExchangeAnswer ExchangeService::Read(const std::string& path, const std::string& query) {
    const std::optional<QueryPairs> pairs = DecodeQuery(query);
    if (path == "/data/send.cgi") {
        const std::optional<std::string> data = pairs ? Value(*pairs, "data") : std::nullopt;
        if (!data) return Text(400, "ERROR: The request names no table.");
        std::optional<int> only;
        if (*data != "all") {
            only = KindForKey(*data);
            if (!only) return Text(404, "ERROR: There is no table \"" + *data + "\".");
        }
        std::string body;
        for (int kind = 0; kind < kComponentTableCount; ++kind) {
            if (only && kind != *only) continue;
            std::string header;
            std::vector<std::string> lines;
            if (!store_.Catalogue(kind, header, lines)) return Text(500, "ERROR: The catalogue cannot be read.");
            if (!header.empty()) body += TableTextBlock(kind, header, lines);
        }
        return Text(200, std::move(body));
    }
    if (path == "/data/dump.cgi") {
        const std::optional<std::string> table = pairs ? Value(*pairs, "table") : std::nullopt;
        const std::optional<std::string> recent = pairs ? Value(*pairs, "recent") : std::nullopt;
        const std::optional<std::string> max = pairs ? Value(*pairs, "max") : std::nullopt;
        if (!table || table->size() != 1 || (*table)[0] < '1' || (*table)[0] > '7')
            return Text(404, "ERROR: There is no such table.");
        long long limit = options_.dumpLimit;
        if (max) {
            const std::optional<long long> asked = WholeNumber(*max);
            if (!asked) return Text(400, "ERROR: \"max\" must be a whole number.");
            limit = std::min(limit, *asked);
        }
        const int days = recent && *recent == "30" ? 30 : 0;
        const int kind = (*table)[0] - '0';
        return Text(200, ContributedList(kind, store_.Contributions(kind, days, limit)));
    }
    if (path == "/data/contrib.html") {
        std::vector<ContributedSection> sections;
        for (int kind = 1; kind < kComponentTableCount; ++kind)
            sections.push_back({kind, store_.Contributions(kind, 0, kContributedPageRows)});
        return {200, kHtml, ContributedPage(sections)};
    }
    if (path == "/contrib.htm") return {200, kHtml, ContributionsHelpPage()};
    constexpr std::string_view prefix = "/data/", suffix = ".html";
    if (path.starts_with(prefix) && path.ends_with(suffix) && path.size() > prefix.size() + suffix.size()) {
        const std::string key = path.substr(prefix.size(), path.size() - prefix.size() - suffix.size());
        const std::optional<int> kind =
            key.find_first_not_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos ? KindForKey(key) : std::nullopt;
        if (!kind) return Text(404, "There is no such table.");
        std::string header;
        std::vector<std::string> lines;
        if (!store_.Catalogue(*kind, header, lines)) return Text(500, "The catalogue cannot be read.");
        if (header.empty()) header = HeaderLine(*kind);
        return {200, kHtml, HtmlTablePage(*kind, header, lines)};
    }
    return Text(404, "Not found.");
}

} // namespace ampvane::server
