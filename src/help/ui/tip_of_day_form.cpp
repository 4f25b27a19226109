// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/ui/tip_of_day_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextLayout>
#include <QVBoxLayout>

#include "help/help_topics.h"
#include "help/tips.h"
#include "help/ui/help_viewer.h"

namespace ampvane {

TTipOfDayForm::TTipOfDayForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TipOfDayForm"));
    setWindowTitle(tr("Ampvane Tip of the Day"));
    SetHelpTopic(this, kTipOfDayHelpTopic);
    resize(593, 253);

    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(tr("Did You Know? ..."), this);
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPixelSize(13);
    heading->setFont(bold);
    layout->addWidget(heading);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("TipPanel"));
    panel->setFrameShape(QFrame::Box);
    panel->setAutoFillBackground(true);
    QPalette tipPalette = panel->palette();
    tipPalette.setColor(QPalette::Window, tipPalette.color(QPalette::ToolTipBase));
    tipPalette.setColor(QPalette::WindowText, tipPalette.color(QPalette::ToolTipText));
    panel->setPalette(tipPalette);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(6, 6, 6, 6);
    TipLabel = new QLabel(panel);
    TipLabel->setObjectName(QStringLiteral("TipLabel"));
    TipLabel->setWordWrap(true);
    TipLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont tipFont = TipLabel->font();
    tipFont.setPixelSize(13);
    TipLabel->setFont(tipFont);
    // Navy reads on the tooltip colour of light themes; a dark theme keeps its own tooltip text colour.
    if (tipPalette.color(QPalette::ToolTipBase).lightness() > 128)
        TipLabel->setStyleSheet(QStringLiteral("color: navy"));
    panelLayout->addWidget(TipLabel, 1);
    layout->addWidget(panel, 1);

    auto* boxRow = new QHBoxLayout;
    TipOfDayCheckBox = new QCheckBox(this);
    TipOfDayCheckBox->setObjectName(QStringLiteral("TipOfDayCheckBox"));
    TipOfDayLabel = new QLabel(tr("Always show the Tip of the Day when Ampvane starts"), this);
    TipOfDayLabel->setObjectName(QStringLiteral("TipOfDayLabel"));
    TipOfDayLabel->installEventFilter(this);
    boxRow->addWidget(TipOfDayCheckBox);
    boxRow->addWidget(TipOfDayLabel, 1);
    layout->addLayout(boxRow);

    auto* buttons = new QHBoxLayout;
    const auto button = [&](const QString& caption, const char* name) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    MoreButton = button(tr("Tell Me More..."), "MoreButton");
    PrintButton = button(tr(" &Print..."), "PrintButton");
    CloseButton = button(tr("Close"), "CloseButton");
    NextTipButton = button(tr("&Next Tip"), "NextTipButton");
    NextTipButton->setIcon(QIcon::fromTheme(QStringLiteral("go-next")));
    NextTipButton->setLayoutDirection(Qt::RightToLeft); // the glyph right of the caption
    NextTipButton->setDefault(true);
    // Enabled without a printer too: the print dialog also writes a PDF file.
    PrintButton->setEnabled(true);
    buttons->addWidget(MoreButton);
    buttons->addWidget(PrintButton);
    buttons->addStretch(1);
    buttons->addWidget(CloseButton);
    buttons->addWidget(NextTipButton);
    layout->addLayout(buttons);

    connect(NextTipButton, &QPushButton::clicked, this, &TTipOfDayForm::NextTipButtonClick);
    connect(MoreButton, &QPushButton::clicked, this, &TTipOfDayForm::MoreButtonClick);
    connect(PrintButton, &QPushButton::clicked, this, &TTipOfDayForm::PrintButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(TipOfDayCheckBox, &QCheckBox::clicked, this, &TTipOfDayForm::TipOfDayCheckBoxClick);
}

int TTipOfDayForm::Run() { return exec(); }

void TTipOfDayForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    TipOfDayCheckBox->setChecked(showAtStartup_);
    NextTipButtonClick();
}

bool TTipOfDayForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TipOfDayLabel && event->type() == QEvent::MouseButtonRelease) {
        TipOfDayLabelClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TTipOfDayForm::NextTipButtonClick() {
    const TipStep step = NextTipFromFile(tipsFile_.toStdString(), lastTip_);
    tipText_ = QString::fromStdString(step.text);
    // A label shows no mnemonics here, so the caption's "&&" is drawn as the one "&" it stands for.
    TipLabel->setText(QString::fromStdString(PrintedTipText(step.text)));
    if (!step.found) return; // the button keeps its state
    lastTip_ = step.lastTip;
    tipTopic_ = step.topic;
    MoreButton->setVisible(step.topic.has_value());
}

void TTipOfDayForm::MoreButtonClick() {
    if (tipTopic_) ShowHelpTopic(*tipTopic_);
}

void TTipOfDayForm::TipOfDayCheckBoxClick() { showAtStartup_ = TipOfDayCheckBox->isChecked(); }

void TTipOfDayForm::TipOfDayLabelClick() {
    TipOfDayCheckBox->setChecked(!TipOfDayCheckBox->isChecked());
    TipOfDayCheckBoxClick();
}

QString TTipOfDayForm::TipText() const {
    // The label shows a caption: "&&" stands for one "&".
    return QString::fromStdString(PrintedTipText(tipText_.toStdString()));
}

void TTipOfDayForm::PrintButtonClick() {
    QPrinter printer;
    printer.setPageOrientation(QPageLayout::Portrait);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    PrintTip(printer);
    QApplication::restoreOverrideCursor();
}

bool TTipOfDayForm::PrintTip(QPagedPaintDevice& device) const {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    const QRect page = painter.viewport();
    const int dpi = device.logicalDpiY();
    int y = dpi / 2;
    const int left = dpi / 2;
    const auto line = [&](const QFont& font, const QString& text) {
        painter.setFont(QFont(font, &device));
        const QFontMetrics metrics(painter.font(), &device);
        painter.drawText(left, y + metrics.ascent(), text);
        y += metrics.height();
    };
    QFont title(QStringLiteral("Times New Roman"));
    title.setPointSize(18);
    title.setBold(true);
    line(title, windowTitle());
    QFont heading(QStringLiteral("Sans Serif"));
    heading.setPointSize(9);
    heading.setBold(true);
    line(heading, QString());
    QFont body(QStringLiteral("Courier New"));
    body.setStyleHint(QFont::Monospace);
    body.setPointSize(11);
    painter.setFont(QFont(body, &device));
    const QFontMetrics metrics(painter.font(), &device);
    const int width = page.width() - 2 * left;
    // Word-wrapped at the page width.
    QTextLayout layout(TipText(), painter.font(), &device);
    layout.beginLayout();
    for (QTextLine textLine = layout.createLine(); textLine.isValid(); textLine = layout.createLine()) {
        textLine.setLineWidth(width);
        textLine.setPosition(QPointF(0, 0));
        painter.drawText(left, y + metrics.ascent(),
                         TipText().mid(textLine.textStart(), textLine.textLength()).trimmed());
        y += metrics.height();
    }
    layout.endLayout();
    y += metrics.height();
    QFont footer(QStringLiteral("Sans Serif"));
    footer.setPointSize(8);
    line(footer, tr("Generated by Ampvane %1, %2.")
                     .arg(QStringLiteral("8.09"),
                          QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat)));
    painter.end();
    return true;
}

} // namespace ampvane
