// SPDX-License-Identifier: GPL-3.0-or-later
#include "advice/opinion_writers.h"

#include <gtest/gtest.h>

#include "support/file_size_limit.h"
#include "support/recording_messages.h"
#include "support/test_paths.h"

#include "analysis/report_export.h"
#include "common/file_write.h"

namespace ampvane {
namespace {

// A text in the opinion's shape: title, conditions, a gap, labelled lines, headings and bullets.
const std::string kSample = "AmpvaneOpinion - Jet <Mk2> & \"Co\"\r"
                            "Sea Level, 29.92inHg, 68°F\r"
                            "\r"
                            "Motor: A<B> & C; 1000rpm/V.\r"
                            "Speed Control: 40A.\r"
                            "\r"
                            "Possible Power System Problems:\r"
                            "\r"
                            "The diameter (10.0in) to pitch (4.0in) ratio is greater than 2:1.\r"
                            "Current can be decreased.\r"
                            "\r"
                            "General Notes:\r"
                            "\r"
                            "Wing loading 40g/dm².\r";

std::vector<ParagraphStyle> Styles(const OpinionDocument& document) {
    std::vector<ParagraphStyle> styles;
    for (const auto& p : document.Paragraphs) styles.push_back(p.Style);
    return styles;
}

TEST(OpinionDocumentFormat, LinesBecomeTitleConditionsHeadingsLabelsBulletsAndGaps) {
    const OpinionDocument document = FormatOpinionText(kSample);
    using S = ParagraphStyle;
    EXPECT_EQ(Styles(document), (std::vector<S>{S::Title, S::Conditions, S::Blank, S::Labelled, S::Labelled, S::Blank,
                                               S::Heading, S::Blank, S::Bullet, S::Bullet, S::Blank, S::Heading,
                                               S::Blank, S::Bullet}));
    EXPECT_EQ(document.Title, "AmpvaneOpinion - Jet <Mk2> & \"Co\"");
    const auto& speedControl = document.Paragraphs[4];
    ASSERT_EQ(speedControl.Runs.size(), 2u);
    EXPECT_EQ(speedControl.Runs[0], (TextRun{"Speed Control:", true}));
    EXPECT_EQ(speedControl.Runs[1], (TextRun{" 40A.", false}));
    EXPECT_EQ(document.Paragraphs[6].Runs, (std::vector<TextRun>{{"Possible Power System Problems:", true}}));
    EXPECT_EQ(document.Paragraphs[8].Runs[0].Bold, false);
}

TEST(OpinionDocumentFormat, WhatCountsAsALabel) {
    EXPECT_EQ(LeadingLabelLength("Motor: x"), 6u);
    EXPECT_EQ(LeadingLabelLength("Power System Notes:"), 19u);
    EXPECT_EQ(LeadingLabelLength("  Stats: x"), 8u);
    EXPECT_EQ(LeadingLabelLength(": x"), 0u);     // no letter before the colon
    EXPECT_EQ(LeadingLabelLength("   : x"), 0u);
    EXPECT_EQ(LeadingLabelLength("Item 2: x"), 0u); // a digit ends the run
    EXPECT_EQ(LeadingLabelLength("The ratio is 2:1"), 0u);
    EXPECT_EQ(LeadingLabelLength("Ratio (D:P): 2"), 0u);
    EXPECT_EQ(LeadingLabelLength("No colon at all"), 0u);
}

TEST(OpinionDocumentFormat, FinalPartWithoutLineBreakIsALineButATrailingBreakAddsNone) {
    EXPECT_EQ(FormatOpinionText("Title\rConditions\rLast").Paragraphs.size(), 3u);
    EXPECT_EQ(FormatOpinionText("Title\rConditions\rLast\r").Paragraphs.size(), 3u);
    EXPECT_EQ(FormatOpinionText("Title\rConditions\rLast\r\r").Paragraphs.size(), 4u);
    EXPECT_TRUE(FormatOpinionText("").Paragraphs.empty());
    // Only the first line is the title, even when it looks like a label.
    const auto document = FormatOpinionText("Motor: x\rNotes:\rNotes:");
    EXPECT_EQ(Styles(document),
              (std::vector<ParagraphStyle>{ParagraphStyle::Title, ParagraphStyle::Conditions, ParagraphStyle::Heading}));
}

TEST(OpinionPlainTextFile, OneLinePerParagraph) {
    EXPECT_EQ(OpinionPlainText(FormatOpinionText("T\rC\r\rMotor: x\rItem\r")), "T\nC\n\nMotor: x\nItem\n");
}

TEST(OpinionHtmlFile, StructureFollowsTheLines) {
    const std::string html = OpinionHtmlBody(FormatOpinionText(kSample));
    EXPECT_EQ(html, "<html><head>\r\n"
                    "<title>AmpvaneOpinion - Jet &lt;Mk2&gt; &amp; &quot;Co&quot;</title>\r\n"
                    "<meta name=\"GENERATOR\" content=\"Ampvane 8.09\">\r\n"
                    "</head><body>\r\n"
                    "<h2>AmpvaneOpinion - Jet &lt;Mk2&gt; &amp; &quot;Co&quot;<br>\r\n"
                    "<font size=+1>Sea Level, 29.92inHg, 68&deg;F</font></h2>\r\n"
                    "<table border=0 cellpadding=0 cellspacing=0>\r\n"
                    "<tr valign=top><td><b>Motor:&nbsp;&nbsp;</b></td>\r\n"
                    "<td> A&lt;B&gt; &amp; C; 1000rpm/V.</td></tr>\r\n"
                    "<tr valign=top><td><b>Speed Control:&nbsp;&nbsp;</b></td>\r\n"
                    "<td> 40A.</td></tr>\r\n"
                    "</table>\r\n"
                    "<h3>Possible Power System Problems:</h3>\r\n"
                    "<ul>\r\n"
                    "   <li>The diameter (10.0in) to pitch (4.0in) ratio is greater than 2:1.</li>\r\n"
                    "   <li>Current can be decreased.</li>\r\n"
                    "</ul>\r\n"
                    "<h3>General Notes:</h3>\r\n"
                    "<ul>\r\n"
                    "   <li>Wing loading 40g/dm&#178;.</li>\r\n"
                    "</ul>\r\n");
}

TEST(OpinionHtmlFile, NamesCannotInjectMarkup) {
    const std::string text = "AmpvaneOpinion - <script>alert(1)</script>\r"
                             "Sea Level\r"
                             "\r"
                             "Battery: <b>Cells</b> & \"more\" 20°C Müller\r"
                             "Note & <i>item</i>\r";
    const std::string html = OpinionHtml(FormatOpinionText(text), "2024-01-02 03:04");
    EXPECT_EQ(html.find("<script>"), std::string::npos);
    EXPECT_EQ(html.find("<i>"), std::string::npos);
    EXPECT_NE(html.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    EXPECT_NE(html.find("<td> &lt;b&gt;Cells&lt;/b&gt; &amp; &quot;more&quot; 20&deg;C M&#252;ller</td>"),
              std::string::npos);
    EXPECT_NE(html.find("   <li>Note &amp; &lt;i&gt;item&lt;/i&gt;</li>"), std::string::npos);
    // Nothing outside ASCII is left for a browser to guess at.
    for (char c : html) EXPECT_LT(static_cast<unsigned char>(c), 0x80);
}

TEST(OpinionHtmlFile, ListsAndTablesOpenAndCloseWhereTheLinesSay) {
    // A bullet straight after labelled lines opens a list inside the open table, and a labelled line
    // after bullets closes the list first; the table left open at the end stays open.
    const std::string html = OpinionHtmlBody(FormatOpinionText("T\rC\rMotor: x\rItem\rBattery: y\r"));
    const std::string tail = html.substr(html.find("</h2>\r\n") + 7);
    EXPECT_EQ(tail, "<table border=0 cellpadding=0 cellspacing=0>\r\n"
                    "<tr valign=top><td><b>Motor:&nbsp;&nbsp;</b></td>\r\n<td> x</td></tr>\r\n"
                    "<ul>\r\n   <li>Item</li>\r\n</ul>\r\n"
                    "<tr valign=top><td><b>Battery:&nbsp;&nbsp;</b></td>\r\n<td> y</td></tr>\r\n");
}

TEST(OpinionHtmlFile, FooterClosesTheDocument) {
    const std::string html = OpinionHtml(FormatOpinionText("T\rC\rItem\r"), "02.01.2024 <03:04>");
    const std::string footer = "<p><font color=#666666 size=-1>Generated by <a href=\"https://ampvane.example/\">"
                               "<font color=#6666CC>Ampvane 8.09</font></a>, 02.01.2024 &lt;03:04&gt;.</font>\r\n"
                               "</body></html>\r\n";
    ASSERT_GE(html.size(), footer.size());
    EXPECT_EQ(html.substr(html.size() - footer.size()), footer);
    EXPECT_NE(html.find("</ul>\r\n<p><font"), std::string::npos);
}

// Checks that every group opened is closed, skipping escaped braces.
bool BalancedGroups(const std::string& rtf) {
    int depth = 0;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
            continue;
        }
        if (rtf[i] == '{') ++depth;
        if (rtf[i] == '}' && --depth < 0) return false;
    }
    return depth == 0;
}

TEST(OpinionRtfFile, HeaderFontsAndParagraphForms) {
    const std::string rtf = OpinionRtf(FormatOpinionText(kSample));
    EXPECT_TRUE(rtf.starts_with("{\\rtf1\\ansi"));
    EXPECT_TRUE(BalancedGroups(rtf));
    EXPECT_NE(rtf.find("{\\f0\\fswiss\\fcharset0 Microsoft Sans Serif;}"), std::string::npos);
    EXPECT_NE(rtf.find("{\\f1\\froman\\fcharset0 Times New Roman;}"), std::string::npos);
    EXPECT_NE(rtf.find("\\pard\\plain\\f1\\fs36 {AmpvaneOpinion - Jet <Mk2> & \"Co\"}\\par"), std::string::npos);
    EXPECT_NE(rtf.find("\\pard\\plain\\f0\\fs18 {\\b Sea Level, 29.92inHg, 68\\u176?F}\\par"), std::string::npos);
    EXPECT_NE(rtf.find("\\pard\\plain\\li200\\fi-200\\f0\\fs18 {\\b Speed Control:}{ 40A.}\\par"), std::string::npos);
    EXPECT_NE(rtf.find("\\pard\\plain\\f0\\fs18 {\\b Possible Power System Problems:}\\par"), std::string::npos);
    EXPECT_NE(rtf.find("{\\pntext\\f2\\'B7\\tab}{Current can be decreased.}\\par"), std::string::npos);
    EXPECT_NE(rtf.find("{Wing loading 40g/dm\\u178?.}"), std::string::npos);
    for (char c : rtf) EXPECT_LT(static_cast<unsigned char>(c), 0x80);
}

TEST(OpinionRtfFile, ControlCharactersInTextAreEscaped) {
    const std::string rtf = OpinionRtf(FormatOpinionText("T {x} \\par\rC\rItem {a}\\b0 \xF0\x9F\x98\x80\r"));
    EXPECT_TRUE(BalancedGroups(rtf));
    EXPECT_NE(rtf.find("{T \\{x\\} \\\\par}"), std::string::npos);
    EXPECT_NE(rtf.find("{Item \\{a\\}\\\\b0 \\u-10179?\\u-8704?}"), std::string::npos);
    // A malformed byte does not end the file or the group.
    const std::string broken = OpinionRtf(FormatOpinionText("T\rC\rBad \xC3 end\r"));
    EXPECT_TRUE(BalancedGroups(broken));
    EXPECT_NE(broken.find("{Bad \\u-3? end}"), std::string::npos);
}

TEST(OpinionSaveFormat, ExtensionFirstThenFilter) {
    EXPECT_EQ(ChooseOpinionFormat("a.htm", kOpinionTextFilter), OpinionFileFormat::Html);
    EXPECT_EQ(ChooseOpinionFormat("a.HTML", kOpinionRtfFilter), OpinionFileFormat::Html);
    EXPECT_EQ(ChooseOpinionFormat("a.Rtf", kOpinionTextFilter), OpinionFileFormat::Rtf);
    EXPECT_EQ(ChooseOpinionFormat("a.txt", kOpinionRtfFilter), OpinionFileFormat::Rtf);
    EXPECT_EQ(ChooseOpinionFormat("a", kOpinionHtmlFilter), OpinionFileFormat::Html);
    EXPECT_EQ(ChooseOpinionFormat("a.rtf.txt", kOpinionTextFilter), OpinionFileFormat::Text);
    EXPECT_EQ(ChooseOpinionFormat("htm", kOpinionTextFilter), OpinionFileFormat::Text);
    OpinionFileFormat format{};
    EXPECT_TRUE(OpinionFormatFromName("rtf", format));
    EXPECT_EQ(format, OpinionFileFormat::Rtf);
    EXPECT_FALSE(OpinionFormatFromName("pdf", format));
}

TEST(OpinionSave, WritesTheChosenFormat) {
    testing::TempDir dir;
    testing::RecordingMessages messages;
    const OpinionDocument document = FormatOpinionText(kSample);
    for (const auto format : {OpinionFileFormat::Text, OpinionFileFormat::Html, OpinionFileFormat::Rtf}) {
        const std::string path = dir.file("opinion.out");
        ASSERT_TRUE(SaveOpinion(document, path, format, "now", messages));
        std::string written;
        ASSERT_TRUE(ReadWholeFile(path, written));
        EXPECT_EQ(written, OpinionContents(document, format, "now"));
    }
    EXPECT_TRUE(messages.empty());
}

TEST(OpinionSave, FailedWriteIsReportedAndKeepsTheOldFile) {
    testing::TempDir dir;
    const std::string path = dir.file("opinion.txt");
    ASSERT_EQ(WriteFileAtomically(path, "old"), "");
    testing::RecordingMessages messages;
    messages.Expect(CouldNotWriteMessage(path));
    {
        testing::FileSizeLimit full(16);
        EXPECT_FALSE(SaveOpinion(FormatOpinionText(kSample), path, OpinionFileFormat::Html, "now", messages));
    }
    std::string kept;
    ASSERT_TRUE(ReadWholeFile(path, kept));
    EXPECT_EQ(kept, "old");
    EXPECT_EQ(messages.messages().at(0).kind, MessageKind::Error);
}

TEST(OpinionSave, MissingFolderIsReported) {
    testing::TempDir dir;
    const std::string path = dir.file("no/such/folder/opinion.rtf");
    testing::RecordingMessages messages;
    messages.Expect(CouldNotWriteMessage(path));
    EXPECT_FALSE(SaveOpinion(FormatOpinionText(kSample), path, OpinionFileFormat::Rtf, "now", messages));
}

} // namespace
} // namespace ampvane
