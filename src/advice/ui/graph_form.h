// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <array>
#include <functional>

#include "advice/graph_data.h"
#include "analysis/report_builder.h"
#include "common/ui/qt_messages.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPagedPaintDevice;
class QPushButton;

namespace ampvane {

class TChart;

// Where the axis choices of each graph kind are kept between graphs (the options, written to the
// configuration file).
struct GraphAxesStore {
    std::function<GraphAxesChoice(GraphKind kind)> load;
    std::function<void(GraphKind kind, const GraphAxesChoice& choice)> save;
};

// The report a graph plots. The report's window owns the graph, so the report outlives it; an
// in-flight report changes with its throttle slider, which the graph puts back before it plots.
struct GraphSource {
    const Report* report = nullptr;
    int throttle = 100; // the slider's position when the graph opened
    // Puts the report's slider back to a position and rebuilds the report there; empty: nothing to move.
    std::function<void(int percent)> restoreThrottle;
};

// A graph window: any column of a report against any other, a second column on the right axis. It is
// owned by its report, plots the rows of the throttle it was opened at, prints and saves pictures.
class TGraphForm : public QWidget {
    Q_OBJECT

public:
    // Save dialog filter indices, 1-based as the dialog counts them.
    static constexpr int kPngFilter = 1, kJpegFilter = 2, kBmpFilter = 3, kSvgFilter = 4, kPdfFilter = 5;
    static constexpr int kPictureWidth = 640, kPictureHeight = 480;

    // `owner`: the report's window.
    TGraphForm(QWidget* owner, GraphSource source, GraphAxesStore store, MessageSink* messages = nullptr);

    // The stored axes of this graph kind, or the defaults; then plots.
    void RestoreSettings();
    void Plot();

    // Saves under a name without the dialog, the format by the name's extension (a bitmap when it is
    // none of PNG, JPEG, SVG and PDF); a failure is reported and leaves no file.
    bool SaveGraphAs(const QString& fileName);
    // A name typed in the dialog without an extension takes the extension of the chosen file type.
    static QString FileNameWithExtension(const QString& fileName, int filterIndex);
    void PrintOn(QPagedPaintDevice& device);

    TChart* Chart() const { return chart_; }
    const Report& ReportData() const { return *source_.report; }
    QComboBox* XAxisComboBox() const { return xAxis_; }
    QComboBox* YAxis1ComboBox() const { return yAxis1_; }
    QComboBox* YAxis2ComboBox() const { return yAxis2_; }
    QCheckBox* DrawLineCheckBox() const { return drawLines_; }

public slots:
    void SaveButtonClick();
    void PrintButtonClick();
    void CancelButtonClick();
    void XAxisComboBoxChange();
    void DrawLineCheckBoxClick();

private:
    void Attach();
    void StoreSettings();
    void RestoreThrottle();
    GraphColumns SelectedColumns() const;
    MessageSink& Messages();

    QtMessages boxes_;
    MessageSink* messages_;
    GraphSource source_;
    GraphAxesStore store_;
    GraphKind kind_ = GraphKind::Static;

    std::array<QLabel*, 8> descriptionLabels_{};
    QLabel* conditionLabel_ = nullptr;
    QComboBox* xAxis_ = nullptr;
    QComboBox* yAxis1_ = nullptr;
    QComboBox* yAxis2_ = nullptr;
    QCheckBox* drawLines_ = nullptr;
    TChart* chart_ = nullptr;
    QPushButton* printButton_ = nullptr;
};

// The report's Graph command: a new graph window of the report, owned by the report's window, with its
// stored axes.
QWidget* OpenGraphWindow(QWidget* owner, GraphSource source, GraphAxesStore store, MessageSink* messages = nullptr);

} // namespace ampvane
