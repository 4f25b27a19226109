// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/ui/report_printer.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <vector>

#include "common/ui/qt_text.h"
#include "analysis/report_export.h"
#include "analysis/ui/report_grid_model.h"

namespace ampvane {

namespace {


QFont Font(const char* family, QFont::StyleHint hint, double points, bool bold = false) {
    QFont font(QString::fromLatin1(family));
    font.setStyleHint(hint);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}
QFont Mono(double points) { return Font("Courier New", QFont::TypeWriter, points); }
QFont Sans(double points, bool bold = false) { return Font("Microsoft Sans Serif", QFont::SansSerif, points, bold); }

struct Run {
    QString text;
    QFont font;
    QColor colour = Qt::black;
};

// Lines of runs down the page, starting a new page when the next line does not fit.
class TextChannel {
public:
    TextChannel(QPainter& painter, QPagedPaintDevice& device) : painter_(painter), device_(device) {
        const QRectF page = painter.viewport();
        left_ = page.left();
        top_ = page.top();
        bottom_ = page.bottom();
        width_ = page.width();
        y_ = top_;
    }
    double Width() const { return width_; }
    int Pages() const { return pages_; }

    void Line(const std::vector<Run>& runs) {
        double height = 0, ascent = 0;
        for (const Run& run : runs) {
            const QFontMetricsF metrics(run.font, &device_);
            height = std::max(height, metrics.lineSpacing());
            ascent = std::max(ascent, metrics.ascent());
        }
        if (y_ + height > bottom_ && y_ > top_) {
            device_.newPage();
            ++pages_;
            y_ = top_;
        }
        double x = left_;
        for (const Run& run : runs) {
            painter_.setFont(run.font);
            painter_.setPen(run.colour);
            painter_.drawText(QPointF(x, y_ + ascent), run.text);
            x += QFontMetricsF(run.font, &device_).horizontalAdvance(run.text);
        }
        y_ += height;
    }
    void Blank(const QFont& font) { Line({Run{QStringLiteral(" "), font}}); }

private:
    QPainter& painter_;
    QPagedPaintDevice& device_;
    double left_ = 0, top_ = 0, bottom_ = 0, width_ = 0, y_ = 0;
    int pages_ = 1;
};

// Printed row colours (olive, teal, green, red).
const QColor kBelowStallInk(0x80, 0x80, 0x00);
const QColor kLevelOptInk(0x00, 0x80, 0x80);
const QColor kLevelInk(0x00, 0x80, 0x00);
const QColor kPropStalledInk(0xFF, 0x00, 0x00);

} // namespace

int GridFontSizeForWidth(int characters, int pageWidth, const std::function<double(int)>& charWidthAtSize) {
    int size = 9;
    while (size > 1 && characters * charWidthAtSize(size) > pageWidth) --size;
    return size;
}

int PrintReport(const ReportGrid& grid, QPagedPaintDevice& device, const ReportPrintSettings& settings) {
    QPainter painter;
    if (!painter.begin(&device)) return 0;
    TextChannel channel(painter, device);

    channel.Blank(Mono(10));
    channel.Blank(Mono(10));
    channel.Line({Run{Q(grid.Caption), Font("Times New Roman", QFont::Serif, 18)}});

    int characters = 0;
    for (const ReportGridColumn& column : grid.Columns)
        if (column.Visible()) characters += static_cast<int>(Q(column.Header0).size()) + 1;
    const int gridSize = GridFontSizeForWidth(characters, static_cast<int>(channel.Width()), [&device](int size) {
        return QFontMetricsF(Mono(size), &device).horizontalAdvance(QStringLiteral("HelloWorld")) / 10.0;
    });
    channel.Line({Run{Q(grid.ConditionLine), Sans(9)}});

    const double descriptionSize = gridSize * 9.0 / 8.0;
    for (const std::string& line : grid.Description) {
        if (line.empty()) continue;
        const QString text = Q(line);
        const qsizetype colon = text.indexOf(QLatin1Char(':'));
        const QColor ink = grid.DuctingLineRed && text.startsWith(QStringLiteral("Ducting:")) ? Qt::red : Qt::black;
        if (colon < 0)
            channel.Line({Run{text, Sans(descriptionSize), ink}});
        else
            channel.Line({Run{text.left(colon + 1), Sans(descriptionSize, true), ink},
                          Run{text.mid(colon + 1), Sans(descriptionSize), ink}});
    }
    channel.Blank(Mono(gridSize));

    const QFont cellFont = Mono(gridSize);
    QFont boldCell = cellFont;
    boldCell.setBold(true);
    const int rows = grid.RowCount() + 2;
    for (int r = 0; r < rows; ++r) {
        QColor ink = Qt::black;
        QFont font = cellFont;
        if (r < 2) {
            font = boldCell;
        } else {
            const RowBackground background = grid.Background(r - 2);
            const bool propStalled = grid.PropStalled(r - 2);
            if (settings.colours) {
                if (background == RowBackground::BelowStall) ink = kBelowStallInk;
                if (background == RowBackground::LevelFlightOpt) ink = kLevelOptInk;
                if (background == RowBackground::LevelFlight) ink = kLevelInk;
                if (propStalled) ink = kPropStalledInk;
            } else {
                font.setBold(grid.ShowStall && background != RowBackground::BelowStall);
                font.setUnderline(background == RowBackground::LevelFlightOpt || background == RowBackground::LevelFlight);
                font.setItalic(propStalled);
            }
        }
        std::vector<Run> runs;
        bool first = true;
        for (std::size_t c = 0; c < grid.Columns.size(); ++c) {
            if (!grid.Columns[c].Visible()) continue;
            QFont cell = font;
            if (static_cast<int>(c) == grid.SortColumn) cell.setBold(true);
            runs.push_back(Run{(first ? QString() : QStringLiteral(" ")) + Q(grid.Cell(r, static_cast<int>(c))), cell, ink});
            first = false;
        }
        channel.Line(runs);
        if (r == 1) channel.Blank(cellFont);
    }

    channel.Blank(Sans(9));
    channel.Line({Run{QStringLiteral("Note: "), Sans(9, true)}, Run{Q(grid.Note.First), Sans(9)},
                  Run{Q(grid.Note.Middle), Sans(9, true)}, Run{Q(grid.Note.Last), Sans(9)}});

    if (grid.ShowColorKey()) {
        channel.Blank(Sans(9));
        std::vector<Run> key;
        if (settings.colours) {
            key.push_back(Run{Q(ReportGrid::kColorKeyLabel), Sans(9, true)});
            if (grid.ShowPropStalledKey)
                key.push_back(Run{QStringLiteral("  ") + Q(ReportGrid::kPropStalledKeyLabel) + QStringLiteral("  "), Sans(9),
                                  kPropStalledInk});
            if (grid.ShowStallKey)
                key.push_back(Run{QStringLiteral("  Below ") + Q(grid.StallKeyLabel) + QStringLiteral("  "), Sans(9),
                                  kBelowStallInk});
            if (grid.ShowLevelOptKey)
                key.push_back(Run{QStringLiteral("  ") + Q(grid.LevelOptKeyLabel) + QStringLiteral("  "), Sans(9),
                                  kLevelOptInk});
            if (grid.ShowLevelKey)
                key.push_back(Run{QStringLiteral("  ") + Q(grid.LevelKeyLabel) + QStringLiteral("  "), Sans(9), kLevelInk});
        } else {
            key.push_back(Run{QStringLiteral("Style Key:"), Sans(9, true)});
            QFont italic = Sans(9);
            italic.setItalic(true);
            QFont underline = Sans(9);
            underline.setUnderline(true);
            if (grid.ShowPropStalledKey)
                key.push_back(Run{QStringLiteral("    ") + Q(ReportGrid::kPropStalledKeyLabel), italic});
            if (grid.ShowStallKey) key.push_back(Run{QStringLiteral("    Above ") + Q(grid.StallKeyLabel), Sans(9, true)});
            QString level;
            if (grid.ShowLevelOptKey) level = Q(grid.LevelOptKeyLabel);
            if (grid.ShowLevelKey) level += (level.isEmpty() ? QString() : QStringLiteral(" and ")) + Q(grid.LevelKeyLabel);
            if (!level.isEmpty()) key.push_back(Run{QStringLiteral("    ") + level, underline});
        }
        channel.Line(key);
    }

    channel.Blank(Sans(7));
    channel.Line({Run{QStringLiteral("     "), Mono(10)},
                  Run{Q(ReportFooterLine(S(settings.generatedAt))), Sans(7), QColor(0x66, 0x66, 0x66)}});
    painter.end();
    return channel.Pages();
}

} // namespace ampvane
