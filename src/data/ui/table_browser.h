// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <functional>
#include <QString>

#include "common/messages.h"
#include "data/comp_data_module.h"
#include "data/name_lookup.h"
#include "data/table_browse.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QToolButton;
class QWidget;

namespace ampvane {

class TableBrowserModel;
class BrowserGridView;

// The component browser: looks through one component table, picks a record, deletes records (marked;
// removed when the tables are packed at exit), finds by part of the name or by likeness, sorts by any
// column, prints, exports and imports the table.
//
// Use from any window that needs the user to choose a component:
//
//     TTableBrowser browser(this);               // or keep one for the whole run
//     if (browser.BrowseTable(data, ComponentTableKind::Motor, MotorNameEdit,
//                             kBrowserDelete | kBrowserPrint, units, messages, messages)) {
//         const DbfTable& motors = *data.MotorTable(); // stands on the chosen record
//     }
//
// The browser opens under the name edit (centred when the edit is null or hidden) on the record
// nearest to the edit's text, runs modally and returns true when the user chose a record with OK,
// Enter or a double-click. Either way the table is back in name order when it returns.
inline constexpr unsigned kBrowserDelete = 1u << 0; // shows the Delete button
inline constexpr unsigned kBrowserPrint = 1u << 1;  // shows the Print button

class TTableBrowser final : public QDialog {
    Q_OBJECT
public:
    explicit TTableBrowser(QWidget* parent = nullptr);
    ~TTableBrowser() override;

    // The update of one table from the server, for every browser's Update button (`helpTopic`: the
    // button's); installed by the program, which has the online commands. Without it Update is disabled.
    using TableUpdate = std::function<void(ComponentTableKind kind, int helpTopic)>;
    static void SetTableUpdate(TableUpdate update);
    // Told of every record deleted here, by kind and name, so that what is kept beside the tables about it
    // can go too.
    using RecordDeleted = std::function<void(ComponentTableKind kind, const std::string& name)>;
    static void SetRecordDeleted(RecordDeleted deleted);

    bool BrowseTable(TCompDataModule& data, ComponentTableKind kind, QLineEdit* nameEdit, unsigned flags,
                     const BrowserUnits& units, MessageSink& messages, Prompter& prompter);
    // The same without an edit: opens centred, positioned near `name`.
    bool BrowseTable(TCompDataModule& data, ComponentTableKind kind, const QString& name, unsigned flags,
                     const BrowserUnits& units, MessageSink& messages, Prompter& prompter);

    // The controls' actions, for the buttons, keys and tests.
    void SearchEditChange();
    void NextButtonClick();
    void PrevButtonClick();
    void FindSimilarButtonClick();
    void DeleteButtonClick();
    void PrintButtonClick();
    void ExportButtonClick();
    void ImportButtonClick();
    void WebUpdateButtonClick();
    void TitleClick(int gridColumn);
    void TypeAheadCharacter(char c);
    void WheelStep(int rows);
    int OrderCode() const { return orderCode_; }
    // The grid row of the table's current record.
    int CurrentRow() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    bool Open(TCompDataModule& data, ComponentTableKind kind, const QString& name, QLineEdit* nameEdit,
              unsigned flags, const BrowserUnits& units, MessageSink& messages, Prompter& prompter);
    void SetBrowseOrder(int code);
    void Find(FindDirection direction);
    void ShowCurrentRecord();
    void RowChosen(const QModelIndex& index);
    void RebuildCaption();
    void FlowButtons();
    void SetWidthFromColumns();

    QLineEdit* searchEdit_ = nullptr;
    QToolButton* nextButton_ = nullptr;
    QToolButton* prevButton_ = nullptr;
    QPushButton* findSimilarButton_ = nullptr;
    BrowserGridView* grid_ = nullptr;
    QWidget* bottomPanel_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
    QPushButton* helpButton_ = nullptr;
    QPushButton* printButton_ = nullptr;
    QPushButton* exportButton_ = nullptr;
    QPushButton* importButton_ = nullptr;
    QPushButton* webUpdateButton_ = nullptr;

    TCompDataModule* data_ = nullptr;
    DbfTable* table_ = nullptr;
    ComponentTableKind kind_ = ComponentTableKind::Motor;
    BrowserUnits units_;
    MessageSink* messages_ = nullptr;
    Prompter* prompter_ = nullptr;
    TableBrowserModel* model_ = nullptr;
    int orderCode_ = kNameOrder;
    int similarColumns_ = 0;
    bool syncing_ = false;
    TypeAhead typeAhead_;
};

} // namespace ampvane
