// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/ui/report_form.h"


#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QTableView>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

#include "common/ui/button_row.h"
#include "common/ui/qt_text.h"
#include "common/ui/save_dialog.h"
#include "common/ui/window_geometry.h"
#include "help/help_topics.h"
#include "help/ui/help_viewer.h"
#include "analysis/analysis_input.h"
#include "analysis/report_export.h"
#include "analysis/ui/report_grid_model.h"
#include "analysis/ui/report_printer.h"
#include "analysis/ui/sweep_progress.h"

namespace ampvane {

namespace {


constexpr const char* kSaveDialogTitle = "Save Report As...";
// The dialog's filters in the order of the filter indices.
const QStringList kSaveFilters = {QStringLiteral("Text Files (*.txt)"), QStringLiteral("HTML Files (*.html *.htm)"),
                                  QStringLiteral("Comma Separated Values (*.csv)")};

QFont GridFont() {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(12);
    return font;
}

// Builds with the wait cursor and without repainting, as one step the user waits for.
class BusyWindow {
public:
    explicit BusyWindow(QWidget* window) : window_(window) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        if (window_->isVisible()) window_->setUpdatesEnabled(false);
    }
    ~BusyWindow() {
        window_->setUpdatesEnabled(true);
        QApplication::restoreOverrideCursor();
    }
    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;

private:
    QWidget* window_;
};

} // namespace

TReportForm::TReportForm(ReportEnvironment environment, QWidget* owner)
    : QWidget(owner, Qt::Window), env_(std::move(environment)), boxes_(this),
      colours_(ReportKeyColours(env_.moreThan256Colours)) {
    setObjectName(QStringLiteral("ReportForm"));
    SetHelpTopic(this, kReportHelpTopic);
    setAttribute(Qt::WA_DeleteOnClose);
    report_.Settings = env_.settings;
    BuildWindow();
}

TReportForm::~TReportForm() {
    // The grid goes with this object, before the widgets that show it.
    model_->Reset(nullptr);
    // Opinion windows owned by this one go after this destructor; they must not call back.
    for (const auto& opinion : opinions_)
        if (opinion) opinion->disconnect(this);
    for (const auto& graph : graphs_)
        if (graph) graph->disconnect(this);
    if (parentReport_) parentReport_->ChildClosed(this);
}

void TReportForm::BuildWindow() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);

    auto* top = new QGridLayout;
    auto* descriptions = new QVBoxLayout;
    descriptions->setSpacing(1);
    for (std::size_t i = 0; i < descriptionLabels_.size(); ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Description%1").arg(i + 1));
        label->setTextFormat(Qt::PlainText);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        descriptionLabels_[i] = label;
        descriptions->addWidget(label);
    }
    top->addLayout(descriptions, 0, 0, 2, 1);
    conditionLabel_ = new QLabel(this);
    conditionLabel_->setObjectName(QStringLiteral("ElevationLabel"));
    conditionLabel_->setTextFormat(Qt::PlainText);
    top->addWidget(conditionLabel_, 0, 1, Qt::AlignRight | Qt::AlignTop);
    auto* throttle = new QHBoxLayout;
    throttleLabel_ = new QLabel(QStringLiteral("Throttle 100%"), this);
    throttleLabel_->setObjectName(QStringLiteral("ThrottleLabel"));
    throttleSlider_ = new QSlider(Qt::Horizontal, this);
    throttleSlider_->setObjectName(QStringLiteral("ThrottleSlider"));
    throttleSlider_->setRange(0, 100);
    throttleSlider_->setValue(100);
    throttleSlider_->setMinimumWidth(160);
    throttle->addWidget(throttleLabel_);
    throttle->addWidget(throttleSlider_);
    top->addLayout(throttle, 1, 1, Qt::AlignRight | Qt::AlignTop);
    top->setColumnStretch(0, 1);
    top->setContentsMargins(0, 0, 10, 0);
    outer->addLayout(top);

    auto* key = new QHBoxLayout;
    const auto keyLabel = [this, key](const char* name) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(name));
        label->setTextFormat(Qt::PlainText);
        label->setMargin(2);
        key->addWidget(label);
        return label;
    };
    colorKeyLabel_ = keyLabel("ColorKeyLabel");
    colorKeyLabel_->setText(Q(ReportGrid::kColorKeyLabel));
    propStalledKey_ = keyLabel("PropStalledKeyLabel");
    propStalledKey_->setText(Q(ReportGrid::kPropStalledKeyLabel));
    stallKey_ = keyLabel("StallKeyLabel");
    levelOptKey_ = keyLabel("LevelOptKeyLabel");
    levelKey_ = keyLabel("LevelKeyLabel");
    key->addStretch();
    outer->addLayout(key);

    view_ = new QTableView(this);
    view_->setObjectName(QStringLiteral("ReportGrid"));
    model_ = new ReportGridModel(&report_.Grid, colours_, GridFont(), this);
    view_->setModel(model_);
    view_->setItemDelegate(new ReportCellDelegate(ToQColor(colours_.HeaderBackground), view_));
    view_->setFont(GridFont());
    view_->setShowGrid(false);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    view_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view_->verticalHeader()->hide();
    // Row heights are set while the grid has no rows: a header resizes every row it already has, one
    // signal a row, which for a million rows takes longer than showing them.
    const QFontMetrics metrics(GridFont());
    const int rowHeight = std::max(2 * QFontInfo(GridFont()).pointSize(), metrics.height() + 4);
    view_->verticalHeader()->setDefaultSectionSize(rowHeight);
    view_->verticalHeader()->setMinimumSectionSize(rowHeight);
    view_->setWordWrap(false);
    view_->setCornerButtonEnabled(false);
    QHeaderView* header = view_->horizontalHeader();
    header->setFont(GridFont());
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setFixedHeight(2 * metrics.lineSpacing() + 8);
    header->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QHeaderView::sectionClicked, this, [this](int column) { HeaderClicked(column, false); });
    connect(header, &QHeaderView::customContextMenuRequested, this,
            [this, header](const QPoint& position) { HeaderClicked(header->logicalIndexAt(position), true); });
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view_, &QTableView::customContextMenuRequested, this, &TReportForm::ShowRowMenu);
    connect(view_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) { OpenInFlight(index.row()); });
    connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { model_->SetSelectedRow(current.isValid() ? current.row() : -1); });
    view_->viewport()->installEventFilter(this);
    view_->installEventFilter(this);
    outer->addWidget(view_, 1);

    ButtonRow buttons(this);
    saveButton_ = buttons.Add(" &Save...", "SaveButton");
    printButton_ = buttons.Add(" &Print...", "PrintButton");
    inFlightButton_ = buttons.Add("&In-flight...", "InFlightButton");
    opinionButton_ = buttons.Add("&Opinion...", "OpinionButton", OpinionsOffered());
    QPushButton* graphButton = buttons.Add("&Graph...", "GraphButton", static_cast<bool>(env_.openGraph));
    QPushButton* compareButton = buttons.Add("Co&mpare...", "CompareButton", static_cast<bool>(env_.compare));
    QPushButton* closeButton = buttons.Add("&Close", "CloseButton");
    connect(buttons.Add("Help", "HelpButton"), &QPushButton::clicked, this, [this] { ShowHelpTopic(HelpTopicOf(this)); });
    buttons.AddStretch();
    outer->addLayout(buttons.Layout());
    connect(saveButton_, &QPushButton::clicked, this, &TReportForm::SaveButtonClick);
    connect(printButton_, &QPushButton::clicked, this, &TReportForm::PrintButtonClick);
    connect(inFlightButton_, &QPushButton::clicked, this, &TReportForm::InFlightButtonClick);
    connect(opinionButton_, &QPushButton::clicked, this, &TReportForm::ExplainButtonClick);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(graphButton, &QPushButton::clicked, this, &TReportForm::GraphButtonClick);
    connect(compareButton, &QPushButton::clicked, this, &TReportForm::CompareButtonClick);

    connect(throttleSlider_, &QSlider::valueChanged, this, [this](int value) {
        throttleLabel_->setText(QStringLiteral("Throttle %1%").arg(value));
        opinionButton_->setEnabled(OpinionsOffered() && value == 100);
        if (!throttleSlider_->isSliderDown()) SetThrottle(value);
    });
    connect(throttleSlider_, &QSlider::sliderReleased, this, [this] { SetThrottle(throttleSlider_->value()); });
}

// ---- building ------------------------------------------------------------------------------------

void TReportForm::BuildStaticReport(const AnalysisOptions& options, const DisplayPlane& plane, bool forOpinion) {
    forOpinion_ = forOpinion;
    // The sweep's messages and questions go through the progress window, which gives way to them.
    SweepProgress progress(this, Messages(), Questions());
    const auto step = [&progress](std::uint64_t done, std::uint64_t total) { return progress.Step(done, total); };
    ReportOutcome outcome;
    {
        BusyWindow busy(this);
        outcome = ampvane::BuildStaticReport(report_, options, plane, progress, progress, step);
    }
    progress.Close();
    ShowOutcome(outcome);
}

void TReportForm::ShowOutcome(ReportOutcome outcome) {
    if (outcome == ReportOutcome::Closed) {
        deleteLater();
        return;
    }
    ShowGrid(!built_);
    built_ = true;
    if (outcome == ReportOutcome::OpenInFlight && !InFlight() && OpenInFlight(0, forOpinion_)) return;
    show();
    raise();
    activateWindow();
    if (outcome == ReportOutcome::OpenOpinion && InFlight()) ExplainButtonClick();
}

void TReportForm::ShowGrid(bool firstBuild) {
    const ReportGrid& grid = report_.Grid;
    model_->Reset(&grid);
    const QFontMetrics metrics(GridFont());
    const int charWidth = metrics.horizontalAdvance(QLatin1Char('0'));
    for (std::size_t c = 0; c < grid.Columns.size(); ++c) {
        const ReportGridColumn& column = grid.Columns[c];
        const int section = static_cast<int>(c);
        view_->setColumnHidden(section, !column.Visible());
        if (column.Visible()) view_->setColumnWidth(section, column.Width * charWidth + 8);
    }
    setWindowTitle(Q(grid.Caption));
    conditionLabel_->setText(Q(grid.ConditionLine));
    for (std::size_t i = 0; i < descriptionLabels_.size(); ++i) {
        QLabel* label = descriptionLabels_[i];
        const QString text = Q(grid.Description[i]);
        label->setText(text);
        label->setVisible(!text.isEmpty());
        QPalette palette = QApplication::palette();
        if (grid.DuctingLineRed && text.startsWith(QStringLiteral("Ducting:")))
            palette.setColor(QPalette::WindowText, Qt::red);
        label->setPalette(palette);
    }

    const auto keyStyle = [](QLabel* label, const QColor& background, const QColor& text) {
        label->setAutoFillBackground(true);
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, background);
        palette.setColor(QPalette::WindowText, text);
        label->setPalette(palette);
    };
    keyStyle(propStalledKey_, QColor(0xEE, 0xEE, 0xEE), ToQColor(colours_.PropStalledText));
    stallKey_->setText(Q(grid.StallKeyLabel));
    levelOptKey_->setText(Q(grid.LevelOptKeyLabel));
    levelKey_->setText(Q(grid.LevelKeyLabel));
    keyStyle(stallKey_, ToQColor(colours_.StallKey), Qt::black);
    keyStyle(levelOptKey_, ToQColor(colours_.LevelOptKey), Qt::black);
    keyStyle(levelKey_, ToQColor(colours_.LevelKey), Qt::black);
    propStalledKey_->setVisible(grid.ShowPropStalledKey);
    stallKey_->setVisible(grid.ShowStallKey);
    levelOptKey_->setVisible(grid.ShowLevelOptKey);
    levelKey_->setVisible(grid.ShowLevelKey);
    colorKeyLabel_->setVisible(grid.ShowColorKey());

    const bool inFlight = InFlight();
    SetHelpTopic(this, inFlight ? kInFlightHelpTopic : kReportHelpTopic);
    throttleSlider_->setVisible(inFlight);
    throttleLabel_->setVisible(inFlight);
    inFlightButton_->setVisible(!inFlight);
    inFlightButton_->setDefault(!inFlight);
    opinionButton_->setDefault(inFlight);

    if (grid.RowCount() > 0) {
        const int top = std::clamp(grid.TopRow - 2, 0, grid.RowCount() - 1);
        view_->scrollTo(model_->index(top, 0), QAbstractItemView::PositionAtTop);
    }
    if (firstBuild) {
        FitWidth();
        (inFlight ? opinionButton_ : inFlightButton_)->setFocus();
        if (!inFlight) view_->setFocus();
    }
}

void TReportForm::FitWidth() {
    int columns = 0;
    for (int c = 0; c < model_->columnCount(); ++c)
        if (!view_->isColumnHidden(c)) columns += view_->columnWidth(c);
    int width = columns + view_->verticalScrollBar()->sizeHint().width() + 2 * view_->frameWidth() + 12;
    // Widen so that the key labels, the buttons and the widest description line fit.
    width = std::max(width, layout()->sizeHint().width());
    const QFontMetrics metrics(font());
    for (QLabel* label : descriptionLabels_)
        if (!label->text().isEmpty()) width = std::max(width, metrics.horizontalAdvance(label->text()) + 24);
    if (const QScreen* screen = this->screen()) width = std::min(width, screen->availableGeometry().width());
    const int rows = std::min(model_->rowCount(), 20);
    const int height = layout()->sizeHint().height() + rows * view_->verticalHeader()->defaultSectionSize();
    resize(width, height);
    // Back onto the screen when it would reach past an edge, and never taller than the screen.
    FitSizeToScreen(*this);
}

// ---- rows and sorting ---------------------------------------------------------------------------

int TReportForm::SelectedDataRow() const { return model_->SelectedRow(); }

void TReportForm::SelectDataRow(int dataRow) {
    if (dataRow < 0 || dataRow >= model_->rowCount()) return;
    view_->selectRow(dataRow);
    view_->setCurrentIndex(model_->index(dataRow, 0));
    model_->SetSelectedRow(dataRow);
}

void TReportForm::HeaderClicked(int column, bool rightButton) {
    if (column < 0) return;
    ReportGrid& grid = report_.Grid;
    const int selected = SelectedDataRow();
    std::string sequence;
    if (selected >= 0) sequence = grid.Cell(selected + 2, grid.SequenceColumn);
    ReportHeaderClicked(grid, column, rightButton);
    model_->Reset(&grid);
    if (!sequence.empty()) SelectDataRow(FindRowBySequence(grid, sequence));
}

void TReportForm::ShowRowMenu(const QPoint& position) {
    const QModelIndex index = view_->indexAt(position);
    if (!index.isValid()) return;
    SelectDataRow(index.row());
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("ReportPopup"));
    menu.addAction(QStringLiteral("Copy Row to Clipboard"), this, &TReportForm::CopyRowToClipboard);
    menu.addAction(QStringLiteral("Copy Description and Row"), this, &TReportForm::CopyDescriptionAndRow);
    if (!InFlight()) {
        menu.addSeparator();
        menu.addAction(QStringLiteral("Perform In-flight Analysis..."), this, &TReportForm::InFlightButtonClick);
        menu.addAction(QStringLiteral("AmpvaneOpinion..."), this, &TReportForm::ExplainButtonClick)
            ->setEnabled(OpinionsOffered());
        menu.addAction(QStringLiteral("Compare..."), this, &TReportForm::CompareButtonClick)
            ->setEnabled(static_cast<bool>(env_.compare));
    }
    menu.exec(view_->viewport()->mapToGlobal(position));
}

void TReportForm::CopyRowToClipboard() {
    const int row = SelectedDataRow();
    if (row >= 0) QGuiApplication::clipboard()->setText(Q(RowClipboardText(report_.Grid, row)));
}

void TReportForm::CopyDescriptionAndRow() {
    const int row = SelectedDataRow();
    if (row >= 0) QGuiApplication::clipboard()->setText(Q(DescriptionAndRowClipboardText(report_.Grid, row)));
}

// ---- in-flight children -------------------------------------------------------------------------

void TReportForm::InFlightButtonClick() {
    const int row = SelectedDataRow();
    if (row >= 0) OpenInFlight(row);
}

void TReportForm::ExplainButtonClick() {
    if (!OpinionsOffered()) return;
    if (!InFlight()) {
        const int row = SelectedDataRow();
        if (row >= 0) OpenInFlight(row, true);
        return;
    }
    if (std::lround(report_.Throttle * 100) != 100) return; // opinions are of full throttle only
    QWidget* opinion = env_.openOpinion(*this);
    if (!opinion) return;
    opinions_.emplace_back(opinion);
    connect(opinion, &QObject::destroyed, this, &TReportForm::OpinionClosed);
}

bool TReportForm::OpinionsOffered() const { return static_cast<bool>(env_.openOpinion); }

TReportForm* TReportForm::OpenInFlight(int dataRow, bool openOpinion) {
    if (InFlight()) return nullptr;
    ReportOutcome outcome = ReportOutcome::Closed;
    std::optional<Report> built;
    {
        BusyWindow busy(this);
        built = OpenInFlightReport(report_, dataRow, report_.OpenOpinion || openOpinion, Messages(), Questions(),
                                   &outcome);
    }
    if (!built || outcome == ReportOutcome::Closed) return nullptr;
    auto* child = new TReportForm(env_, parentWidget());
    child->report_ = std::move(*built);
    child->parentReport_ = this;
    children_.emplace_back(child);
    child->ShowOutcome(outcome);
    emit InFlightOpened(child);
    return child;
}

void TReportForm::SetThrottle(int percent) {
    if (!InFlight() || !built_) return;
    if (std::lround(report_.Throttle * 100) == percent) return;
    Report previous = report_;
    ReportOutcome outcome;
    {
        BusyWindow busy(this);
        outcome = SetInFlightThrottle(report_, percent, Messages(), Questions());
    }
    if (outcome == ReportOutcome::Closed) {
        // Nothing can be computed at this throttle (the message has been given): rather than losing
        // the window, it keeps the report it had and the slider goes back to that throttle.
        report_ = std::move(previous);
        const QSignalBlocker quiet(throttleSlider_);
        const int kept = static_cast<int>(std::lround(report_.Throttle * 100));
        throttleSlider_->setValue(kept);
        throttleLabel_->setText(QStringLiteral("Throttle %1%").arg(kept));
    }
    ShowGrid(false);
}

std::vector<TReportForm*> TReportForm::Children() const {
    std::vector<TReportForm*> open;
    for (const auto& child : children_)
        if (child) open.push_back(child.data());
    return open;
}

std::vector<QWidget*> TReportForm::OpinionWindows() const {
    std::vector<QWidget*> open;
    for (const auto& opinion : opinions_)
        if (opinion) open.push_back(opinion.data());
    return open;
}

void TReportForm::ChildClosed(TReportForm* child) {
    children_.erase(std::remove_if(children_.begin(), children_.end(),
                                   [child](const QPointer<TReportForm>& c) { return !c || c.data() == child; }),
                    children_.end());
    if (!HasChildWindows() && !isVisible()) close();
}

bool TReportForm::HasChildWindows() const {
    return !Children().empty() || !OpinionWindows().empty() || !GraphWindows().empty();
}

void TReportForm::GraphButtonClick() {
    if (!env_.openGraph) return;
    QWidget* graph = env_.openGraph(*this);
    if (!graph) return;
    graphs_.emplace_back(graph);
    connect(graph, &QObject::destroyed, this, &TReportForm::GraphClosed);
}

void TReportForm::CompareButtonClick() {
    if (env_.compare) env_.compare(*this);
}

std::vector<QWidget*> TReportForm::GraphWindows() const {
    std::vector<QWidget*> open;
    for (const auto& graph : graphs_)
        if (graph) open.push_back(graph.data());
    return open;
}

void TReportForm::GraphClosed() {
    const QObject* gone = sender();
    graphs_.erase(std::remove_if(graphs_.begin(), graphs_.end(),
                                 [gone](const QPointer<QWidget>& w) { return !w || w.data() == gone; }),
                  graphs_.end());
    if (!HasChildWindows() && !isVisible()) close();
}

int TReportForm::ThrottlePosition() const { return throttleSlider_->value(); }

void TReportForm::MoveThrottle(int percent) {
    {
        const QSignalBlocker quiet(throttleSlider_);
        throttleSlider_->setValue(percent);
        throttleLabel_->setText(QStringLiteral("Throttle %1%").arg(percent));
    }
    opinionButton_->setEnabled(OpinionsOffered() && percent == 100);
    SetThrottle(percent);
}

void TReportForm::OpinionClosed() {
    // The sender is being destroyed: its pointer has been cleared or goes now.
    const QObject* gone = sender();
    opinions_.erase(std::remove_if(opinions_.begin(), opinions_.end(),
                                   [gone](const QPointer<QWidget>& w) { return !w || w.data() == gone; }),
                    opinions_.end());
    if (!HasChildWindows() && !isVisible()) close();
}

void TReportForm::closeEvent(QCloseEvent* event) {
    if (HasChildWindows()) {
        hide();
        event->ignore();
        return;
    }
    event->accept();
}

bool TReportForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_->viewport() && event->type() == QEvent::Wheel) {
        // One wheel step scrolls one row.
        const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
        if (delta != 0) {
            QScrollBar* bar = view_->verticalScrollBar();
            bar->setValue(bar->value() + (delta > 0 ? -1 : 1));
        }
        return true;
    }
    if (watched == view_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !InFlight()) {
            InFlightButtonClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- saving and printing ----------------------------------------------------------------------

void TReportForm::SaveButtonClick() {
    if (const auto choice = AskSaveFileName(this, QString::fromUtf8(kSaveDialogTitle), kSaveFilters))
        SaveReportAs(choice->fileName, choice->filterIndex);
}

bool TReportForm::SaveReportAs(const QString& fileName, int filterIndex) {
    const std::string name = fileName.toStdString();
    ReportExportSettings settings;
    settings.GeneratedAt = FooterDateTime();
    settings.Colours = colours_;
    return SaveReport(report_.Grid, name, ChooseReportFormat(name, filterIndex), settings, Messages());
}

void TReportForm::PrintButtonClick() {
    QPrinter printer;
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    PrintOn(printer);
}

int TReportForm::PrintOn(QPagedPaintDevice& device) {
    ReportPrintSettings settings;
    settings.colours = env_.printColours || report_.Options.PrintColours;
    settings.keyColours = colours_;
    settings.generatedAt = QString::fromStdString(FooterDateTime());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int pages = PrintReport(report_.Grid, device, settings);
    QApplication::restoreOverrideCursor();
    return pages;
}

MessageSink& TReportForm::Messages() { return env_.messages ? *env_.messages : boxes_; }
Prompter& TReportForm::Questions() { return env_.prompter ? *env_.prompter : boxes_; }

} // namespace ampvane
