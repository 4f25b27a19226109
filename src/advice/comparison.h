// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/report_builder.h"
#include "common/text_escape.h"

// The comparison of drives: chosen report rows side by side, one drive column each, with the rows
// whose texts differ marked. The table, the column built from a report row, and the text, HTML and CSV
// files live here; the window only shows the table and forwards the mouse.

namespace ampvane {

inline constexpr int kComparisonRowCount = 62;
inline constexpr int kMaxComparisonColumns = 10;
inline constexpr int kComparisonTextWidth = 136;

// The row labels in the imperial wording by which values are addressed; entry 0 is the header.
extern const std::array<std::string_view, kComparisonRowCount> ComparisonRowLabels;

struct ComparisonUnitFlags {
    bool metric = false;
    bool metricPropSizes = false;
    bool newtons = false;
    bool metricTempPress = false;
    bool operator==(const ComparisonUnitFlags&) const = default;
};
ComparisonUnitFlags ComparisonUnitFlagsOf(const AnalysisOptions& options);

// A row's label as shown: metric wording as the flags call for, headings flush left, every other
// label (empty ones too) after two spaces.
std::string ComparisonDisplayLabel(int row, const ComparisonUnitFlags& flags);
// The first label of each group: shown bold.
bool ComparisonHeadingRow(int row);

class ComparisonTable {
public:
    ComparisonTable();

    // The column for a new drive, or -1 when ten are shown. Other units, flying conditions or heating
    // setting than the columns shown (and the first use) clear the table first.
    int AddComparisonColumn(std::string_view title, const ComparisonUnitFlags& flags, std::string_view conditionLine,
                            std::string_view heatingMiddle);
    // Into the row whose imperial label equals `label`; an unknown label is ignored.
    void SetComparisonValue(int column, std::string_view label, std::string_view text);
    // Drops an earlier identical column and rebuilds the caption.
    void FinishComparisonColumn(int column);
    void SetComparisonPrintStyle(std::string_view fontName, RgbColour printColour, bool colourPrinting);

    // Two columns (labels and one empty drive column), caption "Comparison".
    void Clear();
    // The only drive column is emptied and kept; otherwise the later columns move left.
    void RemoveColumn(int column);
    // The column takes the place of `to`, the columns between shifting towards its old place.
    void MoveColumn(int from, int to);

    int ColumnCount() const { return static_cast<int>(columns_.size()); } // label column included
    int DriveColumnCount() const { return ColumnCount() - 1; }
    const std::string& Cell(int row, int column) const;
    // Any drive column from the second on holds another text than the first in this row.
    bool RowDiffers(int row) const;

    const std::string& Caption() const { return caption_; }
    const std::string& ConditionLine() const { return conditionLine_; }
    const std::string& HeatingMiddle() const { return heatingMiddle_; }
    const ComparisonUnitFlags& UnitFlags() const { return flags_; }
    const std::string& PrintFontName() const { return printFont_; }
    // Differing drive cells print in this colour when set, else in italics.
    std::optional<RgbColour> PrintColour() const { return printColour_; }

private:
    std::vector<std::vector<std::string>> columns_; // [column][row]
    std::string caption_ = "Comparison";
    std::string conditionLine_;
    std::string heatingMiddle_ = " do not ";
    ComparisonUnitFlags flags_;
    bool firstUse_ = true;
    int lastFound_ = 0;
    std::string printFont_;
    std::optional<RgbColour> printColour_;
};

// One drive column worked out from a report row.
struct ComparisonColumnData {
    std::string title;
    ComparisonUnitFlags flags;
    std::string conditionLine;
    std::string heatingMiddle;
    std::vector<std::pair<std::string, std::string>> values; // imperial label, text; in filling order
    std::string fontName;
    bool printColours = false;
};

// The column of a compare request on `pressed`: in a static report its data row `dataRow`; in an
// in-flight report the parent's row of the same number (its first row when none matches), with the
// level-flight points the in-flight report computed. nullopt when there is no such row.
std::optional<ComparisonColumnData> ComparisonColumnFromReport(const Report& pressed, int dataRow, MessageSink& sink);

// Adds a worked-out column (AddComparisonColumn, the values, FinishComparisonColumn, print style);
// false when the table is full.
bool AddComparisonColumnData(ComparisonTable& table, const ComparisonColumnData& data);

inline constexpr const char* kComparisonFullMessage =
    "At most 10 columns can be displayed at one time in the comparison window. Please close one or more columns "
    "to make room for this one.";

enum class ComparisonFormat { Text, Html, Csv };

struct ComparisonWriteSettings {
    std::string generatedAt;
    RgbColour fixedColour{0xD4, 0xD0, 0xC8};
    RgbColour labelColour{0xFF, 0xFF, 0xE1};      // tooltip background
    RgbColour windowColour{0xFF, 0xFF, 0xFF};
    RgbColour differenceColour{212, 255, 255};   // {0, 255, 255} on a display of 256 colours or fewer
    int pageWidth = kComparisonTextWidth;         // characters, for text
};

// The wrapped lines of the text file and the printed page: the label column L characters wide (the
// longest label) and each drive column (pageWidth - L) / drives - 1; one empty line after the header.
struct ComparisonLine {
    std::string label;
    std::vector<std::string> cells;
    bool header = false;  // printed bold
    bool heading = false; // a bold label
    bool differs = false; // the drive cells are marked
};
std::vector<ComparisonLine> ComparisonLines(const ComparisonTable& table, int pageWidth);

std::string ComparisonText(const ComparisonTable& table, const ComparisonWriteSettings& settings);
std::string ComparisonHtml(const ComparisonTable& table, const ComparisonWriteSettings& settings);
std::string ComparisonCsv(const ComparisonTable& table, const ComparisonWriteSettings& settings);
std::string ComparisonContents(const ComparisonTable& table, ComparisonFormat format,
                               const ComparisonWriteSettings& settings);

// The format by the file name's extension first, then by the save dialog's filter (1 text, 2 HTML, 3 CSV).
ComparisonFormat ComparisonFormatFor(std::string_view fileName, int filterIndex);
// Writes the whole file through a temporary one; on failure the report's save error is given, any old
// file stays as it was, and false is returned.
bool SaveComparison(const ComparisonTable& table, const std::string& fileName, ComparisonFormat format,
                    const ComparisonWriteSettings& settings, MessageSink& sink);

} // namespace ampvane
