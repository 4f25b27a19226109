// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "server/exchange_protocol.h"

struct sqlite3;

namespace ampvane::server {

// The server's database: the catalogue served by send.cgi, the contributions and the support
// requests. Every write is one transaction in write-ahead-log mode with full synchronisation, so a
// request that was answered survives a crash or a kill.
class ExchangeStore {
public:
    // Opens (creating when needed) "exchange.sqlite" in the folder. nullopt with the reason on failure.
    static std::unique_ptr<ExchangeStore> Open(const std::string& folder, std::string& error);
    ~ExchangeStore();
    ExchangeStore(const ExchangeStore&) = delete;
    ExchangeStore& operator=(const ExchangeStore&) = delete;

    // Replaces the catalogue of every kind in the blocks (a kind's lines are merged by name).
    bool ImportCatalogue(const std::vector<CatalogueBlock>& blocks, std::string& error);
    // The catalogue of a kind: its header (empty when it has none) and lines in name order.
    bool Catalogue(int kind, std::string& header, std::vector<std::string>& lines);

    // Returns the new row's id, or 0 on failure.
    long long AddContribution(const Contribution& contribution, const std::string& client);
    // Newest first; with recentDays > 0 only those of the last recentDays days.
    std::vector<StoredContribution> Contributions(int kind, int recentDays);
    long long CountContributions();

    long long AddSupportRequest(const SupportMessage& message, const std::string& client);
    long long CountSupportRequests();

    // "ok" when the database passes its integrity check.
    std::string IntegrityCheck();

private:
    explicit ExchangeStore(sqlite3* db) : db_(db) {}
    bool Execute(const char* sql);
    std::mutex mutex_;
    sqlite3* db_;
};

} // namespace ampvane::server
