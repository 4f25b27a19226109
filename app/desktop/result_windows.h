// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>

#include <vector>

#include "analysis/display_plane.h"
#include "common/messages.h"
#include "common/numeric_text.h"
#include "workbench/settings.h"

class QWidget;

namespace ampvane {

class TComparisonForm;
class TParameterInputForm;
class TReportForm;

struct ResultWindowsEnvironment {
    Settings* settings = nullptr; // the options (graph axes are kept there); null: the defaults
    NumberLocale locale;
    // Where messages and questions go; null: message boxes over the windows.
    MessageSink* messages = nullptr;
    Prompter* prompter = nullptr;
    bool moreThan256Colours = true;
};

// The windows Compute Report leads to: the report windows, their in-flight reports, opinions and graphs,
// and the one comparison window of the program, all owned by the workbench, whose Compute Report opens
// them. Each new report or opinion
// window is placed a step down and right of the last one, wholly on its screen; Escape closes it.
class ResultWindows : public QObject {
    Q_OBJECT

public:
    // Owned by the workbench.
    ResultWindows(ResultWindowsEnvironment environment, TParameterInputForm& workbench);
    ~ResultWindows() override;

    // Compute Report with the gathered input: a new report window (or the in-flight report of its only
    // row, with its opinion when `forOpinion`), owned by `owner` (null: the workbench).
    void OpenReport(const DisplayPlane& plane, const AnalysisOptions& options, bool forOpinion = false,
                    QWidget* owner = nullptr);
    // The open static report windows (in-flight reports are their children).
    std::vector<TReportForm*> Reports() const;
    // The comparison window; created on the first Compare.
    TComparisonForm& Comparison();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place(QWidget* window);

    ResultWindowsEnvironment env_;
    QWidget& workbench_;
    std::vector<QPointer<TReportForm>> reports_;
    QPointer<TComparisonForm> comparison_;
    int cascade_ = 0; // the step of the last window placed
    QRect lastPlace_;  // its inside
};

} // namespace ampvane
