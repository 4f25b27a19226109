// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program run in-process on a fresh data folder: the windows of the start-up sequence in
// their order, and "exit" on the command line.
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTimer>

#include <fstream>
#include <iterator>
#include <gtest/gtest.h>

#include "desktop_machine.h"
#include "help/ui/help_viewer.h"
#include "support/qt_test_main.h"
#include "support/recording_messages.h"
#include "support/test_paths.h"
#include "workbench/startup.h"
#include "workbench/ui/parameter_input_form.h"

namespace ampvane {
namespace {

using testing::RecordingMessages;

// What the user sees, in order: each window as it shows (by class), each message and question. The
// tip and the wizard are closed as a user would close them.
class Screen : public QObject, public MessageSink, public Prompter {
public:
    explicit Screen(RecordingMessages& answers) : answers_(answers) { qApp->installEventFilter(this); }
    ~Screen() override { qApp->removeEventFilter(this); }

    std::vector<std::string> seen;
    std::function<void()> onQuestion;

    void Report(const Message& message) override {
        seen.push_back("message: " + message.text);
        answers_.Report(message);
    }
    Button Ask(const Message& message) override {
        seen.push_back("question: " + message.text);
        if (onQuestion) onQuestion();
        return answers_.Ask(message);
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() != QEvent::Show || !object->isWidgetType()) return false;
        auto* window = static_cast<QWidget*>(object);
        if (!window->isWindow()) return false;
        std::string name = window->metaObject()->className();
        name = name.substr(name.rfind(':') + 1);
        seen.push_back(name);
        if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isModal())
            QTimer::singleShot(0, dialog, [dialog] { dialog->reject(); });
        return false;
    }

private:
    RecordingMessages& answers_;
};

TEST(FirstStart, BannerSampleProjectUpdateOfferTipAndWizardInThatOrder) {
    const std::filesystem::path before = std::filesystem::current_path();
    Machine machine;
    RecordingMessages answers;
    answers.ExpectQuestion(std::string(kUpdateOfferQuestion), NoButtonAnswer);
    Screen screen(answers);
    std::string motorAtQuestion;
    bool bannerAtQuestion = true;
    {
        DesktopProgram program(machine.Options(screen, screen));
        screen.onQuestion = [&] {
            motorAtQuestion = program.Workbench().Fields().Text(WorkbenchControl::MotorNameEdit);
            bannerAtQuestion = false;
            for (QWidget* window : QApplication::topLevelWidgets())
                bannerAtQuestion = bannerAtQuestion || (window->isVisible() && std::string(window->metaObject()->className()).ends_with("TSplashScreen"));
        };
        RunStartUp(program);
        EXPECT_EQ(screen.seen, (std::vector<std::string>{"TSplashScreen", "TParameterInputForm",
                                                         "question: " + std::string(kUpdateOfferQuestion),
                                                         "TTipOfDayForm", "TAmpvaneWizardForm"}));
        // The question came over the sample project, with the banner gone.
        EXPECT_EQ(motorAtQuestion, "Astro Cobalt 05 7T#20 #605");
        EXPECT_FALSE(bannerAtQuestion);
        EXPECT_TRUE(program.Workbench().isVisible());
        EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(machine.documents.path() / "Ampvane"));
        program.Workbench().close(); // nothing changed: no question
    }
    const auto configuration = [&] {
        std::ifstream in(machine.data.path() / "Ampvane.ini", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string written = configuration();
    EXPECT_NE(written.find("version 8.09\r\n"), std::string::npos);

    // The next start, told to export and exit: the tables are written, the tip and the wizard never
    // show, and the workbench closes without a question.
    screen.seen.clear();
    const std::filesystem::path out = machine.data.path() / "all.txt";
    {
        DesktopProgram program(machine.Options(screen, screen, {"export", out.string(), "exit"}));
        RunStartUp(program);
        EXPECT_EQ(screen.seen, (std::vector<std::string>{"TSplashScreen", "TParameterInputForm"}));
        EXPECT_FALSE(program.Workbench().isVisible());
    }
    EXPECT_TRUE(std::filesystem::exists(out));
    EXPECT_EQ(configuration(), written); // "exit" writes no settings
    CloseHelpWindows();
    std::filesystem::current_path(before);
}

} // namespace
} // namespace ampvane

int main(int argc, char** argv) { return RunWindowTests(argc, argv); }
