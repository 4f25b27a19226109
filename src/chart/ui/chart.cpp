// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/ui/chart.h"

#include "picture/chart_picture.h"

#include <QApplication>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

namespace ampvane {

// ---- scales ---------------------------------------------------------------------------------------

ChartAxisRange AutomaticAxisRange(double low, double high) {
    if (!std::isfinite(low) || !std::isfinite(high)) return ChartAxisRange{};
    if (low > high) std::swap(low, high);
    if (high - low < 1e-12 * std::max(1.0, std::abs(high))) {
        const double pad = low == 0 ? 1 : std::abs(low) * 0.1;
        low -= pad;
        high += pad;
    }
    const double rough = (high - low) / 8;
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    double step = magnitude;
    for (double factor : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        step = factor * magnitude;
        if (step >= rough) break;
    }
    ChartAxisRange range;
    range.step = step;
    range.minimum = std::floor(low / step) * step;
    range.maximum = std::ceil(high / step) * step;
    range.offset = range.minimum;
    return range;
}

bool AxisRangeConsistent(const ChartAxisRange& range) {
    return std::isfinite(range.minimum) && std::isfinite(range.maximum) && std::isfinite(range.step) &&
           std::isfinite(range.offset) && range.minimum < range.maximum && range.step > 0;
}

// ---- series ---------------------------------------------------------------------------------------

void TChartSeries::AddXY(double x, double y) {
    const auto at = std::lower_bound(points_.begin(), points_.end(), x,
                                     [](const QPointF& p, double value) { return p.x() < value; });
    if (at != points_.end() && at->x() == x)
        at->setY(y);
    else
        points_.insert(at, QPointF(x, y));
    Changed();
}

void TChartSeries::Clear() {
    points_.clear();
    Changed();
}

void TChartSeries::SetVerticalAxis(ChartAxis axis) {
    axis_ = axis == ChartAxis::Right ? ChartAxis::Right : ChartAxis::Left;
    Changed();
}
void TChartSeries::SetLineColour(const QColor& colour) {
    lineColour_ = colour;
    Changed();
}
void TChartSeries::SetPointColour(const QColor& colour) {
    pointColour_ = colour;
    Changed();
}
void TChartSeries::SetLineStyle(Qt::PenStyle style) {
    lineStyle_ = style;
    Changed();
}
void TChartSeries::SetMarker(ChartMarker marker) {
    marker_ = marker;
    Changed();
}
void TChartSeries::SetLines(bool on) {
    lines_ = on;
    Changed();
}
void TChartSeries::Changed() {
    if (owner_) owner_->Redraw();
}

// ---- chart ----------------------------------------------------------------------------------------

TChart::TChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Chart"));
    for (TChartSeries& series : series_) series.owner_ = this;
    series_[1].axis_ = ChartAxis::Right;
    series_[1].lineColour_ = series_[1].pointColour_ = Qt::blue;
    series_[1].marker_ = ChartMarker::Square;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    view_ = new QChartView(this);
    view_->setObjectName(QStringLiteral("ChartView"));
    view_->setRenderHint(QPainter::Antialiasing);
    layout->addWidget(view_);
    Redraw();
}

TChart::~TChart() {
    for (TChartSeries& series : series_) series.owner_ = nullptr;
}

void TChart::SetTitle(const QString& title) {
    title_ = title;
    Redraw();
}

void TChart::SetAxisTitle(ChartAxis axis, const QString& title) {
    axes_[Index(axis)].title = title;
    Redraw();
}

void TChart::SetAxisAutomatic(ChartAxis axis) {
    axes_[Index(axis)].automatic = true;
    Redraw();
}

void TChart::SetAxisRange(ChartAxis axis, const ChartAxisRange& range) {
    axes_[Index(axis)].automatic = false;
    axes_[Index(axis)].range = range;
    Redraw();
}

ChartAxisRange TChart::AxisRange(ChartAxis axis) const {
    const AxisState& state = axes_[Index(axis)];
    if (!state.automatic) return state.range;
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (const TChartSeries& series : series_) {
        if (axis != ChartAxis::Bottom && series.axis_ != axis) continue;
        for (const QPointF& p : series.points_) {
            const double v = axis == ChartAxis::Bottom ? p.x() : p.y();
            if (!std::isfinite(v)) continue;
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    if (low > high) return AutomaticAxisRange(0, 1);
    return AutomaticAxisRange(low, high);
}

bool TChart::RangeInconsistent() const {
    return std::any_of(axes_.begin(), axes_.end(),
                       [](const AxisState& a) { return !a.automatic && !AxisRangeConsistent(a.range); });
}

void TChart::SuspendDrawing() { ++suspended_; }

void TChart::ResumeDrawing() {
    if (suspended_ > 0) --suspended_;
    if (suspended_ == 0 && dirty_) Redraw();
}

void TChart::Redraw() {
    if (suspended_ > 0 || view_ == nullptr) {
        dirty_ = true;
        return;
    }
    dirty_ = false;
    QChart* old = view_->chart();
    view_->setChart(BuildChart());
    delete old;
}

QChart* TChart::BuildChart() const {
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    chart->setBackgroundBrush(QApplication::palette().color(QPalette::Button));
    chart->setPlotAreaBackgroundBrush(Qt::white);
    chart->setPlotAreaBackgroundVisible(true);
    chart->setMargins(QMargins(4, 4, 4, 4));
    QFont titleFont(QStringLiteral("Verdana"), 11, QFont::Bold);
    chart->setTitleFont(titleFont);
    chart->setTitle(title_);
    chart->setAnimationOptions(QChart::NoAnimation);

    if (RangeInconsistent()) {
        auto* text = new QGraphicsSimpleTextItem(QString::fromLatin1(kInconsistentRangeText), chart);
        text->setFont(QFont(QStringLiteral("Arial"), 12, QFont::Bold));
        text->setBrush(Qt::black);
        text->setPos(60, 60);
        return chart;
    }

    std::array<QValueAxis*, 3> axes{};
    const std::array<Qt::Alignment, 3> sides{Qt::AlignBottom, Qt::AlignLeft, Qt::AlignRight};
    for (int i = 0; i < 3; ++i) {
        auto* axis = new QValueAxis;
        const ChartAxisRange range = AxisRange(static_cast<ChartAxis>(i));
        axis->setTitleText(axes_[i].title);
        axis->setTitleFont(QFont(QStringLiteral("Verdana"), 9));
        axis->setLabelsFont(QFont(QStringLiteral("Arial"), 8));
        // One notation along each axis, as the saved pictures have it (never "1.12e+04" beside "9800").
        axis->setLabelFormat(QString::fromStdString(ChartTickFormat({range.minimum, range.maximum, range.step})));
        axis->setRange(range.minimum, range.maximum);
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(range.offset);
        axis->setTickInterval(range.step);
        axis->setGridLineVisible(i != Index(ChartAxis::Right));
        axis->setGridLineColor(Qt::gray);
        axis->setMinorGridLineVisible(false);
        chart->addAxis(axis, sides[i]);
        axes[i] = axis;
    }
    const std::array<QScatterSeries::MarkerShape, 2> shapes{QScatterSeries::MarkerShapeCircle,
                                                            QScatterSeries::MarkerShapeRectangle};
    for (const TChartSeries& series : series_) {
        const QList<QPointF> points(series.points_.begin(), series.points_.end());
        QValueAxis* vertical = axes[Index(series.axis_)];
        if (series.lines_) {
            auto* line = new QLineSeries;
            line->setPen(QPen(series.lineColour_, 1.5, series.lineStyle_));
            line->replace(points);
            chart->addSeries(line);
            line->attachAxis(axes[0]);
            line->attachAxis(vertical);
        }
        auto* markers = new QScatterSeries;
        markers->setMarkerShape(shapes[series.marker_ == ChartMarker::Circle ? 0 : 1]);
        markers->setMarkerSize(7);
        markers->setColor(series.pointColour_);
        markers->setBorderColor(series.pointColour_);
        markers->replace(points);
        chart->addSeries(markers);
        markers->attachAxis(axes[0]);
        markers->attachAxis(vertical);
    }
    return chart;
}

void TChart::RenderOn(QPainter& painter, const QRectF& target) const {
    // A chart of its own at the target's size, so that text and margins are laid out for it rather
    // than scaled from the window.
    QGraphicsScene scene;
    QChart* chart = BuildChart();
    scene.addItem(chart);
    chart->setGeometry(QRectF(QPointF(0, 0), target.size()));
    scene.setSceneRect(QRectF(QPointF(0, 0), target.size()));
    chart->layout()->activate();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, target, scene.sceneRect());
    painter.restore();
}

QRectF TChart::PlotAreaIn(int width, int height) const {
    QGraphicsScene scene;
    QChart* chart = BuildChart();
    scene.addItem(chart);
    chart->setGeometry(QRectF(0, 0, width, height));
    chart->layout()->activate();
    return chart->plotArea();
}

QImage TChart::RenderImage(int width, int height) const {
    QImage image(std::max(1, width), std::max(1, height), QImage::Format_RGB888);
    image.fill(Qt::white);
    QPainter painter(&image);
    RenderOn(painter, QRectF(0, 0, image.width(), image.height()));
    return image;
}

void TChart::PrintOn(QPagedPaintDevice& device) const {
    QPainter painter(&device);
    const QRect page = painter.viewport();
    // The page's width, and the window's proportions where the page is tall enough.
    const double aspect = width() > 0 && height() > 0 ? static_cast<double>(height()) / width() : 0.75;
    const double h = std::min<double>(page.height(), page.width() * aspect);
    RenderOn(painter, QRectF(0, 0, page.width(), h));
}

} // namespace ampvane
