// SPDX-License-Identifier: GPL-3.0-or-later
#include "advice/ui/graph_form.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "common/ui/button_row.h"
#include "common/ui/qt_text.h"
#include "common/ui/save_dialog.h"
#include "chart/ui/chart.h"
#include "help/help_topics.h"
#include "help/ui/help_viewer.h"
#include "advice/graph_picture.h"

namespace ampvane {

namespace {


const QStringList kSaveFilters = {QStringLiteral("PNG Files (*.png)"), QStringLiteral("JPEG Files (*.jpg *.jpeg)"),
                                  QStringLiteral("Windows Bitmap Files (*.bmp)"), QStringLiteral("SVG Files (*.svg)"),
                                  QStringLiteral("PDF Files (*.pdf)")};

constexpr QRgb kLeftColour = qRgb(255, 0, 0);
constexpr QRgb kRightColour = qRgb(0, 0, 255);

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

TGraphForm::TGraphForm(QWidget* owner, GraphSource source, GraphAxesStore store, MessageSink* messages)
    : QWidget(owner, Qt::Window), boxes_(this), messages_(messages), source_(std::move(source)),
      store_(std::move(store)) {
    setObjectName(QStringLiteral("GraphForm"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);
    auto* top = new QGridLayout;
    auto* descriptions = new QVBoxLayout;
    descriptions->setSpacing(1);
    for (std::size_t i = 0; i < descriptionLabels_.size(); ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Description%1").arg(i + 1));
        label->setTextFormat(Qt::PlainText);
        descriptionLabels_[i] = label;
        descriptions->addWidget(label);
    }
    top->addLayout(descriptions, 0, 0);
    conditionLabel_ = new QLabel(this);
    conditionLabel_->setObjectName(QStringLiteral("ElevationLabel"));
    conditionLabel_->setTextFormat(Qt::PlainText);
    top->addWidget(conditionLabel_, 0, 1, Qt::AlignRight | Qt::AlignTop);
    top->setColumnStretch(0, 1);
    top->setContentsMargins(0, 0, 10, 0);
    outer->addLayout(top);

    auto* axes = new QGridLayout;
    const auto axisList = [this, axes](const char* caption, const char* name, int column, QRgb colour) {
        auto* list = new QComboBox(this);
        list->setObjectName(QString::fromLatin1(name));
        list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        auto* label = new QLabel(QString::fromUtf8(caption), this);
        label->setBuddy(list);
        if (colour != 0) {
            QPalette palette = list->palette();
            palette.setColor(QPalette::Text, QColor(colour));
            palette.setColor(QPalette::ButtonText, QColor(colour));
            list->setPalette(palette);
        }
        axes->addWidget(label, 0, column);
        axes->addWidget(list, 1, column);
        connect(list, &QComboBox::activated, this, &TGraphForm::XAxisComboBoxChange);
        return list;
    };
    xAxis_ = axisList("Horizontal &Axis:", "XAxisComboBox", 0, 0);
    yAxis1_ = axisList("&Left Vertical Axis:", "YAxis1ComboBox", 1, kLeftColour);
    yAxis2_ = axisList("&Right Vertical Axis:", "YAxis2ComboBox", 2, kRightColour);
    drawLines_ = new QCheckBox(QStringLiteral("&Draw Lines"), this);
    drawLines_->setObjectName(QStringLiteral("DrawLineCheckBox"));
    drawLines_->setChecked(true);
    axes->addWidget(drawLines_, 1, 3);
    axes->setColumnStretch(4, 1);
    connect(drawLines_, &QCheckBox::clicked, this, &TGraphForm::DrawLineCheckBoxClick);
    outer->addLayout(axes);

    chart_ = new TChart(this);
    chart_->setMinimumSize(480, 320);
    outer->addWidget(chart_, 1);

    ButtonRow buttons(this);
    QPushButton* save = buttons.Add("&Save...", "SaveButton");
    // Enabled without a printer too: the print dialog also writes a PDF file.
    printButton_ = buttons.Add(" &Print...", "PrintButton");
    QPushButton* close = buttons.Add("&Close ", "CancelButton");
    close->setDefault(true);
    connect(buttons.Add("&Help ", "HelpButton"), &QPushButton::clicked, this, [] { ShowHelpTopic(kGraphsHelpTopic); });
    SetHelpTopic(this, kGraphsHelpTopic);
    buttons.AddStretch();
    outer->addLayout(buttons.Layout());
    connect(save, &QPushButton::clicked, this, &TGraphForm::SaveButtonClick);
    connect(printButton_, &QPushButton::clicked, this, &TGraphForm::PrintButtonClick);
    connect(close, &QPushButton::clicked, this, &TGraphForm::CancelButtonClick);
    for (const int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
        connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, this, &TGraphForm::CancelButtonClick);

    Attach();
}

void TGraphForm::Attach() {
    const ReportGrid& grid = source_.report->Grid;
    kind_ = GraphKindOf(grid);
    for (QComboBox* list : {xAxis_, yAxis1_, yAxis2_}) {
        const QSignalBlocker quiet(list);
        list->clear();
        for (const std::string& item : GraphItemTexts(grid)) list->addItem(Q(item));
    }
    int widest = 0;
    for (std::size_t i = 0; i < descriptionLabels_.size(); ++i) {
        descriptionLabels_[i]->setText(Q(grid.Description[i]));
        descriptionLabels_[i]->setVisible(!grid.Description[i].empty());
        widest = std::max(widest, fontMetrics().horizontalAdvance(descriptionLabels_[i]->text()));
    }
    conditionLabel_->setText(Q(grid.ConditionLine));
    setWindowTitle(QStringLiteral("Graph - ") + Q(grid.Caption));
    int width = std::max(720, widest + 2 * 6 + conditionLabel_->sizeHint().width() + 20);
    if (const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen()) width = std::min(width, screen->availableGeometry().width());
    resize(width, 640);
}

void TGraphForm::RestoreSettings() {
    const GraphAxesChoice stored = store_.load ? store_.load(kind_) : GraphAxesChoice{};
    const GraphColumns columns = RestoreGraphColumns(source_.report->Grid, stored);
    const std::array<std::pair<QComboBox*, int>, 3> choices{
        {{xAxis_, columns.x}, {yAxis1_, columns.y1}, {yAxis2_, columns.y2}}};
    for (const auto& [list, column] : choices) {
        const QSignalBlocker quiet(list);
        list->setCurrentIndex(column);
    }
    if (drawLines_->isChecked() != stored.lines) {
        drawLines_->setChecked(stored.lines);
        StoreSettings();
    }
    Plot();
}

GraphColumns TGraphForm::SelectedColumns() const {
    return GraphColumns{std::max(0, xAxis_->currentIndex()), std::max(0, yAxis1_->currentIndex()),
                        std::max(0, yAxis2_->currentIndex())};
}

void TGraphForm::StoreSettings() {
    if (store_.save)
        store_.save(kind_, StoreGraphColumns(source_.report->Grid, SelectedColumns(), drawLines_->isChecked()));
}

void TGraphForm::RestoreThrottle() {
    if (source_.report->InFlight() && source_.restoreThrottle) source_.restoreThrottle(source_.throttle);
}

void TGraphForm::Plot() {
    RestoreThrottle();
    WaitCursor wait;
    setUpdatesEnabled(false);
    chart_->SuspendDrawing();
    TChartSeries& left = chart_->Series(0);
    TChartSeries& right = chart_->Series(1);
    left.Clear();
    right.Clear();
    const GraphPlot plot = BuildGraphPlot(source_.report->Grid, SelectedColumns(), drawLines_->isChecked(),
                                          windowTitle().toStdString(), Messages());
    for (const GraphPoint& p : plot.left) left.AddXY(p.x, p.y);
    for (const GraphPoint& p : plot.right) right.AddXY(p.x, p.y);
    left.SetLineColour(QColor(kLeftColour));
    left.SetPointColour(QColor(kLeftColour));
    left.SetMarker(ChartMarker::Circle);
    right.SetLineColour(QColor(kRightColour));
    right.SetPointColour(QColor(kRightColour));
    right.SetMarker(ChartMarker::Square);
    right.SetLineStyle(left.LineStyle());
    left.SetLines(plot.lines);
    right.SetLines(plot.lines);
    left.SetVerticalAxis(ChartAxis::Left);
    if (plot.sameUnit) {
        right.SetVerticalAxis(ChartAxis::Left);
        chart_->SetAxisRange(ChartAxis::Right, chart_->AxisRange(ChartAxis::Left));
    } else {
        right.SetVerticalAxis(ChartAxis::Right);
        chart_->SetAxisAutomatic(ChartAxis::Right);
    }
    chart_->SetTitle(Q(plot.title));
    chart_->SetAxisTitle(ChartAxis::Bottom, Q(plot.xTitle));
    chart_->SetAxisTitle(ChartAxis::Left, Q(plot.leftTitle));
    chart_->SetAxisTitle(ChartAxis::Right, Q(plot.rightTitle));
    chart_->ResumeDrawing();
    setUpdatesEnabled(true);
}

void TGraphForm::XAxisComboBoxChange() {
    StoreSettings();
    Plot();
}

void TGraphForm::DrawLineCheckBoxClick() {
    StoreSettings();
    chart_->SuspendDrawing();
    chart_->Series(0).SetLines(drawLines_->isChecked());
    chart_->Series(1).SetLines(drawLines_->isChecked());
    chart_->ResumeDrawing();
}

void TGraphForm::CancelButtonClick() { close(); }

void TGraphForm::SaveButtonClick() {
    if (const auto choice = AskSaveFileName(this, QStringLiteral("Save Graph As..."), kSaveFilters))
        SaveGraphAs(choice->fileName);
}

QString TGraphForm::FileNameWithExtension(const QString& fileName, int filterIndex) {
    if (filterIndex < kPngFilter || filterIndex > kPdfFilter) return fileName;
    return WithFilterExtension(fileName, kSaveFilters[filterIndex - 1]);
}

bool TGraphForm::SaveGraphAs(const QString& fileName) {
    const std::string name = fileName.toStdString();
    std::string error;
    {
        WaitCursor wait;
        // The picture file is the terminal's, drawn from the same rows and choices; a cell's warning
        // was given when the graph was plotted.
        NullMessageSink shown;
        const GraphPlot plot = BuildGraphPlot(source_.report->Grid, SelectedColumns(), drawLines_->isChecked(),
                                              windowTitle().toStdString(), shown);
        error = SaveGraphPicture(name, plot, {kPictureWidth, kPictureHeight, 1});
    }
    if (error.empty()) return true;
    Messages().Report(ErrorMessage(error));
    return false;
}

void TGraphForm::PrintButtonClick() {
    QPrinter printer;
    printer.setPageOrientation(QPageLayout::Portrait);
    QPrintDialog dialog(&printer, parentWidget() ? parentWidget() : this);
    if (dialog.exec() != QDialog::Accepted) return;
    RestoreThrottle();
    PrintOn(printer);
}

void TGraphForm::PrintOn(QPagedPaintDevice& device) {
    WaitCursor wait;
    chart_->PrintOn(device);
}

MessageSink& TGraphForm::Messages() { return messages_ ? *messages_ : boxes_; }

QWidget* OpenGraphWindow(QWidget* owner, GraphSource source, GraphAxesStore store, MessageSink* messages) {
    auto* graph = new TGraphForm(owner, std::move(source), std::move(store), messages);
    graph->show();
    graph->RestoreSettings();
    // Back onto the screen when it would reach past the right or bottom edge.
    if (const QScreen* screen = graph->screen()) {
        const QRect available = screen->availableGeometry();
        const QRect frame = graph->frameGeometry();
        int x = frame.x(), y = frame.y();
        if (frame.right() > available.right()) x = std::max(0, available.right() - frame.width());
        if (frame.bottom() > available.bottom()) y = std::max(0, available.bottom() - frame.height());
        if (x != frame.x() || y != frame.y()) graph->move(x, y);
    }
    return graph;
}

} // namespace ampvane
