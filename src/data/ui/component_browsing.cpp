// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/ui/component_browsing.h"

#include <QLineEdit>
#include <QPointer>

#include "common/numeric_text.h"
#include "data/ui/table_browser.h"

namespace ampvane {

namespace {

std::optional<std::string> Browse(TTableBrowser& browser, TCompDataModule& tables, const BrowserUnits& units,
                                  MessageSink& messages, Prompter& prompter, ComponentTableKind kind,
                                  const std::string& current, QWidget* below) {
    const unsigned flags = kBrowserDelete | kBrowserPrint;
    auto* edit = qobject_cast<QLineEdit*>(below);
    const bool chosen = edit ? browser.BrowseTable(tables, kind, edit, flags, units, messages, prompter)
                             : browser.BrowseTable(tables, kind, QString::fromStdString(current), flags, units,
                                                   messages, prompter);
    if (!chosen) return std::nullopt;
    return std::string(TrimText(tables.Table(kind)->Name()));
}

} // namespace

ComponentBrowse ComponentBrowsing(TCompDataModule& tables, std::function<BrowserUnits()> units, MessageSink& messages,
                                  Prompter& prompter) {
    return [&tables, units = std::move(units), &messages, &prompter](
               ComponentTableKind kind, const std::string& current, QWidget* below) -> std::optional<std::string> {
        TTableBrowser browser(below ? below->window() : nullptr);
        return Browse(browser, tables, units(), messages, prompter, kind, current, below);
    };
}

ComponentBrowse KeptComponentBrowsing(TCompDataModule& tables, std::function<BrowserUnits()> units,
                                      MessageSink& messages, Prompter& prompter) {
    return [kept = QPointer<TTableBrowser>(), &tables, units = std::move(units), &messages, &prompter](
               ComponentTableKind kind, const std::string& current, QWidget* below) mutable -> std::optional<std::string> {
        if (!kept) kept = new TTableBrowser(below ? below->window() : nullptr);
        return Browse(*kept, tables, units(), messages, prompter, kind, current, below);
    };
}

} // namespace ampvane
