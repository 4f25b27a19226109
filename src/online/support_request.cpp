// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/support_request.h"

#include <sys/utsname.h>

#include <cstdlib>
#include <filesystem>

#include "common/file_write.h"
#include "common/numeric_text.h"
#include "common/text_escape.h"

namespace ampvane {

namespace {

Message Box(MessageKind kind, std::string text, bool help) {
    Message message;
    message.kind = kind;
    message.text = std::move(text);
    message.buttons = help ? OkButton | HelpButton : OkButton;
    message.helpTopic = help ? kSupportHelpTopic : 0;
    return message;
}

void RemoveQuietly(const std::string& file) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
}

} // namespace

SystemVersion CurrentSystemVersion() {
    SystemVersion version;
    utsname name{};
    if (::uname(&name) != 0) return version;
    int* parts[] = {&version.major, &version.minor, &version.build};
    const char* p = name.release;
    for (int* part : parts) {
        while (*p && (*p < '0' || *p > '9')) ++p;
        if (!*p) break;
        char* end = nullptr;
        *part = static_cast<int>(std::strtol(p, &end, 10));
        p = end;
    }
    return version;
}

std::string SupportRequestBody(const SupportRequest& request) {
    const std::string message = request.message + "\r\n\r\nVer " + std::string(kProgramVersion) + "\r\nWin " +
                                std::to_string(request.system.major) + "." + std::to_string(request.system.minor) +
                                "." + std::to_string(request.system.build);
    std::string body = "e=" + UrlEncode(request.from) + "&s=" + UrlEncode(request.subject) + "&m=" + UrlEncode(message);
    if (request.attachProject) body += "&p=" + UrlEncode(request.projectText);
    return body + "\r\n";
}

bool SupportRequestComplete(std::string_view from, std::string_view subject, std::string_view message) {
    return !TrimText(from).empty() && !TrimText(subject).empty() && !TrimText(message).empty();
}

bool SupportAnswerAccepted(std::string_view body) {
    return body.find("Error") == std::string_view::npos && body.find("error") == std::string_view::npos;
}

bool PlausibleEmailAddress(std::string_view address) {
    const std::string_view trimmed = TrimText(address);
    const std::size_t at = trimmed.find('@');
    if (at == 0 || at == std::string_view::npos || trimmed.find('@', at + 1) != std::string_view::npos) return false;
    if (trimmed.find_first_of(" \t\r\n,;<>") != std::string_view::npos) return false;
    const std::string_view domain = trimmed.substr(at + 1);
    const std::size_t dot = domain.find('.');
    return dot != std::string_view::npos && dot > 0 && domain.back() != '.' && domain.find("..") == std::string_view::npos;
}

std::string NoEmailAddressMessage(std::string_view from) {
    return "\"" + std::string(TrimText(from)) +
           "\" is not an e-mail address. Please type the address technical support should answer, such as "
           "name@example.com.";
}

SupportOutcome SendSupportRequest(OnlineContext& context, const SupportRequest& request) {
    if (!PlausibleEmailAddress(request.from)) {
        context.messages->Report(Box(MessageKind::Error, NoEmailAddressMessage(request.from), true));
        return SupportOutcome::NotSent;
    }
    const std::optional<ServerAddress> configured = ServerToUse(context, kSupportHelpTopic);
    if (!configured) return SupportOutcome::NotSent;
    const ServerAddress& server = *configured;
    if (!context.folder || !context.folder->Valid()) {
        context.messages->Report(Box(MessageKind::Error,
                                     "Ampvane was unable to establish a connection with your computer's Internet "
                                     "communications software. Therefore, Ampvane cannot send your message to "
                                     "support. Please use your regular e-mail program to send your message to " +
                                         std::string(kSupportAddress) + ".",
                                     true));
        return SupportOutcome::NoClient;
    }
    const std::string bodyFile = context.folder->File("Support.txt");
    const std::string headerFile = context.folder->File("SupportHead.txt");
    if (const std::string error = WriteFileAtomically(bodyFile, SupportRequestBody(request)); !error.empty()) {
        context.messages->Report(Box(MessageKind::Error, error, true));
        return SupportOutcome::NotSent;
    }
    TransferStatusTexts status(*context.view, TransferPurpose::Support, server.Authority(), {});
    HttpRequest http;
    http.post = true;
    http.server = server;
    http.target = "/support.cgi";
    http.proxy = EffectiveProxy(context.settings);
    http.postBodyFile = bodyFile;
    http.headerFile = headerFile;
    status.Starting();
    const HttpResult result = PerformHttp(http, context.limits, status);
    RemoveQuietly(bodyFile);
    RemoveQuietly(headerFile);
    if (!result.success) {
        context.messages->Report(Box(MessageKind::Error,
                                     WithCause("Ampvane was unable to transmit your message to " + SiteUrl(server) +
                                                   ". The site may be temporarily unavailable, your computer might "
                                                   "not be connected to the Internet, or a firewall may be blocking "
                                                   "Ampvane from accessing the Internet.",
                                               result),
                                     true));
        return SupportOutcome::NotSent;
    }
    const bool accepted = SupportAnswerAccepted(result.body);
    status.Completed(accepted ? "Message sent successfully." : "Message sending failed.");
    if (accepted) {
        context.messages->Report(Box(MessageKind::Information, result.body, false));
        return SupportOutcome::Accepted;
    }
    context.messages->Report(Box(MessageKind::Error, result.body, true));
    return SupportOutcome::Refused;
}

} // namespace ampvane
