// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

// What the HTTP layer hands to the exchange and gets back: no sockets, no parser, so the exchange's
// answers do not depend on how the bytes travel.

namespace ampvane::server {

struct ExchangeRequest {
    std::string method; // "GET", "HEAD", "POST", ...; the body of an answer to HEAD is not sent
    std::string target; // as received: "/data/send.cgi?data=motor&ver=809", or an absolute URL
    std::string body;
    std::string client; // the peer's address, for rate limits and the stored records
};

struct ExchangeAnswer {
    int status = 200;
    std::string contentType = "text/plain; charset=utf-8";
    std::string body;
};

using ExchangeReply = std::function<void(ExchangeAnswer)>;

class RequestHandler {
public:
    virtual ~RequestHandler() = default;
    // Answers through `reply` exactly once, from any thread, possibly after Handle has returned.
    virtual void Handle(ExchangeRequest request, ExchangeReply reply) = 0;
};

} // namespace ampvane::server
