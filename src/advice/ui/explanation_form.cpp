// SPDX-License-Identifier: GPL-3.0-or-later
#include "advice/ui/explanation_form.h"


#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QMarginsF>
#include <QMimeData>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>
#include <QVBoxLayout>

#include <memory>

#include "common/ui/button_row.h"
#include "common/ui/qt_text.h"
#include "common/ui/save_dialog.h"
#include "help/help_topics.h"
#include "help/ui/help_viewer.h"
#include "advice/opinion.h"
#include "advice/opinion_writers.h"
#include "analysis/report_export.h"

namespace ampvane {

namespace {

const char* const kDefaultFontFamily = "Microsoft Sans Serif";
constexpr int kDefaultFontPoints = 9;
const char* const kTitleFontFamily = "Times New Roman";
constexpr int kTitleFontPoints = 18;
constexpr qreal kHangingIndent = 10;

// Qt's form of the save dialog's filters, in the same order as their indices.
const QStringList kSaveFilters = {QStringLiteral("Text Files (*.txt)"), QStringLiteral("HTML Files (*.html *.htm)"),
                                  QStringLiteral("Rich Text Files (*.rtf)")};


QFont DefaultFont() { return QFont(QString::fromLatin1(kDefaultFontFamily), kDefaultFontPoints); }

} // namespace

void FillOpinionDocument(QTextDocument& text, const OpinionDocument& document) {
    text.clear();
    text.setDefaultFont(DefaultFont());
    QTextCursor cursor(&text);
    QTextList* list = nullptr;
    bool first = true;
    for (const OpinionParagraph& paragraph : document.Paragraphs) {
        QTextBlockFormat block;
        QTextCharFormat base;
        base.setFont(DefaultFont());
        if (paragraph.Style == ParagraphStyle::Title) {
            base.setFontFamilies({QString::fromLatin1(kTitleFontFamily)});
            base.setFontPointSize(kTitleFontPoints);
        }
        if (paragraph.Style == ParagraphStyle::Labelled) {
            block.setLeftMargin(kHangingIndent);
            block.setTextIndent(-kHangingIndent);
        }
        if (first) {
            cursor.setBlockFormat(block);
            cursor.setBlockCharFormat(base);
            first = false;
        } else {
            cursor.insertBlock(block, base);
        }
        if (paragraph.Style == ParagraphStyle::Bullet) {
            if (list) {
                list->add(cursor.block());
            } else {
                QTextListFormat bullets;
                bullets.setStyle(QTextListFormat::ListDisc);
                bullets.setIndent(1);
                list = cursor.createList(bullets);
            }
        } else {
            list = nullptr;
        }
        for (const TextRun& run : paragraph.Runs) {
            QTextCharFormat format = base;
            format.setFontWeight(run.Bold ? QFont::Bold : QFont::Normal);
            cursor.insertText(Q(run.Text), format);
        }
    }
}

TExplanationForm::TExplanationForm(QWidget* owner, MessageSink* messages)
    : QWidget(owner, Qt::Window), boxes_(this), messages_(messages) {
    setObjectName(QStringLiteral("ExplanationForm"));
    SetHelpTopic(this, kOpinionHelpTopic);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(640, 560);

    auto* layout = new QVBoxLayout(this);
    view_ = new QTextEdit(this);
    view_->setObjectName(QStringLiteral("OpinionText"));
    view_->setReadOnly(true);
    view_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    layout->addWidget(view_, 1);

    ButtonRow buttons(this);
    QPushButton* save = buttons.Add(tr("&Save..."), "SaveButton");
    printButton_ = buttons.Add(tr("&Print..."), "PrintButton");
    QPushButton* copy = buttons.Add(tr("&Copy"), "CopyButton");
    buttons.AddStretch();
    QPushButton* closeButton = buttons.Add(tr("&Close"), "CloseButton");
    layout->addLayout(buttons.Layout());
    // As the report's Print...: the print dialog offers the printers there are, and printing to a file.
    printButton_->setEnabled(true);

    connect(save, &QPushButton::clicked, this, &TExplanationForm::SaveButtonClick);
    connect(printButton_, &QPushButton::clicked, this, &TExplanationForm::PrintButtonClick);
    connect(copy, &QPushButton::clicked, this, &TExplanationForm::CopyButtonClick);
    connect(closeButton, &QPushButton::clicked, this, &TExplanationForm::CloseButtonClick);
}

void TExplanationForm::ShowWindow() {
    view_->clear();
    view_->document()->setDefaultFont(DefaultFont());
    show();
    raise();
    activateWindow();
}

void TExplanationForm::ShowOpinionText(const OpinionDocument& document) {
    document_ = document;
    FillOpinionDocument(*view_->document(), document_);
    view_->moveCursor(QTextCursor::Start);
    setWindowTitle(Q(document_.Title));
}

MessageSink& TExplanationForm::Messages() { return messages_ ? *messages_ : boxes_; }

void TExplanationForm::SaveButtonClick() {
    if (const auto choice = AskSaveFileName(this, tr(kOpinionSaveTitle), kSaveFilters))
        SaveOpinionAs(choice->fileName, choice->filterIndex);
}

bool TExplanationForm::SaveOpinionAs(const QString& fileName, int filterIndex) {
    const std::string name = fileName.toStdString();
    return SaveOpinion(document_, name, ChooseOpinionFormat(name, filterIndex), FooterDateTime(), Messages());
}

void TExplanationForm::PrintOn(QPagedPaintDevice& device) {
    device.setPageOrientation(QPageLayout::Portrait);
    device.setPageMargins(QMarginsF(0.6875, 0.5, 0.6875, 0.6875), QPageLayout::Inch);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // An unpaginated document prints inside 2 cm margins of its own on top of the page's; a copy laid
    // out on the device, paginated to its printable area, keeps to the page margins alone.
    const std::unique_ptr<QTextDocument> copy(view_->document()->clone());
    copy->documentLayout()->setPaintDevice(&device);
    copy->setDocumentMargin(0);
    copy->setPageSize(device.pageLayout().paintRectPixels(device.logicalDpiX()).size());
    copy->print(&device);
    QApplication::restoreOverrideCursor();
}

void TExplanationForm::PrintButtonClick() {
    QPrinter printer;
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setDocName(QString::fromLatin1(kOpinionPrintJobName));
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    PrintOn(printer);
}

void TExplanationForm::CopyButtonClick() {
    auto* data = new QMimeData;
    data->setText(Q(OpinionPlainText(document_)));
    data->setHtml(view_->document()->toHtml());
    const QByteArray rtf = QByteArray::fromStdString(OpinionRtf(document_));
    data->setData(QStringLiteral("text/rtf"), rtf);
    data->setData(QStringLiteral("application/rtf"), rtf);
    QGuiApplication::clipboard()->setMimeData(data);
    QTextCursor cursor = view_->textCursor();
    cursor.clearSelection();
    view_->setTextCursor(cursor);
}

void TExplanationForm::CloseButtonClick() { close(); }

QWidget* OpenOpinionWindow(const Report& inFlightReport, QWidget* owner, MessageSink* messages) {
    if (!inFlightReport.InFlight()) return nullptr;
    auto* form = new TExplanationForm(owner, messages);
    form->ShowWindow();
    form->ShowOpinionText(ExplainReport(inFlightReport));
    return form;
}

} // namespace ampvane
