// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QString>
#include <QWidget>

#include <array>
#include <vector>

class QChart;
class QChartView;
class QPainter;
class QPagedPaintDevice;

namespace ampvane {

// A plotting control with a bottom axis, a left and a right vertical axis and two point series. It
// draws on screen, on a printer page and on a picture of any size; the graph window uses nothing else
// of it, so the plotting library behind it can change without touching the graphs.

enum class ChartAxis { Bottom = 0, Left = 1, Right = 2 };
enum class ChartMarker { Circle, Square };

// A linear scale: ticks at offset + k * step within [minimum, maximum].
struct ChartAxisRange {
    double minimum = 0;
    double maximum = 1;
    double offset = 0;
    double step = 0.2;
    bool operator==(const ChartAxisRange&) const = default;
};

// The automatic scale of values from low to high: a round step giving about five to ten ticks, the
// ends widened to whole steps. A single value gets a range around it.
ChartAxisRange AutomaticAxisRange(double low, double high);
// A fixed range is usable when both ends are finite, minimum < maximum and the step is positive.
bool AxisRangeConsistent(const ChartAxisRange& range);

class TChart;

class TChartSeries {
public:
    // Points stay in increasing x order; a point with the x of an existing one replaces it.
    void AddXY(double x, double y);
    void Clear();
    const std::vector<QPointF>& Points() const { return points_; }

    void SetVerticalAxis(ChartAxis axis); // Left or Right
    ChartAxis VerticalAxis() const { return axis_; }
    void SetLineColour(const QColor& colour);
    QColor LineColour() const { return lineColour_; }
    void SetPointColour(const QColor& colour);
    QColor PointColour() const { return pointColour_; }
    void SetLineStyle(Qt::PenStyle style);
    Qt::PenStyle LineStyle() const { return lineStyle_; }
    void SetMarker(ChartMarker marker);
    ChartMarker Marker() const { return marker_; }
    // Straight lines between consecutive points.
    void SetLines(bool on);
    bool Lines() const { return lines_; }

private:
    friend class TChart;
    void Changed();

    TChart* owner_ = nullptr;
    std::vector<QPointF> points_;
    ChartAxis axis_ = ChartAxis::Left;
    QColor lineColour_ = Qt::red;
    QColor pointColour_ = Qt::red;
    Qt::PenStyle lineStyle_ = Qt::SolidLine;
    ChartMarker marker_ = ChartMarker::Circle;
    bool lines_ = true;
};

class TChart : public QWidget {
    Q_OBJECT

public:
    static constexpr const char* kInconsistentRangeText = "MAX/MIN VALUES INCONSISTENT";

    explicit TChart(QWidget* parent = nullptr);
    ~TChart() override;

    TChartSeries& Series(int index) { return series_[index == 0 ? 0 : 1]; }
    const TChartSeries& Series(int index) const { return series_[index == 0 ? 0 : 1]; }

    void SetTitle(const QString& title);
    QString Title() const { return title_; }
    void SetAxisTitle(ChartAxis axis, const QString& title);
    QString AxisTitle(ChartAxis axis) const { return axes_[Index(axis)].title; }
    // Automatic range and step on, or off with an explicit range.
    void SetAxisAutomatic(ChartAxis axis);
    void SetAxisRange(ChartAxis axis, const ChartAxisRange& range);
    bool AxisAutomatic(ChartAxis axis) const { return axes_[Index(axis)].automatic; }
    // The scale the axis shows now (the computed one when automatic).
    ChartAxisRange AxisRange(ChartAxis axis) const;
    // True when some fixed range cannot be drawn; the chart then shows kInconsistentRangeText.
    bool RangeInconsistent() const;

    // While suspended, changes are collected and drawn once on resuming.
    void SuspendDrawing();
    void ResumeDrawing();
    bool DrawingSuspended() const { return suspended_ > 0; }

    // The whole graph on one page of the device.
    void PrintOn(QPagedPaintDevice& device) const;
    // The graph drawn on a picture of this size (24-bit colour, no alpha).
    QImage RenderImage(int width, int height) const;
    // The graph drawn into a rectangle of any painter (an SVG generator, a printer).
    void RenderOn(QPainter& painter, const QRectF& target) const;
    // Where the plot area lies in a picture of this size, for tests and overlays.
    QRectF PlotAreaIn(int width, int height) const;

    QChartView* View() const { return view_; }

private:
    friend class TChartSeries;
    struct AxisState {
        QString title;
        bool automatic = true;
        ChartAxisRange range;
    };
    static int Index(ChartAxis axis) { return static_cast<int>(axis); }
    void Redraw();
    QChart* BuildChart() const;

    std::array<TChartSeries, 2> series_;
    std::array<AxisState, 3> axes_;
    QString title_;
    int suspended_ = 0;
    bool dirty_ = false;
    QChartView* view_ = nullptr;
};

} // namespace ampvane
