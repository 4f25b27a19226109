// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/messages.h"
#include "data/table_text.h"
#include "online/http_client.h"
#include "online/transfer_folder.h"

// Downloads from the exchange server: new and revised components for one table or all, and the lists
// of contributed components. The status window's texts are produced here; a window (or the terminal)
// shows them through TransferView.

namespace ampvane {

// What a status window does for a transfer. The desktop binds TWebStatusForm, the terminal prints
// the lines, tests record them.
class TransferView {
public:
    virtual ~TransferView() = default;
    virtual void ShowStatus(std::string_view caption) = 0;
    virtual void HideStatus() = 0;
    // resetBar: the progress bar goes back to 0 (every text but the packet and success texts).
    virtual void SetStatusText(std::string_view text, bool resetBar) = 0;
    // The bar's range and position; maximum -1 leaves the range as it is, position -2 sets the bar to
    // its maximum.
    virtual void SetProgress(std::int64_t position, std::int64_t maximum) = 0;
    // Lets pending window events run; true when the user asked to cancel.
    virtual bool Poll() { return false; }
};

// A view that shows nothing (the terminal, tests that check only the outcome); `cancel`, when given,
// is asked whether to stop (the terminal's interruption).
class SilentTransferView final : public TransferView {
public:
    explicit SilentTransferView(bool (*cancel)() = nullptr) : cancel_(cancel) {}
    void ShowStatus(std::string_view) override {}
    void HideStatus() override {}
    void SetStatusText(std::string_view, bool) override {}
    void SetProgress(std::int64_t, std::int64_t) override {}
    bool Poll() override { return cancel_ && cancel_(); }

private:
    bool (*cancel_)();
};

// Imports a table text file into the tables with the given rules (the caller adds the user's decimal
// separator). The online operations set the table, the help topic and how far the file is trusted.
using TableImporter = std::function<void(const std::string& file, const TableImportOptions& options)>;

// Everything an online operation needs from its caller.
struct OnlineContext {
    ExchangeSettings settings;
    TransferFolder* folder = nullptr; // where transfer files live; null or invalid: no client
    MessageSink* messages = nullptr;
    TransferView* view = nullptr;
    HttpLimits limits;
};

// Kind name and key of a table 0..7, or "component" and "all" for none.
std::string UpdateKindName(std::optional<int> table);
std::string UpdateKey(std::optional<int> table);

// The request path and query of a table update: "/data/send.cgi?data=KEY&ver=809".
std::string UpdateTarget(std::optional<int> table);
// How many contributed components of a table the list shows at most: the newest ones.
inline constexpr int kContributedLinesShown = 1000;

// "/data/dump.cgi?table=N&recent=30|0&ver=809&max=N": the server answers at most the `max` newest
// lines (a server that does not know the key ignores it).
std::string ContributedTarget(int tableNumber, int days);

// The server to talk to, or nothing after an error box that names the configuration's "server" value
// (nothing is then sent anywhere).
std::optional<ServerAddress> ServerToUse(OnlineContext& context, int helpTopic);

// A failure box's text: the generic text, then what really went wrong.
std::string WithCause(std::string generic, const HttpResult& result);

// Downloads the update file (key + ".upd" in the transfer folder). Returns its path, or empty after
// the error box.
std::string DownloadUpdate(OnlineContext& context, std::optional<int> table, int helpTopic);

// The whole update: download, import with the summary always shown, delete the file.
void UpdateFromServer(OnlineContext& context, std::optional<int> table, int helpTopic, const TableImporter& import);

// Downloads the contributed components of a table (1..7) into `file`; nothing is imported. False
// after the error box.
bool DownloadContributed(OnlineContext& context, const std::string& file, std::string_view kindName, int helpTopic,
                         int days, int tableNumber);

// The texts of one transfer's status window, by what the transfer does.
enum class TransferPurpose { Download, Contribution, Support };

// Turns the client's events into the status window's texts.
class TransferStatusTexts final : public HttpObserver {
public:
    TransferStatusTexts(TransferView& view, TransferPurpose purpose, std::string host, std::string kindName);
    void OnHttpEvent(const HttpEvent& event) override;
    bool Poll() override { return view_.Poll(); }
    // "Looking up host ..." before the request starts.
    void Starting();
    // The text after a completed transfer (a contribution's and a support request's depend on the answer).
    void Completed(std::string_view text);

private:
    TransferView& view_;
    TransferPurpose purpose_;
    std::string host_;
    std::string kindName_;
    bool firstPacket_ = true;
};

} // namespace ampvane
