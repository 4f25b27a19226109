// SPDX-License-Identifier: GPL-3.0-or-later
// Transfers against a misbehaving server and against our own exchange server.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "common/file_write.h"
#include "data/comp_data_module.h"
#include "data/name_lookup.h"
#include "data/table_text.h"
#include "data/table_test_support.h"
#include "online/contribution.h"
#include "online/http_client.h"
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
                                "the Internet, or a firewall may be blocking Ampvane from accessing the Internet.\n\n"
                                "The server does not offer this address (status 404); trying again will not help.";
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
    UpdateFromServer(client.context, 1, 912, [&](const std::string&, const TableImportOptions&) { imported = true; });
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
    EXPECT_NE(Fetch(client, "/loop").error.find("more than 10 times"), std::string::npos);
    client.view.cancelAfterPolls = 2;
    const HttpResult cancelled = Fetch(client, "/drip", client.folder.File("d.upd"));
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(FilesIn(client.folder), 0u);

    // The user's Cancel of an update or of contributed data is no failure to report (any message fails).
    hostile.Answer("/data/send.cgi", "/drip");
    hostile.Answer("/data/dump.cgi", "/drip");
    bool imported = false;
    client.view.cancelAfterPolls = 2;
    UpdateFromServer(client.context, 1, 912, [&](const std::string&, const TableImportOptions&) { imported = true; });
    client.view.cancelAfterPolls = 2;
    EXPECT_FALSE(DownloadContributed(client.context, client.folder.File("c.ctb"), "Motor", 94, 30, 1));
    EXPECT_FALSE(imported);
    EXPECT_FALSE(std::filesystem::exists(client.folder.File("motor.upd")));
    EXPECT_FALSE(std::filesystem::exists(client.folder.File("c.ctb")));
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

TEST(HostileAnswers, WithoutTheNetworkLibraryEveryTransferSaysWhyAndTouchesNoFile) {
    struct FailureLog final : HttpObserver {
        void OnHttpEvent(const HttpEvent& event) override {
            if (event.kind == HttpEventKind::Failed) failures.push_back(event.detail);
        }
        std::vector<std::string> failures;
    };
    // A library that is not there, and one that is there but is not the network library.
    for (const auto& [library, reason] : {std::pair{"libampvane-absent.so.9", "cannot open shared object file"},
                                          std::pair{"libm.so.6", "undefined symbol: curl_global_init"}}) {
        testing::TempDir dir;
        HttpRequest request;
        request.server = ParseServerAddress("127.0.0.1:9").value();
        request.target = "/x";
        request.bodyFile = dir.file("motor.upd");
        request.headerFile = dir.file("header.txt");
        for (const std::string& file : {request.bodyFile, request.headerFile}) WriteFileAtomically(file, "kept");
        FailureLog observer;
        for (int attempt = 0; attempt < 2; ++attempt) { // the second attempt answers from the kept outcome
            const HttpResult result = PerformHttp(request, HttpLimits{}, observer, library);
            EXPECT_FALSE(result.success);
            EXPECT_EQ(result.error.rfind("The network library \"" + std::string(library) + "\" could not be loaded (", 0), 0u)
                << result.error;
            EXPECT_NE(result.error.find(reason), std::string::npos) << result.error;
            EXPECT_EQ(observer.failures.back(), result.error);
        }
        EXPECT_EQ(testing::FolderContents(dir.path()),
                  (std::map<std::string, std::string>{{"header.txt", "kept"}, {"motor.upd", "kept"}}));
    }
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
    UpdateFromServer(client.context, 1, 912, [&](const std::string& file, const TableImportOptions& options) {
        EXPECT_EQ(options.table, ComponentTableKind::Motor);
        EXPECT_EQ(options.source, ImportSource::ExchangeUpdate);
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
    const TableImporter import = [&](const std::string& file, const TableImportOptions& options) {
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

// A user's data folder: the tables with one motor, a configuration and a value list.
struct UserData {
    UserData() {
        testing::MakeEmptyTables(path);
        WriteFileAtomically(path + "/Ampvane.ini", "server exchange.ampvane.org\r\nemail me@example.org\r\n");
        WriteFileAtomically(path + "/GearboxEff.lst", "Belt|95\r\n");
        tables.OpenComponentTables();
        WriteFileAtomically(dir.file("motor.txt"), "Begin Ampvane8 Motor Table\r\nMOTORNAME\tMOTORSTANT\tWEIGHT\r\n"
                                                   "Speedy 400\t1500\t3.5\r\nEnd Ampvane8 Motor Table\r\n");
        ImportTableText(tables, dir.file("motor.txt"), {}, quiet);
    }
    testing::TempDir dir;
    std::string path = dir.file("data");
    NullMessageSink quiet;
    TCompDataModule tables{{path, ""}, quiet};
};

enum class Operation { Update, Contributed, Support };

// What the program does for each operation, with the importer the desktop and the terminal bind.
void Perform(Operation operation, Client& client, UserData& data) {
    const TableImporter import = [&](const std::string& file, const TableImportOptions& options) {
        ImportTableText(data.tables, file, options, client.messages);
    };
    if (operation == Operation::Update) {
        UpdateFromServer(client.context, 1, 912, import);
    } else if (operation == Operation::Contributed) {
        const std::string list = client.folder.File("motor.ctb");
        if (!DownloadContributed(client.context, list, "Motor", 94, 0, 1)) return;
        std::string text;
        ReadWholeFile(list, text);
        const std::vector<std::string> lines = SplitContributedLines(text);
        std::vector<ContributedEntry> entries = ContributedEntries(lines);
        for (ContributedEntry& entry : entries) entry.ticked = true;
        WriteFileAtomically(client.folder.File("contrib.tmp"), ContributedImportSection("Motor", ApplyTicks(lines, entries)));
        TableImportOptions options;
        options.alwaysReport = true;
        options.source = ImportSource::ExchangeContributed;
        import(client.folder.File("contrib.tmp"), options);
    } else {
        SendSupportRequest(client.context, {"me@example.org", "Hi", "Test", false, {}, {6, 1, 0}});
    }
}

// A hostile server (or anyone on the plain-HTTP path) tries each trick; the user's data folder stays
// byte for byte as it was, and the message says what really happened after the usual text.
TEST(ExchangeUnderAttack, DataFolderStaysAsItWas) {
    HostileServer hostile;
    HostileServer elsewhere; // another host a redirect may point to
    const std::string site = "http://" + hostile.Address();
    const std::string update = "Ampvane was unable to download updated data from " + site +
                               ". The site may be temporarily unavailable, your computer might not be connected to "
                               "the Internet, or a firewall may be blocking Ampvane from accessing the Internet.\n\n";
    const std::string contributed = "Ampvane was unable to download contributed data from " + site +
                                    ". The site may be temporarily unavailable, or your computer might not be "
                                    "connected to the Internet.\n\n";
    const std::string support = "Ampvane was unable to transmit your message to " + site +
                                ". The site may be temporarily unavailable, your computer might not be connected to "
                                "the Internet, or a firewall may be blocking Ampvane from accessing the Internet.\n\n";
    const std::string ok = "HTTP/1.0 200 OK\r\n\r\n";
    const std::string motorBlock = "Begin Ampvane8 Motor Table\r\nMOTORNAME\tMOTORSTANT\tWEIGHT\r\nSpeedy 400\t1500\t3.5\r\n";
    const std::string skipped = "\" were skipped: the exchange may deliver only the value lists, the tips and the notes.";
    struct Case {
        std::string name;
        Operation operation;
        std::string server; // the configured "server" value; empty: the hostile one
        int deadline;       // seconds
        std::string path;   // the request path the server misbehaves on
        std::string answer; // raw, or a behaviour's path
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"file blocks outside the allow-list", Operation::Update, "", 120, "/data/send.cgi",
         ok + motorBlock + "End Ampvane8 Motor Table\r\nBegin Ampvane8 File Ampvane.ini\r\nserver evil.example\r\n"
                           "End Ampvane8 File \r\nBegin Ampvane8 File +MOTOR8.DBF\r\nx\r\nEnd Ampvane8 File \r\n"
                           "Begin Ampvane8 File $../GearboxEff.lst\r\nx\r\nEnd Ampvane8 File \r\n",
         {"There was no new data to revise or add to the Ampvane database.\n\nThe lines for the file \"Ampvane.ini" +
          skipped + "\nThe lines for the file \"MOTOR8.DBF" + skipped + "\nThe lines for the file \"../GearboxEff.lst" +
          skipped}},
        {"a table block cut off", Operation::Update, "", 120, "/data/send.cgi", ok + motorBlock + "Trunc Motor B\t12",
         {"No Ampvane Motor data was found in the import file. No Motors were imported.\n\nThe Motor table section "
          "ends without its End line (the transfer was cut off), so none of it was imported."}},
        {"a list block cut off", Operation::Update, "", 120, "/data/send.cgi",
         ok + motorBlock + "End Ampvane8 Motor Table\r\nBegin Ampvane8 File GearboxEff.lst\r\nBel",
         {"There was no new data to revise or add to the Ampvane database.\n\nThe lines for the file "
          "\"GearboxEff.lst\" end without their End line (the transfer was cut off), so the file was left as it "
          "was."}},
        {"a contributed list cut off", Operation::Contributed, "", 120, "/data/dump.cgi",
         ok + "F\tMOTORNAME\tMOTORSTANT\r\nN\tTrunc Motor B\t12",
         {contributed + "The list ends in the middle of a line: it was cut off on the way, and nothing of it was kept. "
                        "Trying again may help."}},
        {"contributed lines posing as frame lines", Operation::Contributed, "", 120, "/data/dump.cgi",
         // Hidden ticked lines (too few columns to be listed) and a listed one named like a frame line.
         ok + "F\tMOTORNAME\tMOTORSTANT\tWEIGHT\r\nY\tEnd Ampvane8 Motor Table\r\nY\tBegin Ampvane8 File "
              "Ampvane.ini\r\nY\tserver evil.example\r\nY\tEnd Ampvane8 File \r\nY\tHidden Motor\t1\r\n"
              "N\tEnd Ampvane8 Motor Table\t\t\td\tJo\t4\r\nN\tSpeedy 400\t1500\t3.5\td\tJo\t5\r\n",
         {"There was no new data to revise or add to the Ampvane database."}},
        {"a trickle", Operation::Update, "", 1, "/data/send.cgi", "/trickle",
         {update + "The transfer did not finish within its time limit of 1 s; trying again later or over a faster "
                   "connection may help."}},
        {"a mistyped server", Operation::Update, "my club.example.org", 120, "", "",
         {"The value of \"server\" in Ampvane.ini is wrong. The exchange server \"my club.example.org\" is not a valid "
          "host name, optionally followed by a colon and a port number from 1 to 65535. Nothing was sent."}},
        {"a server with two ports", Operation::Support, "127.0.0.1:80:80", 120, "", "",
         {"The value of \"server\" in Ampvane.ini is wrong. The exchange server \"127.0.0.1:80:80\" is not a valid "
          "host name, optionally followed by a colon and a port number from 1 to 65535. Nothing was sent."}},
        {"a message redirected to another host", Operation::Support, "", 120, "/support.cgi",
         "HTTP/1.0 302 Found\r\nLocation: http://localhost:" + std::to_string(elsewhere.Port()) + "/support.cgi\r\n\r\n",
         {support + "The server redirected the message to another host (localhost:" + std::to_string(elsewhere.Port()) +
          "); it was not sent there."}},
        {"a message too large", Operation::Support, "", 120, "/support.cgi", "HTTP/1.0 413 Payload Too Large\r\n\r\n",
         {support + "The server refused the request as too large (status 413); sending it again will not help."}},
        {"endless redirects", Operation::Update, "", 120, "/data/send.cgi", "/loop",
         {update + "The server redirected the request more than 10 times; trying again will not help."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.path.empty()) hostile.Answer(c.path, c.answer);
        UserData data;
        const auto before = testing::FolderContents(data.path);
        Client client(c.server.empty() ? hostile.Address() : c.server);
        client.context.limits.silenceTimeout = std::chrono::seconds(30);
        client.context.limits.deadline = std::chrono::seconds(c.deadline);
        for (const std::string& message : c.messages) client.messages.Expect(message);
        const int requests = hostile.Requests();
        Perform(c.operation, client, data);
        EXPECT_EQ(testing::FolderContents(data.path), before);
        if (!c.server.empty()) {
            EXPECT_EQ(hostile.Requests(), requests); // nothing sent
        }
    }
    EXPECT_EQ(elsewhere.Requests(), 0);
}

// What the exchange may still do: a message redirected on its own host is delivered, the list asks for
// only as many lines as it shows, and a contributor's empty fields leave the user's values alone.
TEST(ExchangeUnderAttack, SameHostRedirectsListLimitAndEmptyContributedValues) {
    HostileServer hostile;
    hostile.Answer("/support.cgi", "HTTP/1.0 302 Found\r\nLocation: /thanks\r\n\r\n");
    hostile.Answer("/thanks", "HTTP/1.0 200 OK\r\n\r\nThank you.");
    hostile.Answer("/data/dump.cgi", "HTTP/1.0 200 OK\r\n\r\nF\tMOTORNAME\tMOTORSTANT\tWEIGHT\tBRUSHLESS\r\n"
                                     "N\tSpeedy 400\t\t4.5\t\t2026-12-01\tJo\t7\r\n");
    UserData data;
    Client client(hostile.Address());
    client.messages.Expect("Thank you.");
    Perform(Operation::Support, client, data);
    EXPECT_TRUE(hostile.LastRequest().starts_with("POST /thanks HTTP/1.0\r\n")) << hostile.LastRequest();

    client.messages.Expect("Import/Update Results\n\nThe following is a summary of the changes made to the Ampvane "
                           "database:\n\nMotors: 0 new, 1 revised.");
    Perform(Operation::Contributed, client, data);
    EXPECT_TRUE(hostile.LastRequest().starts_with("GET /data/dump.cgi?table=1&recent=0&ver=809&max=1000 HTTP/1.0"))
        << hostile.LastRequest();
    DbfTable& motors = *data.tables.MotorTable();
    ASSERT_TRUE(FindComponentByName(motors, "Speedy 400"));
    EXPECT_EQ(motors.Number("MOTORSTANT"), 1500); // left empty by the contributor: kept
    EXPECT_EQ(motors.Number("WEIGHT"), 4.5);
}

} // namespace
} // namespace ampvane
