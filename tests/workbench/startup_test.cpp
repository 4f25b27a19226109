// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/startup.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "data/name_lookup.h"
#include "support/recording_messages.h"
#include "support/test_paths.h"

namespace ampvane {
namespace {

namespace fs = std::filesystem;
using testing::RecordingMessages;
using testing::TempDir;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The sequence with every hook recording that it ran.
struct Startup {
    TempDir data;
    TempDir work;
    Settings settings;
    RecordingMessages messages;
    std::vector<std::string> ran;
    bool importSucceeds = true;
    std::string imported;
    StartupHooks hooks;

    Startup() {
        const auto step = [this](const char* name) { return [this, name] { ran.push_back(name); }; };
        hooks.carryOver = step("carry-over");
        hooks.loadStartupProject = step("project");
        hooks.updateAll = step("update");
        hooks.showTip = step("tip");
        hooks.showWizard = step("wizard");
        hooks.importTableText = [this](const fs::path& file) {
            ran.push_back("import");
            imported = ReadFile(file);
            return importSucceeds;
        };
        hooks.exportAllTables = [this](const fs::path& file) {
            ran.push_back("export " + file.string());
            return std::ofstream(file).good();
        };
    }
    ConfigurationFiles Files() const { return ConfigurationFilesFor(data.path(), work.path() / "Ampvane"); }
    StartupResult Run(std::vector<std::string> arguments = {}) {
        return RunStartUpSequence(settings, Files(), data.path(), arguments, NumberLocale{}, messages, messages,
                                  hooks);
    }
    fs::path File(std::string_view name) const { return data.path() / std::string(name); }
};

TEST(StartUp, VersionDecidesFirstStartCarryOverAndUpdateOffer) {
    struct Case {
        const char* file; // configuration text; nullptr: none
        std::vector<std::string> steps;
    };
    const Case cases[] = {
        {nullptr, {"project", "update", "tip", "wizard"}},
        {"version 8.09\r\nnotip\r\n", {"project", "wizard"}},
        {"version 7.05\r\nnowizard\r\n", {"carry-over", "project", "update", "tip"}},
        {"version 8\r\n", {"project", "update", "tip", "wizard"}},          // no "." counts as a first start
        {"\x01\xFF garbage\r\nlasttip x\r\n", {"project", "update", "tip", "wizard"}}, // damaged
    };
    for (const Case& c : cases) {
        Startup s;
        s.messages.AllowAny();
        if (c.file) std::ofstream(s.File("Ampvane.ini"), std::ios::binary) << c.file;
        const StartupResult result = s.Run();
        EXPECT_EQ(s.ran, c.steps) << (c.file ? c.file : "no file");
        EXPECT_FALSE(result.exitRequested);
        // After a first start the file carries this version.
        EXPECT_NE(ReadFile(s.File("Ampvane.ini")).find("version 8.09\r\n"), std::string::npos);
    }
    {
        // The offer is a question of its own; No downloads nothing.
        Startup s;
        s.messages.ExpectQuestion(std::string(kUpdateOfferQuestion), NoButtonAnswer);
        s.Run();
        EXPECT_EQ(s.ran, (std::vector<std::string>{"project", "tip", "wizard"}));
        ASSERT_EQ(s.messages.messages().size(), 1u);
        EXPECT_EQ(s.messages.messages()[0].buttons, YesButton | NoButtonAnswer | HelpButton);
        EXPECT_EQ(s.messages.messages()[0].helpTopic, kUpdateOfferHelpTopic);
    }
    EXPECT_EQ(MajorVersionOf("7.05"), 7);
    EXPECT_EQ(MajorVersionOf("x.1"), 0);
    EXPECT_EQ(MajorVersionOf(".5"), 0);
}

TEST(StartUp, AutomaticUpdateFileIsDeletedOnlyAfterACleanImport) {
    {
        Startup s;
        std::ofstream(s.File("avautoup.txt")) << "records";
        std::ofstream(s.File("Ampvane.ini")) << "version 8.09\r\n";
        s.Run();
        EXPECT_EQ(s.imported, "records");
        EXPECT_FALSE(fs::exists(s.File("avautoup.txt")));
    }
    {
        // A failed import keeps the file as avautoup.failed, replacing an older one.
        Startup s;
        s.importSucceeds = false;
        std::ofstream(s.File("avautoup.txt")) << "half";
        std::ofstream(s.File("avautoup.failed")) << "old";
        std::ofstream(s.File("Ampvane.ini")) << "version 8.09\r\n";
        s.messages.Expect(AutoUpdateFailedMessage(s.File("avautoup.failed")));
        s.Run();
        EXPECT_FALSE(fs::exists(s.File("avautoup.txt")));
        EXPECT_EQ(ReadFile(s.File("avautoup.failed")), "half");
        EXPECT_EQ(s.ran, (std::vector<std::string>{"project", "import", "tip", "wizard"}));
    }
    {
        // When it cannot be renamed (here: a folder is in the way) it stays, is reported, and start-up goes on.
        Startup s;
        s.importSucceeds = false;
        std::ofstream(s.File("avautoup.txt")) << "half";
        fs::create_directories(s.File("avautoup.failed") / "inside");
        std::ofstream(s.File("Ampvane.ini")) << "version 8.09\r\n";
        s.messages.AllowAny();
        s.Run();
        EXPECT_EQ(ReadFile(s.File("avautoup.txt")), "half");
        ASSERT_EQ(s.messages.messages().size(), 1u);
        EXPECT_NE(s.messages.messages()[0].text.find("could not be renamed"), std::string::npos);
        EXPECT_EQ(s.ran.back(), "wizard");
    }
    {
        // Without an import the file is left alone.
        Startup s;
        s.hooks.importTableText = nullptr;
        std::ofstream(s.File("avautoup.txt")) << "kept";
        std::ofstream(s.File("Ampvane.ini")) << "version 8.09\r\n";
        s.Run();
        EXPECT_TRUE(fs::exists(s.File("avautoup.txt")));
    }
}

TEST(StartUp, TableHooksMergeTheUpdateFileAndExportEveryTable) {
    TempDir data;
    RecordingMessages messages;
    TCompDataModule tables({data.path().string(), std::string(AMPVANE_BINARY_DIR) + "/app/Initial"}, messages);
    tables.OpenComponentTables();
    StartupHooks hooks;
    UseTableHooks(hooks, tables, NumberLocale{}, messages);
    const fs::path update = data.path() / "avautoup.txt";
    const auto motorBlock = [](const std::string& name) {
        return "Begin Ampvane8 Motor Table\r\nMOTORNAME\tMOTORSTANT\tIDLECRRENT\tARMATTANCE\tWEIGHT\r\n" + name +
               "\t1100\t1.5\t0.05\t6.5\r\nEnd Ampvane8 Motor Table\r\n";
    };
    const auto holds = [&](const std::string& name) {
        return FindComponentByName(*tables.Table(ComponentTableKind::Motor), name);
    };

    // A clean import: the summary, the record, the file gone.
    std::ofstream(update, std::ios::binary) << motorBlock("Startup Motor One");
    messages.AllowAny();
    ImportAutoUpdateFile(data.path(), messages, hooks);
    EXPECT_TRUE(holds("Startup Motor One"));
    EXPECT_FALSE(fs::exists(update));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].kind, MessageKind::Information);
    EXPECT_EQ(messages.messages()[0].helpTopic, kAutoUpdateHelpTopic);

    // Failing half-way (a block whose columns are not tab delimited): what came before stays, the
    // file is kept as avautoup.failed and the user told so.
    const std::string half = motorBlock("Startup Motor Two") + "Begin Ampvane8 Cell Table\r\nCELLNAME CAPACITY\r\n";
    std::ofstream(update, std::ios::binary) << half;
    ImportAutoUpdateFile(data.path(), messages, hooks);
    EXPECT_TRUE(holds("Startup Motor Two"));
    EXPECT_TRUE(holds("Startup Motor One"));
    EXPECT_FALSE(fs::exists(update));
    EXPECT_EQ(ReadFile(data.path() / "avautoup.failed"), half);
    EXPECT_EQ(messages.messages().back().text, AutoUpdateFailedMessage(data.path() / "avautoup.failed"));

    // "export FILE": every table into one file; a file that cannot be made is refused.
    const fs::path out = data.path() / "all.txt";
    ASSERT_TRUE(hooks.exportAllTables(out));
    const std::string exported = ReadFile(out);
    for (const char* block : {"Begin Ampvane8 Motor Table", "Begin Ampvane8 Project Table", "\r\nStartup Motor Two\t"})
        EXPECT_NE(exported.find(block), std::string::npos) << block;
    EXPECT_FALSE(hooks.exportAllTables(data.path() / "no" / "such" / "all.txt"));
}

TEST(StartUp, CommandLineExportAndExit) {
    Startup s;
    std::ofstream(s.File("Ampvane.ini")) << "version 8.09\r\n";
    const fs::path out = s.data.path() / "out.txt";
    const StartupResult result = s.Run({"export", out.string(), "exit"});
    EXPECT_TRUE(result.exitRequested);
    EXPECT_TRUE(fs::exists(out));
    EXPECT_EQ(s.ran, (std::vector<std::string>{"project", "export " + out.string()})); // no tip or wizard after exit

    RecordingMessages messages;
    messages.Expect("Error processing command line parameter: export");
    EXPECT_FALSE(ProcessCommandLine({"export"}, messages, s.hooks));
    const std::string missing = (s.data.path() / "no" / "such" / "out.txt").string();
    messages.Expect("Error processing command line parameter: export")
        .Expect("Error processing command line parameter: " + missing)
        .Expect("Error processing command line parameter: Exit");
    EXPECT_FALSE(ProcessCommandLine({"export", missing, "Exit"}, messages, s.hooks));
}

TEST(StartUp, WorkingFolderIsCreatedAndEntered) {
    TempDir documents;
    const fs::path before = fs::current_path();
    EXPECT_TRUE(EnterWorkingFolder(documents.path()));
    EXPECT_EQ(fs::current_path(), fs::canonical(documents.path() / "Ampvane"));
    fs::current_path(before);
}

} // namespace
} // namespace ampvane
