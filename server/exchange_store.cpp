// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/exchange_store.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace ampvane::server {

namespace {

class Statement {
public:
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr); }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    bool Valid() const { return statement_ != nullptr; }
    Statement& Bind(int index, const std::string& text) {
        sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& Bind(int index, long long value) {
        sqlite3_bind_int64(statement_, index, value);
        return *this;
    }
    int Step() { return statement_ ? sqlite3_step(statement_) : SQLITE_ERROR; }
    std::string Text(int column) const {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
        return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column))) : std::string();
    }
    long long Integer(int column) const { return sqlite3_column_int64(statement_, column); }

private:
    sqlite3_stmt* statement_ = nullptr;
};

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS catalogue_header(kind INTEGER PRIMARY KEY, header TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS catalogue(kind INTEGER NOT NULL, name TEXT NOT NULL, line TEXT NOT NULL,
  PRIMARY KEY(kind, name));
CREATE TABLE IF NOT EXISTS contribution(id INTEGER PRIMARY KEY AUTOINCREMENT, kind INTEGER NOT NULL,
  name TEXT NOT NULL, line TEXT NOT NULL, contributor TEXT NOT NULL, email TEXT NOT NULL,
  created TEXT NOT NULL DEFAULT (strftime('%Y-%m-%d %H:%M:%S','now')), client TEXT NOT NULL);
CREATE INDEX IF NOT EXISTS contribution_kind ON contribution(kind, id);
CREATE TABLE IF NOT EXISTS support(id INTEGER PRIMARY KEY AUTOINCREMENT, sender TEXT NOT NULL,
  subject TEXT NOT NULL, message TEXT NOT NULL, project TEXT NOT NULL,
  created TEXT NOT NULL DEFAULT (strftime('%Y-%m-%d %H:%M:%S','now')), client TEXT NOT NULL);
)sql";

} // namespace

std::unique_ptr<ExchangeStore> ExchangeStore::Open(const std::string& folder, std::string& error) {
    const std::string path = folder + "/exchange.sqlite";
    // It holds contributors' addresses and support messages: created for its owner's eyes only. SQLite
    // gives its log files the same permissions.
    if (const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600); fd >= 0) ::close(fd);
    auto connect = [&](sqlite3*& db) {
        if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                            nullptr) == SQLITE_OK) {
            sqlite3_busy_timeout(db, 5000);
            return true;
        }
        error = "The database \"" + path + "\" could not be opened: " + (db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        db = nullptr;
        return false;
    };
    sqlite3* db = nullptr;
    if (!connect(db)) return nullptr;
    std::unique_ptr<ExchangeStore> store(new ExchangeStore(db, nullptr));
    if (!store->Execute("PRAGMA journal_mode=WAL") || !store->Execute("PRAGMA synchronous=FULL") ||
        !store->Execute(kSchema)) {
        error = "The database \"" + path + "\" could not be prepared: " + sqlite3_errmsg(db);
        return nullptr;
    }
    if (!connect(store->readDb_)) return nullptr;
    return store;
}

ExchangeStore::~ExchangeStore() {
    sqlite3_close(readDb_);
    sqlite3_close(db_);
}

bool ExchangeStore::Execute(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

bool ExchangeStore::ImportCatalogue(const std::vector<CatalogueBlock>& blocks, std::string& error) {
    std::lock_guard lock(mutex_);
    if (!Execute("BEGIN IMMEDIATE")) {
        error = sqlite3_errmsg(db_);
        return false;
    }
    bool ok = true;
    for (const CatalogueBlock& block : blocks) {
        Statement header(db_, "INSERT OR REPLACE INTO catalogue_header(kind, header) VALUES(?1, ?2)");
        ok = ok && header.Bind(1, block.kind).Bind(2, block.header).Step() == SQLITE_DONE;
        for (const std::string& line : block.lines) {
            Statement row(db_, "INSERT OR REPLACE INTO catalogue(kind, name, line) VALUES(?1, ?2, ?3)");
            std::string name = line.substr(0, line.find('\t'));
            while (!name.empty() && name.back() == ' ') name.pop_back();
            ok = ok && row.Bind(1, block.kind).Bind(2, name).Bind(3, line).Step() == SQLITE_DONE;
        }
    }
    if (!ok) error = sqlite3_errmsg(db_);
    ok = ok && Execute("COMMIT");
    if (!ok) Execute("ROLLBACK");
    return ok;
}

bool ExchangeStore::Catalogue(int kind, std::string& header, std::vector<std::string>& lines) {
    std::lock_guard lock(readMutex_);
    Statement head(readDb_, "SELECT header FROM catalogue_header WHERE kind = ?1");
    head.Bind(1, kind);
    header = head.Step() == SQLITE_ROW ? head.Text(0) : std::string();
    Statement rows(readDb_, "SELECT line FROM catalogue WHERE kind = ?1 ORDER BY name");
    rows.Bind(1, kind);
    lines.clear();
    int step = 0;
    while ((step = rows.Step()) == SQLITE_ROW) lines.push_back(rows.Text(0));
    return step == SQLITE_DONE;
}

long long ExchangeStore::Insert(const StoreWrite& write) {
    if (const auto* contribution = std::get_if<Contribution>(&write.item)) {
        Statement insert(db_, "INSERT INTO contribution(kind, name, line, contributor, email, client) "
                              "VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
        insert.Bind(1, contribution->kind).Bind(2, contribution->name).Bind(3, contribution->line);
        insert.Bind(4, contribution->contributor).Bind(5, contribution->email).Bind(6, write.client);
        return insert.Step() == SQLITE_DONE ? sqlite3_last_insert_rowid(db_) : 0;
    }
    const SupportMessage& message = std::get<SupportMessage>(write.item);
    Statement insert(db_, "INSERT INTO support(sender, subject, message, project, client) VALUES(?1, ?2, ?3, ?4, ?5)");
    insert.Bind(1, message.sender).Bind(2, message.subject).Bind(3, message.message).Bind(4, message.project);
    insert.Bind(5, write.client);
    return insert.Step() == SQLITE_DONE ? sqlite3_last_insert_rowid(db_) : 0;
}

std::vector<long long> ExchangeStore::AddAll(std::span<const StoreWrite> writes) {
    std::lock_guard lock(mutex_);
    std::vector<long long> ids(writes.size(), 0);
    auto commit = [&](std::size_t from, std::size_t to) {
        if (!Execute("BEGIN IMMEDIATE")) return false;
        bool ok = true;
        for (std::size_t i = from; i < to && ok; ++i) ok = (ids[i] = Insert(writes[i])) != 0;
        // COMMIT returns once the log is synced: only then may the writes be answered.
        if (ok && Execute("COMMIT")) return true;
        Execute("ROLLBACK");
        std::fill(ids.begin() + static_cast<std::ptrdiff_t>(from), ids.begin() + static_cast<std::ptrdiff_t>(to), 0);
        return false;
    };
    if (!commit(0, writes.size()) && writes.size() > 1)
        for (std::size_t i = 0; i < writes.size(); ++i) commit(i, i + 1);
    return ids;
}

long long ExchangeStore::AddContribution(const Contribution& contribution, const std::string& client) {
    const StoreWrite write{contribution, client};
    return AddAll(std::span(&write, 1)).front();
}

std::vector<StoredContribution> ExchangeStore::Contributions(int kind, int recentDays, long long limit) {
    std::lock_guard lock(readMutex_);
    Statement rows(readDb_, "SELECT line, substr(created, 1, 10), contributor, id FROM contribution WHERE kind = ?1 "
                            "AND (?2 <= 0 OR created >= datetime('now', '-' || ?2 || ' days')) ORDER BY id DESC "
                            "LIMIT ?3");
    rows.Bind(1, kind).Bind(2, recentDays).Bind(3, limit);
    std::vector<StoredContribution> result;
    while (rows.Step() == SQLITE_ROW) result.push_back({rows.Text(0), rows.Text(1), rows.Text(2), rows.Integer(3)});
    return result;
}

long long ExchangeStore::CountContributions() {
    std::lock_guard lock(readMutex_);
    Statement count(readDb_, "SELECT count(*) FROM contribution");
    return count.Step() == SQLITE_ROW ? count.Integer(0) : -1;
}

long long ExchangeStore::AddSupportRequest(const SupportMessage& message, const std::string& client) {
    const StoreWrite write{message, client};
    return AddAll(std::span(&write, 1)).front();
}

long long ExchangeStore::CountSupportRequests() {
    std::lock_guard lock(readMutex_);
    Statement count(readDb_, "SELECT count(*) FROM support");
    return count.Step() == SQLITE_ROW ? count.Integer(0) : -1;
}

std::string ExchangeStore::IntegrityCheck() {
    std::lock_guard lock(readMutex_);
    Statement check(readDb_, "PRAGMA integrity_check");
    return check.Step() == SQLITE_ROW ? check.Text(0) : std::string(sqlite3_errmsg(readDb_));
}

} // namespace ampvane::server
