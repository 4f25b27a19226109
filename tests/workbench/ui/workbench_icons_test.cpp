// SPDX-License-Identifier: GPL-3.0-or-later
// Every tool button, and the menu item that does the same, shows a real icon that follows the palette.
#include <QAction>
#include <QImage>
#include <QToolBar>

#include <algorithm>

#include <gtest/gtest.h>

#include "support/recording_messages.h"
#include "workbench/ui/parameter_input_form.h"

namespace ampvane {
namespace {

// The desktop theme's icon, or one of our drawings rendered for 2x too (not a bare 24-pixel badge).
bool Drawn(const QIcon& icon) {
    return !icon.isNull() && (!icon.name().isEmpty() || icon.availableSizes().contains(QSize(48, 48)));
}

int LightestInk(const QIcon& icon) {
    const QImage image = icon.pixmap(QSize(24, 24), 2.0).toImage();
    int lightness = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QColor c = image.pixelColor(x, y); c.alpha() > 200) lightness = std::max(lightness, c.lightness());
    return lightness;
}

TEST(WorkbenchIcons, EveryToolButtonAndItsMenuItemHasAnIconFollowingThePalette) {
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
    for (const char* item : {"NewProjectItem", "OpenProjectItem", "SaveProjectItem", "SaveProjectAsItem",
                             "AmpvaneWizardItem", "WiringWizardItem", "MotorOpenItem", "MotorDesignerItem",
                             "EnterTestDataItem", "EnterCatalogDataItem", "BatteryOpenItem", "FilterOpenItem",
                             "PropellerItem", "DuctedFanItem", "SpeedControlOpenItem", "AirframeOpenItem",
                             "UpdateAllItem", "ContributeItem", "GetContributedItem", "HelpTopicsItem",
                             "TipsAndTricksItem", "FAQItem"}) {
        auto* action = form.findChild<QAction*>(QString::fromLatin1(item));
        ASSERT_NE(action, nullptr) << item;
        EXPECT_TRUE(Drawn(action->icon())) << item;
    }
    // Options is an entry of the menu bar itself, which would show an icon in place of its caption.
    EXPECT_TRUE(form.findChild<QAction*>(QStringLiteral("OptionsItem"))->icon().isNull());

    // Our own drawings are in the text colour: dark ink on a light palette, light ink once it turns dark.
    const auto* motor = form.findChild<QAction*>(QStringLiteral("SelectMotorToolButton"));
    if (!motor->icon().name().isEmpty()) return; // the desktop theme draws it
    QPalette palette = form.palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    form.setPalette(palette);
    EXPECT_LT(LightestInk(motor->icon()), 100);
    palette.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    form.setPalette(palette);
    EXPECT_GT(LightestInk(motor->icon()), 180);
}

} // namespace
} // namespace ampvane
