// SPDX-License-Identifier: GPL-3.0-or-later
// ampvane-server: the exchange server for component updates, contributions and support requests.

#include <signal.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

#include "common/file_write.h"
#include "common/licence.h"
#include "server/exchange_protocol.h"
#include "server/exchange_service.h"
#include "server/exchange_store.h"
#include "server/http_server.h"

namespace {

constexpr const char* kUsage =
    "Usage:\n"
    "  ampvane-server --data DIR --listen HOST:PORT [--catalogue FILE] [--rate N] [--max-connections N]\n"
    "                 [--dump-limit N]\n"
    "  ampvane-server [--data DIR] catalogue import FILE\n"
    "  ampvane-server --version\n"
    "DIR holds the database; PORT 0 picks a free port. FILE is a table text export. --rate bounds the\n"
    "contributions and support requests of one client address per minute. --max-connections bounds the\n"
    "connections open at once (default 4096; more are answered 503). --dump-limit bounds the newest\n"
    "contributions one contributed-data list holds (default 10000).\n";

int Fail(const std::string& text) {
    std::cerr << "ampvane-server: " << text << "\n";
    return 1;
}

bool ImportCatalogue(ampvane::server::ExchangeStore& store, const std::string& file, std::string& error) {
    std::string text;
    if (!ampvane::ReadWholeFile(file, text)) {
        error = "The catalogue file \"" + file + "\" could not be read.";
        return false;
    }
    std::vector<ampvane::server::CatalogueBlock> blocks = ampvane::server::ReadCatalogueText(text, error);
    if (!error.empty()) {
        error = "\"" + file + "\": " + error;
        return false;
    }
    if (blocks.empty()) {
        error = "The catalogue file \"" + file + "\" holds no component table.";
        return false;
    }
    if (!store.ImportCatalogue(blocks, error)) return false;
    std::size_t count = 0;
    for (const auto& block : blocks) count += block.lines.size();
    std::cout << "Imported " << count << " components in " << blocks.size() << " tables.\n";
    return true;
}

// A whole number from `low` to `high`, or nullopt.
std::optional<long long> WholeNumber(const std::string& text, long long low, long long high) {
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end || errno != 0 || value < low || value > high) return std::nullopt;
    return value;
}

// Every open connection holds a file descriptor: take what the system allows, and keep the connection
// cap below it so that the database and the listener always find one.
std::size_t ConnectionsTheSystemAllows() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 1000;
    if (limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
        ::getrlimit(RLIMIT_NOFILE, &limit);
    }
    return limit.rlim_cur > 64 ? static_cast<std::size_t>(limit.rlim_cur) - 32 : 32;
}

} // namespace

int main(int argc, char** argv) {
    std::string data = ".";
    std::string listen;
    std::string catalogue;
    std::string importFile;
    ampvane::server::ServiceOptions service;
    ampvane::server::HttpLimits limits;
    bool connectionsGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--data" && hasValue) data = argv[++i];
        else if (argument == "--listen" && hasValue) listen = argv[++i];
        else if (argument == "--catalogue" && hasValue) catalogue = argv[++i];
        else if (argument == "--rate" && hasValue) {
            const auto value = WholeNumber(argv[++i], 0, 1000000);
            if (!value) return Fail("--rate takes a whole number.");
            service.ratePerMinute = static_cast<int>(*value);
        } else if (argument == "--max-connections" && hasValue) {
            const auto value = WholeNumber(argv[++i], 1, 1000000);
            if (!value) return Fail("--max-connections takes a whole number from 1 to 1000000.");
            limits.maxConnections = static_cast<std::size_t>(*value);
            connectionsGiven = true;
        } else if (argument == "--dump-limit" && hasValue) {
            const auto value = WholeNumber(argv[++i], 1, 100000000);
            if (!value) return Fail("--dump-limit takes a whole number from 1 to 100000000.");
            service.dumpLimit = *value;
        } else if (argument == "catalogue" && i + 2 < argc && std::string(argv[i + 1]) == "import") {
            importFile = argv[i + 2];
            i += 2;
        } else if (argument == "--version") {
            std::cout << ampvane::VersionText("ampvane-server", AMPVANE_VERSION);
            return 0;
        } else if (argument == "--help" || argument == "-h") {
            std::cout << kUsage;
            return 0;
        } else {
            std::cerr << "ampvane-server: unexpected argument \"" << argument << "\".\n" << kUsage;
            return 2;
        }
    }
    if (importFile.empty() && listen.empty()) {
        std::cerr << kUsage;
        return 2;
    }
    std::error_code ec;
    std::filesystem::create_directories(data, ec);
    std::string error;
    std::unique_ptr<ampvane::server::ExchangeStore> store = ampvane::server::ExchangeStore::Open(data, error);
    if (!store) return Fail(error);
    if (!importFile.empty()) return ImportCatalogue(*store, importFile, error) ? 0 : Fail(error);
    if (!catalogue.empty() && !ImportCatalogue(*store, catalogue, error)) return Fail(error);

    const std::size_t colon = listen.rfind(':');
    if (colon == std::string::npos) return Fail("--listen takes HOST:PORT.");
    std::string host = listen.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    const auto port = WholeNumber(listen.substr(colon + 1), 0, 65535);
    if (!port) return Fail("The port must be a number from 0 to 65535.");

    const std::size_t allowed = ConnectionsTheSystemAllows();
    if (limits.maxConnections > allowed) {
        if (connectionsGiven)
            std::cerr << "ampvane-server: the system allows " << allowed << " open connections; --max-connections "
                      << limits.maxConnections << " is lowered to that.\n";
        limits.maxConnections = allowed;
    }
    ::signal(SIGPIPE, SIG_IGN);

    ampvane::server::ExchangeService exchange(*store, service);
    ampvane::server::HttpServer server(exchange, limits);
    const std::optional<int> bound = server.Listen(host, static_cast<int>(*port), error);
    if (!bound) return Fail(error);
    std::cout << "Listening on " << (host.find(':') != std::string::npos ? "[" + host + "]" : host) << ":" << *bound
              << std::endl;
    server.StopOnSignals();
    server.Run();
    // Queued contributions are committed before the store closes.
    exchange.Close();
    return 0;
}
