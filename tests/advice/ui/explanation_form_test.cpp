// SPDX-License-Identifier: GPL-3.0-or-later
#include "advice/ui/explanation_form.h"

#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>

#include <gtest/gtest.h>

#include "advice/opinion.h"
#include "advice/opinion_fixtures.h"
#include "advice/opinion_writers.h"
#include "analysis/report_export.h"
#include "analysis/report_fixtures.h"
#include "analysis/ui/report_form.h"
#include "common/file_write.h"
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

OpinionDocument Sample() { return FormatOpinionText(BuildOpinionText(testing::OverloadedMotor())); }

std::vector<QTextBlock> Blocks(const QTextDocument& text) {
    std::vector<QTextBlock> blocks;
    for (QTextBlock b = text.begin(); b.isValid(); b = b.next()) blocks.push_back(b);
    return blocks;
}

bool FirstFragmentBold(const QTextBlock& block) {
    return block.begin().fragment().charFormat().fontWeight() == QFont::Bold;
}

TEST(OpinionRichText, OneBlockPerParagraphInItsStyle) {
    const OpinionDocument document = Sample();
    QTextDocument text;
    FillOpinionDocument(text, document);
    const auto blocks = Blocks(text);
    ASSERT_EQ(blocks.size(), document.Paragraphs.size());
    QTextList* previousList = nullptr;
    int lists = 0;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        SCOPED_TRACE(i);
        const OpinionParagraph& p = document.Paragraphs[i];
        const QTextBlock& b = blocks[i];
        EXPECT_EQ(b.text().toStdString(), p.Text());
        EXPECT_EQ(b.textList() != nullptr, p.Style == ParagraphStyle::Bullet);
        if (b.textList() && b.textList() != previousList) ++lists;
        previousList = b.textList();
        switch (p.Style) {
        case ParagraphStyle::Title: {
            const QTextCharFormat f = b.begin().fragment().charFormat();
            EXPECT_EQ(f.fontFamilies().toStringList().value(0), QStringLiteral("Times New Roman"));
            EXPECT_EQ(f.fontPointSize(), 18);
            break;
        }
        case ParagraphStyle::Conditions:
        case ParagraphStyle::Heading:
            EXPECT_TRUE(FirstFragmentBold(b));
            break;
        case ParagraphStyle::Labelled: {
            EXPECT_TRUE(FirstFragmentBold(b));
            EXPECT_EQ(b.begin().fragment().text().toStdString(), p.Runs[0].Text);
            QTextBlock::iterator second = b.begin();
            ++second;
            ASSERT_FALSE(second.atEnd());
            EXPECT_NE(second.fragment().charFormat().fontWeight(), QFont::Bold);
            EXPECT_GT(b.blockFormat().leftMargin(), 0);
            EXPECT_EQ(b.blockFormat().textIndent(), -b.blockFormat().leftMargin());
            break;
        }
        case ParagraphStyle::Bullet:
            EXPECT_FALSE(FirstFragmentBold(b));
            EXPECT_EQ(b.textList()->format().style(), QTextListFormat::ListDisc);
            break;
        case ParagraphStyle::Blank:
            EXPECT_TRUE(b.text().isEmpty());
            break;
        }
    }
    // Warning, power problems, aerodynamic problems, aerodynamic notes, general notes.
    EXPECT_EQ(lists, 5);
}

class OpinionWindow : public ::testing::Test {
protected:
    OpinionWindow() : owner(std::make_unique<QWidget>()) {}
    TExplanationForm* Open() {
        auto* form = new TExplanationForm(owner.get(), &messages);
        form->ShowWindow();
        form->ShowOpinionText(Sample());
        return form;
    }
    RecordingMessages messages;
    std::unique_ptr<QWidget> owner;
};

TEST_F(OpinionWindow, ShowsTheTextReadOnlyUnderItsTitle) {
    TExplanationForm* form = Open();
    EXPECT_FALSE(form->isHidden());
    EXPECT_FALSE(form->isModal());
    EXPECT_EQ(form->windowTitle().toStdString(), "AmpvaneOpinion - Hotliner <Mk2> & Co");
    EXPECT_TRUE(form->TextView()->isReadOnly());
    EXPECT_EQ(form->TextView()->toPlainText().toStdString() + "\n", OpinionPlainText(form->Document()));
    EXPECT_TRUE(form->findChild<QPushButton*>(QStringLiteral("PrintButton"))->isEnabled());
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("CloseButton")), Qt::LeftButton);
    FlushDeletes();
    EXPECT_TRUE(owner->findChildren<TExplanationForm*>().isEmpty());
}

TEST_F(OpinionWindow, SavesByExtensionThenFilter) {
    TempDir dir;
    TExplanationForm* form = Open();
    const struct {
        const char* name;
        int filter;
        OpinionFileFormat format;
    } cases[] = {{"a.txt", kOpinionTextFilter, OpinionFileFormat::Text},
                 {"b.HTM", kOpinionTextFilter, OpinionFileFormat::Html},
                 {"c.rtf", kOpinionHtmlFilter, OpinionFileFormat::Rtf},
                 {"d.doc", kOpinionRtfFilter, OpinionFileFormat::Rtf}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file(c.name);
        ASSERT_TRUE(form->SaveOpinionAs(QString::fromStdString(path), c.filter));
        std::string written;
        ASSERT_TRUE(ReadWholeFile(path, written));
        if (c.format == OpinionFileFormat::Html) {
            // Only the footer's time may differ.
            const std::string body = OpinionHtmlBody(form->Document());
            EXPECT_EQ(written.substr(0, body.size()), body);
        } else {
            EXPECT_EQ(written, OpinionContents(form->Document(), c.format, ""));
        }
    }
    const std::string blocked = dir.file("missing/e.txt");
    messages.Expect(CouldNotWriteMessage(blocked));
    EXPECT_FALSE(form->SaveOpinionAs(QString::fromStdString(blocked), kOpinionTextFilter));
}

TEST_F(OpinionWindow, CopyPutsPlainHtmlAndRichTextAndLeavesNoSelection) {
    TExplanationForm* form = Open();
    form->TextView()->selectAll();
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("CopyButton")), Qt::LeftButton);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text().toStdString(), OpinionPlainText(form->Document()));
    EXPECT_TRUE(data->hasHtml());
    EXPECT_TRUE(data->html().contains(QStringLiteral("Possible Power System Problems:")));
    EXPECT_EQ(data->data(QStringLiteral("text/rtf")).toStdString(), OpinionRtf(form->Document()));
    EXPECT_FALSE(form->TextView()->textCursor().hasSelection());
}

TEST_F(OpinionWindow, PrintsToPdf) {
    TempDir dir;
    TExplanationForm* form = Open();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const std::string path = dir.file("opinion.pdf");
    printer.setOutputFileName(QString::fromStdString(path));
    form->PrintOn(printer);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
    EXPECT_NEAR(printer.pageLayout().margins(QPageLayout::Inch).top(), 0.5, 1e-6);
    EXPECT_NEAR(printer.pageLayout().margins(QPageLayout::Inch).left(), 0.6875, 1e-6);
    std::string pdf;
    ASSERT_TRUE(ReadWholeFile(path, pdf));
    EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
    EXPECT_GT(pdf.size(), 1000u);

    // Where the ink starts on the page: the page margins, not 2 cm more.
    if (std::system("command -v pdftoppm >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftoppm is not installed";
    const std::string stem = dir.file("page");
    ASSERT_EQ(std::system(("pdftoppm -r 72 -gray -f 1 -l 1 -singlefile '" + path + "' '" + stem + "'").c_str()), 0);
    std::string pgm;
    ASSERT_TRUE(ReadWholeFile(stem + ".pgm", pgm));
    int width = 0, height = 0, maxValue = 0, consumed = 0;
    ASSERT_EQ(std::sscanf(pgm.c_str(), "P5 %d %d %d%n", &width, &height, &maxValue, &consumed), 3);
    const std::string_view pixels = std::string_view(pgm).substr(static_cast<std::size_t>(consumed) + 1);
    ASSERT_GE(pixels.size(), static_cast<std::size_t>(width) * height);
    int left = width, top = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (static_cast<unsigned char>(pixels[static_cast<std::size_t>(y) * width + x]) < 128) {
                left = std::min(left, x);
                top = std::min(top, y);
            }
    EXPECT_NEAR(left / 72.0, 0.6875, 0.1);
    EXPECT_GE(top / 72.0, 0.5);
    EXPECT_LT(top / 72.0, 0.8); // the title's ascent, no more
}

// ----- Opened from the report windows.

class OpinionFromReportWindow : public ::testing::Test {
protected:
    OpinionFromReportWindow() : owner(std::make_unique<QWidget>()) {
        env.messages = &messages;
        env.prompter = &messages;
        env.openOpinion = [](TReportForm& report) { return OpenOpinionWindow(report.ReportData(), &report); };
    }
    TReportForm* BuildGlider() {
        PlaneDesc plane = testing::GearedPropellerPlane();
        testing::AddGlider(plane);
        auto* report = new TReportForm(env, owner.get());
        report->BuildStaticReport(testing::SeaLevelOptions(), DisplayPlane{plane});
        return report;
    }
    QPushButton* OpinionButton(TReportForm* report) {
        return report->findChild<QPushButton*>(QStringLiteral("OpinionButton"));
    }
    ReportEnvironment env;
    RecordingMessages messages;
    std::unique_ptr<QWidget> owner;
};

TEST_F(OpinionFromReportWindow, StaticReportOpensTheRowInFlightAndItsOpinion) {
    QPointer<TReportForm> report = BuildGlider();
    ASSERT_TRUE(report);
    ASSERT_TRUE(OpinionButton(report)->isEnabled());
    QTest::mouseClick(OpinionButton(report), Qt::LeftButton); // no row selected: nothing
    EXPECT_TRUE(report->Children().empty());

    report->SelectDataRow(2);
    QTest::mouseClick(OpinionButton(report), Qt::LeftButton);
    ASSERT_EQ(report->Children().size(), 1u);
    QPointer<TReportForm> inFlight = report->Children()[0];
    EXPECT_TRUE(report->OpinionWindows().empty());
    ASSERT_EQ(inFlight->OpinionWindows().size(), 1u);
    QPointer<QWidget> opinion = inFlight->OpinionWindows()[0];
    auto* form = qobject_cast<TExplanationForm*>(opinion.data());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->parentWidget(), inFlight.data());
    EXPECT_FALSE(form->isHidden());
    // The text is the opinion of the in-flight report itself.
    EXPECT_EQ(OpinionPlainText(form->Document()), OpinionPlainText(ExplainReport(inFlight->ReportData())));

    // A second opinion of the same report is a new window.
    QTest::mouseClick(OpinionButton(inFlight), Qt::LeftButton);
    EXPECT_EQ(inFlight->OpinionWindows().size(), 2u);
    QPointer<QWidget> second = inFlight->OpinionWindows()[1];

    // Reports with open opinions only hide; the last window to close takes them along.
    inFlight->close();
    report->close();
    FlushDeletes();
    ASSERT_TRUE(inFlight);
    EXPECT_TRUE(inFlight->isHidden());
    opinion->close();
    FlushDeletes();
    ASSERT_TRUE(inFlight);
    second->close();
    FlushDeletes(); // the opinion, then the in-flight report it leaves hidden and childless
    FlushDeletes(); // then the static report it leaves so
    EXPECT_FALSE(inFlight);
    EXPECT_FALSE(report);
}

TEST_F(OpinionFromReportWindow, OnlyAtFullThrottle) {
    TReportForm* report = BuildGlider();
    TReportForm* inFlight = report->OpenInFlight(0);
    ASSERT_NE(inFlight, nullptr);
    EXPECT_TRUE(inFlight->OpinionWindows().empty()); // asked for the in-flight report only
    auto* slider = inFlight->findChild<QSlider*>(QStringLiteral("ThrottleSlider"));
    slider->setValue(50);
    EXPECT_FALSE(OpinionButton(inFlight)->isEnabled());
    inFlight->ExplainButtonClick();
    EXPECT_TRUE(inFlight->OpinionWindows().empty());
    slider->setValue(100);
    EXPECT_TRUE(OpinionButton(inFlight)->isEnabled());
    inFlight->ExplainButtonClick();
    EXPECT_EQ(inFlight->OpinionWindows().size(), 1u);
}

TEST_F(OpinionFromReportWindow, NoOpinionsWithoutTheCommand) {
    env.openOpinion = nullptr;
    TReportForm* report = BuildGlider();
    EXPECT_FALSE(OpinionButton(report)->isEnabled());
    report->SelectDataRow(0);
    report->ExplainButtonClick();
    EXPECT_TRUE(report->Children().empty());
}

TEST_F(OpinionFromReportWindow, DestroyingAReportWithOpenOpinionsIsSafe) {
    TReportForm* report = BuildGlider();
    TReportForm* inFlight = report->OpenInFlight(0, true);
    ASSERT_NE(inFlight, nullptr);
    ASSERT_EQ(inFlight->OpinionWindows().size(), 1u);
    QPointer<QWidget> opinion = inFlight->OpinionWindows()[0];
    delete inFlight; // takes its opinion window along without calling back into it
    EXPECT_FALSE(opinion);
    EXPECT_TRUE(report->Children().empty());
}

} // namespace
} // namespace ampvane
