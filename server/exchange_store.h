// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "server/exchange_protocol.h"

struct sqlite3;

namespace ampvane::server {

// A contribution or support request on its way into the store, with the address it came from.
struct StoreWrite {
    std::variant<Contribution, SupportMessage> item;
    std::string client;
};

// The server's database: the catalogue served by send.cgi, the contributions and the support
// requests. Writes are transactions in write-ahead-log mode with full synchronisation, so a request
// that was answered survives a crash or a kill. Reads go through a connection of their own, so they
// never wait for a write's disk sync.
class ExchangeStore {
public:
    // Opens (creating when needed, readable by its owner only) "exchange.sqlite" in the folder. nullptr
    // with the reason on failure.
    static std::unique_ptr<ExchangeStore> Open(const std::string& folder, std::string& error);
    ~ExchangeStore();
    ExchangeStore(const ExchangeStore&) = delete;
    ExchangeStore& operator=(const ExchangeStore&) = delete;

    // Replaces the catalogue of every kind in the blocks (a kind's lines are merged by name).
    bool ImportCatalogue(const std::vector<CatalogueBlock>& blocks, std::string& error);
    // The catalogue of a kind: its header (empty when it has none) and lines in name order.
    bool Catalogue(int kind, std::string& header, std::vector<std::string>& lines);

    // Commits all writes in one transaction (one disk sync for all of them) and returns each one's new
    // row id, 0 for a write that could not be stored. When the shared transaction fails, each write is
    // tried in a transaction of its own, so one bad write never costs the others.
    std::vector<long long> AddAll(std::span<const StoreWrite> writes);

    // Returns the new row's id, or 0 on failure.
    long long AddContribution(const Contribution& contribution, const std::string& client);
    // Newest first, at most `limit`; with recentDays > 0 only those of the last recentDays days.
    std::vector<StoredContribution> Contributions(int kind, int recentDays, long long limit = -1);
    long long CountContributions();

    long long AddSupportRequest(const SupportMessage& message, const std::string& client);
    long long CountSupportRequests();

    // "ok" when the database passes its integrity check.
    std::string IntegrityCheck();

private:
    ExchangeStore(sqlite3* db, sqlite3* readDb) : db_(db), readDb_(readDb) {}
    bool Execute(const char* sql);
    long long Insert(const StoreWrite& write);
    std::mutex mutex_;     // the writing connection
    std::mutex readMutex_; // the reading connection
    sqlite3* db_;
    sqlite3* readDb_;
};

} // namespace ampvane::server
