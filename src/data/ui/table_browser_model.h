// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <set>
#include <vector>

#include <QAbstractTableModel>

#include "data/dbf_table.h"
#include "data/table_browse.h"
#include "data/table_catalogue.h"

namespace ampvane {

// One component table as grid rows, read from the table as the view asks for them: row r is the
// record at position r of the table's active order. Rows are made known in batches as the view
// scrolls, so a table of any size opens at once. Reading a row leaves the table where it stood.
class TableBrowserModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    TableBrowserModel(DbfTable& table, ComponentTableKind kind, BrowserUnits units, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // The table's column shown in a grid column.
    int TableColumn(int gridColumn) const { return columns_[static_cast<size_t>(gridColumn)]; }
    const std::vector<int>& TableColumns() const { return columns_; }
    // After the table's order or records changed.
    void Reload();
    // Makes rows up to this one known to the view.
    void EnsureFetched(int row);
    // Table columns drawn bold (the column of the current order, the likeness columns).
    void SetBoldColumns(std::set<int> columns);

    static constexpr int kBatch = 256;

private:
    DbfTable& table_;
    ComponentTableKind kind_;
    BrowserUnits units_;
    std::vector<int> columns_;
    std::set<int> bold_;
    int fetched_ = 0;
};

} // namespace ampvane
