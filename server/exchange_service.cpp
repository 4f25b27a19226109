// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/exchange_service.h"

#include <httplib.h>

#include "data/table_catalogue.h"
#include "server/exchange_protocol.h"
#include "server/exchange_store.h"

namespace ampvane::server {

namespace {

constexpr const char* kText = "text/plain; charset=utf-8";

std::string QueryOf(const httplib::Request& request) {
    const std::size_t mark = request.target.find('?');
    return mark == std::string::npos ? std::string() : request.target.substr(mark + 1);
}

std::optional<std::string> Value(const QueryPairs& pairs, std::string_view name) {
    for (const auto& [key, value] : pairs)
        if (key == name) return value;
    return std::nullopt;
}

void Refuse(httplib::Response& response, int status, const std::string& text) {
    response.status = status;
    response.set_content(text, kText);
}

} // namespace

bool RateLimiter::Allow(const std::string& client, std::chrono::steady_clock::time_point now) {
    if (perMinute_ <= 0) return true;
    std::lock_guard lock(mutex_);
    auto& times = recent_[client];
    while (!times.empty() && now - times.front() >= std::chrono::minutes(1)) times.pop_front();
    if (static_cast<int>(times.size()) >= perMinute_) return false;
    times.push_back(now);
    return true;
}

void InstallRoutes(httplib::Server& server, ExchangeStore& store, RateLimiter& limiter, const ServiceOptions& options) {
    server.set_payload_max_length(options.maxRequestBytes);

    server.Get("/data/send.cgi", [&store](const httplib::Request& request, httplib::Response& response) {
        const std::optional<QueryPairs> query = DecodeQuery(QueryOf(request));
        const std::optional<std::string> data = query ? Value(*query, "data") : std::nullopt;
        if (!data) return Refuse(response, 400, "ERROR: The request names no table.");
        std::optional<int> only;
        if (*data != "all") {
            only = KindForKey(*data);
            if (!only) return Refuse(response, 404, "ERROR: There is no table \"" + *data + "\".");
        }
        std::string body;
        for (int kind = 0; kind < kComponentTableCount; ++kind) {
            if (only && kind != *only) continue;
            std::string header;
            std::vector<std::string> lines;
            if (!store.Catalogue(kind, header, lines)) return Refuse(response, 500, "ERROR: The catalogue cannot be read.");
            if (!header.empty()) body += TableTextBlock(kind, header, lines);
        }
        response.set_content(body, kText);
    });

    server.Get(R"(/data/([a-z]+)\.html)", [&store](const httplib::Request& request, httplib::Response& response) {
        const std::optional<int> kind = KindForKey(request.matches[1].str());
        if (!kind) return Refuse(response, 404, "There is no such table.");
        std::string header;
        std::vector<std::string> lines;
        if (!store.Catalogue(*kind, header, lines)) return Refuse(response, 500, "The catalogue cannot be read.");
        if (header.empty()) header = HeaderLine(*kind);
        response.set_content(HtmlTablePage(*kind, header, lines), "text/html; charset=utf-8");
    });

    server.Get("/data/submit.cgi", [&store, &limiter](const httplib::Request& request, httplib::Response& response) {
        if (!limiter.Allow(request.remote_addr))
            return Refuse(response, 200, "ERROR: Too many contributions from your address. Please try again later.");
        const std::optional<QueryPairs> query = DecodeQuery(QueryOf(request));
        if (!query) return Refuse(response, 200, "ERROR: The request is not properly encoded.");
        const SubmitCheck check = CheckSubmission(*query);
        if (!check.contribution) return Refuse(response, 200, "ERROR: " + check.reason);
        if (store.AddContribution(*check.contribution, request.remote_addr) == 0)
            return Refuse(response, 500, "ERROR: The contribution could not be stored.");
        response.set_content("Thank you for contributing the " + TypeNameOf(check.contribution->kind) + " \"" +
                                 check.contribution->name + "\" to the Ampvane data exchange.",
                             kText);
    });

    server.Get("/data/dump.cgi", [&store](const httplib::Request& request, httplib::Response& response) {
        const std::optional<QueryPairs> query = DecodeQuery(QueryOf(request));
        const std::optional<std::string> table = query ? Value(*query, "table") : std::nullopt;
        const std::optional<std::string> recent = query ? Value(*query, "recent") : std::nullopt;
        if (!table || table->size() != 1 || (*table)[0] < '1' || (*table)[0] > '7')
            return Refuse(response, 404, "ERROR: There is no such table.");
        const int days = recent && *recent == "30" ? 30 : 0;
        const int kind = (*table)[0] - '0';
        const std::vector<StoredContribution> rows = store.Contributions(kind, days);
        response.set_content(ContributedList(kind, rows), kText);
    });

    server.Post("/support.cgi", [&store, &limiter](const httplib::Request& request, httplib::Response& response) {
        // The answer never holds the word the client reads as a failure unless it is one.
        if (!limiter.Allow(request.remote_addr))
            return Refuse(response, 200, "Error: Too many messages from your address. Please try again later.");
        std::string reason;
        const std::optional<SupportMessage> message = ParseSupportBody(request.body, reason);
        if (!message) return Refuse(response, 200, "Error: " + reason);
        if (store.AddSupportRequest(*message, request.remote_addr) == 0)
            return Refuse(response, 500, "Error: The message could not be stored.");
        response.set_content("Thank you. Your message has reached Ampvane technical support.", kText);
    });
}

} // namespace ampvane::server
