// SPDX-License-Identifier: GPL-3.0-or-later
// The workbench's menus and tool bar.

#include "workbench/ui/parameter_input_form.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include "common/ui/qt_text.h"
#include "online/exchange_server.h"
#include "workbench/ui/workbench_texts.h"

namespace ampvane {

namespace {
using C = WorkbenchControl;

// A small badge for a tool button: the group's colour with one or two letters.
QIcon BadgeIcon(const QString& letters, const QColor& colour) {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(colour.darker(140));
    painter.drawRoundedRect(QRectF(1.5, 1.5, 21, 21), 5, 5);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(letters.size() > 1 ? 10 : 13);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, 24, 24), Qt::AlignCenter, letters);
    return QIcon(pixmap);
}

} // namespace

// ---- menus and tool bar ---------------------------------------------------------------------------

QString TParameterInputForm::WebSite() const {
    const Settings defaults;
    const Settings& settings = env_.settings ? *env_.settings : defaults;
    return QString::fromStdString(SiteUrl(ServerOf({settings.server, settings.proxyHost, settings.proxyPort}))) +
           QLatin1Char('/');
}

void TParameterInputForm::SetWizardCommand(std::function<void()> open) {
    for (const char* name : {"AmpvaneWizardItem", "WizardToolButton"}) {
        QAction* action = findChild<QAction*>(QString::fromLatin1(name));
        if (!action) continue;
        action->setEnabled(static_cast<bool>(open));
        if (open) connect(action, &QAction::triggered, this, [open] { open(); });
    }
}

void TParameterInputForm::SetToolCommand(WorkbenchTool tool, std::function<void()> open) {
    for (auto [which, button] : toolButtons_) {
        if (which != tool) continue;
        button->setEnabled(static_cast<bool>(open));
        if (open) connect(button, &QPushButton::clicked, this, [open] { open(); });
    }
    for (auto [which, action] : toolActions_) {
        if (which != tool) continue;
        action->setEnabled(static_cast<bool>(open));
        if (open) connect(action, &QAction::triggered, this, [open] { open(); });
    }
}

QPushButton* TParameterInputForm::ToolOpener(WorkbenchTool tool, QPushButton* button) {
    toolButtons_.emplace_back(tool, button);
    return button;
}

QAction* TParameterInputForm::ToolOpener(WorkbenchTool tool, QAction* action) {
    toolActions_.emplace_back(tool, action);
    return action;
}

void TParameterInputForm::BuildMenus() {
    QMenuBar* bar = menuBar();
    const auto item = [this](QMenu* menu, const char* caption, const char* name, bool enabled,
                             QKeySequence shortcut = {}) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromUtf8(name));
        action->setShortcut(shortcut);
        action->setEnabled(enabled);
        return action;
    };
    const auto newMenu = [bar](const char* caption, const char* name) {
        QMenu* menu = bar->addMenu(QString::fromUtf8(caption));
        menu->setObjectName(QString::fromUtf8(name));
        return menu;
    };

    QMenu* project = newMenu("&Project", "ProjectMenu");
    projectMenu_ = project;
    const bool stored = env_.tables && env_.settings;
    connect(item(project, "&New...", "NewProjectItem", stored, QKeySequence(QStringLiteral("Ctrl+N"))),
            &QAction::triggered, this, &TParameterInputForm::NewProjectCommand);
    connect(item(project, "&Open...", "OpenProjectItem", stored, QKeySequence(QStringLiteral("Ctrl+O"))),
            &QAction::triggered, this, &TParameterInputForm::OpenProjectCommand);
    connect(item(project, "&Save", "SaveProjectItem", stored, QKeySequence(QStringLiteral("Ctrl+S"))),
            &QAction::triggered, this, [this] { SaveProjectCommand(false); });
    connect(item(project, "Save &As...", "SaveProjectAsItem", stored), &QAction::triggered, this,
            [this] { SaveProjectCommand(true); });
    project->addSeparator();
    connect(item(project, "C&opy Project", "CopyProjectItem", stored, QKeySequence(QStringLiteral("Ctrl+Alt+C"))),
            &QAction::triggered, this, &TParameterInputForm::CopyProjectCommand);
    connect(item(project, "P&aste Project", "PasteProjectItem", stored, QKeySequence(QStringLiteral("Ctrl+Alt+V"))),
            &QAction::triggered, this, &TParameterInputForm::PasteProjectCommand);
    project->addSeparator();
    item(project, "&AmpvaneWizard...", "AmpvaneWizardItem", false, QKeySequence(QStringLiteral("Ctrl+W")));
    ToolOpener(WorkbenchTool::WiringWizard,
               item(project, "&Wiring Wizard...", "WiringWizardItem", false, QKeySequence(QStringLiteral("Ctrl+Alt+W"))));
    recentSeparator_ = project->addSeparator();
    for (int i = 1; i <= 9; ++i) {
        QAction* recent = project->addAction(QString());
        recent->setObjectName(QStringLiteral("Recent%1").arg(i));
        recent->setVisible(false);
        connect(recent, &QAction::triggered, this,
                [this, recent] { OpenRecentProject(S(recent->data().toString())); });
        recentActions_[static_cast<std::size_t>(i - 1)] = recent;
    }
    connect(project, &QMenu::aboutToShow, this, &TParameterInputForm::FillRecentMenu);
    project->addSeparator();
    connect(item(project, "E&xit", "ExitItem", true, QKeySequence(QStringLiteral("Ctrl+Q"))), &QAction::triggered,
            this, &QWidget::close);

    QMenu* edit = newMenu("&Edit", "EditMenu");
    connect(item(edit, "Cu&t", "CutItem", true, QKeySequence(QStringLiteral("Ctrl+X"))), &QAction::triggered, this,
            [this] { EditCommand(0); });
    connect(item(edit, "&Copy", "CopyItem", true, QKeySequence(QStringLiteral("Ctrl+C"))), &QAction::triggered, this,
            [this] { EditCommand(1); });
    connect(item(edit, "&Paste", "PasteItem", true, QKeySequence(QStringLiteral("Ctrl+V"))), &QAction::triggered,
            this, [this] { EditCommand(2); });
    // The edit fields handle these keys themselves; the menu serves the mouse.
    for (QAction* a : edit->actions()) a->setShortcutContext(Qt::WidgetShortcut);

    const auto componentMenu = [&](const char* caption, const char* name, const char* prefix) {
        QMenu* menu = newMenu(caption, name);
        const std::string p(prefix);
        item(menu, "&New", (p + "NewItem").c_str(), false);
        item(menu, "&Open...", (p + "OpenItem").c_str(), false);
        item(menu, "&Save", (p + "SaveItem").c_str(), false);
        return menu;
    };
    QMenu* motor = componentMenu("&Motor", "MotorMenu", "Motor");
    motor->addSeparator();
    ToolOpener(WorkbenchTool::MotorDesigner, item(motor, "Motor &Designer...", "MotorDesignerItem", false));
    ToolOpener(WorkbenchTool::TestData, item(motor, "Enter &Test Data...", "EnterTestDataItem", false));
    ToolOpener(WorkbenchTool::CatalogData, item(motor, "Enter &Catalog Data...", "EnterCatalogDataItem", false));
    componentMenu("&Battery", "BatteryMenu", "Battery");
    QMenu* filter = componentMenu("&Filter", "FilterMenu", "Filter");
    filter->addSeparator();
    useFilterAction_ = item(filter, "&Use Filter", "UseFilterItem", true);
    useFilterAction_->setCheckable(true);
    connect(useFilterAction_, &QAction::triggered, this, [this](bool checked) {
        fields_.SetChecked(C::UseFilterCheckBox, checked);
        ShowFields();
    });

    QMenu* drive = componentMenu("&Drive System", "DriveSystemMenu", "DriveSystem");
    drive->addSeparator();
    propellerAction_ = item(drive, "&Propeller", "PropellerItem", true);
    fanAction_ = item(drive, "&Ducted Fan", "DuctedFanItem", true);
    propellerAction_->setCheckable(true);
    fanAction_->setCheckable(true);
    connect(propellerAction_, &QAction::triggered, this, [this] { drivePages_->setCurrentIndex(kPropellerPage); });
    connect(fanAction_, &QAction::triggered, this, [this] { drivePages_->setCurrentIndex(kDuctedFanPage); });
    drive->addSeparator();
    fanPitchAction_ = ToolOpener(WorkbenchTool::FanPitch, item(drive, "Pitch &Calculator...", "PitchCalculatorItem", false));
    fanCoeffAction_ =
        ToolOpener(WorkbenchTool::FanCoefficient, item(drive, "Co&efficient Estimator...", "FanCoefficientEstimatorItem", false));
    propConstAction_ =
        ToolOpener(WorkbenchTool::PropConstant, item(drive, "Constant &Estimator...", "ConstantEstimatorItem", false));
    connect(drive, &QMenu::aboutToShow, this, &TParameterInputForm::UpdateDrivePageView);

    componentMenu("&Speed Control", "SpeedControlMenu", "SpeedControl");
    QMenu* airframe = componentMenu("&Airframe", "AirframeMenu", "Airframe");
    airframe->addSeparator();
    ToolOpener(WorkbenchTool::LiftCoefficient,
               item(airframe, "&Coefficient Calculator...", "CoefficientCalculatorItem", false));

    QAction* options = bar->addAction(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("OptionsItem"));
    options->setEnabled(bool(env_.showOptions));
    if (env_.showOptions) connect(options, &QAction::triggered, this, [this] { env_.showOptions(); });

    QMenu* update = newMenu("Upda&te", "UpdateMenu");
    onlineActions_.updateAll.push_back(item(update, "Update &All...", "UpdateAllItem", false));
    update->addSeparator();
    std::size_t table = 0;
    for (auto [caption, name] :
         {std::pair{"&Projects...", "UpdateProjectsItem"}, std::pair{"&Motors...", "UpdateMotorsItem"},
          std::pair{"&Cells...", "UpdateCellsItem"}, std::pair{"&Filters...", "UpdateFiltersItem"},
          std::pair{"Propeller &Drive Systems...", "UpdatePropellerDrivesItem"},
          std::pair{"Fan D&rive Systems...", "UpdateFanDrivesItem"},
          std::pair{"&Speed Controls...", "UpdateSpeedControlsItem"}, std::pair{"&Airframes...", "UpdateAirframesItem"}})
        onlineActions_.updateTable.at(table++) = item(update, caption, name, false);
    update->addSeparator();
    onlineActions_.contribute.push_back(item(update, "C&ontribute Your Data...", "ContributeItem", false));
    onlineActions_.getContributed.push_back(item(update, "&Get Contributed Data...", "GetContributedItem", false));

    QMenu* help = newMenu("&Help", "HelpMenu");
    for (auto [caption, name] :
         {std::pair{"&Help Topics...", "HelpTopicsItem"}, std::pair{"&Introduction...", "IntroductionItem"},
          std::pair{"&Quick Tutorial...", "QuickTutorialItem"}, std::pair{"What's &New?...", "WhatsNewItem"},
          std::pair{"The Ampvane&Wizard...", "WizardHelpItem"}, std::pair{"Tips and Tric&ks...", "TipsAndTricksItem"},
          std::pair{"&Frequently Asked Questions...", "FAQItem"}})
        item(help, caption, name, false);
    help->addSeparator();
    // The web links go to the exchange server's site (the options' "server"), connected with the
    // rest of the help; the caption follows a changed server.
    item(help, "In-Depth &Tutorial (web)...", "InDepthTutorialItem", false);
    QAction* visit = item(help, "", "VisitOurWebSite1", false);
    const auto nameSite = [this, visit] { visit->setText(QStringLiteral("&Visit %1").arg(QUrl(WebSite()).host())); };
    nameSite();
    connect(help, &QMenu::aboutToShow, this, nameSite);
    help->addSeparator();
    item(help, "Tip of the &Day...", "TipOfTheDayItem", false);
    onlineActions_.technicalSupport = item(help, "&E-mail Technical Support...", "TechnicalSupportItem", false);
    item(help, "&About Ampvane...", "AboutItem", false);
}

void TParameterInputForm::BuildToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Tools"));
    bar->setObjectName(QStringLiteral("ToolBar"));
    bar->setMovable(false);
    bar->setIconSize(QSize(24, 24));
    const QColor project(0x3A, 0x6E, 0xA5), wizard(0x7B, 0x4F, 0x9D), motor(0xB0, 0x5A, 0x1E),
        component(0x2E, 0x7D, 0x32), options(0x55, 0x55, 0x55), online(0x00, 0x79, 0x8A), help(0x8E, 0x6C, 0x00),
        compute(0xC6, 0x28, 0x28);
    const auto button = [&](const char* hint, const char* name, const char* letters, const QColor& colour,
                            bool enabled) {
        QAction* action = bar->addAction(BadgeIcon(QString::fromUtf8(letters), colour), QString::fromUtf8(hint));
        action->setObjectName(QString::fromUtf8(name));
        action->setToolTip(QString::fromUtf8(hint));
        action->setEnabled(enabled);
        return action;
    };
    const bool stored = env_.tables && env_.settings;
    connect(button("New Project", "NewProjectToolButton", "N", project, stored), &QAction::triggered, this,
            &TParameterInputForm::NewProjectCommand);
    connect(button("Open Project", "OpenProjectToolButton", "O", project, stored), &QAction::triggered, this,
            &TParameterInputForm::OpenProjectCommand);
    connect(button("Save Project", "SaveProjectToolButton", "S", project, stored), &QAction::triggered, this,
            [this] { SaveProjectCommand(false); });
    connect(button("Save Project As", "SaveProjectAsToolButton", "SA", project, stored), &QAction::triggered, this,
            [this] { SaveProjectCommand(true); });
    bar->addSeparator();
    button("AmpvaneWizard", "WizardToolButton", "AW", wizard, false);
    ToolOpener(WorkbenchTool::WiringWizard, button("Wiring Wizard", "WiringWizardToolButton", "WW", wizard, false));
    bar->addSeparator();
    button("Select Motor", "SelectMotorToolButton", "M", motor, false);
    ToolOpener(WorkbenchTool::MotorDesigner, button("Motor Designer", "MotorDesignerToolButton", "MD", motor, false));
    ToolOpener(WorkbenchTool::TestData, button("Enter Test Data", "TestDataToolButton", "TD", motor, false));
    ToolOpener(WorkbenchTool::CatalogData, button("Enter Catalog Data", "CatalogDataToolButton", "CD", motor, false));
    bar->addSeparator();
    button("Select Cell Type", "SelectCellToolButton", "C", component, false);
    button("Select Filter", "SelectFilterToolButton", "F", component, false);
    button("Select Propeller Drive Sytems", "SelectPropellerToolButton", "P", component, false);
    button("Select Fan Drive System", "SelectFanToolButton", "DF", component, false);
    button("Select Speed Control", "SelectESCToolButton", "SC", component, false);
    button("Select Airframe", "SelectAirframeToolButton", "A", component, false);
    bar->addSeparator();
    QAction* optionsButton = button("Options", "OptionsToolButton", "Op", options, bool(env_.showOptions));
    if (env_.showOptions) connect(optionsButton, &QAction::triggered, this, [this] { env_.showOptions(); });
    bar->addSeparator();
    QAction* updateAll = button("Update All", "UpdateAllToolButton", "U", online, false);
    updateAll->setToolTip(QStringLiteral("Update All from %1").arg(QUrl(WebSite()).host()));
    onlineActions_.updateAll.push_back(updateAll);
    onlineActions_.contribute.push_back(button("Contribute Your Data", "ContributeToolButton", "Up", online, false));
    onlineActions_.getContributed.push_back(
        button("Get User Contributed Data", "GetContributedToolButton", "Dn", online, false));
    bar->addSeparator();
    button("Help", "HelpToolButton", "?", help, false);
    button("Tips And Tricks", "TipsToolButton", "T", help, false);
    button("Frequently Asked Questions", "FAQToolButton", "Q", help, false);
    bar->addSeparator();
    QAction* computeAction = button("Compute Report", "ComputeToolButton", "=", compute, true);
    connect(computeAction, &QAction::triggered, this, &TParameterInputForm::ComputeButtonClick);
}

} // namespace ampvane
