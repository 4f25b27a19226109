// SPDX-License-Identifier: GPL-3.0-or-later
// The help viewer, F1, the tip window and the banner.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>

#include <gtest/gtest.h>

#include <fstream>

#include "help/ui/help_viewer.h"
#include "help/ui/splash_screen.h"
#include "help/ui/tip_of_day_form.h"
#include "support/test_paths.h"

namespace ampvane {
namespace {

using testing::TempDir;

THelpViewer& Viewer() {
    THelpViewer* viewer = HelpViewerWindow();
    EXPECT_NE(viewer, nullptr);
    return *viewer;
}

TEST(HelpViewer, ShowsTopicsWithBackForwardIndexAndSearch) {
    ShowHelpTopic(58);
    THelpViewer& viewer = Viewer();
    EXPECT_TRUE(viewer.isVisible());
    EXPECT_EQ(viewer.CurrentPage(), QStringLiteral("Ampvane_58.htm"));
    EXPECT_EQ(CurrentHelpTopic(), 58);
    EXPECT_TRUE(viewer.Browser()->toPlainText().contains(QStringLiteral("Tip of the Day")));

    ShowHelpTopic(412);
    QTest::mouseClick(viewer.findChild<QToolButton*>(QStringLiteral("BackButton")), Qt::LeftButton);
    EXPECT_EQ(viewer.CurrentPage(), QStringLiteral("Ampvane_58.htm"));
    QTest::mouseClick(viewer.findChild<QToolButton*>(QStringLiteral("ForwardButton")), Qt::LeftButton);
    EXPECT_EQ(viewer.CurrentPage(), QStringLiteral("Ampvane_412.htm"));
    QTest::mouseClick(viewer.findChild<QToolButton*>(QStringLiteral("IndexButton")), Qt::LeftButton);
    EXPECT_EQ(viewer.CurrentPage(), QStringLiteral("index.htm"));

    // A topic without a page shows the index; the topic is still the current one.
    ShowHelpTopic(987654);
    EXPECT_EQ(viewer.CurrentPage(), QStringLiteral("index.htm"));
    EXPECT_FALSE(HelpPageExists(987654));

    EXPECT_TRUE(viewer.Search(QStringLiteral("THRUST constant")).contains(QStringLiteral("Ampvane_412.htm")));
    EXPECT_TRUE(viewer.Search(QStringLiteral("zzqx-no-such-word")).isEmpty());
    auto* edit = viewer.findChild<QLineEdit*>(QStringLiteral("SearchEdit"));
    edit->setText(QStringLiteral("milliohms"));
    QTest::keyClick(edit, Qt::Key_Return);
    auto* results = viewer.findChild<QListWidget*>(QStringLiteral("SearchResultList"));
    ASSERT_GT(results->count(), 0);
    results->setCurrentRow(0);
    emit results->itemActivated(results->item(0));
    EXPECT_TRUE(viewer.Browser()->toPlainText().contains(QStringLiteral("milliohms")));
}

TEST(HelpViewer, F1OpensTheTopicOfTheFocusedControlOrItsWindow) {
    InstallHelpKey();
    QWidget window;
    SetHelpTopic(&window, 20);
    auto* plain = new QLineEdit(&window);
    auto* own = new QLineEdit(&window);
    SetHelpTopic(own, 203);
    window.show();
    QApplication::setActiveWindow(&window);
    plain->setFocus();
    QTest::keyClick(plain, Qt::Key_F1);
    EXPECT_EQ(Viewer().CurrentPage(), QStringLiteral("Ampvane_20.htm"));
    own->setFocus();
    QTest::keyClick(own, Qt::Key_F1);
    EXPECT_EQ(Viewer().CurrentPage(), QStringLiteral("Ampvane_203.htm"));
    EXPECT_EQ(HelpTopicOf(plain), 20);
}

struct TipFile {
    TempDir dir;
    QString path = QString::fromStdString(dir.file("Tips.lst"));
    explicit TipFile(const char* text) { std::ofstream(path.toStdString(), std::ios::binary) << text; }
};

TEST(TipOfDayWindow, EachOpeningShowsTheNextTipWithItsTopic) {
    TipFile tips("57|Ask technical support && friends.\n\nPlain tip.\n");
    TTipOfDayForm form;
    form.SetTipsFile(tips.path);
    form.SetShowAtStartup(false);
    form.show();
    EXPECT_EQ(form.TipLabel->text(), QStringLiteral("Ask technical support & friends."));
    EXPECT_TRUE(form.MoreButton->isVisibleTo(&form));
    EXPECT_EQ(form.LastTip(), 1);
    EXPECT_FALSE(form.TipOfDayCheckBox->isChecked());
    QTest::mouseClick(form.MoreButton, Qt::LeftButton);
    EXPECT_EQ(Viewer().CurrentPage(), QStringLiteral("Ampvane_57.htm"));
    Viewer().close();
    QTest::mouseClick(form.NextTipButton, Qt::LeftButton);
    EXPECT_EQ(form.TipLabel->text(), QStringLiteral("Plain tip."));
    EXPECT_FALSE(form.MoreButton->isVisibleTo(&form));
    EXPECT_EQ(form.LastTip(), 0);
    // The label beside the box switches the setting like the box itself.
    QTest::mouseClick(form.TipOfDayLabel, Qt::LeftButton);
    EXPECT_TRUE(form.ShowAtStartup());
    QTest::mouseClick(form.TipOfDayCheckBox, Qt::LeftButton);
    EXPECT_FALSE(form.ShowAtStartup());
    form.hide();
    form.show(); // a new opening: the first tip again
    EXPECT_EQ(form.LastTip(), 1);
}

TEST(TipOfDayWindow, MissingFileSaysSoAndKeepsThePlace) {
    TTipOfDayForm form;
    form.SetTipsFile(QStringLiteral("/nonexistent/Tips.lst"));
    form.SetLastTip(3);
    form.show();
    EXPECT_EQ(form.TipLabel->text(), QStringLiteral("The \"Tip of the Day\" file could not be found."));
    EXPECT_EQ(form.LastTip(), 3);
}

TEST(TipOfDayWindow, PrintsTheTipToPdf) {
    TipFile tips("Power && weight go together.\n");
    TTipOfDayForm form;
    form.SetTipsFile(tips.path);
    form.show();
    EXPECT_EQ(form.TipText(), QStringLiteral("Power & weight go together."));
    EXPECT_TRUE(form.PrintButton->isEnabled()); // without a printer: the dialog also writes PDF files
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = QString::fromStdString(tips.dir.file("tip.pdf"));
    printer.setOutputFileName(pdf);
    ASSERT_TRUE(form.PrintTip(printer));
    std::ifstream in(pdf.toStdString(), std::ios::binary);
    std::string head(5, '\0');
    in.read(head.data(), 5);
    EXPECT_EQ(head, "%PDF-");
}

TEST(Banner, ShowsTheVersionAndTheDesktopAndClosesOnAClick) {
    qputenv("XDG_CURRENT_DESKTOP", "KDE");
    EXPECT_EQ(TSplashScreen::DesktopLine(), QStringLiteral("for KDE on Linux"));
    qunsetenv("XDG_CURRENT_DESKTOP");
    qunsetenv("DESKTOP_SESSION");
    EXPECT_TRUE(TSplashScreen::DesktopLine().startsWith(QStringLiteral("for the ")));
    TSplashScreen banner;
    EXPECT_EQ(banner.VersionText(), QStringLiteral("Version 8.09"));
    EXPECT_EQ(banner.size(), QSize(408, 425));
    EXPECT_TRUE(TSplashScreen::LicenceText().contains(QStringLiteral("GNU GPL version 3 or later")));
    banner.show();
    QTest::mouseClick(&banner, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_EQ(banner.result(), QDialog::Accepted);
    EXPECT_FALSE(banner.isVisible());
}

// As the About box the banner has an OK button, clear of its texts, that closes it.
TEST(Banner, AsTheAboutBoxItHasAnOkButton) {
    TSplashScreen about;
    EXPECT_EQ(about.findChild<QPushButton*>(QStringLiteral("OKButton")), nullptr); // not at start-up
    about.OfferOkButton();
    auto* ok = about.findChild<QPushButton*>(QStringLiteral("OKButton"));
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(about.rect().contains(ok->geometry()));
    EXPECT_LT(ok->geometry().bottom(), 90); // above the picture and every line of text
    about.show();
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());
}

} // namespace
} // namespace ampvane
