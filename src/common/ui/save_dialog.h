// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QFileDialog;
class QWidget;

// The Save dialogs of the result windows: the file name's extension follows the file type chosen.

namespace ampvane {

struct SaveChoice {
    QString fileName;
    int filterIndex = 1; // 1-based, in the order of the dialog's filters
};

// The first extension a dialog filter names, without the dot: "HTML Files (*.html *.htm)" gives "html".
QString FilterExtension(const QString& filter);
// A name without an extension takes the filter's; a name with one keeps it.
QString WithFilterExtension(const QString& fileName, const QString& filter);
// Sets the filters and keeps the dialog's default extension that of the filter chosen.
void FollowFilterExtension(QFileDialog& dialog, const QStringList& filters);
// Asks for the name to save under; nullopt on Cancel.
std::optional<SaveChoice> AskSaveFileName(QWidget* parent, const QString& title, const QStringList& filters);

} // namespace ampvane
