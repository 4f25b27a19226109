// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/ui/table_browser.h"

#include <algorithm>

#include <QApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "common/ui/qt_messages.h"
#include "data/name_lookup.h"
#include "data/table_text.h"
#include "data/ui/table_browser_model.h"

namespace ampvane {

namespace {

constexpr int kWindowHelpTopic = 8;
constexpr int kExportHelpTopic = 86;
constexpr int kImportHelpTopic = 87;
constexpr int kUpdateHelpTopic = 88;

TTableBrowser::RecordDeleted& InstalledRecordDeleted() {
    static TTableBrowser::RecordDeleted deleted;
    return deleted;
}

TTableBrowser::TableUpdate& InstalledTableUpdate() {
    static TTableBrowser::TableUpdate update;
    return update;
}
constexpr int kMinimumWidth = 364;
constexpr int kMinimumHeight = 327;

QPushButton* NamedButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

// The grid: typed characters go to the browser's type-ahead, Del deletes, the wheel steps one record.
class BrowserGridView final : public QTableView {
public:
    BrowserGridView(TTableBrowser* browser, QWidget* parent) : QTableView(parent), browser_(browser) {}

protected:
    void keyboardSearch(const QString& search) override {
        for (QChar c : search)
            if (c.unicode() >= 32 && c.unicode() <= 126) browser_->TypeAheadCharacter(static_cast<char>(c.unicode()));
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Delete) {
            if (browser_->findChild<QPushButton*>(QStringLiteral("DeleteButton"))->isVisible())
                browser_->DeleteButtonClick();
            return;
        }
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            event->ignore(); // the dialog takes it as OK
            return;
        }
        QTableView::keyPressEvent(event);
    }
    void wheelEvent(QWheelEvent* event) override {
        const int steps = event->angleDelta().y();
        if (steps != 0) browser_->WheelStep(steps < 0 ? 1 : -1);
        event->accept();
    }

private:
    TTableBrowser* browser_;
};

TTableBrowser::TTableBrowser(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TableBrowser"));
    setWindowTitle(tr("Component Browser"));
    setMinimumSize(kMinimumWidth, kMinimumHeight);

    auto* findLabel = new QLabel(tr("Find:"), this);
    searchEdit_ = new QLineEdit(this);
    searchEdit_->setObjectName(QStringLiteral("SearchEdit"));
    findLabel->setBuddy(searchEdit_);
    nextButton_ = new QToolButton(this);
    nextButton_->setObjectName(QStringLiteral("NextButton"));
    nextButton_->setArrowType(Qt::DownArrow);
    nextButton_->setToolTip(tr("Find next"));
    prevButton_ = new QToolButton(this);
    prevButton_->setObjectName(QStringLiteral("PrevButton"));
    prevButton_->setArrowType(Qt::UpArrow);
    prevButton_->setToolTip(tr("Find previous"));
    findSimilarButton_ = NamedButton(this, "FindSimilarButton", tr("Similar"));

    auto* top = new QHBoxLayout;
    top->addWidget(findLabel);
    top->addWidget(searchEdit_, 1);
    top->addWidget(nextButton_);
    top->addWidget(prevButton_);
    top->addWidget(findSimilarButton_);

    grid_ = new BrowserGridView(this, this);
    grid_->setObjectName(QStringLiteral("BrowserGrid"));
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 4);
    QFont bold = grid_->horizontalHeader()->font();
    bold.setBold(true);
    grid_->horizontalHeader()->setFont(bold);
    grid_->horizontalHeader()->setSectionsClickable(true);
    grid_->setWordWrap(false);

    bottomPanel_ = new QWidget(this);
    bottomPanel_->setObjectName(QStringLiteral("BottomPanel"));
    okButton_ = NamedButton(bottomPanel_, "OkButton", tr("OK"));
    okButton_->setDefault(true);
    cancelButton_ = NamedButton(bottomPanel_, "CancelButton", tr("Cancel"));
    deleteButton_ = NamedButton(bottomPanel_, "DeleteButton", tr("Delete"));
    helpButton_ = NamedButton(bottomPanel_, "HelpButton", tr("Help"));
    printButton_ = NamedButton(bottomPanel_, "PrintButton", tr("Print..."));
    exportButton_ = NamedButton(bottomPanel_, "ExportButton", tr("Export..."));
    importButton_ = NamedButton(bottomPanel_, "ImportButton", tr("Import..."));
    webUpdateButton_ = NamedButton(bottomPanel_, "WebUpdateButton", tr("Update"));
    webUpdateButton_->setEnabled(static_cast<bool>(InstalledTableUpdate()));
    helpButton_->setEnabled(HelpInstalled());

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(grid_, 1);
    layout->addWidget(bottomPanel_);

    connect(searchEdit_, &QLineEdit::textChanged, this, [this] { SearchEditChange(); });
    connect(nextButton_, &QToolButton::clicked, this, &TTableBrowser::NextButtonClick);
    connect(prevButton_, &QToolButton::clicked, this, &TTableBrowser::PrevButtonClick);
    connect(findSimilarButton_, &QPushButton::clicked, this, &TTableBrowser::FindSimilarButtonClick);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(deleteButton_, &QPushButton::clicked, this, &TTableBrowser::DeleteButtonClick);
    connect(printButton_, &QPushButton::clicked, this, &TTableBrowser::PrintButtonClick);
    connect(exportButton_, &QPushButton::clicked, this, &TTableBrowser::ExportButtonClick);
    connect(importButton_, &QPushButton::clicked, this, &TTableBrowser::ImportButtonClick);
    connect(webUpdateButton_, &QPushButton::clicked, this, &TTableBrowser::WebUpdateButtonClick);
    connect(helpButton_, &QPushButton::clicked, this, [] { ShowInstalledHelp(kWindowHelpTopic); });
    connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this, &TTableBrowser::TitleClick);
    connect(grid_, &QTableView::doubleClicked, this, &TTableBrowser::RowChosen);
}

TTableBrowser::~TTableBrowser() = default;

void TTableBrowser::SetTableUpdate(TableUpdate update) { InstalledTableUpdate() = std::move(update); }

void TTableBrowser::SetRecordDeleted(RecordDeleted deleted) { InstalledRecordDeleted() = std::move(deleted); }

bool TTableBrowser::BrowseTable(TCompDataModule& data, ComponentTableKind kind, QLineEdit* nameEdit, unsigned flags,
                                const BrowserUnits& units, MessageSink& messages, Prompter& prompter) {
    return Open(data, kind, nameEdit ? nameEdit->text() : QString(), nameEdit, flags, units, messages, prompter);
}

bool TTableBrowser::BrowseTable(TCompDataModule& data, ComponentTableKind kind, const QString& name, unsigned flags,
                                const BrowserUnits& units, MessageSink& messages, Prompter& prompter) {
    return Open(data, kind, name, nullptr, flags, units, messages, prompter);
}

bool TTableBrowser::Open(TCompDataModule& data, ComponentTableKind kind, const QString& name, QLineEdit* nameEdit,
                         unsigned flags, const BrowserUnits& units, MessageSink& messages, Prompter& prompter) {
    DbfTable* table = data.Table(kind);
    if (!table) return false; // its failure to open was reported at start-up
    data_ = &data;
    table_ = table;
    kind_ = kind;
    units_ = units;
    messages_ = &messages;
    prompter_ = &prompter;
    orderCode_ = kNameOrder;
    similarColumns_ = 0;
    table_->UseNameIndex();

    delete model_;
    model_ = new TableBrowserModel(*table_, kind_, units_, this);
    grid_->setModel(model_);
    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
        if (!syncing_ && current.isValid()) table_->MoveTo(static_cast<std::size_t>(current.row()));
    });

    deleteButton_->setVisible(flags & kBrowserDelete);
    deleteButton_->setEnabled(flags & kBrowserDelete);
    printButton_->setVisible(flags & kBrowserPrint);
    findSimilarButton_->setVisible(!SimilarityWeights(static_cast<int>(kind_)).empty());
    RebuildCaption();

    const QFontMetrics metrics(grid_->font());
    // A column is at least as wide as its title, so that no title is cut short.
    const QFontMetrics titleMetrics(grid_->horizontalHeader()->font());
    for (int c = 0; c < model_->columnCount(); ++c) {
        const int title = titleMetrics.horizontalAdvance(model_->headerData(c, Qt::Horizontal).toString()) + 16;
        grid_->setColumnWidth(
            c, std::max(title, metrics.averageCharWidth() * BrowserColumnWidth(*table_, kind_, model_->TableColumn(c)) + 8));
    }
    SetWidthFromColumns();

    PositionNearestName(*table_, name.toStdString());
    ShowCurrentRecord();

    if (nameEdit && nameEdit->isVisible()) {
        const QPoint corner = nameEdit->mapToGlobal(QPoint(0, nameEdit->height()));
        move(corner.x(), corner.y() - 2);
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }

    const bool chosen = exec() == QDialog::Accepted;
    return chosen;
}

void TTableBrowser::SetWidthFromColumns() {
    int width = 0;
    for (int c = 0; c < model_->columnCount(); ++c) width += grid_->columnWidth(c) + 1;
    width += grid_->verticalScrollBar()->sizeHint().width() + 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 4 +
             layout()->contentsMargins().left() + layout()->contentsMargins().right();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) width = std::min(width, screen->availableGeometry().width());
    resize(std::max(width, minimumWidth()), std::max(height(), kMinimumHeight + 100));
}

void TTableBrowser::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        int x = pos().x();
        int y = pos().y();
        if (x + width() > area.right()) x = std::max(0, area.right() - width());
        if (y + height() > area.bottom()) y = std::max(0, area.bottom() - height());
        move(x, y);
    }
    grid_->setFocus();
    // Without a printer too: the print dialog also writes a PDF file.
    printButton_->setEnabled(true);
    nextButton_->setEnabled(false);
    prevButton_->setEnabled(false);
}

void TTableBrowser::done(int result) {
    // Back in name order, on the record chosen (or wherever browsing left it).
    if (table_) {
        SetBrowseOrder(kNameOrder);
        const QSignalBlocker blocker(searchEdit_);
        searchEdit_->clear();
    }
    QDialog::done(result);
}

int TTableBrowser::CurrentRow() const { return table_ && !table_->empty() ? static_cast<int>(table_->position()) : -1; }

void TTableBrowser::ShowCurrentRecord() {
    if (!model_) return;
    syncing_ = true;
    const int row = CurrentRow();
    if (row < 0) {
        grid_->selectionModel()->clearSelection();
    } else {
        model_->EnsureFetched(row);
        const QModelIndex index = model_->index(row, 0);
        grid_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        grid_->scrollTo(index);
    }
    syncing_ = false;
}

void TTableBrowser::RowChosen(const QModelIndex& index) {
    if (!index.isValid()) return;
    table_->MoveTo(static_cast<std::size_t>(index.row()));
    accept();
}

void TTableBrowser::RebuildCaption() { setWindowTitle(QString::fromStdString(BrowserCaption(kind_, table_->size()))); }

void TTableBrowser::SetBrowseOrder(int code) {
    if (code == orderCode_ && code != kLikenessOrder) return;
    std::set<int> bold;
    if (code == kLikenessOrder) {
        similarColumns_ = SetLikenessOrder(*table_, kind_);
        for (int k = 1; k <= similarColumns_; ++k) bold.insert(k);
    } else {
        SetColumnOrder(*table_, kind_, code);
        if (code != kNameOrder) bold.insert(std::abs(code));
    }
    orderCode_ = code;
    model_->Reload();
    model_->SetBoldColumns(std::move(bold));
    {
        const QSignalBlocker blocker(searchEdit_);
        searchEdit_->clear();
    }
    nextButton_->setEnabled(false);
    prevButton_->setEnabled(false);
    ShowCurrentRecord();
}

void TTableBrowser::TitleClick(int gridColumn) {
    if (!model_ || gridColumn < 0 || gridColumn >= model_->columnCount()) return;
    SetBrowseOrder(OrderCodeAfterTitleClick(orderCode_, model_->TableColumn(gridColumn)));
}

void TTableBrowser::FindSimilarButtonClick() { SetBrowseOrder(kLikenessOrder); }

void TTableBrowser::Find(FindDirection direction) {
    const std::string text(TrimText(searchEdit_->text().toStdString()));
    nextButton_->setEnabled(!text.empty());
    prevButton_->setEnabled(!text.empty());
    if (table_->empty()) return;
    const std::size_t remembered = table_->position();
    if (!FindNameContaining(*table_, text, direction)) table_->MoveTo(remembered);
    ShowCurrentRecord();
}

void TTableBrowser::SearchEditChange() { Find(FindDirection::FromFirst); }
void TTableBrowser::NextButtonClick() { Find(FindDirection::Forward); }
void TTableBrowser::PrevButtonClick() { Find(FindDirection::Backward); }

void TTableBrowser::TypeAheadCharacter(char c) {
    if (!table_ || table_->empty()) return;
    PositionNearestName(*table_, typeAhead_.Add(c, TypeAhead::Clock::now()));
    ShowCurrentRecord();
}

void TTableBrowser::WheelStep(int rows) {
    if (!table_ || table_->empty()) return;
    const auto position = static_cast<long>(table_->position()) + rows;
    if (position < 0 || position >= static_cast<long>(table_->size())) return;
    table_->MoveTo(static_cast<std::size_t>(position));
    ShowCurrentRecord();
}

void TTableBrowser::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (!searchEdit_->hasFocus() && text.size() == 1 && text[0].unicode() >= 32 && text[0].unicode() <= 126) {
        TypeAheadCharacter(static_cast<char>(text[0].unicode()));
        return;
    }
    QDialog::keyPressEvent(event);
}

void TTableBrowser::DeleteButtonClick() {
    if (!table_ || table_->empty()) return;
    Message question{MessageKind::Confirmation, "Are you sure you want to delete this entry?",
                     YesButton | NoButtonAnswer | HelpButton, kWindowHelpTopic};
    if (prompter_->Ask(question) != YesButton) return;
    SetBrowseOrder(kNameOrder);
    const std::string name = table_->Name();
    if (std::string error = table_->MarkDeleted(); !error.empty()) messages_->Report(ErrorMessage(error));
    else if (InstalledRecordDeleted()) InstalledRecordDeleted()(kind_, name);
    RebuildCaption();
    model_->Reload();
    ShowCurrentRecord();
}

void TTableBrowser::PrintButtonClick() {
    QPrinter printer;
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const std::vector<std::string> lines = BrowserPrintLines(*table_, kind_);
    QPainter painter;
    if (!painter.begin(&printer)) {
        messages_->Report(ErrorMessage("The table could not be printed: the printer could not be opened."));
        return;
    }
    QFont font(QStringLiteral("Courier New"), 8);
    font.setStyleHint(QFont::Monospace);
    painter.setFont(font);
    const int lineHeight = painter.fontMetrics().lineSpacing();
    const int indent = painter.fontMetrics().averageCharWidth() * 4;
    int y = lineHeight * 2;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (y > painter.viewport().height() - lineHeight) {
            printer.newPage();
            y = lineHeight * 2;
        }
        QFont lineFont = font;
        lineFont.setBold(i == 0);
        painter.setFont(lineFont);
        painter.drawText(indent, y, QString::fromStdString(lines[i]));
        y += lineHeight;
    }
    painter.end();
}

void TTableBrowser::ExportButtonClick() {
    const QString typeName = QString::fromStdString(TypeNameOf(static_cast<int>(kind_)));
    const QStringList filters{tr("Text Files (*.txt)"), tr("HTML Files (*.html *.htm)"),
                              tr("Comma Separated Values (*.csv)")};
    QFileDialog dialog(this, tr("Export %1s To...").arg(typeName));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString file = dialog.selectedFiles().front();
    const ExportChoice choice = ExportChoiceFor(file.toStdString(), static_cast<int>(filters.indexOf(dialog.selectedNameFilter())));
    TableExportSettings settings;
    settings.locale = units_.locale;
    const QLocale locale;
    settings.generatedAt = locale.toString(QDateTime::currentDateTime(), QLocale::ShortFormat).toStdString();
    const QColor face = palette().color(QPalette::Button);
    settings.buttonFace = {static_cast<std::uint8_t>(face.red()), static_cast<std::uint8_t>(face.green()),
                           static_cast<std::uint8_t>(face.blue())};
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ExportTable(*table_, kind_, file.toStdString(), choice == ExportChoice::Html, choice == ExportChoice::Csv,
                kExportHelpTopic, settings, *messages_);
    QApplication::restoreOverrideCursor();
}

void TTableBrowser::ImportButtonClick() {
    const QString typeName = QString::fromStdString(TypeNameOf(static_cast<int>(kind_)));
    const QString file = QFileDialog::getOpenFileName(this, tr("Import %1s From...").arg(typeName), QString(),
                                                      tr("Text Files (*.txt);;HTML Files (*.html *.htm)"));
    if (file.isEmpty()) return;
    TableImportOptions options;
    options.table = kind_;
    options.alwaysReport = true;
    options.helpTopic = kImportHelpTopic;
    options.locale = units_.locale;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto saved = table_->RecordNumber();
    SetBrowseOrder(kNameOrder);
    QApplication::restoreOverrideCursor();
    ImportTableText(*data_, file.toStdString(), options, *messages_);
    if (!saved || !table_->GoToRecord(*saved)) table_->First();
    RebuildCaption();
    model_->Reload();
    ShowCurrentRecord();
}

void TTableBrowser::WebUpdateButtonClick() {
    if (!InstalledTableUpdate()) return;
    const auto saved = table_->RecordNumber();
    SetBrowseOrder(kNameOrder);
    InstalledTableUpdate()(kind_, kUpdateHelpTopic);
    if (!saved || !table_->GoToRecord(*saved)) table_->First();
    RebuildCaption();
    model_->Reload();
    ShowCurrentRecord();
}

void TTableBrowser::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    FlowButtons();
}

// The bottom buttons flow in rows in their order, hidden ones keeping their place.
void TTableBrowser::FlowButtons() {
    const QList<QPushButton*> buttons{okButton_, cancelButton_, deleteButton_, helpButton_,
                                      printButton_, exportButton_, importButton_, webUpdateButton_};
    const QSize size = okButton_->sizeHint().expandedTo(QSize(75, 25));
    const int panelWidth = bottomPanel_->width() > 0 ? bottomPanel_->width() : width();
    int rowIndex = 0;
    int column = 0;
    for (QPushButton* button : buttons) {
        int left = (size.width() + 13) * column + 8;
        if (column > 0 && left + size.width() > panelWidth - 8) {
            ++rowIndex;
            column = 0;
            left = 8;
        }
        button->setGeometry(left, rowIndex * (size.height() + 12) + 9, size.width(), size.height());
        ++column;
    }
    bottomPanel_->setFixedHeight(size.height() + (size.height() + 12) * rowIndex + 16);
}

} // namespace ampvane
