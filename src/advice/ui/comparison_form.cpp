// SPDX-License-Identifier: GPL-3.0-or-later
#include "advice/ui/comparison_form.h"

#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "common/ui/button_row.h"
#include "common/ui/qt_text.h"
#include "common/ui/save_dialog.h"
#include "analysis/report_export.h"
#include "help/help_topics.h"
#include "help/ui/help_viewer.h"

namespace ampvane {

namespace {

QColor ToColour(RgbColour c) { return QColor(c.red, c.green, c.blue); }

const QStringList kSaveFilters = {QStringLiteral("Text Files (*.txt)"), QStringLiteral("HTML Files (*.html *.htm)"),
                                  QStringLiteral("Comma Separated Values (*.csv)")};
constexpr int kCloseBoxWidth = 18;

// The close box's hot area within a header cell.
bool InCloseBox(const QRect& cell, const QPoint& p) {
    return p.x() > cell.right() - 17 && p.x() < cell.right() - 3 && p.y() > cell.top() + 2 && p.y() < cell.top() + 13;
}

// Draws the close box at the right end of each drive header cell.
class CloseBoxDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    int pressed = -1;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (index.row() != 0 || index.column() == 0) return;
        if (index.column() == 1 && index.data().toString().isEmpty()) return;
        const QRect r = option.rect;
        const QRect box(r.right() - kCloseBoxWidth + 1, r.top() + 2, kCloseBoxWidth - 3, 12);
        const QPalette& palette = option.palette;
        const bool down = pressed == index.column();
        painter->save();
        painter->fillRect(box, palette.color(QPalette::Button));
        painter->setPen(down ? palette.color(QPalette::Dark) : palette.color(QPalette::Light));
        painter->drawLine(box.topLeft(), box.topRight());
        painter->drawLine(box.topLeft(), box.bottomLeft());
        painter->setPen(down ? palette.color(QPalette::Light) : palette.color(QPalette::Dark));
        painter->drawLine(box.bottomLeft(), box.bottomRight());
        painter->drawLine(box.topRight(), box.bottomRight());
        painter->setPen(QPen(palette.color(QPalette::ButtonText), 2));
        const QPoint c = box.center() + (down ? QPoint(1, 1) : QPoint(0, 0));
        painter->drawLine(c + QPoint(-3, -3), c + QPoint(3, 3));
        painter->drawLine(c + QPoint(-3, 3), c + QPoint(3, -3));
        painter->restore();
    }
};

} // namespace

TComparisonForm::TComparisonForm(QWidget* owner, MessageSink* messages)
    : QWidget(owner, Qt::Window), boxes_(this), messages_(messages) {
    setObjectName(QStringLiteral("ComparisonForm"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);

    auto* top = new QHBoxLayout;
    auto* heating1 = new QLabel(QStringLiteral("Motor performance calculations"), this);
    heating1->setObjectName(QStringLiteral("HeatingLabel1"));
    heatingMiddle_ = new QLabel(this);
    heatingMiddle_->setObjectName(QStringLiteral("HeatingLabel2"));
    QFont bold = heatingMiddle_->font();
    bold.setBold(true);
    heatingMiddle_->setFont(bold);
    auto* heating3 = new QLabel(QStringLiteral("take ambient temperature and heating effects into account."), this);
    heating3->setObjectName(QStringLiteral("HeatingLabel3"));
    top->setSpacing(0);
    top->addWidget(heating1);
    top->addWidget(heatingMiddle_);
    top->addWidget(heating3);
    top->addStretch();
    conditionLabel_ = new QLabel(this);
    conditionLabel_->setObjectName(QStringLiteral("ElevationLabel"));
    top->addWidget(conditionLabel_);
    top->setContentsMargins(0, 0, 10, 0);
    outer->addLayout(top);

    grid_ = new QTableWidget(this);
    grid_->setObjectName(QStringLiteral("CompareGrid"));
    grid_->horizontalHeader()->hide();
    grid_->verticalHeader()->hide();
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setItemDelegate(new CloseBoxDelegate(grid_));
    grid_->viewport()->installEventFilter(this);
    grid_->viewport()->setMouseTracking(true);
    outer->addWidget(grid_, 1);

    ButtonRow buttons(this);
    connect(buttons.Add(" &Save...", "SaveButton"), &QPushButton::clicked, this, &TComparisonForm::SaveButtonClick);
    connect(buttons.Add(" &Print...", "PrintButton"), &QPushButton::clicked, this, &TComparisonForm::PrintButtonClick);
    connect(buttons.Add("Cl&ear", "ClearButton"), &QPushButton::clicked, this, &TComparisonForm::ClearButtonClick);
    connect(buttons.Add("&Close", "CloseButton"), &QPushButton::clicked, this, &TComparisonForm::CloseButtonClick);
    connect(buttons.Add("Help", "HelpButton"), &QPushButton::clicked, this, [] { ShowHelpTopic(kComparisonHelpTopic); });
    SetHelpTopic(this, kComparisonHelpTopic);
    buttons.AddStretch();
    outer->addLayout(buttons.Layout());

    resize(900, 700);
    ShowTable();
}

void TComparisonForm::CompareButtonClick(const Report& report, int selectedRow) {
    const auto data = ComparisonColumnFromReport(report, selectedRow, Messages());
    if (data) {
        if (!AddComparisonColumnData(table_, *data))
            Messages().Report(Message{MessageKind::Error, kComparisonFullMessage, OkButton | HelpButton, kComparisonHelpTopic});
        ShowTable();
    }
    show();
    raise();
    activateWindow();
}

void TComparisonForm::RemoveColumn(int column) {
    table_.RemoveColumn(column);
    ShowTable();
}

void TComparisonForm::MoveColumn(int from, int to) {
    table_.MoveColumn(from, to);
    ShowTable();
}

void TComparisonForm::ClearButtonClick() {
    table_.Clear();
    ShowTable();
}

void TComparisonForm::CloseButtonClick() { hide(); }

void TComparisonForm::ShowTable() {
    const QPalette palette = QApplication::palette();
    const QColor difference = ToColour(WriteSettings().differenceColour);
    grid_->setColumnCount(table_.ColumnCount());
    grid_->setRowCount(kComparisonRowCount);
    QFont regular = grid_->font();
    QFont bold = regular;
    bold.setBold(true);
    for (int row = 0; row < kComparisonRowCount; ++row) {
        const bool differs = row > 0 && table_.RowDiffers(row);
        for (int c = 0; c < table_.ColumnCount(); ++c) {
            auto* item = new QTableWidgetItem(Q(table_.Cell(row, c)));
            const bool heading = c == 0 && ComparisonHeadingRow(row);
            item->setFont(row == 0 || heading ? bold : regular);
            if (row == 0) {
                const bool dragged = c == dragged_ && c > 0;
                item->setBackground(dragged ? palette.color(QPalette::Highlight) : palette.color(QPalette::Button));
                item->setForeground(dragged ? palette.color(QPalette::HighlightedText) : palette.color(QPalette::ButtonText));
            } else if (c == 0) {
                item->setBackground(palette.color(QPalette::ToolTipBase));
                item->setForeground(palette.color(QPalette::ToolTipText));
            } else {
                item->setBackground(differs ? difference : palette.color(QPalette::Base));
                item->setForeground(differs ? QColor(Qt::black) : palette.color(QPalette::Text));
            }
            grid_->setItem(row, c, item);
        }
    }
    const QFontMetrics metrics(grid_->font());
    const QFontMetrics boldMetrics(bold);
    int labelWidth = 0;
    for (int row = 0; row < kComparisonRowCount; ++row)
        labelWidth = std::max(labelWidth, (ComparisonHeadingRow(row) ? boldMetrics : metrics)
                                              .horizontalAdvance(Q(table_.Cell(row, 0))));
    grid_->setColumnWidth(0, labelWidth + metrics.horizontalAdvance(QStringLiteral("    ")));
    const int rowHeight = std::max(2 * QFontInfo(grid_->font()).pointSize(), metrics.height() + 2);
    grid_->verticalHeader()->setDefaultSectionSize(rowHeight);
    grid_->setRowHeight(0, std::max(rowHeight, 18));
    setWindowTitle(Q(table_.Caption()));
    conditionLabel_->setText(Q(table_.ConditionLine()));
    heatingMiddle_->setText(Q(table_.HeatingMiddle()));
    Layout();
}

void TComparisonForm::Layout() {
    const int lines = grid_->showGrid() ? 1 : 0;
    int remaining = grid_->viewport()->width() - grid_->columnWidth(0) - lines - 2;
    const int n = table_.DriveColumnCount();
    for (int i = 1; i <= n; ++i) {
        const int width = remaining / (n - i + 1) - lines;
        grid_->setColumnWidth(i, std::max(width, 20));
        remaining -= width + lines;
    }
}

bool TComparisonForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched != grid_->viewport()) return QWidget::eventFilter(watched, event);
    auto* delegate = static_cast<CloseBoxDelegate*>(grid_->itemDelegate());
    switch (event->type()) {
    case QEvent::Resize: Layout(); break;
    case QEvent::MouseButtonPress: {
        const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint();
        const QModelIndex index = grid_->indexAt(p);
        if (!index.isValid() || index.row() != 0 || index.column() == 0) break;
        if (InCloseBox(grid_->visualRect(index), p)) {
            pressedClose_ = delegate->pressed = index.column();
        } else {
            dragged_ = index.column();
            ShowTable();
        }
        grid_->viewport()->update();
        return true;
    }
    case QEvent::MouseMove:
        if (pressedClose_ >= 0) {
            const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint();
            const QModelIndex index = grid_->model()->index(0, pressedClose_);
            delegate->pressed = InCloseBox(grid_->visualRect(index), p) ? pressedClose_ : -1;
            grid_->viewport()->update();
        }
        break;
    case QEvent::MouseButtonRelease: {
        const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint();
        const QModelIndex index = grid_->indexAt(p);
        const int closing = pressedClose_;
        const int dragged = dragged_;
        pressedClose_ = dragged_ = delegate->pressed = -1;
        if (closing >= 0) {
            if (index.isValid() && index.row() == 0 && index.column() == closing &&
                InCloseBox(grid_->visualRect(index), p))
                RemoveColumn(closing);
            grid_->viewport()->update();
            return true;
        }
        if (dragged >= 0) {
            if (index.isValid() && index.column() > 0 && index.column() != dragged)
                MoveColumn(dragged, index.column());
            else
                ShowTable();
            return true;
        }
        break;
    }
    case QEvent::Wheel: {
        const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
        if (delta != 0) grid_->verticalScrollBar()->setValue(grid_->verticalScrollBar()->value() + (delta > 0 ? -1 : 1));
        return true;
    }
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

void TComparisonForm::showEvent(QShowEvent* event) {
    pressedClose_ = dragged_ = -1;
    QWidget::showEvent(event);
    Layout();
}

ComparisonWriteSettings TComparisonForm::WriteSettings() const {
    ComparisonWriteSettings settings;
    settings.generatedAt = FooterDateTime();
    return settings;
}

void TComparisonForm::SaveButtonClick() {
    if (const auto choice = AskSaveFileName(this, QStringLiteral("Save Comparison As..."), kSaveFilters))
        SaveComparisonAs(choice->fileName, choice->filterIndex);
}

bool TComparisonForm::SaveComparisonAs(const QString& fileName, int filterIndex) {
    const std::string name = fileName.toStdString();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool saved = SaveComparison(table_, name, ComparisonFormatFor(name, filterIndex), WriteSettings(), Messages());
    QApplication::restoreOverrideCursor();
    return saved;
}

void TComparisonForm::PrintButtonClick() {
    QPrinter printer;
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    PrintOn(printer);
}

int TComparisonForm::PrintOn(QPagedPaintDevice& device) {
    QPainter painter(&device);
    const QRect page = painter.viewport();
    QFont font(Q(table_.PrintFontName().empty() ? std::string("Courier New") : table_.PrintFontName()));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(8);
    QFont boldFont = font;
    boldFont.setBold(true);
    const QFontMetrics metrics(boldFont, &device);
    const int charWidth = std::max(1, metrics.horizontalAdvance(QLatin1Char('0')));
    const int indent = 5 * charWidth;
    const int pageChars = std::max(40, (page.width() - indent) / charWidth);
    const int lineHeight = metrics.lineSpacing();
    int pages = 1;
    int y = 2 * lineHeight;
    const auto newLineRoom = [&] {
        if (y + lineHeight > page.height()) {
            device.newPage();
            ++pages;
            y = lineHeight;
        }
    };
    QFont title(QStringLiteral("Times New Roman"), 18);
    painter.setFont(title);
    y += QFontMetrics(title, &device).ascent();
    painter.drawText(indent, y, Q(table_.Caption()));
    y += QFontMetrics(title, &device).descent() + lineHeight;
    QFont condition(QStringLiteral("Microsoft Sans Serif"), 9, QFont::Bold);
    painter.setFont(condition);
    painter.drawText(indent, y, Q(table_.ConditionLine()));
    y += 2 * lineHeight;
    const std::optional<RgbColour> colour = table_.PrintColour();
    for (const ComparisonLine& line : ComparisonLines(table_, pageChars)) {
        newLineRoom();
        int x = indent;
        painter.setFont(line.header || line.heading ? boldFont : font);
        painter.setPen(Qt::black);
        painter.drawText(x, y, Q(line.label));
        x += charWidth * static_cast<int>(Q(line.label).size());
        for (const std::string& cell : line.cells) {
            QFont cellFont = line.header ? boldFont : font;
            if (line.differs && !colour) cellFont.setItalic(true);
            painter.setFont(cellFont);
            painter.setPen(line.differs && colour ? ToColour(*colour) : QColor(Qt::black));
            x += charWidth;
            painter.drawText(x, y, Q(cell));
            x += charWidth * static_cast<int>(Q(cell).size());
        }
        y += lineHeight;
    }
    newLineRoom();
    y += lineHeight;
    painter.setFont(QFont(QStringLiteral("Microsoft Sans Serif"), 9));
    painter.setPen(Qt::black);
    painter.drawText(indent, y,
                     QStringLiteral("Note: Motor performance calculations") + Q(table_.HeatingMiddle()) +
                         QStringLiteral("take ambient temperature and heating effects into account."));
    return pages;
}

MessageSink& TComparisonForm::Messages() { return messages_ ? *messages_ : boxes_; }

} // namespace ampvane
