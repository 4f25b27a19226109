// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "online/web_update.h"

// A message to technical support, posted with the program and system versions and, when asked, the
// current project.

namespace ampvane {

struct SystemVersion {
    int major = 0, minor = 0, build = 0;
};

// The running system's version (the kernel release's first three numbers).
SystemVersion CurrentSystemVersion();

struct SupportRequest {
    std::string from;
    std::string subject;
    std::string message;
    bool attachProject = false;
    std::string projectText;
    SystemVersion system;
};

// The posted body: e=..&s=..&m=..[&p=..] and a final CR LF, every value percent-encoded.
std::string SupportRequestBody(const SupportRequest& request);

// The Send button is enabled exactly when all three texts hold more than blanks.
bool SupportRequestComplete(std::string_view from, std::string_view subject, std::string_view message);

// An address support can answer to: one "@" with text before it and a domain after it that holds a dot
// between its parts, no blanks (surrounding blanks are trimmed).
bool PlausibleEmailAddress(std::string_view address);
// The message for a From text that is no such address.
std::string NoEmailAddressMessage(std::string_view from);

// An answer is accepted unless it contains "Error" or "error" anywhere.
bool SupportAnswerAccepted(std::string_view body);

enum class SupportOutcome {
    NoClient,    // the window stays open
    NotSent,     // the transfer failed; the window stays open
    Refused,     // the server's answer holds an error; the window stays open
    Accepted,    // the window closes
};

// Refuses a From text that is no e-mail address (NotSent, the message shown); writes "Support.txt" in
// the transfer folder, posts it to "/support.cgi", deletes the request and
// header files and reports the outcome with the support window's boxes (help topic 57).
SupportOutcome SendSupportRequest(OnlineContext& context, const SupportRequest& request);

inline constexpr int kSupportHelpTopic = 57;

} // namespace ampvane
