// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "advice/opinion_document.h"
#include "analysis/report_builder.h"
#include "common/ui/qt_messages.h"

class QPagedPaintDevice;
class QPushButton;
class QTextDocument;
class QTextEdit;

namespace ampvane {

// An AmpvaneOpinion window: the opinion of one in-flight report as read-only rich text, with Save
// (text, HTML or rich text), Print, Copy and Close. The text is fixed when the window opens. It is
// owned by its report and closes (and frees itself) on its own.
class TExplanationForm : public QWidget {
    Q_OBJECT

public:
    // `messages`: where a failed save is reported; null: message boxes over the window.
    explicit TExplanationForm(QWidget* owner, MessageSink* messages = nullptr);

    // Clears the text, sets the default font and shows the window (not modal) in front.
    void ShowWindow();
    // Fills the window from the formatted opinion; the caption becomes its title.
    void ShowOpinionText(const OpinionDocument& document);

    const OpinionDocument& Document() const { return document_; }
    QTextEdit* TextView() const { return view_; }

    // Saves under a name without the dialog: the format by the name first, then the filter (1 text,
    // 2 HTML, 3 rich text).
    bool SaveOpinionAs(const QString& fileName, int filterIndex);
    // Prints the text at the device's page width.
    void PrintOn(QPagedPaintDevice& device);

public slots:
    void SaveButtonClick();
    void PrintButtonClick();
    void CopyButtonClick();
    void CloseButtonClick();

private:
    MessageSink& Messages();

    QtMessages boxes_;
    MessageSink* messages_;
    OpinionDocument document_;
    QTextEdit* view_ = nullptr;
    QPushButton* printButton_ = nullptr;
};

// Fills a text document with the formatted opinion: the title in the title style, headings and
// labels bold, labelled lines with a hanging indent, bullets as one bulleted list per run of them.
void FillOpinionDocument(QTextDocument& text, const OpinionDocument& document);

// The report's Opinion command: a new opinion window of an in-flight report, owned by `owner` (the
// report's window); null for a static report.
QWidget* OpenOpinionWindow(const Report& inFlightReport, QWidget* owner, MessageSink* messages = nullptr);

} // namespace ampvane
