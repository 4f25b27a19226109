// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/ui/report_grid_model.h"

#include "common/ui/qt_text.h"

#include <QPainter>

namespace ampvane {

ReportGridModel::ReportGridModel(const ReportGrid* grid, ReportColours colours, QFont font, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid), colours_(colours), font_(font), bold_(font) {
    bold_.setBold(true);
}

int ReportGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !grid_ ? 0 : grid_->RowCount();
}

int ReportGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !grid_ ? 0 : static_cast<int>(grid_->Columns.size());
}

QVariant ReportGridModel::data(const QModelIndex& index, int role) const {
    if (!grid_ || !index.isValid() || index.row() >= grid_->RowCount()) return {};
    const int gridRow = index.row() + 2;
    switch (role) {
    case Qt::DisplayRole: return Q(grid_->Cell(gridRow, index.column()));
    case Qt::TextAlignmentRole: return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::FontRole:
    case Qt::ForegroundRole:
    case Qt::BackgroundRole: {
        const CellStyle style =
            ReportCellStyle(*grid_, gridRow, index.column(), index.row() == selected_, colours_);
        if (role == Qt::FontRole) return style.Bold ? bold_ : font_;
        if (role == Qt::ForegroundRole) return ToQColor(style.Text);
        return ToQColor(style.Background);
    }
    default: return {};
    }
}

QVariant ReportGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (!grid_ || orientation != Qt::Horizontal || section < 0 ||
        section >= static_cast<int>(grid_->Columns.size()))
        return QAbstractTableModel::headerData(section, orientation, role);
    const ReportGridColumn& column = grid_->Columns[static_cast<std::size_t>(section)];
    switch (role) {
    case Qt::DisplayRole: return Q(column.Header0) + QLatin1Char('\n') + Q(column.Header1);
    case Qt::FontRole: return bold_; // header rows are always bold
    case Qt::TextAlignmentRole: return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::ForegroundRole: return ToQColor(colours_.HeaderText);
    case Qt::BackgroundRole: return ToQColor(colours_.HeaderBackground);
    default: return {};
    }
}

void ReportGridModel::Reset(const ReportGrid* grid) {
    beginResetModel();
    grid_ = grid;
    selected_ = -1;
    endResetModel();
}

void ReportGridModel::SetSelectedRow(int dataRow) {
    if (dataRow == selected_) return;
    const int previous = selected_;
    selected_ = dataRow;
    const int last = columnCount() - 1;
    if (previous >= 0 && previous < rowCount()) emit dataChanged(index(previous, 0), index(previous, last));
    if (selected_ >= 0 && selected_ < rowCount()) emit dataChanged(index(selected_, 0), index(selected_, last));
}

void ReportCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    QStyleOptionViewItem plain(option);
    // The model supplies the selection's colours itself.
    plain.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
    painter->fillRect(option.rect, index.data(Qt::BackgroundRole).value<QColor>());
    QStyledItemDelegate::paint(painter, plain, index);
    painter->save();
    painter->setPen(line_);
    painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
    painter->restore();
}

} // namespace ampvane
