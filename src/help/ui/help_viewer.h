// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QTextBrowser;
class QToolButton;

class QPushButton;

namespace ampvane {

// The program's help: the pages compiled into the program, shown in one browser window with back,
// forward, the index and a search over every page's text.
class THelpViewer final : public QWidget {
    Q_OBJECT
public:
    explicit THelpViewer(QWidget* parent = nullptr);

    // Shows "Ampvane_" + topic + ".htm"; a topic without a page shows the index with a note.
    void ShowTopic(int topic);
    void ShowIndex();
    // The pages whose text holds every word of `words` (letter case ignored), as page file names in
    // index order.
    QStringList Search(const QString& words) const;
    QString CurrentPage() const;

    QTextBrowser* Browser() const { return Browser_; }

private:
    void SearchEditReturnPressed();
    void ResultActivated();
    void EnsurePageTexts() const;

    QTextBrowser* Browser_;
    QToolButton* BackButton_;
    QToolButton* ForwardButton_;
    QLineEdit* SearchEdit_;
    QListWidget* ResultList_;
    mutable QStringList pageNames_;
    mutable QStringList pageTexts_;
};

// Every help request ends here: remembers the topic as the current one and shows its page. When a modal
// window (a question) is open, the help window opens beside it without blocking it, so the question can
// be answered while its help is read.
void ShowHelpTopic(int topic);
// The topic shown last; 1 until another topic has been shown.
int CurrentHelpTopic();
// The help window, created on first use (nullptr before); closed at the end of the run.
THelpViewer* HelpViewerWindow();
void CloseHelpWindows();

// Whether the page of a topic is compiled in; the resource path of a page.
bool HelpPageExists(int topic);
QString HelpPagePath(const QString& pageName);

// F1: the help topic of a control or window (0 or none: that of the nearest parent with one).
void SetHelpTopic(QWidget* widget, int topic);
int HelpTopicOf(const QWidget* widget);
// A window's "Help" button (objectName "HelpButton", no default): shows `topic`, which also becomes
// the window's F1 topic.
QPushButton* NewHelpButton(QWidget* window, int topic);
// Lets F1 on any window open the topic of its focused control, and a message box's Help its message's
// topic; installed once on the application.
void InstallHelpKey();

} // namespace ampvane
