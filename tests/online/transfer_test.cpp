// SPDX-License-Identifier: GPL-3.0-or-later
// Transfers against a misbehaving server and against our own exchange server.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/file_write.h"
#include "data/comp_data_module.h"
#include "data/name_lookup.h"
#include "data/table_text.h"
#include "data/table_test_support.h"
#include "online/contribution.h"
#include "online/support_request.h"
#include "online/test_servers.h"
#include "online/web_update.h"
#include "support/recording_messages.h"
#include "support/test_paths.h"

namespace ampvane {
namespace {

using testing::ExchangeServerProcess;
using testing::HostileServer;
using testing::RecordingMessages;

class RecordingView final : public TransferView {
public:
    void ShowStatus(std::string_view caption) override { log.push_back("show " + std::string(caption)); }
    void HideStatus() override { log.push_back("hide"); }
    void SetStatusText(std::string_view text, bool) override { log.push_back(std::string(text)); }
    void SetProgress(std::int64_t, std::int64_t) override {}
    bool Poll() override { return cancelAfterPolls >= 0 && polls++ >= cancelAfterPolls; }
    bool Saw(std::string_view text) const { return std::find(log.begin(), log.end(), text) != log.end(); }
    std::vector<std::string> log;
    int cancelAfterPolls = -1;
    int polls = 0;
};

std::size_t FilesIn(const TransferFolder& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path())) ++count;
    return count;
}

struct Client {
    explicit Client(std::string server) {
        context.settings.server = std::move(server);
        context.folder = &folder;
        context.messages = &messages;
        context.view = &view;
        context.limits.silenceTimeout = std::chrono::seconds(1);
    }
    TransferFolder folder;
    RecordingMessages messages;
    RecordingView view;
    OnlineContext context;
};

HttpResult Fetch(Client& client, const std::string& target, const std::string& file = {}) {
    HttpRequest request;
    request.server = ServerOf(client.context.settings);
    request.target = target;
    request.proxy = EffectiveProxy(client.context.settings);
    request.bodyFile = file;
    TransferStatusTexts status(client.view, TransferPurpose::Download, request.server.Authority(), "Motor");
    return PerformHttp(request, client.context.limits, status);
}

TEST(TransferFolderTest, PrivateAndRemoved) {
    std::string path;
    {
        TransferFolder folder;
        ASSERT_TRUE(folder.Valid());
        path = folder.Path();
        EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
                  std::filesystem::perms::owner_all);
        std::ofstream(folder.File("x.upd")) << "x";
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(HostileAnswers, EachFailsWithTheDownloadMessageAndLeavesNoFile) {
    HostileServer hostile;
    const std::string message = "Ampvane was unable to download updated data from http://" + hostile.Address() +
                                ". The site may be temporarily unavailable, your computer might not be connected to "
                                "the Internet, or a firewall may be blocking Ampvane from accessing the Internet.";
    for (const char* path : {"/loop", "/huge", "/endless", "/drip", "/garbage", "/half", "/missing"}) {
        Client client(hostile.Address());
        client.context.limits.maxBody = std::string_view(path) == "/endless" ? 1 << 20 : client.context.limits.maxBody;
        const std::string file = client.folder.File("motor.upd");
        const HttpResult result = Fetch(client, path, file);
        EXPECT_FALSE(result.success) << path;
        EXPECT_FALSE(result.error.empty()) << path;
        EXPECT_EQ(FilesIn(client.folder), 0u) << path;
    }
    // Through the whole operation: the download box, nothing handed to the importer, no file left.
    Client client(hostile.Address());
    client.messages.Expect(message);
    bool imported = false;
    UpdateFromServer(client.context, 1, 912, [&](const std::string&, std::optional<int>, int) { imported = true; });
    EXPECT_FALSE(imported);
    EXPECT_FALSE(std::filesystem::exists(client.folder.File("motor.upd")));
}

TEST(HostileAnswers, RedirectsAreFollowedAndBoundedAndCancelStops) {
    HostileServer hostile;
    Client client(hostile.Address());
    HttpResult moved = Fetch(client, "/moved");
    EXPECT_TRUE(moved.success);
    EXPECT_EQ(moved.body, "hello");
    EXPECT_EQ(moved.target, "/file.txt");
    EXPECT_NE(Fetch(client, "/loop").error.find("More than 10 redirects"), std::string::npos);
    client.view.cancelAfterPolls = 2;
    const HttpResult cancelled = Fetch(client, "/drip", client.folder.File("d.upd"));
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(FilesIn(client.folder), 0u);
}

TEST(HostileAnswers, RequestLinesAndHeaderFieldsAsSent) {
    HostileServer hostile;
    Client direct(hostile.Address());
    direct.messages.AllowAny();
    UpdateFromServer(direct.context, std::nullopt, 911, {});
    const std::string request = hostile.LastRequest();
    EXPECT_TRUE(request.starts_with("GET /data/send.cgi?data=all&ver=809 HTTP/1.0\r\n")) << request;
    for (const char* line : {"\r\nHost: ", "\r\nAccept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n",
                             "\r\nAccept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n",
                             "\r\nFrom: Ampvane\r\n", "\r\nContent-type: application/x-www-form-urlencoded\r\n"})
        EXPECT_NE(request.find(line), std::string::npos) << line;
    EXPECT_EQ(request.find("User-Agent"), std::string::npos);
    EXPECT_TRUE(direct.view.Saw("Looking up host " + hostile.Address() + " ..."));
    EXPECT_TRUE(direct.view.Saw("Connected to " + hostile.Address() + ". Preparing to download ..."));

    // Through a proxy the request line carries the absolute address.
    Client proxied("exchange.invalid");
    proxied.context.settings.proxyHost = "127.0.0.1";
    proxied.context.settings.proxyPort = std::to_string(hostile.Port());
    proxied.messages.AllowAny();
    UpdateFromServer(proxied.context, 5, 912, {});
    EXPECT_TRUE(hostile.LastRequest().starts_with("GET http://exchange.invalid/data/send.cgi?data=fan&ver=809 HTTP/1.0\r\n"))
        << hostile.LastRequest();
    EXPECT_NE(hostile.LastRequest().find("Proxy-Connection: Keep-Alive"), std::string::npos);
}

TEST(HostileAnswers, RefusedConnectionSaysSo) {
    int port = 0;
    {
        HostileServer closed; // takes a free port, then gives it back
        port = closed.Port();
    }
    Client client("127.0.0.1:" + std::to_string(port));
    client.messages.AllowAny();
    EXPECT_FALSE(Fetch(client, "/x").success);
    EXPECT_TRUE(client.view.Saw("Failed to connect to 127.0.0.1:" + std::to_string(port) + ". Giving up."));
}

std::string WriteCatalogue(const testing::TempDir& dir) {
    const std::string file = dir.file("catalogue.txt");
    WriteFileAtomically(file, "Begin Ampvane8 Motor Table\r\nMOTORNAME\tMOTORSTANT\tWEIGHT\r\n"
                              "Speedy 400\t1500\t3.5\r\nAstro 15\t800\t12\r\nEnd Ampvane8 Motor Table\r\n"
                              "Begin Ampvane8 Cell Table\r\nCELLNAME\tCAPACITY\r\nSub-C 2400\t2400\r\n"
                              "End Ampvane8 Cell Table\r\n");
    return file;
}

TEST(ExchangeServer, UpdateContributeBrowseAndSupport) {
    testing::TempDir dir;
    ExchangeServerProcess server(WriteCatalogue(dir));
    Client client(server.Address());

    // Update: the downloaded file holds the catalogue's block exactly, and is gone afterwards.
    std::string downloaded;
    UpdateFromServer(client.context, 1, 912, [&](const std::string& file, std::optional<int> table, int) {
        EXPECT_EQ(table, 1);
        ReadWholeFile(file, downloaded);
    });
    EXPECT_EQ(downloaded, "Begin Ampvane8 Motor Table\r\nMOTORNAME\tMOTORSTANT\tWEIGHT\r\nAstro 15\t800\t12\r\n"
                          "Speedy 400\t1500\t3.5\r\nEnd Ampvane8 Motor Table\r\n");
    EXPECT_TRUE(client.view.Saw("Importing updated Motor data ..."));
    EXPECT_EQ(FilesIn(client.folder), 1u); // only Head.txt

    // Two contributions: the first refused (bad checksum) stops before the second.
    WorkbenchFields fields;
    fields.SetText(WorkbenchControl::MotorNameEdit, "Test <b>1</b>");
    fields.SetText(WorkbenchControl::MotorConstantEdit, "1000");
    RequestPairs pairs = ContributionPairs(fields, 100, "Jo's \"club\"", "", {});
    std::string forged = ContributionTarget(pairs);
    forged.replace(forged.find("crc="), 4, "crc=1");
    client.messages.Expect("The checksum does not match the data.");
    EXPECT_FALSE(SendContribution(client.context, forged, "Motor", 92, 2, 1));
    client.messages.Expect("Thank you for contributing the Motor \"Test <b>1</b>\" to the Ampvane data exchange.");
    EXPECT_TRUE(SendContribution(client.context, ContributionTarget(pairs), "Motor", 92, 1, 1));
    EXPECT_TRUE(client.view.Saw("Sent Motor data."));

    // Browse: the contribution comes back as a list line of the motor table.
    const std::string list = client.folder.File("motor.ctb");
    ASSERT_TRUE(DownloadContributed(client.context, list, "Motor", 94, 30, 1));
    std::string text;
    ReadWholeFile(list, text);
    const std::vector<ContributedEntry> entries = ContributedEntries(SplitContributedLines(text));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "Test <b>1</b>");
    EXPECT_EQ(entries[0].contributor, "Jo's \"club\"");
    EXPECT_TRUE(text.starts_with("F\tMOTORNAME\tMOTORSTANT\t")) << text;

    // Support: accepted and stored; a blank subject is refused with an error the window shows.
    SupportRequest request{"me@example.org", "Hi", "Test", true, "project text", {6, 1, 0}};
    client.messages.Expect("Thank you. Your message has reached Ampvane technical support.");
    EXPECT_EQ(SendSupportRequest(client.context, request), SupportOutcome::Accepted);
    request.subject = "  ";
    client.messages.Expect("Error: The sender, the subject and the message must not be empty.");
    EXPECT_EQ(SendSupportRequest(client.context, request), SupportOutcome::Refused);
    EXPECT_EQ(FilesIn(client.folder), 2u); // Head.txt and motor.ctb; the request files are gone
}

TEST(ExchangeServer, UpdatedRecordsArriveInTheTablesAsTheCatalogueHoldsThem) {
    testing::TempDir dir;
    ExchangeServerProcess server(WriteCatalogue(dir));
    const std::string data = dir.file("data");
    testing::MakeEmptyTables(data);
    RecordingMessages tableMessages;
    TCompDataModule tables({data, ""}, tableMessages);
    tables.OpenComponentTables();
    Client client(server.Address());
    const TableImporter import = [&](const std::string& file, std::optional<int> table, int helpTopic) {
        TableImportOptions options;
        if (table) options.table = static_cast<ComponentTableKind>(*table);
        options.alwaysReport = true;
        options.helpTopic = helpTopic;
        ImportTableText(tables, file, options, client.messages);
    };
    client.messages.Expect("Import/Update Results\n\nThe following is a summary of the changes made to the Ampvane "
                           "database:\n\nMotors: 2 new, 0 revised.\nCells: 1 new, 0 revised.");
    UpdateFromServer(client.context, std::nullopt, 911, import);
    DbfTable& motors = *tables.MotorTable();
    ASSERT_TRUE(FindComponentByName(motors, "Speedy 400"));
    EXPECT_EQ(motors.Number("MOTORSTANT"), 1500);
    EXPECT_EQ(motors.Number("WEIGHT"), 3.5);
    ASSERT_TRUE(FindComponentByName(*tables.CellTable(), "Sub-C 2400"));
    EXPECT_EQ(tables.CellTable()->Number("CAPACITY"), 2400);
    // The same revision again changes nothing.
    client.messages.Expect("There was no new data to revise or add to the Ampvane database.");
    UpdateFromServer(client.context, 1, 912, import);
}

} // namespace
} // namespace ampvane
