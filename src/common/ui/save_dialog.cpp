// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/save_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace ampvane {

QString FilterExtension(const QString& filter) {
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
    const QRegularExpressionMatch match = pattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString WithFilterExtension(const QString& fileName, const QString& filter) {
    const QString extension = FilterExtension(filter);
    if (extension.isEmpty() || !QFileInfo(fileName).suffix().isEmpty()) return fileName;
    return fileName + QLatin1Char('.') + extension;
}

void FollowFilterExtension(QFileDialog& dialog, const QStringList& filters) {
    dialog.setNameFilters(filters);
    if (!filters.isEmpty()) dialog.setDefaultSuffix(FilterExtension(filters.front()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& filter) { dialog.setDefaultSuffix(FilterExtension(filter)); });
}

std::optional<SaveChoice> AskSaveFileName(QWidget* parent, const QString& title, const QStringList& filters) {
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    FollowFilterExtension(dialog, filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString filter = dialog.selectedNameFilter();
    const int index = static_cast<int>(filters.indexOf(filter)) + 1;
    // A dialog that did not add the extension itself (some desktops' own dialogs) gets it here.
    return SaveChoice{WithFilterExtension(dialog.selectedFiles().first(), filter), std::max(index, 1)};
}

} // namespace ampvane
