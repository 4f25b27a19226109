// SPDX-License-Identifier: GPL-3.0-or-later
#include "wizard/ui/component_browsing.h"

#include <QLineEdit>

#include "common/numeric_text.h"
#include "data/ui/table_browser.h"

namespace ampvane {

WizardBrowse ComponentBrowsing(TCompDataModule& tables, std::function<BrowserUnits()> units, MessageSink& messages,
                               Prompter& prompter) {
    return [&tables, units = std::move(units), &messages, &prompter](
               ComponentTableKind kind, const std::string& current, QWidget* below) -> std::optional<std::string> {
        TTableBrowser browser(below ? below->window() : nullptr);
        const unsigned flags = kBrowserDelete | kBrowserPrint;
        auto* edit = qobject_cast<QLineEdit*>(below);
        const bool chosen =
            edit ? browser.BrowseTable(tables, kind, edit, flags, units(), messages, prompter)
                 : browser.BrowseTable(tables, kind, QString::fromStdString(current), flags, units(), messages, prompter);
        if (!chosen) return std::nullopt;
        return std::string(TrimText(tables.Table(kind)->Name()));
    };
}

} // namespace ampvane
