// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/http_client.h"

#include <curl/curl.h>
#include <sys/socket.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "common/file_write.h"
#include "common/shared_library.h"

namespace ampvane {

namespace {

// The network library is loaded at the first transfer, not with the program: together with the libraries it
// needs (TLS, directory, Kerberos, ...) it costs most of the program's start, and most runs never go online.
// The header still gives the types and constants; the functions are called through this table.
#define AMPVANE_CURL_FUNCTIONS(X)                                                                   \
    X(global_init) X(easy_init) X(easy_cleanup) X(easy_setopt) X(easy_getinfo) X(easy_strerror)     \
    X(multi_init) X(multi_cleanup) X(multi_add_handle) X(multi_remove_handle) X(multi_perform)      \
    X(multi_poll) X(multi_info_read) X(slist_append) X(slist_free_all)

struct CurlLibrary {
#define AMPVANE_CURL_POINTER(name) decltype(&::curl_##name) name = nullptr;
    AMPVANE_CURL_FUNCTIONS(AMPVANE_CURL_POINTER)
#undef AMPVANE_CURL_POINTER
    std::string problem; // why no transfer can be made; empty once loaded and started
};

CurlLibrary LoadCurlLibrary(const std::string& file) {
    CurlLibrary library;
#define AMPVANE_CURL_SYMBOL(name) {"curl_" #name, reinterpret_cast<void**>(&library.name)},
    std::string reason = OpenSharedLibrary(file, {AMPVANE_CURL_FUNCTIONS(AMPVANE_CURL_SYMBOL)});
#undef AMPVANE_CURL_SYMBOL
    if (reason.empty() && library.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) reason = "curl_global_init failed";
    if (!reason.empty())
        library.problem = "The network library \"" + file + "\" could not be loaded (" + reason +
                          "); nothing can be sent or fetched until it is installed.";
    return library;
}

// Each library file is loaded once, on its first transfer, whichever thread asks first.
const CurlLibrary& LoadedCurlLibrary(std::string_view file) {
    static std::mutex mutex;
    static std::map<std::string, CurlLibrary, std::less<>> loaded;
    const std::lock_guard lock(mutex);
    auto found = loaded.find(file);
    if (found == loaded.end()) found = loaded.emplace(std::string(file), LoadCurlLibrary(std::string(file))).first;
    return found->second;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

std::string_view TrimLine(std::string_view text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    return text;
}

struct FileCloser {
    void operator()(std::FILE* file) const {
        if (file) std::fclose(file);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// State of one hop (one request and its answer).
struct Hop {
    const CurlLibrary* library = nullptr;
    CURL* curl = nullptr;
    HttpObserver* observer = nullptr;
    const HttpLimits* limits = nullptr;
    std::FILE* body = nullptr; // null: memory
    std::string* memory = nullptr;
    std::FILE* header = nullptr;
    long status = 0;
    std::string location;
    std::int64_t received = 0;
    bool tooLarge = false;
    bool writeFailed = false;
    bool connectedAnnounced = false;
    bool resolvedAnnounced = false;

    void AnnounceConnected() {
        if (connectedAnnounced) return;
        AnnounceResolved();
        connectedAnnounced = true;
        observer->OnHttpEvent({HttpEventKind::Connected, 0, -1, {}});
    }
    void AnnounceResolved() {
        if (resolvedAnnounced) return;
        resolvedAnnounced = true;
        observer->OnHttpEvent({HttpEventKind::Resolved, 0, -1, {}});
    }
    bool Keeps() const { return status >= 200 && status < 299; }
};

std::size_t HeaderCallback(char* data, std::size_t size, std::size_t count, void* user) {
    Hop& hop = *static_cast<Hop*>(user);
    const std::size_t bytes = size * count;
    hop.AnnounceConnected();
    const std::string_view line(data, bytes);
    if (StartsWithNoCase(line, "HTTP/")) {
        // A new answer (an interim one or the final one) starts: forget the previous one's fields.
        hop.location.clear();
        const std::size_t blank = line.find(' ');
        hop.status = blank == std::string_view::npos ? 0 : std::atol(std::string(line.substr(blank + 1, 3)).c_str());
    } else if (StartsWithNoCase(line, "Location:")) {
        hop.location = std::string(TrimLine(line.substr(9)));
    } else if (StartsWithNoCase(line, "Content-Length:")) {
        const long long length = std::atoll(std::string(TrimLine(line.substr(15))).c_str());
        if (length > hop.limits->maxBody && hop.status >= 200 && hop.status < 299) {
            hop.tooLarge = true;
            return 0;
        }
    }
    if (hop.header && std::fwrite(data, 1, bytes, hop.header) != bytes) {
        hop.writeFailed = true;
        return 0;
    }
    return bytes;
}

std::size_t BodyCallback(char* data, std::size_t size, std::size_t count, void* user) {
    Hop& hop = *static_cast<Hop*>(user);
    const std::size_t bytes = size * count;
    if (!hop.Keeps()) return bytes; // a redirect's or an error's body is not kept
    if (hop.received + static_cast<std::int64_t>(bytes) > hop.limits->maxBody) {
        hop.tooLarge = true;
        return 0;
    }
    if (hop.body) {
        if (std::fwrite(data, 1, bytes, hop.body) != bytes) {
            hop.writeFailed = true;
            return 0;
        }
    } else {
        hop.memory->append(data, bytes);
    }
    hop.received += static_cast<std::int64_t>(bytes);
    curl_off_t total = -1;
    hop.library->easy_getinfo(hop.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &total);
    hop.observer->OnHttpEvent({HttpEventKind::Packet, hop.received, static_cast<std::int64_t>(total), {}});
    return bytes;
}

curl_socket_t OpenSocketCallback(void* user, curlsocktype, curl_sockaddr* address) {
    static_cast<Hop*>(user)->AnnounceResolved();
    return ::socket(address->family, address->socktype, address->protocol);
}

struct CurlList {
    const CurlLibrary& library;
    curl_slist* list = nullptr;
    void Add(const std::string& line) { list = library.slist_append(list, line.c_str()); }
    ~CurlList() { library.slist_free_all(list); }
};

bool IsConnectFailure(CURLcode code) {
    return code == CURLE_COULDNT_RESOLVE_HOST || code == CURLE_COULDNT_RESOLVE_PROXY ||
           code == CURLE_COULDNT_CONNECT || code == CURLE_OPERATION_TIMEDOUT;
}

struct HopOutcome {
    CURLcode code = CURLE_OK;
    bool cancelled = false;
    bool pastDeadline = false;
};

using Clock = std::chrono::steady_clock;

// The cause of a final status that is not a success, and whether trying again can help.
std::string StatusCause(long status) {
    const std::string code = " (status " + std::to_string(status) + ")";
    if (status == 413)
        return "The server refused the request as too large" + code + "; sending it again will not help.";
    if (status == 429 || status == 503)
        return "The server is busy" + code + "; trying again in a few minutes may help.";
    if (status >= 500) return "The server failed to answer" + code + "; trying again later may help.";
    if (status == 404) return "The server does not offer this address" + code + "; trying again will not help.";
    return "The server answered with status " + std::to_string(status) + ".";
}

// The cause of a failed connection or transfer in the user's words; `detail` is the library's own.
std::string CurlCause(CURLcode code, bool connected, const HttpLimits& limits, const std::string& detail) {
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return "The server's name could not be looked up; check the Internet connection and the name.";
    case CURLE_COULDNT_RESOLVE_PROXY:
        return "The proxy's name could not be looked up; check the proxy settings.";
    case CURLE_COULDNT_CONNECT:
        return "The server did not accept a connection; trying again later may help.";
    case CURLE_OPERATION_TIMEDOUT:
        if (!connected)
            return "The server did not answer within " + std::to_string(limits.connectTimeout.count()) +
                   " s; trying again later may help.";
        return "The server sent less than " + std::to_string(limits.minimumRate) + " bytes a second for " +
               std::to_string(limits.silenceTimeout.count()) + " s; trying again later may help.";
    default: return "The transfer failed: " + detail + ".";
    }
}

HopOutcome RunHop(const HttpRequest& request, const ServerAddress& server, const std::string& target,
                  const std::string& postData, const HttpLimits& limits, HttpObserver& observer, Hop& hop,
                  char* errorBuffer, Clock::time_point deadline) {
    const CurlLibrary& library = *hop.library;
    std::unique_ptr<CURL, decltype(library.easy_cleanup)> curl(library.easy_init(), library.easy_cleanup);
    if (!curl) return {CURLE_FAILED_INIT, false};
    CURL* c = curl.get();
    hop.curl = c;
    const std::string url = SiteUrl(server) + target;
    library.easy_setopt(c, CURLOPT_URL, url.c_str());
    library.easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http");
    library.easy_setopt(c, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
    library.easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    library.easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
    library.easy_setopt(c, CURLOPT_ERRORBUFFER, errorBuffer);
    library.easy_setopt(c, CURLOPT_CONNECTTIMEOUT, static_cast<long>(limits.connectTimeout.count()));
    library.easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, limits.minimumRate);
    library.easy_setopt(c, CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits.silenceTimeout.count()));
    library.easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBody));
    library.easy_setopt(c, CURLOPT_HEADERFUNCTION, &HeaderCallback);
    library.easy_setopt(c, CURLOPT_HEADERDATA, &hop);
    library.easy_setopt(c, CURLOPT_WRITEFUNCTION, &BodyCallback);
    library.easy_setopt(c, CURLOPT_WRITEDATA, &hop);
    library.easy_setopt(c, CURLOPT_OPENSOCKETFUNCTION, &OpenSocketCallback);
    library.easy_setopt(c, CURLOPT_OPENSOCKETDATA, &hop);
    // Settings of the user's environment (proxy variables) must not redirect the transfer.
    library.easy_setopt(c, CURLOPT_PROXY, "");
    if (request.proxy) {
        const std::string proxy = "http://" + request.proxy->host + ":" + std::to_string(request.proxy->port);
        library.easy_setopt(c, CURLOPT_PROXY, proxy.c_str());
    }

    CurlList headers{library};
    headers.Add("Host: " + server.Authority());
    headers.Add("Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff");
    headers.Add("Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript");
    headers.Add("From: " + std::string(kProgramName));
    headers.Add("Content-type: application/x-www-form-urlencoded");
    if (request.proxy) headers.Add("Proxy-Connection: Keep-Alive");
    library.easy_setopt(c, CURLOPT_HTTPHEADER, headers.list);
    if (request.post) {
        library.easy_setopt(c, CURLOPT_POST, 1L);
        library.easy_setopt(c, CURLOPT_POSTFIELDS, postData.data());
        library.easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(postData.size()));
    }

    std::unique_ptr<CURLM, decltype(library.multi_cleanup)> multi(library.multi_init(), library.multi_cleanup);
    if (!multi) return {CURLE_FAILED_INIT, false};
    library.multi_add_handle(multi.get(), c);
    HopOutcome outcome;
    for (;;) {
        int running = 0;
        library.multi_perform(multi.get(), &running);
        if (!hop.connectedAnnounced) {
            curl_off_t connectTime = 0;
            library.easy_getinfo(c, CURLINFO_CONNECT_TIME_T, &connectTime);
            if (connectTime > 0) hop.AnnounceConnected();
        }
        if (running == 0) break;
        if (observer.Poll()) {
            outcome.cancelled = true;
            break;
        }
        if (Clock::now() >= deadline) {
            outcome.pastDeadline = true;
            break;
        }
        library.multi_poll(multi.get(), nullptr, 0, 50, nullptr);
    }
    if (!outcome.cancelled && !outcome.pastDeadline) {
        int left = 0;
        while (CURLMsg* message = library.multi_info_read(multi.get(), &left))
            if (message->msg == CURLMSG_DONE) outcome.code = message->data.result;
    }
    library.multi_remove_handle(multi.get(), c);
    return outcome;
}

} // namespace

bool ResolveRedirect(std::string_view location, ServerAddress& server, std::string& target) {
    location = TrimLine(location);
    if (location.empty()) return false;
    if (StartsWithNoCase(location, "http://")) {
        const std::string_view rest = location.substr(7);
        const std::size_t slash = rest.find('/');
        const std::string_view authority = rest.substr(0, slash);
        if (authority.empty() || authority.find('@') != std::string_view::npos) return false;
        const std::optional<ServerAddress> next = ParseServerAddress(authority);
        if (!next) return false;
        server = *next;
        target = slash == std::string_view::npos ? "/" : std::string(rest.substr(slash));
        return true;
    }
    if (location.find("://") != std::string_view::npos) return false; // another scheme
    if (location.front() == '/') {
        if (location.size() > 1 && location[1] == '/') return false; // scheme-relative: not followed
        target = std::string(location);
        return true;
    }
    if (location.find('/') == std::string_view::npos) {
        target = "/" + std::string(location);
        return true;
    }
    const std::string path = target.substr(0, target.find('?'));
    target = path.substr(0, path.rfind('/') + 1) + std::string(location);
    return true;
}

HttpResult PerformHttp(const HttpRequest& request, const HttpLimits& limits, HttpObserver& observer,
                       std::string_view networkLibrary) {
    HttpResult result;
    auto fail = [&](std::string error) {
        result.error = std::move(error);
        observer.OnHttpEvent({HttpEventKind::Failed, 0, -1, result.error});
        return result;
    };
    // Before any file is opened: without the library nothing is fetched, so nothing may be touched.
    const CurlLibrary& library = LoadedCurlLibrary(networkLibrary);
    if (!library.problem.empty()) return fail(library.problem);
    std::string postData;
    if (request.post && !ReadWholeFile(request.postBodyFile, postData))
        return fail("The request file \"" + request.postBodyFile + "\" could not be read.");
    ServerAddress server = request.server;
    std::string target = request.target;
    const Clock::time_point deadline = Clock::now() + limits.deadline;
    FilePtr header;
    if (!request.headerFile.empty()) header.reset(std::fopen(request.headerFile.c_str(), "wb"));

    auto removeBody = [&] {
        if (!request.bodyFile.empty()) {
            std::error_code ignored;
            std::filesystem::remove(request.bodyFile, ignored);
        }
    };
    for (int redirects = 0;; ++redirects) {
        FilePtr body;
        if (!request.bodyFile.empty()) {
            body.reset(std::fopen(request.bodyFile.c_str(), "wb"));
            if (!body) return fail("The file \"" + request.bodyFile + "\" could not be opened for writing.");
        }
        result.body.clear();
        Hop hop;
        hop.library = &library;
        hop.observer = &observer;
        hop.limits = &limits;
        hop.body = body.get();
        hop.memory = &result.body;
        hop.header = header.get();
        char errorBuffer[CURL_ERROR_SIZE] = {};
        const HopOutcome outcome =
            RunHop(request, server, target, postData, limits, observer, hop, errorBuffer, deadline);
        const bool closedWell = !body || std::fclose(body.release()) == 0;
        result.status = hop.status;
        result.target = target;
        if (outcome.cancelled) {
            result.cancelled = true;
            result.error = "The transfer was cancelled.";
        } else if (outcome.pastDeadline) {
            result.error = "The transfer did not finish within its time limit of " +
                           std::to_string(limits.deadline.count()) +
                           " s; trying again later or over a faster connection may help.";
        } else if (hop.tooLarge) {
            result.error = "The answer is larger than " + std::to_string(limits.maxBody >> 20) +
                           " MiB, more than Ampvane accepts; trying again will not help.";
        } else if (hop.writeFailed || !closedWell) {
            result.error = "The answer could not be written to \"" +
                           (request.bodyFile.empty() ? request.headerFile : request.bodyFile) + "\".";
        } else if (outcome.code != CURLE_OK) {
            result.error = CurlCause(outcome.code, hop.connectedAnnounced, limits,
                                     errorBuffer[0] ? errorBuffer : library.easy_strerror(outcome.code));
            if (IsConnectFailure(outcome.code) && !hop.connectedAnnounced)
                observer.OnHttpEvent({HttpEventKind::ConnectFailed, 0, -1, result.error});
        } else if (hop.status >= 300 && hop.status <= 302 && !hop.location.empty()) {
            const ServerAddress from = server;
            if (redirects >= limits.maxRedirects) {
                result.error = "The server redirected the request more than " + std::to_string(limits.maxRedirects) +
                               " times; trying again will not help.";
            } else if (!ResolveRedirect(hop.location, server, target)) {
                result.error = "The redirect to \"" + hop.location + "\" cannot be followed.";
            } else if (request.post && !(server == from)) {
                result.error = "The server redirected the message to another host (" + server.Authority() +
                               "); it was not sent there.";
            } else {
                continue;
            }
        } else if (hop.Keeps()) {
            result.success = true;
            observer.OnHttpEvent({HttpEventKind::Completed, hop.received, hop.received, {}});
            return result;
        } else {
            result.error = StatusCause(hop.status);
        }
        removeBody();
        result.body.clear();
        return fail(std::move(result.error));
    }
}

} // namespace ampvane
