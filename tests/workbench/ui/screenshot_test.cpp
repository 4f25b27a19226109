#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QTest>

#include <gtest/gtest.h>

#include "analysis/ui/report_form.h"
#include "support/recording_messages.h"
#include "support/test_paths.h"
#include "workbench/ui/parameter_input_form.h"
#include "workbench/ui/sample_fields.h"

namespace ampvane {
namespace {

// Renders the workbench, a report and an in-flight report of the sample. The pictures are checked for
// content here; with AMPVANE_SCREENSHOT_DIR set they are also kept there to be looked at.
TEST(WindowPictures, WorkbenchReportAndInFlightRender) {
    testing::RecordingMessages messages;
    Settings settings;
    settings.useHeating = false;
    WorkbenchEnvironment env;
    env.settings = &settings;
    env.messages = &messages;
    env.prompter = &messages;
    TParameterInputForm form(env);
    WorkbenchFields fields;
    testing::FillSample(fields);
    form.SetFields(fields);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.ComputeButtonClick();
    ASSERT_EQ(form.Reports().size(), 1u);
    TReportForm* report = form.Reports().front();
    report->SelectDataRow(3);
    TReportForm* flight = report->OpenInFlight(3);
    ASSERT_NE(flight, nullptr);
    QApplication::processEvents();

    const QString keep = qEnvironmentVariable("AMPVANE_SCREENSHOT_DIR");
    const std::pair<QWidget*, const char*> windows[] = {{&form, "workbench"}, {report, "report"}, {flight, "inflight"}};
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
