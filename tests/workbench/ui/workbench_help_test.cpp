// SPDX-License-Identifier: GPL-3.0-or-later
// The workbench's help: F1 on its fields and groups, the Help menu's pages, tips and web links.
#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QMenu>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <gtest/gtest.h>

#include "result_windows.h"
#include "advice/ui/explanation_form.h"
#include "analysis/ui/report_form.h"
#include "help/ui/help_viewer.h"
#include "online/exchange_server.h"
#include "help/ui/tip_of_day_form.h"
#include "support/recording_messages.h"
#include "support/test_paths.h"
#include "workbench/ui/parameter_input_form.h"
#include "workbench/ui/sample_fields.h"
#include "workbench/ui/workbench_help.h"

namespace ampvane {
namespace {

using C = WorkbenchControl;
using testing::RecordingMessages;
using testing::TempDir;

class WorkbenchHelp : public ::testing::Test {
protected:
    WorkbenchHelp() {
        std::ofstream(folder.file("Tips.lst")) << "First tip.\n58|Second tip.\n";
        WorkbenchEnvironment env;
        env.settings = &settings;
        env.dataFolder = folder.path();
        env.messages = &messages;
        env.prompter = &messages;
        form = std::make_unique<TParameterInputForm>(env);
        results = new ResultWindows({env.settings, env.locale, env.messages, env.prompter}, *form);
        form->show();
        QApplication::setActiveWindow(form.get());
    }
    QString PageAfterF1(C id) {
        QWidget* control = form->Control(id);
        control->setFocus();
        QTest::keyClick(control, Qt::Key_F1);
        return HelpViewerWindow() ? HelpViewerWindow()->CurrentPage() : QString();
    }
    QString PageAfter(const char* action) {
        QAction* a = form->findChild<QAction*>(QString::fromLatin1(action));
        EXPECT_TRUE(a && a->isEnabled()) << action;
        if (a) a->trigger();
        return HelpViewerWindow()->CurrentPage();
    }

    TempDir folder;
    Settings settings;
    RecordingMessages messages;
    std::unique_ptr<TParameterInputForm> form;
    ResultWindows* results = nullptr; // owned by the form
};

TEST_F(WorkbenchHelp, F1OpensTheTopicOfTheFieldOrItsGroup) {
    EXPECT_EQ(PageAfterF1(C::PropConstantEdit), QStringLiteral("Ampvane_412.htm"));
    EXPECT_EQ(PageAfterF1(C::MotorConstantEdit), QStringLiteral("Ampvane_100.htm"));
    EXPECT_EQ(PageAfterF1(C::CellCapacityEdit), QStringLiteral("Ampvane_200.htm"));
    EXPECT_EQ(PageAfterF1(C::WingAreaEdit), QStringLiteral("Ampvane_700.htm"));
    EXPECT_EQ(PageAfterF1(C::ESCBrushlessCheckBox), QStringLiteral("Ampvane_605.htm"));
}

// F1 on the report and opinion windows opens their pages; their Help buttons do the same.
TEST_F(WorkbenchHelp, F1OnReportAndOpinionWindows) {
    WorkbenchFields fields;
    testing::FillSample(fields);
    form->SetFields(fields);
    form->ComputeButtonClick();
    ASSERT_EQ(results->Reports().size(), 1u);
    TReportForm* report = results->Reports().front();
    QApplication::setActiveWindow(report);
    QTest::keyClick(report, Qt::Key_F1);
    EXPECT_EQ(HelpViewerWindow()->CurrentPage(), QStringLiteral("Ampvane_10.htm"));
    HelpViewerWindow()->ShowIndex();
    QTest::mouseClick(report->findChild<QPushButton*>(QStringLiteral("HelpButton")), Qt::LeftButton);
    EXPECT_EQ(HelpViewerWindow()->CurrentPage(), QStringLiteral("Ampvane_10.htm"));

    auto* opinion = new TExplanationForm(form.get(), &messages);
    opinion->show();
    QApplication::setActiveWindow(opinion);
    QTest::keyClick(opinion, Qt::Key_F1);
    EXPECT_EQ(HelpViewerWindow()->CurrentPage(), QStringLiteral("Ampvane_12.htm"));
    opinion->close();
}

TEST_F(WorkbenchHelp, HelpMenuOpensItsPagesAndHelpTopicsTheLastOne) {
    EXPECT_EQ(PageAfter("IntroductionItem"), QStringLiteral("Ampvane_2.htm"));
    EXPECT_EQ(PageAfter("QuickTutorialItem"), QStringLiteral("Ampvane_3.htm"));
    EXPECT_EQ(PageAfter("WhatsNewItem"), QStringLiteral("Ampvane_4.htm"));
    EXPECT_EQ(PageAfter("WizardHelpItem"), QStringLiteral("Ampvane_90.htm"));
    EXPECT_EQ(PageAfter("FAQToolButton"), QStringLiteral("Ampvane_6.htm"));
    EXPECT_EQ(PageAfter("TipsAndTricksItem"), QStringLiteral("Ampvane_5.htm"));
    EXPECT_EQ(PageAfter("HelpTopicsItem"), QStringLiteral("Ampvane_5.htm"));
    EXPECT_EQ(PageAfter("HelpToolButton"), QStringLiteral("Ampvane_5.htm"));
    EXPECT_TRUE(form->findChild<QAction*>(QStringLiteral("AboutItem"))->isEnabled());
}

// Opens addresses in place of the desktop's browser.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void Open(const QUrl& url) { opened.push_back(url); }
};

TEST_F(WorkbenchHelp, WebLinksGoToTheConfiguredServer) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "Open");
    auto* visit = form->findChild<QAction*>(QStringLiteral("VisitOurWebSite1"));
    auto* tutorial = form->findChild<QAction*>(QStringLiteral("InDepthTutorialItem"));
    visit->trigger(); // the built-in server
    settings.server = "127.0.0.1:8080";
    emit form->findChild<QMenu*>(QStringLiteral("HelpMenu"))->aboutToShow();
    EXPECT_EQ(visit->text(), QStringLiteral("&Visit 127.0.0.1"));
    visit->trigger();
    tutorial->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    EXPECT_EQ(catcher.opened, (QList<QUrl>{QUrl(QStringLiteral("http://") + QString::fromUtf8(kDefaultServer) + "/"),
                                           QUrl(QStringLiteral("http://127.0.0.1:8080/")),
                                           QUrl(QStringLiteral("http://127.0.0.1:8080/tutorial/"))}));
}

TEST_F(WorkbenchHelp, TipOfTheDayContinuesFromTheSettings) {
    settings.lastTip = 1;
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* tip = qobject_cast<TTipOfDayForm*>(QApplication::activeModalWidget());
        ASSERT_NE(tip, nullptr);
        shown = tip->TipLabel->text();
        tip->TipOfDayLabelClick();
        tip->reject();
    });
    form->findChild<QAction*>(QStringLiteral("TipOfTheDayItem"))->trigger();
    EXPECT_EQ(shown, QStringLiteral("Second tip."));
    EXPECT_EQ(settings.lastTip, 0);
    EXPECT_FALSE(settings.tipAtStartup);
}

TEST(WebLinks, NoBrowserSaysSoWithTheAddress) {
    RecordingMessages messages;
    messages.Expect(std::string(kNoBrowserMessage) + "https://server.example/tutorial/");
    EXPECT_FALSE(OpenWebPage(QUrl(QStringLiteral("https://server.example/tutorial/")), messages,
                             [](const QUrl&) { return false; }));
    EXPECT_TRUE(OpenWebPage(QUrl(QStringLiteral("https://server.example/")), messages, [](const QUrl&) { return true; }));
}

} // namespace
} // namespace ampvane

#include "workbench_help_test.moc"
