// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/ui/tool_icons.h"

#include <QAction>
#include <QEvent>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

static void RegisterWorkbenchIcons() { Q_INIT_RESOURCE(workbench_icons); }

namespace ampvane {

void SetIcons(QMainWindow& workbench);

namespace {

struct IconEntry {
    const char* tool;     // tool button
    const char* menuItem; // the menu item doing the same, or nullptr
    const char* theme;    // freedesktop name, or nullptr for our own concepts
    const char* own;
};

constexpr IconEntry kIcons[] = {
    {"NewProjectToolButton", "NewProjectItem", "document-new", "document-new"},
    {"OpenProjectToolButton", "OpenProjectItem", "document-open", "document-open"},
    {"SaveProjectToolButton", "SaveProjectItem", "document-save", "document-save"},
    {"SaveProjectAsToolButton", "SaveProjectAsItem", "document-save-as", "document-save-as"},
    {"WizardToolButton", "AmpvaneWizardItem", nullptr, "wizard"},
    {"WiringWizardToolButton", "WiringWizardItem", nullptr, "wiring"},
    {"SelectMotorToolButton", "MotorOpenItem", nullptr, "motor"},
    {"MotorDesignerToolButton", "MotorDesignerItem", nullptr, "motor-designer"},
    {"TestDataToolButton", "EnterTestDataItem", nullptr, "test-data"},
    {"CatalogDataToolButton", "EnterCatalogDataItem", nullptr, "catalog-data"},
    {"SelectCellToolButton", "BatteryOpenItem", nullptr, "battery"},
    {"SelectFilterToolButton", "FilterOpenItem", nullptr, "filter"},
    {"SelectPropellerToolButton", "PropellerItem", nullptr, "propeller"},
    {"SelectFanToolButton", "DuctedFanItem", nullptr, "fan"},
    {"SelectESCToolButton", "SpeedControlOpenItem", nullptr, "speed-control"},
    {"SelectAirframeToolButton", "AirframeOpenItem", nullptr, "airframe"},
    {"OptionsToolButton", "OptionsItem", "preferences-system", "options"},
    {"UpdateAllToolButton", "UpdateAllItem", "view-refresh", "view-refresh"},
    {"ContributeToolButton", "ContributeItem", nullptr, "contribute"},
    {"GetContributedToolButton", "GetContributedItem", nullptr, "get-contributed"},
    {"HelpToolButton", "HelpTopicsItem", "help-contents", "help-contents"},
    {"TipsToolButton", "TipsAndTricksItem", "help-hint", "help-hint"},
    {"FAQToolButton", "FAQItem", "help-faq", "help-faq"},
    {"ComputeToolButton", nullptr, nullptr, "compute"},
};

// A menu bar shows an icon instead of the caption, so its own entries (Options) keep their words.
bool OnMenuBar(const QAction& action) {
    const QList<QObject*> places = action.associatedObjects();
    return std::any_of(places.begin(), places.end(), [](QObject* place) { return qobject_cast<QMenuBar*>(place); });
}

QPixmap Render(const QByteArray& svg, int size, qreal ratio) {
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(svg);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(0, 0, size * ratio, size * ratio));
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

// Draws the icons again when the palette changes, so our own drawings keep the text colour.
class IconRenewer final : public QObject {
public:
    explicit IconRenewer(QMainWindow& workbench) : QObject(&workbench), workbench_(workbench) {
        workbench.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &workbench_ && event->type() == QEvent::PaletteChange) SetIcons(workbench_);
        return false;
    }

private:
    QMainWindow& workbench_;
};

} // namespace

QIcon OwnIcon(const QString& name, const QPalette& palette) {
    static const bool registered = (RegisterWorkbenchIcons(), true);
    (void)registered;
    QFile file(QStringLiteral(":/icons/") + name + QStringLiteral(".svg"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray source = file.readAll();
    QIcon icon;
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Disabled}) {
        QByteArray svg = source;
        svg.replace("currentColor", palette.color(group, QPalette::WindowText).name().toLatin1());
        const QIcon::Mode mode = group == QPalette::Disabled ? QIcon::Disabled : QIcon::Normal;
        for (const int size : {16, 24, 32})
            for (const qreal ratio : {1.0, 2.0}) icon.addPixmap(Render(svg, size, ratio), mode);
    }
    return icon;
}

QIcon ThemedIcon(const QString& themeName, const QString& ownName, const QPalette& palette) {
    if (!themeName.isEmpty() && QIcon::hasThemeIcon(themeName)) return QIcon::fromTheme(themeName);
    return OwnIcon(ownName, palette);
}

void ApplyWorkbenchIcons(QMainWindow& workbench) {
    SetIcons(workbench);
    new IconRenewer(workbench);
}

void SetIcons(QMainWindow& workbench) {
    const QPalette palette = workbench.palette();
    for (const IconEntry& entry : kIcons) {
        const QIcon icon = ThemedIcon(entry.theme ? QString::fromLatin1(entry.theme) : QString(),
                                      QString::fromLatin1(entry.own), palette);
        if (auto* tool = workbench.findChild<QAction*>(QString::fromLatin1(entry.tool))) tool->setIcon(icon);
        if (entry.menuItem)
            if (auto* item = workbench.findChild<QAction*>(QString::fromLatin1(entry.menuItem)); item && !OnMenuBar(*item))
                item->setIcon(icon);
    }
    // The compute button stands out: its caption beside its icon.
    if (auto* bar = workbench.findChild<QToolBar*>(QStringLiteral("ToolBar")))
        if (auto* compute = workbench.findChild<QAction*>(QStringLiteral("ComputeToolButton")))
            if (auto* button = bar->widgetForAction(compute))
                if (auto* toolButton = qobject_cast<QToolButton*>(button)) {
                    toolButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
                    QFont bold = toolButton->font();
                    bold.setBold(true);
                    toolButton->setFont(bold);
                }
}

} // namespace ampvane
