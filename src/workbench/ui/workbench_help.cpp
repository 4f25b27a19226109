// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/ui/workbench_help.h"

#include <QAction>
#include <QDesktopServices>
#include <QMainWindow>
#include <QPushButton>
#include <QWidget>

#include "help/help_topics.h"
#include "help/tips.h"
#include "help/ui/help_viewer.h"
#include "help/ui/splash_screen.h"
#include "help/ui/tip_of_day_form.h"

namespace ampvane {

bool OpenWebPage(const QUrl& address, MessageSink& messages, const std::function<bool(const QUrl&)>& open) {
    const bool opened = open ? open(address) : QDesktopServices::openUrl(address);
    if (!opened)
        messages.Report(Message{MessageKind::Warning, kNoBrowserMessage + address.toString().toStdString(), OkButton, 0});
    return opened;
}

void ShowTipOfTheDay(QWidget* parent, Settings& settings, const std::filesystem::path& dataFolder) {
    TTipOfDayForm form(parent);
    form.SetTipsFile(QString::fromStdString((dataFolder / kTipsFileName).string()));
    form.SetLastTip(settings.lastTip);
    form.SetShowAtStartup(settings.tipAtStartup);
    form.Run();
    settings.lastTip = form.LastTip();
    settings.tipAtStartup = form.ShowAtStartup();
}

void ConnectWorkbenchHelp(QMainWindow& workbench, Settings& settings, const std::filesystem::path& dataFolder,
                          MessageSink& messages, std::function<QString()> site) {
    InstallHelpKey();
    const auto action = [&](const char* name) { return workbench.findChild<QAction*>(QString::fromLatin1(name)); };
    const auto onAction = [&](const char* name, auto handler) {
        if (QAction* a = action(name)) {
            a->disconnect(&workbench); // any earlier placeholder handler
            QObject::connect(a, &QAction::triggered, &workbench, handler);
            a->setEnabled(true);
        }
    };
    const auto topic = [](int n) { return [n] { ShowHelpTopic(n); }; };
    const auto current = [] { ShowHelpTopic(CurrentHelpTopic()); };

    onAction("HelpTopicsItem", current);
    onAction("HelpToolButton", current);
    onAction("IntroductionItem", topic(kIntroductionHelpTopic));
    onAction("QuickTutorialItem", topic(kQuickTutorialHelpTopic));
    onAction("WhatsNewItem", topic(kWhatsNewHelpTopic));
    onAction("WizardHelpItem", topic(kWizardHelpTopic));
    onAction("TipsAndTricksItem", topic(kTipsAndTricksHelpTopic));
    onAction("TipsToolButton", topic(kTipsAndTricksHelpTopic));
    onAction("FAQItem", topic(kFaqHelpTopic));
    onAction("FAQToolButton", topic(kFaqHelpTopic));
    QMainWindow* window = &workbench;
    Settings* kept = &settings;
    onAction("TipOfTheDayItem", [window, kept, dataFolder] { ShowTipOfTheDay(window, *kept, dataFolder); });
    onAction("AboutItem", [window] {
        TSplashScreen banner(window);
        banner.OfferOkButton();
        banner.exec();
    });
    MessageSink* sink = &messages;
    onAction("InDepthTutorialItem", [site, sink] { OpenWebPage(QUrl(site() + QStringLiteral("tutorial/")), *sink); });
    onAction("VisitOurWebSite1", [site, sink] { OpenWebPage(QUrl(site()), *sink); });
    if (auto* help = workbench.findChild<QPushButton*>(QStringLiteral("HelpButton"))) {
        QObject::connect(help, &QPushButton::clicked, &workbench, current);
        help->setEnabled(true);
    }

    // F1: the window, then each group; a field with a page of its own has its own topic.
    SetHelpTopic(&workbench, kContentsHelpTopic);
    const std::pair<const char*, int> topics[] = {
        {"MotorGroup", kMotorGroupHelpTopic},
        {"BatteryGroup", kBatteryGroupHelpTopic},
        {"FilterGroup", kFilterGroupHelpTopic},
        {"Drive_SystemGroup", kPropellerGroupHelpTopic},
        {"DuctedFanPage", kFanGroupHelpTopic},
        {"Speed_ControlGroup", kSpeedControlGroupHelpTopic},
        {"AirframeGroup", kAirframeGroupHelpTopic},
        {"PropConstantEdit", 412},
        {"ThrustConstantEdit", 412},
        {"ESCBrushlessCheckBox", 605},
        {"MotorBrushlessCheckBox", 605},
        {"ComputeButton", kReportHelpTopic},
    };
    for (const auto& [name, n] : topics)
        if (auto* widget = workbench.findChild<QWidget*>(QString::fromLatin1(name))) SetHelpTopic(widget, n);
}

} // namespace ampvane
