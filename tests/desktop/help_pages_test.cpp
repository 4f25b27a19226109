// SPDX-License-Identifier: GPL-3.0-or-later
// The help pages as a newcomer meets them: long enough to explain, naming every control of the window
// that opens them, and found by the words a user types.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <gtest/gtest.h>

#include "desktop_machine.h"
#include "help/help_topics.h"
#include "help/ui/help_viewer.h"
#include "support/recording_messages.h"
#include "workbench/startup.h"
#include "workbench/ui/parameter_input_form.h"

namespace ampvane {
namespace {

namespace fs = std::filesystem;
using testing::RecordingMessages;

const fs::path kSourceDir = AMPVANE_SOURCE_DIR;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A page as a reader sees it: tags and the "See also" footer dropped, entities read, blanks collapsed.
std::string PageText(int topic) {
    std::string html = ReadFile(kSourceDir / "src/help/pages" / HelpPageName(topic));
    if (const auto footer = html.find("See also:"); footer != std::string::npos) html.erase(footer);
    std::string text = std::regex_replace(html, std::regex("<title>[^<]*</title>|<[^>]*>"), " ");
    for (const auto& [entity, plain] : std::vector<std::pair<std::string, std::string>>{
             {"&amp;", "&"}, {"&gt;", ">"}, {"&lt;", "<"}, {"&quot;", "\""}, {"&#x27;", "'"}, {"&middot;", " "},
             {"&deg;", "°"}, {"&nbsp;", " "}})
        for (auto at = text.find(entity); at != std::string::npos; at = text.find(entity, at))
            text.replace(at, entity.size(), plain);
    return std::regex_replace(text, std::regex("\\s+"), " ");
}

int WordCount(const std::string& text) {
    const std::regex word("[^ ]+");
    return static_cast<int>(std::distance(std::sregex_iterator(text.begin(), text.end(), word), std::sregex_iterator()));
}

// Each window and the pages that explain it; the first is the page its Help button and F1 open.
const std::map<std::string, std::vector<int>> kWindowPages = {
    {"TParameterInputForm", {1, 100, 200, 300, 400, 412, 500, 600, 605, 700}},
    {"TReportForm", {10, 11}},
    {"TExplanationForm", {12}},
    {"TComparisonForm", {13}},
    {"TGraphForm", {14}},
    {"TOptionsForm", {20, 201, 202, 203, 204, 206, 208}},
    {"TAdvancedOptionsForm", {209, 2091}},
    {"TTableBrowser", {8}},
    {"TAmpvaneWizardForm", {90, 902, 903, 904, 905, 906, 907, 9071, 9072, 908}},
    {"TTestDataInputForm", {214}},
    {"TCatalogDataInputForm", {215}},
    {"TBuildMotorInputForm", {216}},
    {"TFanPitchMeasurementsForm", {234, 2340}},
    {"TFanCoefficientForm", {235}},
    {"TPropConstantForm", {236}},
    {"TLiftCoefficientForm", {264, 2640, 2642}},
    {"TWingMeasurementsForm", {2641}},
    {"TAirfoilListForm", {2644}},
    {"TWiringWizardForm", {93, 931, 932}},
    {"TTipOfDayForm", {58}},
    {"TSupportForm", {57}},
    {"TContributionForm", {92}},
    {"TContributionBrowserForm", {94}},
    {"TCarryOverForm", {84}},
};

std::set<int> AllPages() {
    std::set<int> topics;
    const std::regex name("Ampvane_([0-9]+)\\.htm");
    for (const auto& entry : fs::directory_iterator(kSourceDir / "src/help/pages")) {
        std::smatch m;
        const std::string file = entry.path().filename().string();
        if (std::regex_match(file, m, name)) topics.insert(std::stoi(m[1]));
    }
    return topics;
}

TEST(HelpPages, WindowPagesExplainInAtLeast120WordsAndTheRestIn60) {
    std::set<int> windowPages;
    for (const auto& [window, pages] : kWindowPages) windowPages.insert(pages.front());
    for (int topic : AllPages()) {
        const int minimum = windowPages.count(topic) ? 120 : 60;
        EXPECT_GE(WordCount(PageText(topic)), minimum) << HelpPageName(topic);
    }
}

// The captions a newcomer reads in a window: buttons, boxes, group titles, tabs and field labels.
// "&" marks and a final ":" or "..." are not part of what a page would quote.
std::set<std::string> Captions(QWidget* window) {
    std::set<std::string> captions;
    const auto add = [&](QString text) {
        text.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&')).replace(QChar(1), QLatin1Char('&'));
        text = text.trimmed();
        // "Motor: Astro 05" names a value after its caption.
        if (const int colon = text.indexOf(QStringLiteral(": ")); colon > 0) text.truncate(colon);
        while (text.endsWith(QLatin1Char(':')) || text.endsWith(QLatin1Char('.'))) text.chop(1);
        text = text.trimmed();
        if (text.count(QRegularExpression(QStringLiteral("[A-Za-z]"))) >= 2) captions.insert(text.toStdString());
    };
    // A control of this window (not of a window it owns) that is not hidden on purpose; pages of a tab
    // or stack count as shown.
    const auto shown = [window](QWidget* w) {
        for (; w && w != window; w = w->parentWidget()) {
            if (w->isWindow()) return false;
            if (w->isHidden() && !(w->parentWidget() && w->parentWidget()->inherits("QStackedWidget"))) return false;
        }
        return w == window;
    };
    for (auto* button : window->findChildren<QAbstractButton*>()) {
        auto* tool = qobject_cast<QToolButton*>(button);
        if (shown(button) && !(tool && tool->toolButtonStyle() == Qt::ToolButtonIconOnly)) add(button->text());
    }
    for (auto* group : window->findChildren<QGroupBox*>())
        if (shown(group)) add(group->title());
    for (auto* tabs : window->findChildren<QTabBar*>())
        if (shown(tabs))
            for (int i = 0; i < tabs->count(); ++i) add(tabs->tabText(i));
    for (auto* label : window->findChildren<QLabel*>())
        if (shown(label) && label->textFormat() != Qt::RichText && label->text().trimmed().endsWith(QLatin1Char(':')))
            add(label->text());
    return captions;
}

// Records the captions of every window as it shows, then closes modal ones as a user would.
class CaptionRecorder : public QObject {
public:
    CaptionRecorder() { qApp->installEventFilter(this); }
    ~CaptionRecorder() override { qApp->removeEventFilter(this); }
    std::map<std::string, std::set<std::string>> captions;
    // Run on a modal window of this class before it is closed (to open what it opens).
    std::map<std::string, std::function<void(QWidget&)>> beforeClosing;

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() != QEvent::Show || !object->isWidgetType() || !static_cast<QWidget*>(object)->isWindow()) return false;
        auto* window = static_cast<QWidget*>(object);
        std::string name = window->metaObject()->className();
        name = name.substr(name.rfind(':') + 1);
        captions[name].merge(Captions(window));
        if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isModal())
            QTimer::singleShot(0, dialog, [this, dialog, name] {
                if (auto found = beforeClosing.find(name); found != beforeClosing.end()) found->second(*dialog);
                dialog->reject();
            });
        return false;
    }
};

void Click(QWidget& window, const char* objectName) {
    if (auto* button = window.findChild<QAbstractButton*>(QString::fromLatin1(objectName)); button && button->isEnabled())
        button->click();
}

void Trigger(QWidget& window, const QString& caption) {
    for (auto* action : window.findChildren<QAction*>())
        if (action->text().remove(QLatin1Char('&')) == caption && action->isEnabled()) return action->trigger();
}

QWidget* NewestWindow(const char* className, QWidget* besides = nullptr) {
    QWidget* found = nullptr;
    for (QWidget* w : QApplication::allWidgets())
        if (w->isWindow() && w->inherits(className) && w->isVisible() && w != besides) found = w;
    return found;
}

TEST(HelpPages, EveryWindowsPagesNameEveryControlOfIt) {
    const fs::path before = fs::current_path();
    Machine machine;
    RecordingMessages answers;
    answers.ExpectQuestion(std::string(kUpdateOfferQuestion), NoButtonAnswer).AllowAny();
    CaptionRecorder recorder;
    recorder.beforeClosing["TOptionsForm"] = [](QWidget& options) { Click(options, "Button1"); };
    {
        DesktopProgram program(machine.Options(answers, answers));
        RunStartUp(program);
        TParameterInputForm& workbench = program.Workbench();
        // Every window a newcomer opens from the workbench, except the contributed-data browser, which
        // downloads as it opens.
        for (const char* caption : {"Enter Test Data...", "Enter Catalog Data...", "Motor Designer...",
                                    "Constant Estimator...", "Coefficient Estimator...", "Pitch Calculator...",
                                    "Coefficient Calculator...", "Wiring Wizard...", "Options", "Tip of the Day...",
                                    "E-mail Technical Support...", "Contribute Your Data..."})
            Trigger(workbench, QString::fromUtf8(caption));
        if (auto* open = workbench.findChild<QAction*>(QStringLiteral("MotorOpenItem"))) open->trigger();
        if (QWidget* estimator = NewestWindow("ampvane::TLiftCoefficientForm")) {
            Click(*estimator, "BitBtn1");
            Click(*estimator, "BitBtn2");
        }
        Click(workbench, "ComputeButton");
        if (QWidget* report = NewestWindow("ampvane::TReportForm")) {
            if (auto* grid = report->findChild<QTableView*>(QStringLiteral("ReportGrid"))) grid->selectRow(0);
            Click(*report, "InFlightButton");
            if (QWidget* flight = NewestWindow("ampvane::TReportForm", report)) {
                for (const char* button : {"GraphButton", "CompareButton", "OpinionButton"}) Click(*flight, button);
            }
        }
        QCoreApplication::processEvents();
        for (QWidget* w : QApplication::topLevelWidgets()) w->close();
    }
    CloseHelpWindows();
    fs::current_path(before);

    for (const auto& [window, pages] : kWindowPages) {
        if (!recorder.captions.count(window)) continue; // not opened here
        std::string text;
        for (int topic : pages) text += PageText(topic) + " ";
        const QString pagesText = QString::fromStdString(text);
        std::vector<std::string> missing;
        for (const std::string& caption : recorder.captions[window])
            if (!pagesText.contains(QString::fromStdString(caption), Qt::CaseInsensitive)) missing.push_back(caption);
        EXPECT_TRUE(missing.empty()) << window << "'s pages do not name: " << ::testing::PrintToString(missing);
    }
    // The windows the walk above opens; the contributed-data browser and carry-over are left out.
    for (const char* window : {"TParameterInputForm", "TReportForm", "TExplanationForm", "TComparisonForm", "TGraphForm",
                               "TOptionsForm", "TAdvancedOptionsForm", "TTableBrowser", "TAmpvaneWizardForm",
                               "TTestDataInputForm", "TPropConstantForm", "TLiftCoefficientForm", "TWiringWizardForm",
                               "TTipOfDayForm"})
        EXPECT_TRUE(recorder.captions.count(window)) << window << " was not opened; messages: "
                                                     << ::testing::PrintToString(answers.texts());
}

TEST(HelpPages, IndexAndSearchFindEachWindowByAUsersWords) {
    const std::string index = ReadFile(kSourceDir / "src/help/pages/index.htm");
    THelpViewer viewer;
    const std::pair<const char*, int> searches[] = {
        {"graph", 14},          {"compare", 13},        {"opinion", 12},          {"in-flight", 11},
        {"report columns", 204}, {"component browser", 8}, {"wizard", 90},          {"wiring", 93},
        {"test data", 214},      {"catalog", 215},       {"rewound motor", 216},   {"fan pitch", 234},
        {"efflux", 235},         {"propeller constant", 236}, {"airfoil drag", 264}, {"proxy", 2091},
        {"support", 57},         {"contribute", 92},      {"contributed", 94},      {"tip of the day", 58},
        {"options units", 20},   {"filter", 300},         {"update", 911},          {"workbench", 1},
    };
    for (const auto& [words, topic] : searches) {
        const QString page = QString::fromStdString(HelpPageName(topic));
        EXPECT_TRUE(viewer.Search(QString::fromUtf8(words)).contains(page)) << "searching \"" << words << "\"";
        EXPECT_NE(index.find("href=\"" + page.toStdString() + "\""), std::string::npos) << page.toStdString();
    }
}

} // namespace
} // namespace ampvane
