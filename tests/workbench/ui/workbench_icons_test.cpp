// Every tool button, and the menu item that does the same, shows an icon that stays sharp at 2x and follows
// the palette.
#include <QAction>
#include <QImage>
#include <QToolBar>

#include <algorithm>

#include <gtest/gtest.h>

#include "support/recording_messages.h"
#include "workbench/ui/parameter_input_form.h"
#include "workbench/ui/tool_icons.h"

namespace ampvane {
namespace {

// The darkest (or lightest) opaque pixel's lightness of an icon drawn at a size and ratio.
int InkLightness(const QIcon& icon, int size, qreal ratio, bool lightest = false) {
    const QImage image = icon.pixmap(QSize(size, size), ratio).toImage();
    EXPECT_EQ(image.width(), qRound(size * ratio));
    int lightness = lightest ? 0 : 255;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QColor c = image.pixelColor(x, y); c.alpha() > 200)
                lightness = lightest ? std::max(lightness, c.lightness()) : std::min(lightness, c.lightness());
    return lightness;
}

// A real icon: the desktop theme's, or one of our drawings made for 2x too (not a bare 24-pixel badge).
bool Drawn(const QIcon& icon) {
    return !icon.isNull() && (!icon.name().isEmpty() || icon.availableSizes().contains(QSize(48, 48)));
}

TEST(WorkbenchIcons, EveryToolButtonAndItsMenuItemHasAnIcon) {
    testing::RecordingMessages messages;
    WorkbenchEnvironment env;
    env.messages = &messages;
    env.prompter = &messages;
    TParameterInputForm form(env);
    auto* bar = form.findChild<QToolBar*>(QStringLiteral("ToolBar"));
    ASSERT_NE(bar, nullptr);
    int buttons = 0;
    for (QAction* action : bar->actions()) {
        if (action->isSeparator()) continue;
        ++buttons;
        EXPECT_TRUE(Drawn(action->icon())) << action->objectName().toStdString();
    }
    EXPECT_EQ(buttons, 24);
    // A dark palette given to the running window redraws our own icons in light ink.
    QPalette dark = form.palette();
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    form.setPalette(dark);
    auto* motor = form.findChild<QAction*>(QStringLiteral("SelectMotorToolButton"));
    if (motor->icon().name().isEmpty()) {
        EXPECT_GT(InkLightness(motor->icon(), 24, 2, true), 180);
    }
    for (const char* item : {"NewProjectItem", "OpenProjectItem", "SaveProjectItem", "SaveProjectAsItem",
                             "AmpvaneWizardItem", "WiringWizardItem", "MotorOpenItem", "MotorDesignerItem",
                             "EnterTestDataItem", "EnterCatalogDataItem", "BatteryOpenItem", "FilterOpenItem",
                             "PropellerItem", "DuctedFanItem", "SpeedControlOpenItem", "AirframeOpenItem", "OptionsItem",
                             "UpdateAllItem", "ContributeItem", "GetContributedItem", "HelpTopicsItem",
                             "TipsAndTricksItem", "FAQItem"}) {
        auto* action = form.findChild<QAction*>(QString::fromLatin1(item));
        ASSERT_NE(action, nullptr) << item;
        // Options is an entry of the menu bar itself, which would show an icon instead of its caption.
        if (QString::fromLatin1(item) == QStringLiteral("OptionsItem")) {
            EXPECT_TRUE(action->icon().isNull());
            continue;
        }
        EXPECT_TRUE(Drawn(action->icon())) << item;
    }
}

TEST(WorkbenchIcons, OwnIconsFollowThePaletteAndAreDrawnForHighDensity) {
    QPalette light, dark;
    light.setColor(QPalette::WindowText, Qt::black);
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    for (const char* name : {"motor", "battery", "propeller", "fan", "speed-control", "airframe", "filter", "wizard",
                             "wiring"}) {
        const QIcon onLight = OwnIcon(QString::fromLatin1(name), light);
        const QIcon onDark = OwnIcon(QString::fromLatin1(name), dark);
        ASSERT_FALSE(onLight.isNull()) << name;
        EXPECT_LT(InkLightness(onLight, 24, 2), 60) << name;
        EXPECT_GT(InkLightness(onDark, 24, 1, true), 180) << name;
        EXPECT_LT(InkLightness(onLight, 24, 1, true), 180) << name; // no light ink left on a light theme
    }
    EXPECT_TRUE(OwnIcon(QStringLiteral("no-such-icon"), light).isNull());
}

} // namespace
} // namespace ampvane
