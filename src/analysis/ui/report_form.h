// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <vector>

#include "analysis/plane_desc.h"
#include "analysis/report_builder.h"
#include "common/ui/qt_messages.h"

class QLabel;
class QPagedPaintDevice;
class QPushButton;
class QSlider;
class QTableView;

namespace ampvane {

class ReportGridModel;

class TReportForm;

struct ReportEnvironment {
    ReportSettings settings;
    // Where messages and questions go; null: message boxes over the report.
    MessageSink* messages = nullptr;
    Prompter* prompter = nullptr;
    bool moreThan256Colours = true;
    bool printColours = false;
    // Opens an opinion window of an in-flight report, owned by it; empty: no opinions offered. The
    // opinion windows live above this layer, so the program passes the command in.
    std::function<QWidget*(TReportForm& inFlightReport)> openOpinion;
    // Opens a graph window of this report, owned by it; empty: no graphs offered.
    std::function<QWidget*(TReportForm& report)> openGraph;
    // Adds the selected row (of this static report, or the row of this in-flight report) to the
    // comparison; empty: no comparison offered.
    std::function<void(TReportForm& report)> compare;
};

// A report window: the ReportGrid of a static or in-flight report with its caption, condition line,
// description lines, colour key and commands. An in-flight report is a child of the static report it
// came from; a report with open children only hides when closed.
class TReportForm : public QWidget {
    Q_OBJECT

public:
    TReportForm(ReportEnvironment environment, QWidget* owner);
    ~TReportForm() override;

    // Compute Report: builds the static report of the gathered records (converted to internal units
    // here). The window shows, opens the in-flight report of a single row instead, or closes itself
    // when there is nothing to show.
    // `forOpinion`: asked for by an Opinion control, so that a single combination's in-flight report
    // opens its opinion.
    void BuildStaticReport(const AnalysisOptions& options, const DisplayPlane& plane, bool forOpinion = false);

    const Report& ReportData() const { return report_; }
    const ReportGrid& Grid() const { return report_.Grid; }
    bool InFlight() const { return report_.InFlight(); }
    TReportForm* ParentReport() const { return parentReport_; }
    std::vector<TReportForm*> Children() const;
    std::vector<QWidget*> OpinionWindows() const;
    QTableView* GridView() const { return view_; }

    int SelectedDataRow() const;
    void SelectDataRow(int dataRow);

    // The in-flight report of a data row; null when none opened (an in-flight window, no such row,
    // or nothing could be computed).
    TReportForm* OpenInFlight(int dataRow, bool openOpinion = false);
    // Saves under a name without the dialog; the format by the name first, then the filter (1 text,
    // 2 HTML, 3 CSV).
    bool SaveReportAs(const QString& fileName, int filterIndex);
    // Prints on a device (a printer or a PDF writer); returns the pages printed.
    int PrintOn(QPagedPaintDevice& device);
    // The throttle slider released at a position (in-flight windows).
    void SetThrottle(int percent);
    // The throttle slider's position, and moving it there as if the user had released it there.
    int ThrottlePosition() const;
    void MoveThrottle(int percent);
    // Graph windows owned by this report; like in-flight children they keep a closed report hidden.
    std::vector<QWidget*> GraphWindows() const;

public slots:
    void SaveButtonClick();
    void PrintButtonClick();
    void InFlightButtonClick();
    // "&Opinion...": an opinion window of an in-flight report; in a static report, the in-flight
    // report of the selected row, which then opens its opinion itself.
    void ExplainButtonClick();
    void CopyRowToClipboard();
    void CopyDescriptionAndRow();
    void GraphButtonClick();
    void CompareButtonClick();

signals:
    void InFlightOpened(ampvane::TReportForm* child);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildWindow();
    void ShowGrid(bool firstBuild);
    void ShowOutcome(ReportOutcome outcome);
    void HeaderClicked(int column, bool rightButton);
    void ShowRowMenu(const QPoint& position);
    void ChildClosed(TReportForm* child);
    void OpinionClosed();
    void GraphClosed();
    bool HasChildWindows() const;
    bool OpinionsOffered() const;
    void FitWidth();
    MessageSink& Messages();
    Prompter& Questions();

    ReportEnvironment env_;
    QtMessages boxes_;
    Report report_;
    ReportColours colours_;
    QPointer<TReportForm> parentReport_;
    std::vector<QPointer<TReportForm>> children_;
    std::vector<QPointer<QWidget>> opinions_;
    std::vector<QPointer<QWidget>> graphs_;
    bool built_ = false;
    bool forOpinion_ = false;

    QTableView* view_ = nullptr;
    ReportGridModel* model_ = nullptr;
    QLabel* conditionLabel_ = nullptr;
    std::array<QLabel*, 8> descriptionLabels_{};
    QLabel* colorKeyLabel_ = nullptr;
    QLabel* propStalledKey_ = nullptr;
    QLabel* stallKey_ = nullptr;
    QLabel* levelOptKey_ = nullptr;
    QLabel* levelKey_ = nullptr;
    QSlider* throttleSlider_ = nullptr;
    QLabel* throttleLabel_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* printButton_ = nullptr;
    QPushButton* inFlightButton_ = nullptr;
    QPushButton* opinionButton_ = nullptr;
};

} // namespace ampvane
