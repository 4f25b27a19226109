// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_memory.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QTableView>
#include <QWidget>

#include <algorithm>
#include <vector>

#include "advice/ui/comparison_form.h"
#include "advice/ui/explanation_form.h"
#include "advice/ui/graph_form.h"
#include "analysis/ui/report_form.h"
#include "common/ui/window_geometry.h"
#include "data/ui/table_browser.h"
#include "help/ui/help_viewer.h"
#include "tools/ui/airfoil_forms.h"
#include "tools/ui/tool_form.h"
#include "wizard/ui/ampvane_wizard_form.h"
#include "workbench/ui/options_form.h"
#include "workbench/ui/parameter_input_form.h"

namespace ampvane {

namespace {

// Set once a window has been given its remembered place, so later shows (a dialog run again) keep
// wherever the user left it.
constexpr const char* kPlacedProperty = "ampvaneWindowPlaced";
// The inside a hidden window had, given back when it shows again; without it a window manager that
// places frames and insides differently moves a dialog by its title bar at every showing.
constexpr const char* kInsideProperty = "ampvaneWindowInside";
// Set while a window waits for its frame to be known, to be fitted to the screen with it.
constexpr const char* kFitProperty = "ampvaneWindowFit";

// Keeps the column widths the user drags in a report's grid, per report kind, and gives every report of
// that kind those widths, also after its grid is shown again (the throttle, a sort).
class ColumnWidthKeeper final : public QObject {
public:
    ColumnWidthKeeper(TReportForm& report, Settings& settings, std::string kind)
        : QObject(report.GridView()->horizontalHeader()), report_(report), settings_(settings),
          kind_(std::move(kind)) {
        QHeaderView* header = report.GridView()->horizontalHeader();
        // The report sizes its columns to their headers; a user may widen or narrow them.
        header->setSectionResizeMode(QHeaderView::Interactive);
        header->viewport()->installEventFilter(this);
        connect(header, &QHeaderView::sectionResized, this, [this](int column, int, int width) {
            if (!dragging_ || width <= 0) return;
            ColumnWidths widths =
                ParseColumnWidths(settings_.columnWidths[kind_]).value_or(ColumnWidths{});
            widths[column] = std::clamp(width, 1, 9999);
            settings_.columnWidths[kind_] = ColumnWidthsText(widths);
        });
        if (QAbstractItemModel* model = report.GridView()->model())
            connect(model, &QAbstractItemModel::modelReset, this, &ColumnWidthKeeper::Apply, Qt::QueuedConnection);
        Apply();
    }

    void Apply() {
        const auto stored = settings_.columnWidths.find(kind_);
        if (stored == settings_.columnWidths.end()) return;
        const std::optional<ColumnWidths> widths = ParseColumnWidths(stored->second);
        if (!widths) return;
        QTableView* view = report_.GridView();
        for (const auto& [column, width] : *widths)
            if (column < view->model()->columnCount() && !view->isColumnHidden(column)) view->setColumnWidth(column, width);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        // Only widths the user drags (or double-clicks) count; the report sets its own as it fills the grid.
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) dragging_ = true;
        else if (event->type() == QEvent::MouseButtonRelease) dragging_ = false;
        return false;
    }

private:
    TReportForm& report_;
    Settings& settings_;
    std::string kind_;
    bool dragging_ = false;
};

template <class Form>
bool Is(const QWidget& window) {
    return qobject_cast<const Form*>(&window) != nullptr;
}

bool AnotherOpen(const QWidget& window, const std::string& name) {
    for (QWidget* other : QApplication::topLevelWidgets())
        if (other != &window && other->isVisible() && RememberedWindowName(*other) == name) return true;
    return false;
}

} // namespace

std::string RememberedWindowName(const QWidget& window) {
    if (!window.isWindow()) return {};
    if (const auto* report = qobject_cast<const TReportForm*>(&window)) return report->InFlight() ? "inflight" : "report";
    using Test = bool (*)(const QWidget&);
    static constexpr std::pair<Test, const char*> kNames[] = {
        {Is<TParameterInputForm>, "workbench"}, {Is<TExplanationForm>, "opinion"},
        {Is<TComparisonForm>, "comparison"},    {Is<TGraphForm>, "graph"},
        {Is<TTableBrowser>, "browser"},         {Is<THelpViewer>, "help"},
        {Is<TAirfoilListForm>, "airfoils"},     {Is<TWingMeasurementsForm>, "wing"},
        {Is<TAmpvaneWizardForm>, "wizard"},     {Is<TOptionsForm>, "options"},
    };
    for (const auto& [is, name] : kNames)
        if (is(window)) return name;
    // The tool windows by their own class: "ampvane::TBenchTestForm" is kept as "benchtest".
    if (qobject_cast<const TToolForm*>(&window)) {
        QString name = QString::fromLatin1(window.metaObject()->className()).section(QStringLiteral("::"), -1);
        if (name.startsWith(QLatin1Char('T'))) name.remove(0, 1);
        if (name.endsWith(QStringLiteral("Form"))) name.chop(4);
        return name.toLower().toStdString();
    }
    return {};
}

void StoreWindowPlace(const QWidget& window, Settings& settings, const std::string& name) {
    // The normal place: a maximised window comes back at the size it had before. Position and size
    // are the inside's, as setGeometry() gives them back, so that a place read and stored again is the
    // same whatever frame the window manager draws.
    const QRect inside = window.isMaximized() || window.isFullScreen() ? window.normalGeometry() : window.geometry();
    if (inside.isValid())
        settings.windowPlacements[name] = WindowRectText({inside.x(), inside.y(), inside.width(), inside.height()});
}

bool RestoreWindowPlace(QWidget& window, const Settings& settings, const std::string& name, bool sizeOnly) {
    const auto stored = settings.windowPlacements.find(name);
    if (stored == settings.windowPlacements.end()) return false;
    std::optional<WindowRect> rect = ParseWindowRect(stored->second);
    if (!rect) return false;
    if (sizeOnly) {
        rect->x = window.geometry().x();
        rect->y = window.geometry().y();
    }
    FitWindowToScreens(window, *rect);
    return true;
}

void ReadWindowPlaces(const ConfigurationFiles& files, Settings& settings) {
    Settings stored;
    NullMessageSink quiet;
    ReadConfiguration(files, stored, NumberLocale{}, quiet);
    settings.windowPlacements = std::move(stored.windowPlacements);
}

WindowPlaces::WindowPlaces(Settings& settings, QObject* parent) : QObject(parent), settings_(settings) {
    QCoreApplication::instance()->installEventFilter(this);
}

WindowPlaces::~WindowPlaces() {
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

void WindowPlaces::StoreOpenWindows() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->property(kPlacedProperty).toBool())
            if (const std::string name = RememberedWindowName(*window); !name.empty())
                StoreWindowPlace(*window, settings_, name);
}

bool WindowPlaces::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    const bool framing = type == QEvent::Move || type == QEvent::Resize || type == QEvent::WindowActivate;
    if (type != QEvent::Show && type != QEvent::Hide && type != QEvent::Close && !framing) return false;
    auto* window = qobject_cast<QWidget*>(watched);
    if (!window || !window->isWindow()) return false;
    if (framing) {
        // The window manager has framed a newly shown window: once, fitted with its real frame.
        if (window->property(kFitProperty).toBool() && MarginsOf(*window).Known()) {
            window->setProperty(kFitProperty, false);
            FitWindowToScreens(*window, InsideOf(*window));
        }
        return false;
    }
    const std::string name = RememberedWindowName(*window);
    if (name.empty()) return false;
    const bool placed = window->property(kPlacedProperty).toBool();
    if (type == QEvent::Close && name == "workbench") {
        // The settings are written as the workbench closes: every open window's place goes with them.
        StoreOpenWindows();
    } else if (type == QEvent::Show && !placed) {
        window->setProperty(kPlacedProperty, true);
        if (!MarginsOf(*window).Known()) window->setProperty(kFitProperty, true);
        RestoreWindowPlace(*window, settings_, name, AnotherOpen(*window, name));
        if (auto* report = qobject_cast<TReportForm*>(window); report && report->GridView())
            new ColumnWidthKeeper(*report, settings_, name);
    } else if (type == QEvent::Show) {
        const QVariant inside = window->property(kInsideProperty);
        if (const QRect r = inside.toRect(); r.isValid()) FitWindowToScreens(*window, {r.x(), r.y(), r.width(), r.height()});
    } else if (placed && !window->isMinimized()) {
        if (type == QEvent::Hide && !window->isMaximized() && !window->isFullScreen())
            window->setProperty(kInsideProperty, window->geometry());
        StoreWindowPlace(*window, settings_, name);
    }
    return false;
}

} // namespace ampvane
