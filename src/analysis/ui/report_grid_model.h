// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QStyledItemDelegate>

#include <type_traits>

#include "analysis/report_grid.h"

namespace ampvane {

template <class Colour>
QColor ToQColor(const Colour& colour) {
    if constexpr (std::is_integral_v<Colour>)
        return QColor((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
    else
        return QColor(colour.red, colour.green, colour.blue);
}

// The data rows of a ReportGrid as a table model; the two header rows are the horizontal header's
// two lines. Cells are read from the grid on demand, so a report of any length opens at once.
class ReportGridModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    ReportGridModel(const ReportGrid* grid, ReportColours colours, QFont font, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The grid changed as a whole (built again, sorted).
    void Reset(const ReportGrid* grid);
    void SetSelectedRow(int dataRow);
    int SelectedRow() const { return selected_; }
    const ReportColours& Colours() const { return colours_; }

private:
    const ReportGrid* grid_;
    ReportColours colours_;
    QFont font_;
    QFont bold_;
    int selected_ = -1;
};

// Paints a cell with the model's colours (the selection is one of them) and the vertical line along
// its right edge in the header colour.
class ReportCellDelegate final : public QStyledItemDelegate {
public:
    ReportCellDelegate(QColor lineColour, QObject* parent) : QStyledItemDelegate(parent), line_(lineColour) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QColor line_;
};

} // namespace ampvane
