// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QImage>
#include <QPdfWriter>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <QTest>

#include <array>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

#include "advice/graph_picture.h"
#include "advice/ui/comparison_form.h"
#include "advice/ui/graph_form.h"
#include "analysis/report_fixtures.h"
#include "analysis/ui/report_form.h"
#include "chart/ui/chart.h"
#include "common/ui/save_dialog.h"
#include "help/ui/help_viewer.h"
#include "support/recording_messages.h"
#include "support/test_paths.h"

namespace ampvane {
namespace {

using testing::RecordingMessages;
using testing::TempDir;

void FlushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Reports of a glider whose graph and comparison commands open the windows under test.
class GraphAndComparisonWindows : public ::testing::Test {
protected:
    GraphAndComparisonWindows() {
        owner = std::make_unique<QWidget>();
        comparison = new TComparisonForm(owner.get(), &messages);
        env.messages = &messages;
        env.prompter = &messages;
        env.openGraph = [this](TReportForm& report) {
            GraphAxesStore store{[this](GraphKind kind) { return stored[static_cast<int>(kind)]; },
                                 [this](GraphKind kind, const GraphAxesChoice& choice) {
                                     stored[static_cast<int>(kind)] = choice;
                                 }};
            QPointer<TReportForm> window(&report);
            GraphSource source{&report.ReportData(), report.ThrottlePosition(), [window](int percent) {
                                   if (window && window->ThrottlePosition() != percent) window->MoveThrottle(percent);
                               }};
            return OpenGraphWindow(&report, source, store, &messages);
        };
        env.compare = [this](TReportForm& report) {
            comparison->CompareButtonClick(report.ReportData(), report.SelectedDataRow());
        };
    }

    TReportForm* StaticReport() {
        PlaneDesc plane = testing::GearedPropellerPlane();
        testing::AddGlider(plane);
        auto* report = new TReportForm(env, owner.get());
        report->BuildStaticReport(testing::SeaLevelOptions(), DisplayPlane{plane});
        return report;
    }

    TGraphForm* OpenGraph(TReportForm* report) {
        QTest::mouseClick(report->findChild<QPushButton*>(QStringLiteral("GraphButton")), Qt::LeftButton);
        const std::vector<QWidget*> graphs = report->GraphWindows();
        return graphs.empty() ? nullptr : static_cast<TGraphForm*>(graphs.back());
    }

    static void Choose(QComboBox* list, const QString& text) {
        const int index = list->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        list->setCurrentIndex(index);
        emit list->activated(index);
    }

    RecordingMessages messages;
    ReportEnvironment env;
    std::unique_ptr<QWidget> owner;
    TComparisonForm* comparison = nullptr;
    std::array<GraphAxesChoice, 2> stored;
};

// Pages of a PDF file, counted by their page objects.
int PdfPages(const std::string& pdf) {
    int pages = 0;
    for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1))
        pages += pdf.compare(at, 12, "/Type /Pages") != 0;
    return pages;
}


TEST_F(GraphAndComparisonWindows, StaticGraphDefaultsAndTheTerminalsPictureInEveryFormat) {
    TReportForm* report = StaticReport();
    TGraphForm* graph = OpenGraph(report);
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(graph->windowTitle().toStdString(), "Graph - " + report->Grid().Caption);
    EXPECT_EQ(graph->XAxisComboBox()->currentText(), QStringLiteral("Motor Amps"));
    EXPECT_EQ(graph->YAxis1ComboBox()->currentText(), QStringLiteral("Prop RPM"));
    EXPECT_EQ(graph->YAxis2ComboBox()->currentText(), QStringLiteral("MotGb Ef(%)"));
    EXPECT_EQ(graph->XAxisComboBox()->count(), static_cast<int>(report->Grid().Columns.size()));
    TChart* chart = graph->Chart();
    EXPECT_EQ(chart->Series(0).Points().size(), static_cast<std::size_t>(report->Grid().RowCount()));
    EXPECT_EQ(chart->Series(1).VerticalAxis(), ChartAxis::Right);
    EXPECT_EQ(chart->AxisTitle(ChartAxis::Bottom), QStringLiteral("Motor Amps"));

    TempDir dir;
    for (const char* name : {"graph.png", "graph.jpg", "graph.bmp", "graph.svg", "graph.gif"})
        EXPECT_TRUE(graph->SaveGraphAs(QString::fromStdString(dir.file(name)))) << name;
    EXPECT_EQ(TGraphForm::FileNameWithExtension(QStringLiteral("/a/typed"), TGraphForm::kJpegFilter),
              QStringLiteral("/a/typed.jpg"));
    EXPECT_EQ(TGraphForm::FileNameWithExtension(QStringLiteral("/a/typed.png"), TGraphForm::kSvgFilter),
              QStringLiteral("/a/typed.png"));
    EXPECT_EQ(ReadFile(dir.file("graph.gif")).substr(0, 2), "BM"); // any other name: a bitmap
    EXPECT_NE(ReadFile(dir.file("graph.svg")).find("<svg"), std::string::npos);

    {
        QPdfWriter pdf(QString::fromStdString(dir.file("graph.pdf")));
        graph->PrintOn(pdf);
    }
    EXPECT_EQ(PdfPages(ReadFile(dir.file("graph.pdf"))), 1);

    // The saved pictures are the terminal's: the same renderer, rows and choices give the same file.
    NullMessageSink quiet;
    const GraphPlot plot = BuildGraphPlot(report->Grid(), DefaultGraphColumns(report->Grid()), true,
                                          graph->windowTitle().toStdString(), quiet);
    for (const char* name : {"graph.png", "graph.bmp"})
        EXPECT_EQ(ReadFile(dir.file(name)), EncodeChart(ChartOfGraph(plot), PictureFormatForFileName(name))) << name;
    EXPECT_NE(ReadFile(dir.file("graph.svg")).find("<title>" + plot.title + "</title>"), std::string::npos);
}

TEST_F(GraphAndComparisonWindows, AxisChoicesAreStoredSharedUnitsAndLinesSwitch) {
    TReportForm* report = StaticReport();
    TGraphForm* graph = OpenGraph(report);
    ASSERT_NE(graph, nullptr);
    Choose(graph->YAxis1ComboBox(), QStringLiteral("Input (W)"));
    Choose(graph->YAxis2ComboBox(), QStringLiteral("Loss (W)"));
    TChart* chart = graph->Chart();
    EXPECT_EQ(chart->Series(1).VerticalAxis(), ChartAxis::Left);
    EXPECT_FALSE(chart->AxisAutomatic(ChartAxis::Right));
    EXPECT_EQ(chart->AxisRange(ChartAxis::Right), chart->AxisRange(ChartAxis::Left));
    EXPECT_EQ(stored[0], (GraphAxesChoice{"Motor Amps", "Input (W)", "Loss (W)", true}));

    // The time column plots seconds.
    Choose(graph->XAxisComboBox(), QStringLiteral("Time (sec)"));
    const ReportGrid& grid = report->Grid();
    const std::string time(TrimText(grid.Cell(2, grid.Position(ReportColumn::RunTime))));
    const auto colon = time.find(':');
    ASSERT_NE(colon, std::string::npos);
    const double seconds = std::stoi(time.substr(0, colon)) * 60 + std::stoi(time.substr(colon + 1));
    bool found = false;
    for (const QPointF& p : chart->Series(0).Points()) found |= std::abs(p.x() - seconds) < 0.01;
    EXPECT_TRUE(found) << time;

    QTest::mouseClick(graph->DrawLineCheckBox(), Qt::LeftButton);
    EXPECT_FALSE(chart->Series(0).Lines());
    EXPECT_FALSE(chart->Series(1).Lines());
    EXPECT_FALSE(stored[0].lines);
    EXPECT_EQ(stored[0].x, "Time (sec)");

    // A second graph of a static report starts from the stored choices; a wrong fixed range shows the text.
    TGraphForm* second = OpenGraph(report);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->XAxisComboBox()->currentText(), QStringLiteral("Time (sec)"));
    EXPECT_FALSE(second->DrawLineCheckBox()->isChecked());
    second->Chart()->SetAxisRange(ChartAxis::Left, ChartAxisRange{5, 5, 0, 1});
    EXPECT_TRUE(second->Chart()->RangeInconsistent());

    // Closing the report while graphs are open hides it; it goes with its last graph.
    QPointer<TReportForm> guard(report);
    report->close();
    FlushDeletes();
    ASSERT_TRUE(guard);
    EXPECT_TRUE(report->isHidden());
    QApplication::setActiveWindow(graph);
    QTest::keyClick(graph, Qt::Key_Escape); // Escape closes a graph like its Close button
    FlushDeletes();
    EXPECT_TRUE(guard);
    second->close();
    FlushDeletes();
    EXPECT_FALSE(guard);
}

TEST_F(GraphAndComparisonWindows, InFlightGraphPutsTheThrottleBackBeforePlotting) {
    TReportForm* report = StaticReport();
    TReportForm* flight = report->OpenInFlight(0);
    ASSERT_NE(flight, nullptr);
    TGraphForm* graph = OpenGraph(flight);
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(graph->XAxisComboBox()->currentText(), QStringLiteral("AirSpd (mph)"));
    flight->findChild<QSlider*>(QStringLiteral("ThrottleSlider"))->setValue(60);
    ASSERT_EQ(flight->ThrottlePosition(), 60);
    ASSERT_NE(flight->Grid().Caption.find(" at 60% Throttle"), std::string::npos);
    Choose(graph->YAxis1ComboBox(), QStringLiteral("Motor Amps"));
    EXPECT_EQ(flight->ThrottlePosition(), 100);
    EXPECT_EQ(flight->Grid().Caption.find(" Throttle"), std::string::npos);
    EXPECT_EQ(stored[1].y1, "Motor Amps");
    EXPECT_EQ(stored[0], GraphAxesChoice{}); // the static kind is untouched
    TempDir dir;
    for (const char* name : {"flight.png", "flight.jpg", "flight.bmp", "flight.svg"})
        EXPECT_TRUE(graph->SaveGraphAs(QString::fromStdString(dir.file(name)))) << name;
}

TEST_F(GraphAndComparisonWindows, FailedPictureSaveGivesTheMessageAndLeavesNothing) {
    TGraphForm* graph = OpenGraph(StaticReport());
    ASSERT_NE(graph, nullptr);
    messages.AllowAny();
    TempDir dir;
    const std::filesystem::path locked = dir.path() / "locked";
    std::filesystem::create_directory(locked);
    std::filesystem::permissions(locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const std::string readOnly = ::geteuid() == 0 ? "/proc/ampvane-graph" : (locked / "graph").string();
    const std::vector<std::string> names = {readOnly + ".png", readOnly + ".jpg", readOnly + ".bmp", readOnly + ".svg",
                                            "/dev/full"};
    for (const std::string& name : names) {
        EXPECT_FALSE(graph->SaveGraphAs(QString::fromStdString(name))) << name;
        ASSERT_FALSE(messages.messages().empty());
        EXPECT_EQ(messages.messages().back().kind, MessageKind::Error);
        EXPECT_NE(messages.messages().back().text.find(name), std::string::npos) << messages.messages().back().text;
    }
    EXPECT_EQ(messages.messages().size(), names.size());
    EXPECT_TRUE(std::filesystem::is_empty(locked));
    EXPECT_FALSE(std::filesystem::exists(readOnly + ".png"));
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
}

TEST_F(GraphAndComparisonWindows, ComparisonOfThreeRowsSavedAsCsvAndHtml) {
    TReportForm* report = StaticReport();
    ASSERT_GE(report->Grid().RowCount(), 3);
    auto* compareButton = report->findChild<QPushButton*>(QStringLiteral("CompareButton"));
    ASSERT_TRUE(compareButton->isEnabled());
    for (int row : {0, 1, 2}) {
        report->SelectDataRow(row);
        QTest::mouseClick(compareButton, Qt::LeftButton);
    }
    EXPECT_TRUE(comparison->isVisible());
    const ComparisonTable& table = comparison->Table();
    ASSERT_EQ(table.DriveColumnCount(), 3);
    EXPECT_EQ(comparison->windowTitle(), QStringLiteral("Comparison - Untitled"));
    EXPECT_EQ(comparison->CompareGrid()->columnCount(), 4);
    EXPECT_EQ(comparison->CompareGrid()->item(1, 1)->text().toStdString(), "Astro Cobalt 05 7T#20 #605");

    // Comparing a row of its in-flight report adds that row's column again: still three, now last.
    TReportForm* flight = report->OpenInFlight(1);
    ASSERT_NE(flight, nullptr);
    QTest::mouseClick(flight->findChild<QPushButton*>(QStringLiteral("CompareButton")), Qt::LeftButton);
    ASSERT_EQ(table.DriveColumnCount(), 3);
    const std::string flightCurrent(TrimText(report->Grid().Cell(3, report->Grid().Position(ReportColumn::BatteryCurrent))));
    int currentRow = 0;
    while (currentRow < kComparisonRowCount && ComparisonRowLabels[currentRow] != "Current (A)") ++currentRow;
    EXPECT_EQ(table.Cell(currentRow, 3), flightCurrent);

    TempDir dir;
    ASSERT_TRUE(comparison->SaveComparisonAs(QString::fromStdString(dir.file("compare.csv")), 1));
    ASSERT_TRUE(comparison->SaveComparisonAs(QString::fromStdString(dir.file("compare.htm")), 1));
    const std::string csv = ReadFile(dir.file("compare.csv"));
    EXPECT_EQ(csv.rfind("\"Comparison - Untitled\",\"\",\"\",\"\"\n", 0), 0u);
    EXPECT_NE(csv.find("\"  Motor Constant (rpm/V)\",\"1136\",\"1136\",\"1136\""), std::string::npos);
    const std::string html = ReadFile(dir.file("compare.htm"));
    EXPECT_EQ(html.rfind("<html><head>", 0), 0u);
    EXPECT_NE(html.find("<title>Comparison - Untitled</title>"), std::string::npos);

    {
        QPdfWriter pdf(QString::fromStdString(dir.file("compare.pdf")));
        const int pages = comparison->PrintOn(pdf);
        EXPECT_GE(pages, 1);
        EXPECT_LE(pages, 3);
    }

    // The close box of the second column removes it.
    QTableWidget* grid = comparison->CompareGrid();
    const QRect cell = grid->visualRect(grid->model()->index(0, 2));
    const QPoint box(cell.right() - 10, cell.top() + 7);
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, box);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, box);
    EXPECT_EQ(table.DriveColumnCount(), 2);
    QTest::mouseClick(comparison->findChild<QPushButton*>(QStringLiteral("ClearButton")), Qt::LeftButton);
    EXPECT_EQ(table.DriveColumnCount(), 1);
    EXPECT_EQ(comparison->windowTitle(), QStringLiteral("Comparison"));
}

// The Save dialogs of the result windows: the extension follows the file type chosen.
TEST(SaveDialogs, TheExtensionFollowsTheChosenType) {
    const QStringList filters = {QStringLiteral("Text Files (*.txt)"), QStringLiteral("HTML Files (*.html *.htm)"),
                                 QStringLiteral("Rich Text Files (*.rtf)"), QStringLiteral("Comma Separated Values (*.csv)"),
                                 QStringLiteral("PDF Files (*.pdf)")};
    struct Case {
        const char* typed;
        int filter;
        const char* saved;
    };
    for (const Case& c : {Case{"/d/name", 0, "/d/name.txt"}, Case{"/d/name", 1, "/d/name.html"},
                          Case{"/d/name", 2, "/d/name.rtf"}, Case{"/d/name", 3, "/d/name.csv"},
                          Case{"/d/name", 4, "/d/name.pdf"}, Case{"/d/name.htm", 1, "/d/name.htm"},
                          Case{"/d/name.txt", 2, "/d/name.txt"}, Case{"/d.x/name", 3, "/d.x/name.csv"}})
        EXPECT_EQ(WithFilterExtension(QString::fromLatin1(c.typed), filters[c.filter]).toStdString(), c.saved)
            << c.typed << " " << c.filter;
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    FollowFilterExtension(dialog, filters);
    EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("txt"));
    // The user's choice in the dialog's list of file types.
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    for (int f : {2, 3, 1}) {
        types->setCurrentIndex(f);
        emit types->textActivated(types->currentText());
        EXPECT_EQ(dialog.defaultSuffix(), FilterExtension(filters[f]));
    }
    EXPECT_EQ(TGraphForm::FileNameWithExtension(QStringLiteral("/a/typed"), TGraphForm::kPdfFilter),
              QStringLiteral("/a/typed.pdf"));
}

// Print is there without a printer (the test platform has none): the print dialog writes PDF files.
TEST_F(GraphAndComparisonWindows, PrintIsOfferedWithoutAPrinter) {
    TGraphForm* graph = OpenGraph(StaticReport());
    ASSERT_NE(graph, nullptr);
    EXPECT_TRUE(graph->findChild<QPushButton*>(QStringLiteral("PrintButton"))->isEnabled());
}

TEST_F(GraphAndComparisonWindows, HelpOpensTheGraphAndComparisonPages) {
    TReportForm* report = StaticReport();
    report->SelectDataRow(0);
    QTest::mouseClick(report->findChild<QPushButton*>(QStringLiteral("CompareButton")), Qt::LeftButton);
    for (auto [window, page] : {std::pair<QWidget*, const char*>{OpenGraph(report), "Ampvane_14.htm"},
                                {comparison, "Ampvane_13.htm"}}) {
        auto* help = window->findChild<QPushButton*>(QStringLiteral("HelpButton"));
        ASSERT_TRUE(help->isEnabled());
        QTest::mouseClick(help, Qt::LeftButton);
        EXPECT_EQ(HelpViewerWindow()->CurrentPage(), QString::fromLatin1(page));
        EXPECT_EQ(HelpTopicOf(window), QString::fromLatin1(page).mid(8).chopped(4).toInt()); // F1
    }
    CloseHelpWindows();
}

} // namespace
} // namespace ampvane
