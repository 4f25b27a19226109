// SPDX-License-Identifier: GPL-3.0-or-later
// ampvane-server: the exchange server for component updates, contributions and support requests.

#include <httplib.h>
#include <signal.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>

#include "common/file_write.h"
#include "common/licence.h"
#include "server/exchange_protocol.h"
#include "server/exchange_service.h"
#include "server/exchange_store.h"

namespace {

constexpr const char* kUsage =
    "Usage:\n"
    "  ampvane-server --data DIR --listen HOST:PORT [--catalogue FILE] [--rate N]\n"
    "  ampvane-server [--data DIR] catalogue import FILE\n"
    "  ampvane-server --version\n"
    "DIR holds the database; PORT 0 picks a free port. FILE is a table text export. --rate bounds the\n"
    "contributions and support requests of one client address per minute.\n";

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

} // namespace

int main(int argc, char** argv) {
    std::string data = ".";
    std::string listen;
    std::string catalogue;
    std::string importFile;
    int rate = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--data" && hasValue) data = argv[++i];
        else if (argument == "--listen" && hasValue) listen = argv[++i];
        else if (argument == "--catalogue" && hasValue) catalogue = argv[++i];
        else if (argument == "--rate" && hasValue) {
            const std::string text = argv[++i];
            char* end = nullptr;
            const long value = std::strtol(text.c_str(), &end, 10);
            if (text.empty() || *end || value < 0 || value > 1000000) return Fail("--rate takes a whole number.");
            rate = static_cast<int>(value);
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
    const std::string portText = listen.substr(colon + 1);
    char* end = nullptr;
    const long port = std::strtol(portText.c_str(), &end, 10);
    if (portText.empty() || *end || port < 0 || port > 65535) return Fail("The port must be a number from 0 to 65535.");

    // Termination requests are taken by a thread of their own, which stops the server cleanly.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    httplib::Server server;
    ampvane::server::RateLimiter limiter(rate);
    ampvane::server::InstallRoutes(server, *store, limiter, {});
    const int bound = port == 0 ? server.bind_to_any_port(host) : (server.bind_to_port(host, static_cast<int>(port)) ? static_cast<int>(port) : -1);
    if (bound < 0) return Fail("Cannot listen on " + listen + ".");
    std::cout << "Listening on " << (host.find(':') != std::string::npos ? "[" + host + "]" : host) << ":" << bound
              << std::endl;
    std::thread stopper([&server, signals] {
        int signal = 0;
        sigwait(&signals, &signal);
        server.stop();
    });
    const bool ok = server.listen_after_bind();
    pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
    return ok ? 0 : 1;
}
