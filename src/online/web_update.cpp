// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/web_update.h"

#include <filesystem>

#include "common/file_write.h"
#include "data/table_catalogue.h"

namespace ampvane {

namespace {

constexpr std::string_view kUpdateCaption = "Ampvane Web Update Status";
constexpr std::string_view kContributedCaption = "Contributed Data Download Status";

bool HasClient(const OnlineContext& context) { return context.folder && context.folder->Valid(); }

void RemoveQuietly(const std::string& file) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
}

Message ErrorBox(std::string text, int helpTopic) {
    Message message = ErrorMessage(std::move(text));
    message.buttons = OkButton | HelpButton;
    message.helpTopic = helpTopic;
    return message;
}

// One download into `file` with the status window's texts; the window is shown by the caller.
HttpResult Download(OnlineContext& context, const ServerAddress& server, std::string target, const std::string& file,
                    std::string_view kindName) {
    TransferStatusTexts status(*context.view, TransferPurpose::Download, server.Authority(), std::string(kindName));
    HttpRequest request;
    request.server = server;
    request.target = std::move(target);
    request.proxy = EffectiveProxy(context.settings);
    request.bodyFile = file;
    request.headerFile = context.folder->File("Head.txt");
    status.Starting();
    return PerformHttp(request, context.limits, status);
}

// A list whose last line has no line end was cut off on the way: its last component would be
// imported with half its values.
bool EndsCutOff(const std::string& file) {
    std::string text;
    return ReadWholeFile(file, text) && !text.empty() && text.back() != '\n';
}

} // namespace

std::string UpdateKindName(std::optional<int> table) {
    return table && TableInfoOf(*table) ? std::string(TableInfoOf(*table)->typeName) : "component";
}

std::string UpdateKey(std::optional<int> table) {
    return table && TableInfoOf(*table) ? std::string(TableInfoOf(*table)->key) : "all";
}

std::string UpdateTarget(std::optional<int> table) {
    return "/data/send.cgi?data=" + UpdateKey(table) + "&ver=" + std::string(kClientVersion);
}

std::string ContributedTarget(int tableNumber, int days) {
    return "/data/dump.cgi?table=" + std::to_string(tableNumber) + "&recent=" + std::to_string(days) +
           "&ver=" + std::string(kClientVersion) + "&max=" + std::to_string(kContributedLinesShown);
}

std::optional<ServerAddress> ServerToUse(OnlineContext& context, int helpTopic) {
    if (std::optional<ServerAddress> server = ParseServerAddress(context.settings.server)) return server;
    context.messages->Report(ErrorBox("The value of \"server\" in Ampvane.ini is wrong. " +
                                          InvalidServerMessage(context.settings.server) + " Nothing was sent.",
                                      helpTopic));
    return std::nullopt;
}

std::string WithCause(std::string generic, const HttpResult& result) {
    if (!result.error.empty()) generic += "\n\n" + result.error;
    return generic;
}

std::string DownloadUpdate(OnlineContext& context, std::optional<int> table, int helpTopic) {
    const std::optional<ServerAddress> server = ServerToUse(context, helpTopic);
    if (!server) return {};
    const std::string site = SiteUrl(*server);
    const std::string kindName = UpdateKindName(table);
    const std::string key = UpdateKey(table);
    context.view->ShowStatus(kUpdateCaption);
    std::string result;
    if (HasClient(context)) {
        const std::string file = context.folder->File(key + ".upd");
        const HttpResult transfer = Download(context, *server, UpdateTarget(table), file, kindName);
        if (transfer.success)
            result = file;
        else if (!transfer.cancelled) // the user's own Cancel needs no message
            context.messages->Report(ErrorBox(
                WithCause("Ampvane was unable to download updated data from " + site +
                              ". The site may be temporarily unavailable, your computer might not be connected to "
                              "the Internet, or a firewall may be blocking Ampvane from accessing the Internet.",
                          transfer),
                helpTopic));
    } else {
        context.messages->Report(ErrorBox(
            "Ampvane was unable to establish a connection with your computer's Internet communications software. "
            "Therefore, Ampvane is not able to download updated data directly from the Ampvane web site. You can "
            "obtain updated data by visiting " +
                site + "/data/" + key +
                ".html with a web browser, saving the web page to a file, and then using the Import... button to "
                "import the file.",
            helpTopic));
    }
    context.view->HideStatus();
    return result;
}

void UpdateFromServer(OnlineContext& context, std::optional<int> table, int helpTopic, const TableImporter& import) {
    const std::string file = DownloadUpdate(context, table, helpTopic);
    if (file.empty()) return;
    if (import) {
        TableImportOptions options;
        if (table) options.table = static_cast<ComponentTableKind>(*table);
        options.alwaysReport = true;
        options.helpTopic = helpTopic;
        options.source = ImportSource::ExchangeUpdate;
        import(file, options);
    }
    RemoveQuietly(file);
}

bool DownloadContributed(OnlineContext& context, const std::string& file, std::string_view kindName, int helpTopic,
                         int days, int tableNumber) {
    const std::optional<ServerAddress> server = ServerToUse(context, helpTopic);
    if (!server) return false;
    const std::string site = SiteUrl(*server);
    context.view->ShowStatus(kContributedCaption);
    bool downloaded = false;
    if (HasClient(context)) {
        HttpResult transfer = Download(context, *server, ContributedTarget(tableNumber, days), file, kindName);
        if (transfer.success && EndsCutOff(file)) {
            RemoveQuietly(file);
            transfer.success = false;
            transfer.error = "The list ends in the middle of a line: it was cut off on the way, and nothing of it "
                             "was kept. Trying again may help.";
        }
        downloaded = transfer.success;
        if (!downloaded && !transfer.cancelled)
            context.messages->Report(
                ErrorBox(WithCause("Ampvane was unable to download contributed data from " + site +
                                       ". The site may be temporarily unavailable, or your computer might not be "
                                       "connected to the Internet.",
                                   transfer),
                         helpTopic));
    } else {
        context.messages->Report(ErrorBox(
            "Ampvane was unable to establish a connection with your computer's Internet communications software. "
            "Therefore, Ampvane is not able to download contributed data from the Ampvane web site at this time. "
            "You can view the contributed data by visiting " +
                site + "/data/contrib.html with a web browser.",
            helpTopic));
    }
    context.view->HideStatus();
    return downloaded;
}

TransferStatusTexts::TransferStatusTexts(TransferView& view, TransferPurpose purpose, std::string host,
                                         std::string kindName)
    : view_(view), purpose_(purpose), host_(std::move(host)), kindName_(std::move(kindName)) {
    if (purpose_ == TransferPurpose::Download) view_.SetStatusText("Establishing Internet connection...", true);
}

void TransferStatusTexts::Starting() { view_.SetStatusText("Looking up host " + host_ + " ...", true); }

void TransferStatusTexts::Completed(std::string_view text) {
    view_.SetStatusText(text, false);
}

void TransferStatusTexts::OnHttpEvent(const HttpEvent& event) {
    switch (event.kind) {
    case HttpEventKind::Resolved:
        view_.SetStatusText("Host " + host_ + " resolved. Connecting ...", true);
        break;
    case HttpEventKind::Connected:
        view_.SetStatusText("Connected to " + host_ +
                                (purpose_ == TransferPurpose::Download ? ". Preparing to download ..."
                                                                       : ". Preparing to send ..."),
                            true);
        break;
    case HttpEventKind::ConnectFailed:
        view_.SetStatusText("Failed to connect to " + host_ + ". Giving up.", true);
        break;
    case HttpEventKind::Packet: {
        const std::string received = std::to_string(event.received);
        const std::string total = std::to_string(event.total < 0 ? event.received : event.total);
        if (purpose_ == TransferPurpose::Download)
            view_.SetStatusText("Transferring data from " + host_ + " ... (" + received +
                                    (event.total >= 0 ? " of " + total : std::string()) + " bytes received).",
                                false);
        else if (purpose_ == TransferPurpose::Contribution)
            view_.SetStatusText("Awaiting reply from from " + host_ + " ... (" + received + " of " + total +
                                    " bytes received).",
                                false);
        else
            view_.SetStatusText("Awaiting acknowledgement from from " + host_ + " ...", false);
        if (purpose_ != TransferPurpose::Support) {
            view_.SetProgress(event.received, firstPacket_ ? (event.total < 0 ? 0 : event.total) : -1);
            firstPacket_ = false;
        }
        break;
    }
    case HttpEventKind::Completed:
        if (purpose_ == TransferPurpose::Download) {
            view_.SetStatusText("Importing updated " + kindName_ + " data ...", false);
            view_.SetProgress(-2, -1); // -2: the bar goes to its maximum
        }
        break;
    case HttpEventKind::Failed:
        if (!event.detail.empty()) view_.SetStatusText(event.detail, false);
        break;
    }
}

} // namespace ampvane
