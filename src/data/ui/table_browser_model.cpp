// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/ui/table_browser_model.h"

#include <algorithm>

#include <QFont>

namespace ampvane {

TableBrowserModel::TableBrowserModel(DbfTable& table, ComponentTableKind kind, BrowserUnits units, QObject* parent)
    : QAbstractTableModel(parent), table_(table), kind_(kind), units_(units), columns_(BrowserColumns(table, kind)),
      fetched_(std::min<int>(kBatch, static_cast<int>(table.size()))) {}

int TableBrowserModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : fetched_; }

int TableBrowserModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant TableBrowserModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(table_.size())) return {};
    const int column = TableColumn(index.column());
    switch (role) {
    case Qt::DisplayRole: {
        const std::size_t saved = table_.position();
        table_.MoveTo(static_cast<std::size_t>(index.row()));
        const std::string text = BrowserCellText(table_, kind_, column, units_);
        table_.MoveTo(saved);
        return QString::fromStdString(text);
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter |
                                   (BrowserColumnIsNumber(table_, column) ? Qt::AlignRight : Qt::AlignLeft));
    case Qt::FontRole:
        if (bold_.contains(column)) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return {};
    default: return {};
    }
}

QVariant TableBrowserModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    if (role == Qt::DisplayRole) return QString::fromStdString(BrowserColumnTitle(table_, kind_, TableColumn(section)));
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(BrowserColumnIsNumber(table_, TableColumn(section)) ? Qt::AlignRight : Qt::AlignLeft);
    return {};
}

bool TableBrowserModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && fetched_ < static_cast<int>(table_.size());
}

void TableBrowserModel::fetchMore(const QModelIndex& parent) {
    if (parent.isValid()) return;
    const int more = std::min<int>(kBatch, static_cast<int>(table_.size()) - fetched_);
    if (more <= 0) return;
    beginInsertRows({}, fetched_, fetched_ + more - 1);
    fetched_ += more;
    endInsertRows();
}

void TableBrowserModel::Reload() {
    beginResetModel();
    fetched_ = std::min<int>(kBatch, static_cast<int>(table_.size()));
    endResetModel();
}

void TableBrowserModel::EnsureFetched(int row) {
    const int wanted = std::min<int>(static_cast<int>(table_.size()), (row / kBatch + 1) * kBatch);
    if (wanted <= fetched_) return;
    beginInsertRows({}, fetched_, wanted - 1);
    fetched_ = wanted;
    endInsertRows();
}

void TableBrowserModel::SetBoldColumns(std::set<int> columns) {
    bold_ = std::move(columns);
    if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::FontRole});
}

} // namespace ampvane
