// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "advice/comparison.h"
#include "analysis/report_builder.h"
#include "common/ui/qt_messages.h"

class QLabel;
class QPagedPaintDevice;
class QTableWidget;

namespace ampvane {

// The comparison window: chosen report rows side by side, one column each. There is one for the
// program; it keeps its columns while hidden. Each column header has a close box; dragging a header
// onto another column moves it there.
class TComparisonForm : public QWidget {
    Q_OBJECT

public:
    explicit TComparisonForm(QWidget* owner = nullptr, MessageSink* messages = nullptr);

    // The report's Compare command: the selected data row of a static report (-1: none), or the row of
    // an in-flight report, becomes a new column; then the window shows.
    void CompareButtonClick(const Report& report, int selectedRow);

    const ComparisonTable& Table() const { return table_; }
    QTableWidget* CompareGrid() const { return grid_; }
    void RemoveColumn(int column);
    void MoveColumn(int from, int to);

    // Saves under a name without the dialog; the format by the name first, then the filter (1 text,
    // 2 HTML, 3 CSV).
    bool SaveComparisonAs(const QString& fileName, int filterIndex);
    // Prints on a device (a printer or a PDF writer); returns the pages printed.
    int PrintOn(QPagedPaintDevice& device);

public slots:
    void SaveButtonClick();
    void PrintButtonClick();
    void ClearButtonClick();
    void CloseButtonClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void ShowTable();
    void Layout();
    ComparisonWriteSettings WriteSettings() const;
    MessageSink& Messages();

    QtMessages boxes_;
    MessageSink* messages_;
    ComparisonTable table_;
    QTableWidget* grid_ = nullptr;
    QLabel* conditionLabel_ = nullptr;
    QLabel* heatingMiddle_ = nullptr;
    int pressedClose_ = -1;
    int dragged_ = -1;
};

} // namespace ampvane
