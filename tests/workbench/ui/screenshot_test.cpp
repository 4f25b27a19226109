// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QStyleFactory>
#include <QTest>

#include <vector>

#include <gtest/gtest.h>

#include "result_windows.h"
#include "advice/ui/comparison_form.h"
#include "analysis/ui/report_form.h"
#include "help/ui/splash_screen.h"
#include "support/recording_messages.h"
#include "support/test_paths.h"
#include "workbench/ui/parameter_input_form.h"
#include "workbench/ui/sample_fields.h"

namespace ampvane {
namespace {

// Renders the workbench, a report and an in-flight report of the sample. The pictures are checked for
// content here; with AMPVANE_SCREENSHOT_DIR set they are also kept there to be looked at.
// Pictures to look at can be taken with a dark palette (AMPVANE_SCREENSHOT_PALETTE=dark, in the
// Fusion style), and at any QT_SCALE_FACTOR.
void UseAskedPalette() {
    if (qEnvironmentVariable("AMPVANE_SCREENSHOT_PALETTE") != QStringLiteral("dark")) return;
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette dark;
    const QColor window(0x35, 0x35, 0x35), base(0x25, 0x25, 0x25), text(0xee, 0xee, 0xee);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, window);
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::ToolTipBase, base);
    dark.setColor(QPalette::ToolTipText, text);
    dark.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::Link, QColor(0x6a, 0xb0, 0xff));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(QPalette::Disabled, role, QColor(0x80, 0x80, 0x80));
    QApplication::setPalette(dark);
}

TEST(WindowPictures, WorkbenchReportAndInFlightRender) {
    if (!qEnvironmentVariableIsEmpty("AMPVANE_SCREENSHOT_DIR")) UseAskedPalette();
    testing::RecordingMessages messages;
    Settings settings;
    settings.useHeating = false;
    WorkbenchEnvironment env;
    env.settings = &settings;
    env.messages = &messages;
    env.prompter = &messages;
    TParameterInputForm form(env);
    auto* results = new ResultWindows({env.settings, env.locale, env.messages, env.prompter}, form);
    WorkbenchFields fields;
    testing::FillSample(fields);
    form.SetFields(fields);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.ComputeButtonClick();
    ASSERT_EQ(results->Reports().size(), 1u);
    TReportForm* report = results->Reports().front();
    report->SelectDataRow(3);
    TReportForm* flight = report->OpenInFlight(3);
    ASSERT_NE(flight, nullptr);
    QApplication::processEvents();

    const QString keep = qEnvironmentVariable("AMPVANE_SCREENSHOT_DIR");
    TSplashScreen banner;
    std::vector<std::pair<QWidget*, const char*>> windows = {
        {&form, "workbench"}, {report, "report"}, {flight, "inflight"}, {&banner, "banner"}};
    if (!keep.isEmpty()) {
        flight->ExplainButtonClick();
        QApplication::processEvents();
        if (!flight->OpinionWindows().empty()) windows.emplace_back(flight->OpinionWindows().front(), "opinion");
        report->CompareButtonClick();
        flight->CompareButtonClick();
        windows.emplace_back(&results->Comparison(), "comparison");
    }
    for (const auto& [window, name] : windows) {
        const QImage picture = window->grab().toImage();
        ASSERT_FALSE(picture.isNull()) << name;
        EXPECT_GT(picture.width(), 300) << name;
        EXPECT_GT(picture.height(), 200) << name;
        // Not a blank picture: the first row differs from the middle of the window somewhere.
        EXPECT_NE(picture.pixel(2, picture.height() / 2), picture.pixel(picture.width() / 2, picture.height() / 2))
            << name;
        if (!keep.isEmpty()) picture.save(QDir(keep).filePath(QString::fromLatin1(name) + QStringLiteral(".png")));
    }
}

} // namespace
} // namespace ampvane
