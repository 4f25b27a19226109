// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/table_text.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "common/file_write.h"
#include "data/name_lookup.h"
#include "support/recording_messages.h"
#include "support/command_run.h"
#include "support/test_paths.h"
#include "table_test_support.h"

namespace ampvane {
namespace {

namespace fs = std::filesystem;
using testing::RecordingMessages;
using testing::TempDir;

const TableExportSettings kDot{{'.', ':'}, "2026-12-09 10:00", {}};
const TableExportSettings kComma{{',', ':'}, "09.12.2026 10:00", {}};

// A data folder of empty tables and the module that has them open.
struct Folder {
    explicit Folder(const TempDir& dir, const std::string& name = "data") : path(dir.file(name)) {
        testing::MakeEmptyTables(path);
        module.OpenComponentTables();
    }
    DbfTable& table(ComponentTableKind kind) { return *module.Table(kind); }
    std::string path;
    NullMessageSink quiet;
    TCompDataModule module{{path, ""}, quiet};
};

TableImportOptions Options(std::optional<ComponentTableKind> table = {}, char decimal = '.', bool always = true) {
    TableImportOptions options;
    options.table = table;
    options.alwaysReport = always;
    options.helpTopic = 87;
    options.locale.decimal = decimal;
    return options;
}

// Fills a table with `count` records whose every column holds a value of its kind, names chosen to be
// awkward for text, CSV and HTML alike.
void Fill(DbfTable& table, int count) {
    static const std::string kNames[] = {"<b>&\"x\"", "Ünïcødé € 05", "Comma, and \"quote\"", "Plain"};
    for (int r = 0; r < count; ++r) {
        ASSERT_EQ(table.Insert(), "");
        for (int c = 0; c < static_cast<int>(table.columns().size()); ++c) {
            const DbfColumn& column = table.columns()[static_cast<size_t>(c)];
            std::string error;
            if (c == 0)
                error = table.SetText(0, kNames[r % 4] + " " + std::to_string(r));
            else if (column.type == DbfType::Logical)
                error = table.SetLogical(c, (r + c) % 2 == 0);
            else if (column.type == DbfType::Numeric)
                error = (r + c) % 5 == 0 ? table.SetText(c, "") : table.SetNumber(c, 1.25 * (r % 7) + c + 0.5);
            else
                error = table.SetText(c, std::string("t") + std::to_string(r) + "<&>");
            ASSERT_EQ(error, "") << column.name;
        }
        ASSERT_EQ(table.Post(), "");
    }
}

void ExpectSameRecords(DbfTable& a, DbfTable& b) {
    ASSERT_EQ(a.size(), b.size());
    for (a.First(), b.First(); !a.Eof() && !b.Eof(); a.Next(), b.Next())
        for (int c = 0; c < static_cast<int>(a.columns().size()); ++c)
            EXPECT_EQ(a.Text(c), b.Text(c)) << a.columns()[static_cast<size_t>(c)].name << " of " << a.Name();
}

bool HaveDbfread() { return std::system("/usr/bin/python3 -c 'import dbfread' 2>/dev/null") == 0; }

// Both folders' eight tables hold the same records as python3-dbfread reads them.
void ExpectSameForAnIndependentReader(const TempDir& dir, const std::string& a, const std::string& b) {
    if (!HaveDbfread()) return;
    const std::string script = dir.file("compare.py");
    std::ofstream(script) << "import sys\nfrom dbfread import DBF\n"
                             "def rows(p): return sorted(tuple(sorted((k, str(v)) for k, v in r.items())) "
                             "for r in DBF(p, encoding='cp1252'))\n"
                             "for t in sys.argv[3:]:\n"
                             "    x, y = rows(sys.argv[1] + '/' + t), rows(sys.argv[2] + '/' + t)\n"
                             "    if x != y or not x: print(t, 'differs'); sys.exit(1)\n";
    std::string command = "/usr/bin/python3 " + script + " '" + a + "' '" + b + "'";
    for (ComponentTableKind kind : TableOpeningOrder()) command += " " + std::string(TableInfoOf(kind).file);
    EXPECT_EQ(std::system(command.c_str()), 0);
}

// Every table survives the trip through text and through HTML, in either decimal convention, and an
// independent dBase reader sees the same records in the source and the imported table.
TEST(TableTextRoundTrip, EveryTableThroughTextAndHtml) {
    TempDir dir;
    Folder source(dir, "source");
    for (ComponentTableKind kind : TableOpeningOrder()) Fill(source.table(kind), 9);
    struct Case {
        TableTextFormat format;
        const TableExportSettings* written;
        char readWith;
    };
    const Case cases[] = {{TableTextFormat::Text, &kDot, '.'}, {TableTextFormat::Html, &kDot, '.'},
                          {TableTextFormat::Text, &kComma, '.'}, {TableTextFormat::Text, &kDot, ','},
                          {TableTextFormat::Html, &kComma, ','}};
    int n = 0;
    for (const Case& c : cases) {
        Folder target(dir, "target" + std::to_string(n++));
        for (ComponentTableKind kind : TableOpeningOrder()) {
            const std::string file = dir.file("out.txt");
            ASSERT_TRUE(ExportTable(source.table(kind), kind, file, c.format == TableTextFormat::Html, false, 86,
                                    *c.written, source.quiet));
            const std::string typeName = TypeNameOf(static_cast<int>(kind));
            RecordingMessages messages;
            messages.Expect("Import/Update Results\n\nThe following is a summary of the changes made to the Ampvane "
                            "database:\n\n" + typeName + "s: 9 new, 0 revised.");
            const auto result = ImportTableText(target.module, file, Options(kind, c.readWith), messages);
            EXPECT_FALSE(result.errorReported);
            ExpectSameRecords(source.table(kind), target.table(kind));
        }
        ExpectSameForAnIndependentReader(dir, source.path, target.path);
    }
}

// The shipped tables, exported table by table and imported into empty ones, as text and as HTML.
TEST(TableTextRoundTrip, ShippedTables) {
    const fs::path initial = fs::path(AMPVANE_BINARY_DIR) / "app" / "Initial";
    if (!fs::exists(initial / "MOTOR8.DBF")) GTEST_SKIP() << "the shipped tables are built with the program";
    TempDir dir;
    for (bool html : {false, true}) {
        NullMessageSink quiet;
        TCompDataModule shipped({initial.string(), ""}, quiet);
        shipped.OpenComponentTables();
        Folder target(dir, html ? "html" : "text");
        for (ComponentTableKind kind : TableOpeningOrder()) {
            const std::string file = dir.file("out");
            ASSERT_TRUE(ExportTable(*shipped.Table(kind), kind, file, html, false, 86, kDot, quiet));
            NullMessageSink messages;
            EXPECT_FALSE(ImportTableText(target.module, file, Options(kind), messages).errorReported);
            ExpectSameRecords(*shipped.Table(kind), target.table(kind));
        }
        ExpectSameForAnIndependentReader(dir, initial.string(), target.path);
    }
}

// Where LibreOffice is installed, the CSV export opens as a sheet with every line and value in place.
TEST(TableTextExport, CsvOpensAsASheet) {
    if (!testing::HaveOffice() || !HaveDbfread()) GTEST_SKIP() << "no LibreOffice";
    TempDir dir;
    Folder folder(dir);
    Fill(folder.table(ComponentTableKind::Cell), 6);
    const std::string csv = dir.file("cells.csv");
    ASSERT_TRUE(ExportTable(folder.table(ComponentTableKind::Cell), ComponentTableKind::Cell, csv, false, true, 86,
                            kDot, folder.quiet));
    const auto converted = testing::ConvertWithOffice(dir.path().string(), "ods", {"cells.csv"});
    ASSERT_EQ(converted.status, 0) << converted.out;
    // Lines of the file, and cells per line: every line has as many cells as the table has columns.
    const std::string script = dir.file("count.py");
    std::ofstream(script) << "import sys, zipfile, re\n"
                             "x = zipfile.ZipFile(sys.argv[1]).read('content.xml').decode()\n"
                             "rows = re.findall(r'<table:table-row[^>]*>(.*?)</table:table-row>', x)\n"
                             "texts = re.findall(r'<text:p>([^<]*)</text:p>', x)\n"
                             "print(len(rows), len(texts))\n";
    const std::string count = "/usr/bin/python3 " + script + " '" + dir.file("cells.ods") + "' > '" +
                              dir.file("count.txt") + "'";
    ASSERT_EQ(std::system(count.c_str()), 0);
    std::string counted;
    ReadWholeFile(dir.file("count.txt"), counted);
    // Begin, titles, 6 records, End, 4 trailer lines (two empty); text cells: Begin, 7 titles, the
    // records' non-empty values, End, the two trailer texts.
    std::string text;
    ReadWholeFile(csv, text);
    std::size_t values = 0;
    for (std::size_t at = text.find('"'); at != std::string::npos; at = text.find('"', text.find('"', at + 1) + 1))
        values += text.find('"', at + 1) > at + 1;
    EXPECT_EQ(counted, "13 " + std::to_string(values) + "\n");
}

TEST(TableTextExport, FormatsOfTheMotorTable) {
    TempDir dir;
    Folder folder(dir);
    DbfTable& motors = folder.table(ComponentTableKind::Motor);
    Fill(motors, 2);
    const std::string text = TableExportText(motors, ComponentTableKind::Motor, TableTextFormat::Text, kComma);
    EXPECT_TRUE(text.starts_with("Begin Ampvane8 Motor Table\r\n"
                                 "MOTORNAME\tMOTORSTANT\tIDLECRRENT\tARMATTANCE\tWEIGHT\tBRUSHLESS\tOUTRUNNER\r\n"
                                 "<b>&\"x\" 0\t1,5\t2,5\t3,5\t4,5\t\tYes\r\n"));
    EXPECT_NE(text.find("End Ampvane8 Motor Table\r\n\r\nGenerated by Ampvane 8.09, 09.12.2026 10:00.\r\n\r\n"),
              std::string::npos);

    const std::string csv = TableExportText(motors, ComponentTableKind::Motor, TableTextFormat::Csv, kDot);
    EXPECT_TRUE(csv.starts_with("\"Begin Ampvane8 Motor Table\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"
                                "\"Motor Name\",\"Constant\",\"Current\",\"Resistance\",\"Weight\",\"Brushless\","
                                "\"Out-runner\"\r\n\"<b>&'x' 0\",\"1.5\""));
    EXPECT_NE(csv.find("\"Generated by Ampvane 8.09, 2026-12-09 10:00.\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"),
              std::string::npos);

    const std::string html = TableExportText(motors, ComponentTableKind::Motor, TableTextFormat::Html, kDot);
    EXPECT_NE(html.find("<td align=left nowrap>&nbsp;&lt;b&gt;&amp;&quot;x&quot; 0&nbsp;<br></td>\r\n"
                        "<td>2&nbsp;<br></td>\r\n<td>2.500&nbsp;<br></td>"),
              std::string::npos);
    EXPECT_EQ(html.find("<b>&\"x\" 0</td>"), std::string::npos);
    EXPECT_NE(html.find("<tr align=right valign=top bgcolor=#EEFFEE>"), std::string::npos);
    EXPECT_NE(html.find("<th align=left nowrap>&nbsp;Motor Name&nbsp;<br></th>\r\n<th align=right nowrap>"),
              std::string::npos);
    EXPECT_TRUE(html.ends_with("</body></html>\r\n"));
}

TEST(TableTextExport, CellVoltageDefaultAndHiddenColumnsInHtml) {
    TempDir dir;
    Folder folder(dir);
    DbfTable& cells = folder.table(ComponentTableKind::Cell);
    ASSERT_EQ(cells.Insert(), "");
    cells.SetText(0, "Zero volt");
    ASSERT_EQ(cells.Post(), "");
    const std::string html = TableExportText(cells, ComponentTableKind::Cell, TableTextFormat::Html, kComma);
    EXPECT_NE(html.find("<td>1,20&nbsp;<br></td>"), std::string::npos);
    DbfTable& airframes = folder.table(ComponentTableKind::Airframe);
    const std::string page = TableExportText(airframes, ComponentTableKind::Airframe, TableTextFormat::Html, kDot);
    EXPECT_EQ(page.find("In Diam"), std::string::npos);            // hidden in the page...
    EXPECT_NE(page.find("\tAIRFOLINFO\tDRAGINFO\t"), std::string::npos); // ...but carried in the block
}

TEST(TableTextExport, UnwritableFileIsReportedAndAllTablesGoInOrder) {
    TempDir dir;
    Folder folder(dir);
    RecordingMessages messages;
    const std::string bad = dir.file("no/such/folder/x.txt");
    messages.Expect("The file \"" + bad +
                    "\" could not be opened for writing. Another application may have it open, or the disk might "
                    "not be writable.");
    EXPECT_FALSE(ExportTable(folder.table(ComponentTableKind::Motor), ComponentTableKind::Motor, bad, false, false, 86,
                             kDot, messages));
    EXPECT_EQ(messages.messages().front().helpTopic, 86);
    EXPECT_FALSE(ExportAllTables(folder.module, bad, kDot));

    ASSERT_TRUE(ExportAllTables(folder.module, dir.file("all.txt"), kDot));
    std::string all;
    ReadWholeFile(dir.file("all.txt"), all);
    std::size_t at = 0;
    for (ComponentTableKind kind : TableOpeningOrder()) {
        const std::size_t next = all.find("Begin Ampvane8 " + TypeNameOf(static_cast<int>(kind)) + " Table\r\n", at);
        ASSERT_NE(next, std::string::npos) << TypeNameOf(static_cast<int>(kind));
        at = next;
    }
}

std::string WriteText(const TempDir& dir, const std::string& text, const std::string& name = "in.txt") {
    EXPECT_EQ(WriteFileAtomically(dir.file(name), text), "");
    return dir.file(name);
}

constexpr const char* kMotorColumnsLine = "MOTORNAME\tMOTORSTANT\tIDLECRRENT\tARMATTANCE\tWEIGHT\tBRUSHLESS\tOUTRUNNER\r\n";

TEST(TableTextImport, MergesNewAndRevisedRecordsByColumnName) {
    TempDir dir;
    Folder folder(dir);
    RecordingMessages messages;
    messages.Expect("Import/Update Results\n\nThe following is a summary of the changes made to the Ampvane "
                    "database:\n\nMotors: 2 new, 0 revised.\nMotors: 0 new, 1 revised.");
    // Second block: columns in another order, one omitted, one unknown; the last line has no line end.
    const auto result = ImportTableText(folder.module, WriteText(dir, "From: someone\r\n"
                                                                      "Begin Ampvane8 Motor Table\r\n" +
                                                                          std::string(kMotorColumnsLine) +
                                                                          "Alpha\t1100\t1.5\t0.05\t6.5\tYes\t\r\n"
                                                                          "Beta\t900\t1\t0.1\t3\t\tYes\r\n"
                                                                          "End Ampvane8 Motor Table\r\n"
                                                                          "Begin Ampvane8 Motor Table\n"
                                                                          "MOTORNAME\tWEIGHT\tCOLOUR\tMOTORSTANT\n"
                                                                          "Alpha\t7,25\tred\t1100\n"
                                                                          "Beta\t3\tblue\t900\n"
                                                                          "End Ampvane8 Motor Table"),
                                        Options(), messages);
    EXPECT_FALSE(result.errorReported);
    DbfTable& motors = folder.table(ComponentTableKind::Motor);
    ASSERT_TRUE(FindComponentByName(motors, "Alpha"));
    EXPECT_EQ(motors.Text("WEIGHT"), "7.25");
    EXPECT_EQ(motors.Text("IDLECRRENT"), "1.5"); // omitted: kept
    EXPECT_EQ(motors.Text("BRUSHLESS"), "Yes");

    // The second block again changes nothing; reported only when asked to.
    const std::string second = WriteText(dir, "Begin Ampvane8 Motor Table\nMOTORNAME\tWEIGHT\nAlpha\t7.25\n"
                                              "End Ampvane8 Motor Table\n", "second.txt");
    RecordingMessages again;
    again.Expect("There was no new data to revise or add to the Ampvane database.");
    ImportTableText(folder.module, second, Options(), again);
    RecordingMessages quietly;
    EXPECT_FALSE(ImportTableText(folder.module, second, Options({}, '.', false), quietly).Changed());
    RecordingMessages cells;
    cells.Expect("No Ampvane Cell data was found in the import file. No Cells were imported.");
    EXPECT_TRUE(ImportTableText(folder.module, dir.file("in.txt"), Options(ComponentTableKind::Cell), cells).errorReported);
}

TEST(TableTextImport, ExportedMotorsReimportUnchangedAndMissingFileIsReported) {
    TempDir dir;
    Folder folder(dir);
    Fill(folder.table(ComponentTableKind::Motor), 5);
    ASSERT_TRUE(ExportTable(folder.table(ComponentTableKind::Motor), ComponentTableKind::Motor, dir.file("m.txt"),
                            false, false, 86, kDot, folder.quiet));
    RecordingMessages messages;
    messages.Expect("There was no new data to revise or add to the Ampvane database.");
    ImportTableText(folder.module, dir.file("m.txt"), Options(ComponentTableKind::Motor), messages);

    RecordingMessages missing;
    missing.Expect("The import file \"" + dir.file("gone.txt") + "\" could not be opened. No Motors were imported.");
    missing.Expect("The import file \"" + dir.path().string() + "\" could not be opened. No components were imported.");
    EXPECT_TRUE(ImportTableText(folder.module, dir.file("gone.txt"), Options(ComponentTableKind::Motor), missing)
                    .errorReported);
    ImportTableText(folder.module, dir.path().string(), Options(), missing);
}

TEST(TableTextImport, FileBlocksNotesAndManyBlocks) {
    TempDir dir;
    Folder folder(dir);
    ASSERT_EQ(WriteFileAtomically(folder.path + "/GearboxEff.lst", "b|2\r\nA|1\r\n"), "");
    std::string text = "Begin Ampvane8 File $GearboxEff.lst\r\nc|3\r\na|1\r\nB|2\r\nEnd Ampvane8 File whatever\r\n"
                       "Begin Ampvane8 File  PropConst.lst \r\nonly|1\r\nEnd Ampvane8 File \r\n"
                       "Ampvane8 Note Hello there\r\nAmpvane8 Note Hello there\r\n";
    RecordingMessages messages;
    messages.Expect("No Ampvane component data was found in the import file. No components were imported.");
    messages.Expect("Hello there");
    ImportTableText(folder.module, WriteText(dir, text), Options(), messages);
    std::string list;
    ReadWholeFile(folder.path + "/GearboxEff.lst", list);
    EXPECT_EQ(list, "A|1\r\nb|2\r\nc|3\r\n");
    ReadWholeFile(folder.path + "/PropConst.lst", list);
    EXPECT_EQ(list, "only|1\r\n");
    ReadWholeFile(folder.path + "/Notes.lst", list);
    EXPECT_EQ(list, "Hello there\r\n");
    RecordingMessages second; // the note is not shown again
    second.Expect("No Ampvane component data was found in the import file. No components were imported.");
    ImportTableText(folder.module, dir.file("in.txt"), Options(), second);

    // Twelve table blocks: every one keeps its result line.
    std::string many;
    std::string expected =
        "Import/Update Results\n\nThe following is a summary of the changes made to the Ampvane database:\n";
    for (int i = 0; i < 12; ++i) {
        many += "Begin Ampvane8 Speed Control Table\r\nESCNAME\tMAXCURRENT\r\nESC " + std::to_string(i) +
                "\t10\r\nEnd Ampvane8 Speed Control Table\r\n";
        expected += "\nSpeed Controls: 1 new, 0 revised.";
    }
    RecordingMessages twelve;
    twelve.Expect(expected);
    EXPECT_EQ(ImportTableText(folder.module, WriteText(dir, many), Options(), twelve).blocks.size(), 12u);
}

// Hostile files: each gives its message, writes nothing outside the data folder and keeps what was merged.
TEST(TableTextImport, HostileFilesKeepWhatWasMerged) {
    const std::string good = "Begin Ampvane8 Motor Table\r\n" + std::string(kMotorColumnsLine) +
                             "Kept\t1000\t1\t0.1\t2\t\t\r\n";
    const std::string end = "End Ampvane8 Motor Table\r\n";
    struct Case {
        std::string text;
        std::vector<std::string> messages; // in order; "" stands for the summary of one new motor
    };
    auto refusedFile = [](const std::string& name) {
        return "The import file \"in.txt\" holds lines for the file \"" + name +
               "\", which is not a plain file name in the data folder. Those lines were skipped.";
    };
    const std::string summary =
        "Import/Update Results\n\nThe following is a summary of the changes made to the Ampvane database:\n\n"
        "Motors: 1 new, 0 revised.";
    const std::string noTab =
        "The columns in the import file are not tab delimited, and thus cannot be imported. If you received the file "
        "by e-mail, please be sure to detach it as an attachment, rather than saving the mail message or using "
        "copy-and-paste to create a text file.";
    const Case cases[] = {
        {good + end + "Begin Ampvane8 File ../x\r\nevil\r\nEnd Ampvane8 File \r\n", {refusedFile("../x"), summary}},
        {good + end + "Begin Ampvane8 File /tmp/x\r\nevil\r\nEnd Ampvane8 File \r\n", {refusedFile("/tmp/x"), summary}},
        {good + end + "Begin Ampvane8 File +a/b.lst\r\nevil\r\nEnd Ampvane8 File \r\n", {refusedFile("a/b.lst"), summary}},
        {good + end + "Begin Ampvane8 File \r\nevil\r\nEnd Ampvane8 File \r\n", {refusedFile(""), summary}},
        {good + end + "Begin Ampvane8 File MOTOR8.DBF\r\nevil\r\nEnd Ampvane8 File \r\n",
         {refusedFile("MOTOR8.DBF"), summary}},
        {good + end + "Begin Ampvane8 Motor Table\r\nMOTORNAME MOTORSTANT\r\nX\t1\r\n", {noTab}},
        {good + end + "Begin Ampvane8 Motor Table\r\nMOTORSTANT\tMOTORNAME\r\n",
         {"The import file does not have the \"Motor Name\" field in the first column. Cannot import."}},
        {good + "Bad\t1200\tlots\t0.1\r\nLater\t1\r\n" + end,
         {"'lots' is not a valid floating point value for field 'Current'. The import of \"in.txt\" stopped at line "
          "4; the records before it were imported."}},
        {good + "Huge " + std::string(50u << 20, 'x') + "\t1\r\n" + end,
         {"Import/Update Results\n\nThe following is a summary of the changes made to the Ampvane database:\n\n"
          "Motors: 2 new, 0 revised."}},
        {good + end + std::string("\x01\xff\xfe\x00\x80garbage\x1b[2J\x7f", 16) + "\n", {summary}},
        {good + "Second\t1\rThird\t2\r\n" + end,
         {"The import file \"in.txt\" has a carriage return without a line feed at the end of line 4. The import "
          "stopped there; the lines before it were imported."}},
    };
    for (const Case& c : cases) {
        TempDir dir;
        Folder folder(dir);
        const fs::path cwd = fs::current_path();
        fs::current_path(dir.path()); // a relative name would land here
        EXPECT_EQ(WriteFileAtomically("in.txt", c.text), "");
        RecordingMessages messages;
        for (const std::string& m : c.messages) messages.Expect(m);
        ImportTableText(folder.module, "in.txt", Options(), messages);
        fs::current_path(cwd);
        DbfTable& motors = folder.table(ComponentTableKind::Motor);
        EXPECT_TRUE(FindComponentByName(motors, "Kept"));
        EXPECT_EQ(motors.Text("MOTORSTANT"), "1000");
        EXPECT_FALSE(FindComponentByName(motors, "Bad"));
        EXPECT_FALSE(FindComponentByName(motors, "Later"));
        EXPECT_FALSE(FindComponentByName(motors, "Third"));
        std::size_t entries = 0;
        for (const auto& entry : fs::recursive_directory_iterator(dir.path())) entries += entry.is_regular_file();
        EXPECT_EQ(entries, 9u); // the eight tables and in.txt, nothing else
        // Another program may have a folder of that name; only a file of the six bytes would be ours.
        EXPECT_FALSE(fs::is_regular_file("/tmp/x") && fs::file_size("/tmp/x") == 6);
    }
}

// The same files by hand and from the exchange: a hand import keeps its documented rules, an exchange
// answer may not write the configuration, is taken only when complete, and contributed empty values
// keep what is stored.
TEST(TableTextImport, ExchangeAnswersAreTrustedLessThanHandImports) {
    const std::string begin = "Begin Ampvane8 Motor Table\r\nMOTORNAME\tMOTORSTANT\tWEIGHT\r\n";
    const std::string emptyAndIni = begin + "Speedy\t\t4\r\nEnd Ampvane8 Motor Table\r\n"
                                            "Begin Ampvane8 File Ampvane.ini\r\nserver evil.example\r\nEnd Ampvane8 File \r\n";
    const std::string cut = begin + "Speedy\t1200\t4\r\nTrunc\t12";
    struct Case {
        const std::string& text;
        ImportSource source;
        std::string constant; // Speedy's afterwards
        bool iniWritten;
        bool truncAdded;
    };
    const Case cases[] = {
        {emptyAndIni, ImportSource::Hand, "", true, false},
        {emptyAndIni, ImportSource::ExchangeUpdate, "", false, false},
        {emptyAndIni, ImportSource::ExchangeContributed, "1500", false, false},
        {cut, ImportSource::Hand, "1200", false, true},
        {cut, ImportSource::ExchangeUpdate, "1500", false, false},
        {cut, ImportSource::ExchangeContributed, "1500", false, false},
    };
    for (const Case& c : cases) {
        TempDir dir;
        Folder folder(dir);
        RecordingMessages messages;
        messages.AllowAny();
        ImportTableText(folder.module, WriteText(dir, begin + "Speedy\t1500\t3\r\nEnd Ampvane8 Motor Table\r\n"),
                        Options(), messages);
        TableImportOptions options = Options();
        options.source = c.source;
        ImportTableText(folder.module, WriteText(dir, c.text, "answer.txt"), options, messages);
        DbfTable& motors = folder.table(ComponentTableKind::Motor);
        ASSERT_TRUE(FindComponentByName(motors, "Speedy"));
        EXPECT_EQ(motors.Text("MOTORSTANT"), c.constant) << static_cast<int>(c.source);
        EXPECT_EQ(fs::exists(folder.path + "/Ampvane.ini"), c.iniWritten) << static_cast<int>(c.source);
        EXPECT_EQ(FindComponentByName(motors, "Trunc"), c.truncAdded) << static_cast<int>(c.source);
    }
}

} // namespace
} // namespace ampvane
