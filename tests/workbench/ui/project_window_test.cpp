// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QClipboard>
#include <QAbstractButton>
#include <QAction>
#include <QMenuBar>
#include <map>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "support/recording_messages.h"
#include "support/test_paths.h"
#include "help/ui/help_viewer.h"
#include "online/exchange_server.h"
#include "workbench/configuration.h"
#include "workbench/options.h"
#include "workbench/ui/options_form.h"
#include "workbench/ui/parameter_input_form.h"

namespace ampvane {
namespace {

using C = WorkbenchControl;
using testing::RecordingMessages;
using testing::TempDir;

const std::string kInitial = std::string(AMPVANE_BINARY_DIR) + "/app/Initial";

// One run of the program on a data folder: tables, settings read from the file, the workbench with
// its start-up project, and the configuration written when it closes.
struct ProgramRun {
    ProgramRun(const TempDir& data, RecordingMessages& messages)
        : files(ConfigurationFilesFor(data.path(), data.path() / "work")),
          tables({data.path().string(), kInitial}, messages) {
        tables.OpenComponentTables();
        ReadConfiguration(files, settings, NumberLocale{}, messages);
        WorkbenchEnvironment env;
        env.settings = &settings;
        env.dataFolder = data.path();
        env.messages = &messages;
        env.prompter = &messages;
        env.tables = &tables;
        form = std::make_unique<TParameterInputForm>(env);
        QObject::connect(form.get(), &TParameterInputForm::Closing, [this, &messages] {
            settings.defaultProject = form->Fields().ProjectName();
            WriteConfiguration(files.current, settings, kConfigurationVersion, messages);
            closings++;
        });
        form->LoadStartupProjectCommand();
        form->show();
    }
    QLineEdit* Edit(C id) { return qobject_cast<QLineEdit*>(form->Control(id)); }

    ConfigurationFiles files;
    TCompDataModule tables;
    Settings settings;
    std::unique_ptr<TParameterInputForm> form;
    int closings = 0;
};

// Answers the next modal "Save Project As" window with a name, or cancels it.
void AnswerSaveAs(const QString& name) {
    QTimer::singleShot(0, [name] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Save Project As"));
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("ProjectNameEdit"));
        auto* save = dialog->findChild<QPushButton*>(QStringLiteral("SaveButton"));
        edit->clear();
        EXPECT_FALSE(save->isEnabled()); // only a non-blank name can be saved
        if (name.isEmpty()) return dialog->reject();
        QTest::keyClicks(edit, name);
        save->click();
    });
}

TEST(ProjectWindow, CloseAsksAboutUnsavedChangesAndKeepsTheEdit) {
    TempDir data;
    RecordingMessages messages;
    const QString question = QString::fromStdString(ProjectUnsavedQuestion("Untitled"));
    {
        ProgramRun run(data, messages);
        EXPECT_FALSE(run.form->isWindowModified());
        run.Edit(C::MotorWeightEdit)->selectAll();
        QTest::keyClicks(run.Edit(C::MotorWeightEdit), "9.9");
        EXPECT_TRUE(run.form->isWindowModified());
        EXPECT_TRUE(run.form->windowTitle().endsWith(QStringLiteral("Untitled[*]")));

        // Cancel keeps the program running; No closes without writing the project.
        messages.ExpectQuestion(question.toStdString(), CancelButton);
        EXPECT_FALSE(run.form->close());
        EXPECT_TRUE(run.form->isVisible());
        EXPECT_EQ(run.closings, 0);

        messages.ExpectQuestion(question.toStdString(), YesButton)
            .ExpectQuestion("Do you want to save the parameters for the \"Astro Cobalt 05 7T#20 #605\" Motor?",
                            NoButtonAnswer);
        AnswerSaveAs(QStringLiteral("edited glider"));
        EXPECT_TRUE(run.form->close());
        EXPECT_EQ(run.closings, 1);
    }
    {
        ProgramRun again(data, messages);
        EXPECT_EQ(again.form->Fields().ProjectName(), "Edited glider");
        EXPECT_EQ(again.Edit(C::MotorNameEdit)->text().toStdString(), "Astro Cobalt 05 7T#20 #605");
        EXPECT_TRUE(again.form->windowTitle().endsWith(QStringLiteral("Edited glider[*]")));
        // The motor's record kept its weight (No to its own question); the project was written.
        EXPECT_NE(again.Edit(C::MotorWeightEdit)->text(), QStringLiteral("9.9"));
        QTest::keyClicks(again.Edit(C::NumberOfCellsToEdit), "8");
        messages.ExpectQuestion(ProjectUnsavedQuestion("Edited glider"), NoButtonAnswer);
        const std::string projectFile = data.file("AMPVANE8.DBF");
        const auto sizeBefore = std::filesystem::file_size(projectFile);
        EXPECT_TRUE(again.form->close());
        EXPECT_EQ(std::filesystem::file_size(projectFile), sizeBefore);
    }
    {
        ProgramRun third(data, messages);
        EXPECT_EQ(third.Edit(C::NumberOfCellsToEdit)->text(), QStringLiteral("7")); // No wrote nothing
    }
}

TEST(ProjectWindow, CopyAndPasteProjectGoThroughTheClipboard) {
    TempDir data;
    RecordingMessages messages;
    ProgramRun run(data, messages);
    run.form->CopyProjectCommand();
    QString copied = QApplication::clipboard()->text();
    EXPECT_TRUE(copied.startsWith(QStringLiteral("Begin Ampvane Project\nUntitled\n")));
    QApplication::clipboard()->setText(copied.replace(QStringLiteral("\nUntitled\n"), QStringLiteral("\nPasted\n")));
    run.form->PasteProjectCommand();
    EXPECT_EQ(run.form->Fields().ProjectName(), "Pasted");
    EXPECT_TRUE(run.form->isWindowModified());
}

// Within the workbench every menu title, label and button has its own Alt letter.
TEST(ProjectWindow, AcceleratorsAreUniqueWithinTheWorkbench) {
    TempDir data;
    RecordingMessages messages;
    ProgramRun run(data, messages);
    std::map<QChar, QString> seen;
    const auto add = [&](const QString& text) {
        const int at = text.indexOf(QLatin1Char('&'));
        if (at < 0 || at + 1 >= text.size() || text[at + 1] == QLatin1Char('&')) return;
        const QChar letter = text[at + 1].toLower();
        EXPECT_FALSE(seen.count(letter)) << text.toStdString() << " and " << seen[letter].toStdString();
        seen[letter] = text;
    };
    for (QAction* action : run.form->menuBar()->actions()) add(action->text());
    for (QLabel* label : run.form->findChildren<QLabel*>())
        if (label->buddy()) add(label->text());
    for (QAbstractButton* button : run.form->findChildren<QAbstractButton*>()) add(button->text());
    EXPECT_TRUE(seen.count(QLatin1Char('t'))); // Upda&te keeps its letter
}

TEST(OptionsWindow, RangeChecksUnitConversionsAndCancel) {
    TempDir data;
    RecordingMessages messages;
    Settings settings;
    const ConfigurationFiles files = ConfigurationFilesFor(data.path(), data.path() / "work");
    ASSERT_TRUE(WriteConfiguration(files.current, settings, kConfigurationVersion, messages));
    TOptionsForm form(settings, files, NumberLocale{}, messages);
    auto edit = [&](const char* name) { return form.findChild<QLineEdit*>(QString::fromLatin1(name)); };
    auto label = [&](const char* name) { return form.findChild<QLabel*>(QString::fromLatin1(name))->text(); };

    QTimer::singleShot(0, [&] {
        QTest::keyClicks(edit("ElevationEdit"), "1000");
        QTest::keyClicks(edit("PressureEdit"), "29.92");
        QTest::keyClicks(edit("TemperatureEdit"), "59");
        form.findChild<QRadioButton*>(QStringLiteral("MetricMode3"))->click();
        EXPECT_EQ(edit("ElevationEdit")->text(), QStringLiteral("304.8"));
        EXPECT_EQ(edit("PressureEdit")->text(), QStringLiteral("101.3"));
        EXPECT_EQ(edit("TemperatureEdit")->text(), QStringLiteral("15"));
        EXPECT_EQ(label("ElevationLabel"), QStringLiteral("m"));
        // 11000 m is out of range: refused on OK with the metres message; the dialog stays open.
        edit("ElevationEdit")->selectAll();
        QTest::keyClicks(edit("ElevationEdit"), "11000");
        EXPECT_EQ(edit("ElevationEdit")->palette().color(QPalette::Text), QColor(Qt::red));
        form.accept();
        EXPECT_TRUE(form.isVisible());
        edit("ElevationEdit")->selectAll();
        QTest::keyClicks(edit("ElevationEdit"), "300");
        form.accept();
    });
    messages.Expect("Flying field elevation must be between -304 and +10972 metres.");
    EXPECT_EQ(form.Edit(), QDialog::Accepted);
    EXPECT_EQ(settings.measurementMode, AllMetric);
    Settings stored;
    EXPECT_EQ(ReadConfiguration(files, stored, NumberLocale{}, messages), "8.09");
    EXPECT_EQ(stored.elevation, "300");

    // The close box acts as Cancel: the file's settings come back, the recent list stays.
    settings.recentProjects[0] = "Kept";
    QTimer::singleShot(0, [&] {
        form.findChild<QRadioButton*>(QStringLiteral("MetricMode0"))->click();
        EXPECT_EQ(label("ElevationLabel"), QStringLiteral("ft"));
        form.close();
    });
    EXPECT_EQ(form.Edit(), QDialog::Rejected);
    EXPECT_EQ(settings.measurementMode, AllMetric);
    EXPECT_EQ(settings.elevation, "300");
    EXPECT_EQ(settings.recentProjects[0], "Kept");

    // The proxy port must be a number from 0 to 65535 once a host is given.
    TAdvancedOptionsForm* advanced = form.Advanced();
    QTimer::singleShot(0, [&] {
        advanced->findChild<QLineEdit*>(QStringLiteral("ProxyHostEdit"))->setText(QStringLiteral(" proxy "));
        advanced->findChild<QLineEdit*>(QStringLiteral("ProxyPortEdit"))->setText(QStringLiteral("70000"));
        advanced->accept();
        EXPECT_TRUE(advanced->isVisible());
        advanced->findChild<QLineEdit*>(QStringLiteral("ProxyPortEdit"))->setText(QStringLiteral("8080"));
        advanced->accept();
    });
    messages.Expect(std::string(kProxyPortMessage));
    EXPECT_EQ(advanced->Edit(), QDialog::Accepted);
    EXPECT_EQ(settings.proxyHost, "proxy");
    EXPECT_EQ(settings.proxyPort, "8080");

    // The exchange server: a bad one is refused with the field selected and nothing stored (the
    // proxy neither); a good one is stored trimmed.
    settings.server = "old.example:81";
    QTimer::singleShot(0, [&] {
        auto* server = advanced->findChild<QLineEdit*>(QStringLiteral("ServerEdit"));
        EXPECT_EQ(server->text(), QStringLiteral("old.example:81"));
        advanced->findChild<QLineEdit*>(QStringLiteral("ProxyPortEdit"))->setText(QStringLiteral("3128"));
        server->setText(QStringLiteral("bad host:99999"));
        advanced->accept();
        EXPECT_TRUE(advanced->isVisible());
        EXPECT_EQ(advanced->focusWidget(), server);
        EXPECT_EQ(server->selectedText(), server->text());
        server->setText(QStringLiteral(" 127.0.0.1:8080 "));
        advanced->accept();
    });
    messages.Expect(InvalidServerMessage("bad host:99999"));
    EXPECT_EQ(advanced->Edit(), QDialog::Accepted);
    EXPECT_EQ(settings.server, "127.0.0.1:8080");
    EXPECT_EQ(settings.proxyPort, "3128");
}

// The options dialogs' Help buttons and F1 open their pages in the help viewer.
TEST(OptionsWindow, HelpButtonsAndGroupsOpenTheirPages) {
    TempDir data;
    RecordingMessages messages;
    Settings settings;
    TOptionsForm form(settings, ConfigurationFilesFor(data.path(), data.path() / "work"), NumberLocale{}, messages);
    // The named control of that very window (the advanced dialog is the options dialog's child).
    const auto own = [](QWidget& window, const char* name) -> QWidget* {
        for (QWidget* w : window.findChildren<QWidget*>(QString::fromLatin1(name)))
            if (w->window() == &window) return w;
        return nullptr;
    };
    const auto pageAfterHelp = [&](QWidget& window) {
        qobject_cast<QPushButton*>(own(window, "HelpButton"))->click();
        return HelpViewerWindow()->CurrentPage();
    };
    EXPECT_EQ(pageAfterHelp(form), QStringLiteral("Ampvane_20.htm"));
    EXPECT_EQ(pageAfterHelp(*form.Advanced()), QStringLiteral("Ampvane_209.htm"));
    const std::pair<const char*, int> topics[] = {
        {"PressureEdit", 203}, {"GearboxEfficiencyEdit", 208}, {"AllColumnsButton", 204}, {"OKButton", 20},
        {"ProxyPortEdit", 2091}, {"ServerEdit", 209}};
    for (const auto& [name, topic] : topics) {
        QWidget* control = own(form, name);
        if (!control) control = own(*form.Advanced(), name);
        EXPECT_EQ(HelpTopicOf(control), topic) << name;
    }
    CloseHelpWindows();
}

} // namespace
} // namespace ampvane
