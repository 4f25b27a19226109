// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/ui/window_memory.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QTableView>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <vector>

#include "analysis/ui/report_form.h"
#include "workbench/window_placement.h"

namespace ampvane {

namespace {

// Set once a window has been given its remembered place, so later shows (a dialog run again) keep
// wherever the user left it.
constexpr const char* kPlacedProperty = "ampvaneWindowPlaced";

WindowRect FromQt(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

std::vector<WindowRect> AvailableScreens() {
    std::vector<WindowRect> screens;
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary) screens.push_back(FromQt(primary->availableGeometry()));
    for (QScreen* screen : QGuiApplication::screens())
        if (screen != primary) screens.push_back(FromQt(screen->availableGeometry()));
    return screens;
}

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

bool AnotherOpen(const QWidget& window, const std::string& name) {
    for (QWidget* other : QApplication::topLevelWidgets())
        if (other != &window && other->isVisible() && RememberedWindowName(*other) == name) return true;
    return false;
}

} // namespace

std::string RememberedWindowName(const QWidget& window) {
    if (!window.isWindow()) return {};
    if (const auto* report = qobject_cast<const TReportForm*>(&window)) return report->InFlight() ? "inflight" : "report";
    static constexpr std::pair<const char*, const char*> kNames[] = {
        {"ampvane::TParameterInputForm", "workbench"}, {"ampvane::TExplanationForm", "opinion"},
        {"ampvane::TComparisonForm", "comparison"},    {"ampvane::TGraphForm", "graph"},
        {"ampvane::TTableBrowser", "browser"},         {"ampvane::THelpViewer", "help"},
        {"ampvane::TAirfoilListForm", "airfoils"},     {"ampvane::TWingMeasurementsForm", "wing"},
        {"ampvane::TAmpvaneWizardForm", "wizard"},
    };
    const char* className = window.metaObject()->className();
    for (const auto& [cls, name] : kNames)
        if (qstrcmp(className, cls) == 0) return name;
    // The tool windows by their own class: "ampvane::TBenchTestForm" is kept as "benchtest".
    if (window.inherits("ampvane::TToolForm")) {
        QString name = QString::fromLatin1(className).section(QStringLiteral("::"), -1);
        if (name.startsWith(QLatin1Char('T'))) name.remove(0, 1);
        if (name.endsWith(QStringLiteral("Form"))) name.chop(4);
        return name.toLower().toStdString();
    }
    return {};
}

void StoreWindowPlace(const QWidget& window, Settings& settings, const std::string& name) {
    // The normal place: a maximised window comes back at the size it had before. The position is the
    // frame's, as move() takes it; the size is the inside's, as resize() takes it.
    QRect inside = window.geometry();
    QPoint corner = window.pos();
    if (window.isMaximized() || window.isFullScreen()) {
        inside = window.normalGeometry();
        corner = inside.topLeft();
    }
    if (inside.isValid())
        settings.windowPlacements[name] = WindowRectText({corner.x(), corner.y(), inside.width(), inside.height()});
}

bool RestoreWindowPlace(QWidget& window, const Settings& settings, const std::string& name, bool sizeOnly) {
    const auto stored = settings.windowPlacements.find(name);
    if (stored == settings.windowPlacements.end()) return false;
    std::optional<WindowRect> rect = ParseWindowRect(stored->second);
    if (!rect) return false;
    if (sizeOnly) {
        rect->x = window.pos().x();
        rect->y = window.pos().y();
    }
    // Room for the frame the window manager adds, so the title bar stays reachable.
    const QSize frame = window.frameGeometry().size() - window.geometry().size();
    WindowRect outer = *rect;
    outer.width += std::max(0, frame.width());
    outer.height += std::max(0, frame.height());
    const WindowRect placed = PlaceOnScreens(outer, AvailableScreens());
    window.resize(placed.width - (outer.width - rect->width), placed.height - (outer.height - rect->height));
    window.move(placed.x, placed.y);
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
    if (type != QEvent::Show && type != QEvent::Hide && type != QEvent::Close) return false;
    auto* window = qobject_cast<QWidget*>(watched);
    if (!window || !window->isWindow()) return false;
    const std::string name = RememberedWindowName(*window);
    if (name.empty()) return false;
    const bool placed = window->property(kPlacedProperty).toBool();
    if (type == QEvent::Close && name == "workbench") {
        // The settings are written as the workbench closes: every open window's place goes with them.
        StoreOpenWindows();
    } else if (type == QEvent::Show && !placed) {
        window->setProperty(kPlacedProperty, true);
        RestoreWindowPlace(*window, settings_, name, AnotherOpen(*window, name));
        if (auto* report = qobject_cast<TReportForm*>(window); report && report->GridView())
            new ColumnWidthKeeper(*report, settings_, name);
    } else if (type != QEvent::Show && placed && !window->isMinimized()) {
        StoreWindowPlace(*window, settings_, name);
    }
    return false;
}

} // namespace ampvane
