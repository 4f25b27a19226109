// SPDX-License-Identifier: GPL-3.0-or-later
#include "wizard/ui/ampvane_wizard_form.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <fstream>
#include <thread>

#include "common/ui/qt_text.h"
#include "analysis/report_export.h"
#include "common/file_write.h"
#include "data/comp_data_module.h"
#include "data/name_lookup.h"
#include "wizard/ui/wizard_progress_form.h"

namespace ampvane {

namespace {

struct PageInfo {
    const char* tab;
    const char* title;
    int help;
};
constexpr PageInfo kPages[] = {
    {"&Start Here", "Start Here", 90},
    {"&Performance", "Desired Performance", 902},
    {"&Model", "Model Dimensions and Weight", 903},
    {"&Airfoil", "Airfoil Shape", 904},
    {"&Thickness", "Airfoil Thickness", 905},
    {"&Field", "Flying Field Elevation", 906},
    {"M&otor", "Motor Restrictions", 907},
    {"&Gear && Prop", "Gearing and Propeller Restrictions", 9071},
    {"&Battery", "Battery Restrictions", 9072},
    {"&Results", "Results", 908},
};
constexpr int kResultsPage = 9;
constexpr int kWizardHelp = 900;
constexpr const char* kCaptionPrefix = "Ampvane 8.09 AmpvaneWizard - ";

// The page that holds a control named in a stored message.
int PageOfControl(const std::string& name) {
    static const std::map<std::string, int> pages = {
        {"WingSpanEdit", 2},        {"WingAreaEdit", 2},         {"EmptyWeightEdit", 2},
        {"FieldElevationEdit", 5},  {"SeaLevelPressureEdit", 5}, {"FieldTemperatureEdit", 5},
        {"LoadMotorButton", 6},     {"SpecificGearEdit", 7},     {"SpecificDiameterEdit", 7},
        {"SpecificPitchEdit", 7},   {"LoadCellButton", 8},       {"SeriesCellsEdit", 8},
        {"ParallelCellsEdit", 8},   {"PerformanceLevel", 1},
    };
    const auto found = pages.find(name);
    return found == pages.end() ? 0 : found->second;
}


} // namespace

TAmpvaneWizardForm::TAmpvaneWizardForm(WizardEnvironment environment, QWidget* parent)
    : QDialog(parent), env_(std::move(environment)), boxes_(this) {
    setObjectName(QStringLiteral("AmpvaneWizardForm"));
    setModal(true);
    BuildPages();
    progress_ = new TWizardProgressForm(this);
    ShowAnswers();
    UpdateNavigation();
    UpdateCaption();
}

TAmpvaneWizardForm::~TAmpvaneWizardForm() = default;

MessageSink& TAmpvaneWizardForm::Messages() { return env_.messages ? *env_.messages : boxes_; }

QRadioButton* TAmpvaneWizardForm::Radio(QButtonGroup* group, int id, const QString& caption, const char* name) {
    auto* button = new QRadioButton(caption);
    button->setObjectName(QString::fromLatin1(name));
    group->addButton(button, id);
    return button;
}

QLineEdit* TAmpvaneWizardForm::Edit(const char* name) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(name));
    connect(edit, &QLineEdit::textEdited, this, [this] { ParameterChanged(); });
    return edit;
}

QComboBox* TAmpvaneWizardForm::UnitBox(const char* name, const QStringList& units) {
    auto* box = new QComboBox;
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(units);
    connect(box, &QComboBox::activated, this, [this] { ParameterChanged(); });
    return box;
}

void TAmpvaneWizardForm::BuildPages() {
    auto* layout = new QVBoxLayout(this);
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("WizardPages"));
    QWidget* (TAmpvaneWizardForm::*builders[])() = {
        &TAmpvaneWizardForm::BuildStartPage,    &TAmpvaneWizardForm::BuildPerformancePage,
        &TAmpvaneWizardForm::BuildModelPage,    &TAmpvaneWizardForm::BuildAirfoilPage,
        &TAmpvaneWizardForm::BuildThicknessPage, &TAmpvaneWizardForm::BuildFieldPage,
        &TAmpvaneWizardForm::BuildMotorPage,    &TAmpvaneWizardForm::BuildGearPage,
        &TAmpvaneWizardForm::BuildBatteryPage,  &TAmpvaneWizardForm::BuildResultsPage,
    };
    for (int i = 0; i < 10; ++i) pages_->addTab((this->*builders[i])(), tr(kPages[i].tab));
    // The whole tab strip shows: the dialog is made wide enough for it instead of scrolling it.
    pages_->setUsesScrollButtons(false);
    layout->addWidget(pages_);
    connect(pages_, &QTabWidget::currentChanged, this, &TAmpvaneWizardForm::WizardPagesChange);

    auto* bottom = new QHBoxLayout;
    startupBox_ = new QCheckBox(tr("Always show AmpvaneWizard when Ampvane starts"));
    startupBox_->setObjectName(QStringLiteral("WizardCheckBox"));
    if (env_.settings) startupBox_->setChecked(env_.settings->wizardAtStartup);
    connect(startupBox_, &QCheckBox::toggled, this, [this](bool on) {
        if (env_.settings) env_.settings->wizardAtStartup = on;
    });
    auto* help = new QPushButton(tr("Help"));
    help->setObjectName(QStringLiteral("HelpButton"));
    help->setEnabled(static_cast<bool>(env_.showHelp));
    connect(help, &QPushButton::clicked, this, [this] { env_.showHelp(kPages[CurrentPage()].help); });
    auto* close = new QPushButton(tr("Close"));
    close->setObjectName(QStringLiteral("CloseButton"));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    backButton_ = new QPushButton(tr("&Back"));
    backButton_->setObjectName(QStringLiteral("BackButton"));
    connect(backButton_, &QPushButton::clicked, this, [this] { SetCurrentPage(CurrentPage() - 1); });
    nextButton_ = new QPushButton(tr("&Next"));
    nextButton_->setObjectName(QStringLiteral("NextButton"));
    connect(nextButton_, &QPushButton::clicked, this, [this] { SetCurrentPage(CurrentPage() + 1); });
    bottom->addWidget(startupBox_);
    bottom->addStretch();
    for (QPushButton* b : {help, close, backButton_, nextButton_}) bottom->addWidget(b);
    layout->addLayout(bottom);
}

QWidget* TAmpvaneWizardForm::BuildStartPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    planeName_ = Edit("PlaneNameEdit");
    planeName_->setMaxLength(40);
    disconnect(planeName_, nullptr, this, nullptr);
    connect(planeName_, &QLineEdit::textEdited, this, [this] { AirframeParameterChanged(); });
    grid->addWidget(new QLabel(tr("What is the name of your model?")), 0, 0);
    grid->addWidget(planeName_, 0, 1);
    grid->addWidget(new QLabel(tr("How many motors will it have?")), 1, 0);
    motorsGroup_ = new QButtonGroup(page);
    auto* row = new QHBoxLayout;
    const char* names[] = {"Motor1RadioButton", "Motor2RadioButton", "Motor3RadioButton", "Motor4RadioButton"};
    for (int i = 1; i <= 4; ++i)
        row->addWidget(Radio(motorsGroup_, i, i == 1 ? tr("1 Motor") : tr("%1 Motors").arg(i), names[i - 1]));
    grid->addLayout(row, 1, 1);
    connect(motorsGroup_, &QButtonGroup::idClicked, this, [this] { ParameterChanged(); });
    auto* import = new QPushButton(tr("&Copy Plane from Workbench"));
    import->setObjectName(QStringLiteral("ImportButton"));
    import->setEnabled(env_.session != nullptr);
    connect(import, &QPushButton::clicked, this, &TAmpvaneWizardForm::ImportButtonClick);
    auto* clear = new QPushButton(tr("Clear"));
    clear->setObjectName(QStringLiteral("ClearButton"));
    connect(clear, &QPushButton::clicked, this, &TAmpvaneWizardForm::ClearButtonClick);
    grid->addWidget(import, 2, 0);
    grid->addWidget(clear, 2, 1, Qt::AlignLeft);
    grid->setRowStretch(3, 1);
    return page;
}

QWidget* TAmpvaneWizardForm::BuildPerformancePage() {
    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    auto* levels = new QVBoxLayout;
    levels->addWidget(new QLabel(tr("What full-throttle performance do you want?")));
    levelGroup_ = new QButtonGroup(page);
    const char* levelNames[] = {"SedateRadioButton",    "TrainerRadioButton",    "SportRadioButton",
                                "RaceRadioButton",      "AerobaticRadioButton",  "Aero3DRadioButton",
                                "SailplaneRadioButton", "HotlinerRadioButton"};
    for (int i = 0; i < 8; ++i)
        levels->addWidget(Radio(levelGroup_, i, Q(LevelCaption(static_cast<WizardLevel>(i))), levelNames[i]));
    auto* times = new QVBoxLayout;
    times->addWidget(new QLabel(tr("How long do you want to fly at partial throttle?")));
    timeGroup_ = new QButtonGroup(page);
    const char* timeNames[] = {"RunTime2RadioButton", "RunTime3RadioButton",  "RunTime5RadioButton",
                               "RunTime7RadioButton", "RunTime10RadioButton", "RunTime15RadioButton"};
    for (int i = 0; i < 6; ++i)
        times->addWidget(Radio(timeGroup_, i, Q(FlyingTimeCaption(static_cast<WizardFlyingTime>(i))), timeNames[i]));
    levels->addStretch();
    times->addStretch();
    layout->addLayout(levels);
    layout->addLayout(times);
    connect(levelGroup_, &QButtonGroup::idClicked, this, [this] { ParameterChanged(); });
    connect(timeGroup_, &QButtonGroup::idClicked, this, [this] { ParameterChanged(); });
    return page;
}

QWidget* TAmpvaneWizardForm::BuildModelPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    span_ = Edit("WingSpanEdit");
    area_ = Edit("WingAreaEdit");
    weight_ = Edit("EmptyWeightEdit");
    spanUnit_ = UnitBox("WingSpanUnitBox", {"in", "ft", "cm"});
    areaUnit_ = UnitBox("WingAreaUnitBox", {"sq.in", "sq.ft", Q("dm ²")});
    weightUnit_ = UnitBox("EmptyWeightUnitBox", {"oz", "lb", "g"});
    for (QLineEdit* e : {span_, area_, weight_})
        connect(e, &QLineEdit::textEdited, this, [this] { AirframeParameterChanged(); });
    grid->addWidget(new QLabel(tr("What is the wing span of your model?")), 0, 0);
    grid->addWidget(span_, 0, 1);
    grid->addWidget(spanUnit_, 0, 2);
    grid->addWidget(new QLabel(tr("What is its wing area?")), 1, 0);
    grid->addWidget(area_, 1, 1);
    grid->addWidget(areaUnit_, 1, 2);
    auto* question = new QHBoxLayout;
    question->setSpacing(0);
    auto* without = new QLabel(tr("without"));
    QFont bold = without->font();
    bold.setBold(true);
    without->setFont(bold);
    question->addWidget(new QLabel(tr("What does your model weigh, ")));
    question->addWidget(without);
    question->addWidget(new QLabel(tr(" the motor, battery pack, and speed control?")));
    question->addStretch();
    grid->addLayout(question, 2, 0, 1, 3);
    grid->addWidget(weight_, 3, 1);
    grid->addWidget(weightUnit_, 3, 2);
    grid->setRowStretch(4, 1);
    return page;
}

QWidget* TAmpvaneWizardForm::BuildAirfoilPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(tr("What shape is the airfoil of the wing?")));
    airfoilGroup_ = new QButtonGroup(page);
    const char* names[] = {"AirfoilUndercamberedRadioButton", "AirfoilFlatBottomedRadioButton",
                           "AirfoilSemiSymmetricalRadioButton", "AirfoilSymmetricalRadioButton",
                           "AirfoilFlatPlateRadioButton", "AirfoilCamberedPlateRadioButton"};
    for (int i = 0; i < 6; ++i)
        layout->addWidget(Radio(airfoilGroup_, i, Q(AirfoilCaption(static_cast<WizardAirfoil>(i))), names[i]));
    layout->addStretch();
    connect(airfoilGroup_, &QButtonGroup::idClicked, this, [this](int id) {
        // A plate is always very thin.
        if (id == static_cast<int>(WizardAirfoil::FlatPlate) || id == static_cast<int>(WizardAirfoil::CamberedPlate))
            thicknessGroup_->button(static_cast<int>(WizardThickness::VeryThin))->setChecked(true);
        AirframeParameterChanged();
    });
    return page;
}

QWidget* TAmpvaneWizardForm::BuildThicknessPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(tr("How thick is the airfoil?")));
    thicknessGroup_ = new QButtonGroup(page);
    const char* names[] = {"ThicknessVeryThinRadioButton", "ThicknessThinRadioButton", "ThicknessMediumRadioButton",
                           "ThicknessThickRadioButton"};
    for (int i = 0; i < 4; ++i)
        layout->addWidget(Radio(thicknessGroup_, i, Q(ThicknessCaption(static_cast<WizardThickness>(i))), names[i]));
    layout->addStretch();
    connect(thicknessGroup_, &QButtonGroup::idClicked, this, [this] { AirframeParameterChanged(); });
    return page;
}

QWidget* TAmpvaneWizardForm::BuildFieldPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    elevation_ = Edit("FieldElevationEdit");
    pressure_ = Edit("SeaLevelPressureEdit");
    temperature_ = Edit("FieldTemperatureEdit");
    elevationUnit_ = UnitBox("FieldElevationUnitBox", {"ft", "m"});
    pressureUnit_ = UnitBox("SeaLevelPressureUnitBox", {"inHg", "kPa"});
    temperatureUnit_ = UnitBox("FieldTemperatureUnitBox", {Q("°F"), Q("°C")});
    grid->addWidget(new QLabel(tr("What is the elevation of your flying field?")), 0, 0);
    grid->addWidget(elevation_, 0, 1);
    grid->addWidget(elevationUnit_, 0, 2);
    advancedButton_ = new QPushButton(tr("Show Advanced S&ettings"));
    advancedButton_->setObjectName(QStringLiteral("AdvancedFieldSettingsButton"));
    grid->addWidget(advancedButton_, 1, 0, Qt::AlignLeft);
    advancedPanel_ = new QWidget;
    auto* advanced = new QGridLayout(advancedPanel_);
    advanced->addWidget(new QLabel(tr("Sea-level pressure:")), 0, 0);
    advanced->addWidget(pressure_, 0, 1);
    advanced->addWidget(pressureUnit_, 0, 2);
    advanced->addWidget(new QLabel(tr("Air temperature:")), 1, 0);
    advanced->addWidget(temperature_, 1, 1);
    advanced->addWidget(temperatureUnit_, 1, 2);
    grid->addWidget(advancedPanel_, 2, 0, 1, 3);
    grid->setRowStretch(3, 1);
    connect(advancedButton_, &QPushButton::clicked, this, [this] {
        answers_.advancedShown = !answers_.advancedShown;
        if (env_.settings) env_.settings->advancedWizard = answers_.advancedShown;
        ParameterChanged();
        UpdateChoicePanels();
    });
    return page;
}

QWidget* TAmpvaneWizardForm::BuildMotorPage() {
    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    auto* choices = new QVBoxLayout;
    motorGroup_ = new QButtonGroup(page);
    const char* names[] = {"BrushedOrBrushlessRadioButton", "BrushedOnlyRadioButton", "BrushlessOnlyRadioButton",
                           "OutrunnerOnlyRadioButton", "SpecificMotorRadioButton"};
    for (int i = 0; i < 5; ++i)
        choices->addWidget(Radio(motorGroup_, i, Q(MotorChoiceCaption(static_cast<WizardMotorChoice>(i))), names[i]));
    auto* clear = new QPushButton(tr("Clear"));
    clear->setObjectName(QStringLiteral("ClearMotorRestrictionsButton"));
    choices->addWidget(clear, 0, Qt::AlignLeft);
    choices->addStretch();
    manufacturerPanel_ = new QWidget;
    auto* makers = new QVBoxLayout(manufacturerPanel_);
    manufacturer_ = new QComboBox;
    manufacturer_->setObjectName(QStringLiteral("ManufacturerComboBox"));
    manufacturer_->addItem(Q(kAnyManufacturer));
    makers->addWidget(new QLabel(tr("Manufacturer:")));
    makers->addWidget(manufacturer_);
    makers->addStretch();
    motorPanel_ = new QWidget;
    auto* motor = new QVBoxLayout(motorPanel_);
    motorName_ = new QLineEdit;
    motorName_->setObjectName(QStringLiteral("MotorNameEdit"));
    motorName_->setReadOnly(true);
    loadMotorButton_ = new QPushButton(tr("Select Motor..."));
    loadMotorButton_->setObjectName(QStringLiteral("LoadMotorButton"));
    loadMotorButton_->setEnabled(static_cast<bool>(env_.browse));
    motor->addWidget(motorName_);
    motor->addWidget(loadMotorButton_, 0, Qt::AlignLeft);
    motor->addStretch();
    layout->addLayout(choices);
    layout->addWidget(manufacturerPanel_);
    layout->addWidget(motorPanel_);
    connect(motorGroup_, &QButtonGroup::idClicked, this, [this](int id) {
        ParameterChanged();
        if (id == static_cast<int>(WizardMotorChoice::SpecificMotor) && TrimText(answers_.motorName).empty() &&
            loadMotorButton_->isEnabled())
            loadMotorButton_->click();
    });
    connect(manufacturer_, &QComboBox::activated, this, [this] { ParameterChanged(); });
    connect(clear, &QPushButton::clicked, this, [this] {
        ClearMotorRestrictions(answers_);
        answersChanged_ = true;
        ShowAnswers();
    });
    connect(loadMotorButton_, &QPushButton::clicked, this, [this] {
        if (auto name = env_.browse(ComponentTableKind::Motor, answers_.motorName, motorName_)) {
            answers_.motorName = *name;
            answersChanged_ = true;
            ShowAnswers();
        }
    });
    return page;
}

QWidget* TAmpvaneWizardForm::BuildGearPage() {
    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    auto* drive = new QVBoxLayout;
    driveGroup_ = new QButtonGroup(page);
    const char* driveNames[] = {"DirectDriveOrGearedRadioButton", "DirectDriveOnlyRadioButton",
                                "GearedOnlyRadioButton", "SpecificGearRadioButton"};
    for (int i = 0; i < 4; ++i)
        drive->addWidget(Radio(driveGroup_, i, Q(DriveChoiceCaption(static_cast<WizardDriveChoice>(i))), driveNames[i]));
    driveGroup_->button(3)->setText(tr("Specific Gear Ratio"));
    gearPanel_ = new QWidget;
    auto* gear = new QHBoxLayout(gearPanel_);
    specificGear_ = Edit("SpecificGearEdit");
    gear->addWidget(specificGear_);
    gear->addWidget(new QLabel(tr(":1")));
    drive->addWidget(gearPanel_);
    sizeGroup_ = new QButtonGroup(page);
    const char* sizeNames[] = {"AnySizeRadioButton", "SpecificSizeRadioButton", "MaximumSizeRadioButton"};
    for (int i = 0; i < 3; ++i)
        drive->addWidget(Radio(sizeGroup_, i, Q(SizeChoiceCaption(static_cast<WizardSizeChoice>(i))), sizeNames[i]));
    sizePanel_ = new QWidget;
    auto* size = new QGridLayout(sizePanel_);
    diameter_ = Edit("SpecificDiameterEdit");
    pitch_ = Edit("SpecificPitchEdit");
    propUnit_ = UnitBox("PropSizeUnitBox", {"in", "cm"});
    size->addWidget(new QLabel(tr("Diameter:")), 0, 0);
    size->addWidget(diameter_, 0, 1);
    size->addWidget(new QLabel(tr("Pitch:")), 1, 0);
    size->addWidget(pitch_, 1, 1);
    size->addWidget(propUnit_, 0, 2);
    drive->addWidget(sizePanel_);
    auto* clear = new QPushButton(tr("Clear"));
    clear->setObjectName(QStringLiteral("ClearDriveRestrictionsButton"));
    drive->addWidget(clear, 0, Qt::AlignLeft);
    drive->addStretch();
    layout->addLayout(drive);
    connect(driveGroup_, &QButtonGroup::idClicked, this, [this] { ParameterChanged(); });
    connect(sizeGroup_, &QButtonGroup::idClicked, this, [this] { ParameterChanged(); });
    connect(clear, &QPushButton::clicked, this, [this] {
        ClearDriveRestrictions(answers_);
        answersChanged_ = true;
        ShowAnswers();
    });
    return page;
}

QWidget* TAmpvaneWizardForm::BuildBatteryPage() {
    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    auto* choices = new QVBoxLayout;
    batteryGroup_ = new QButtonGroup(page);
    const char* names[] = {"AnyBatteryTypeRadioButton", "NiCdOnlyRadioButton",   "NiMHOnlyRadioButton",
                           "NiCdOrNiMHRadioButton",     "LiPolyOnlyRadioButton", "SpecificBatteryRadioButton"};
    for (int i = 0; i < 6; ++i)
        choices->addWidget(Radio(batteryGroup_, i, Q(BatteryChoiceCaption(static_cast<WizardBatteryChoice>(i))), names[i]));
    auto* clear = new QPushButton(tr("Clear"));
    clear->setObjectName(QStringLiteral("ClearBatteryRestrictionsButton"));
    choices->addWidget(clear, 0, Qt::AlignLeft);
    choices->addStretch();
    maxCellsPanel_ = new QWidget;
    auto* max = new QVBoxLayout(maxCellsPanel_);
    maxCells_ = new QComboBox;
    maxCells_->setObjectName(QStringLiteral("MaxCellsComboBox"));
    for (const MaxCellsEntry& entry : MaxCellsEntries()) maxCells_->addItem(Q(entry.text));
    max->addWidget(new QLabel(tr("Maximum number of cells:")));
    max->addWidget(maxCells_);
    max->addStretch();
    cellPanel_ = new QWidget;
    auto* cell = new QGridLayout(cellPanel_);
    cellName_ = new QLineEdit;
    cellName_->setObjectName(QStringLiteral("CellNameEdit"));
    cellName_->setReadOnly(true);
    loadCellButton_ = new QPushButton(tr("Select Cell Type..."));
    loadCellButton_->setObjectName(QStringLiteral("LoadCellButton"));
    loadCellButton_->setEnabled(static_cast<bool>(env_.browse));
    series_ = Edit("SeriesCellsEdit");
    parallel_ = Edit("ParallelCellsEdit");
    cell->addWidget(cellName_, 0, 0, 1, 2);
    cell->addWidget(loadCellButton_, 1, 0, 1, 2, Qt::AlignLeft);
    cell->addWidget(new QLabel(tr("Series cells:")), 2, 0);
    cell->addWidget(series_, 2, 1);
    cell->addWidget(new QLabel(tr("Parallel cells:")), 3, 0);
    cell->addWidget(parallel_, 3, 1);
    layout->addLayout(choices);
    layout->addWidget(maxCellsPanel_);
    layout->addWidget(cellPanel_);
    connect(batteryGroup_, &QButtonGroup::idClicked, this, [this](int id) {
        ParameterChanged();
        if (id == static_cast<int>(WizardBatteryChoice::SpecificBattery) && TrimText(answers_.cellName).empty() &&
            loadCellButton_->isEnabled())
            loadCellButton_->click();
    });
    connect(maxCells_, &QComboBox::activated, this, [this] { ParameterChanged(); });
    connect(clear, &QPushButton::clicked, this, [this] {
        ClearBatteryRestrictions(answers_);
        answersChanged_ = true;
        ShowAnswers();
    });
    connect(loadCellButton_, &QPushButton::clicked, this, [this] {
        if (auto name = env_.browse(ComponentTableKind::Cell, answers_.cellName, cellName_)) {
            answers_.cellName = *name;
            answersChanged_ = true;
            ShowAnswers();
        }
    });
    return page;
}

QWidget* TAmpvaneWizardForm::BuildResultsPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    resultsLabel_ = new QLabel;
    resultsLabel_->setObjectName(QStringLiteral("ResultsLabel"));
    resultsLabel_->setWordWrap(true);
    grid_ = new QTableWidget(0, kResultColumns);
    grid_->setObjectName(QStringLiteral("ResultsGrid"));
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->verticalHeader()->hide();
    grid_->horizontalHeader()->setStretchLastSection(false);
    grid_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    grid_->setContextMenuPolicy(Qt::CustomContextMenu);
    grid_->horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    grid_->hide();
    connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        SortResults(column, column == sortColumn_ ? !sortDescending_ : false);
    });
    connect(grid_->horizontalHeader(), &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        SortResults(grid_->horizontalHeader()->logicalIndexAt(at), true);
    });
    connect(grid_, &QWidget::customContextMenuRequested, this, &TAmpvaneWizardForm::ShowResultsMenu);
    connect(grid_, &QTableWidget::cellDoubleClicked, this, [this](int row) { AcceptResult(row, false); });

    popup_ = new QMenu(this);
    popup_->setObjectName(QStringLiteral("ResultsPopUpMenu"));
    auto addItem = [this](const QString& caption, const char* name, auto handler) {
        QAction* action = popup_->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
    };
    addItem(tr("Accept (Copy to Project Window)"), "AcceptItem", [this] { AcceptResult(grid_->currentRow(), true); });
    addItem(tr("Accept and Perform In-flight Analysis..."), "AcceptInflightItem", [this] { InflightOpinionClick(false); });
    addItem(tr("Accept and Get a AmpvaneOpinion..."), "AcceptOpinionItem", [this] { InflightOpinionClick(true); });
    popup_->addSeparator();
    addItem(tr("Copy One Result to Clipboard"), "CopyOneItem", [this] { CopyOneOrMoreResults(false); });
    addItem(tr("Copy All Results"), "CopyAllItem", [this] { CopyOneOrMoreResults(true); });

    auto* buttons = new QHBoxLayout;
    acceptButton_ = new QPushButton(tr("A&ccept"));
    acceptButton_->setObjectName(QStringLiteral("AcceptButton"));
    auto* inflight = new QPushButton(tr("&In-flight..."));
    inflight->setObjectName(QStringLiteral("InflightButton"));
    auto* opinion = new QPushButton(tr("Opi&nion..."));
    opinion->setObjectName(QStringLiteral("OpinionButton"));
    auto* save = new QPushButton(tr(" &Save..."));
    save->setObjectName(QStringLiteral("SaveButton"));
    auto* print = new QPushButton(tr(" &Print..."));
    print->setObjectName(QStringLiteral("PrintButton"));
    for (QPushButton* b : {acceptButton_, inflight, opinion, save, print}) buttons->addWidget(b);
    buttons->addStretch();
    connect(acceptButton_, &QPushButton::clicked, this, [this] { AcceptResult(grid_->currentRow(), true); });
    connect(inflight, &QPushButton::clicked, this, [this] { InflightOpinionClick(false); });
    connect(opinion, &QPushButton::clicked, this, [this] { InflightOpinionClick(true); });
    connect(save, &QPushButton::clicked, this, [this] {
        QFileDialog dialog(this, tr("Save Results As..."));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        const QStringList filters = {tr("Text Files (*.txt)"), tr("HTML Files (*.html *.htm)"),
                                     tr("Comma Separated Values (*.csv)")};
        dialog.setNameFilters(filters);
        dialog.setDefaultSuffix(QStringLiteral("txt"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
        SaveResults(S(dialog.selectedFiles().front()), static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1);
    });
    connect(print, &QPushButton::clicked, this, [this] {
        QPrinter printer;
        printer.setPageOrientation(QPageLayout::Portrait);
        QPrintDialog dialog(&printer, this);
        if (dialog.exec() != QDialog::Accepted) return;
        QTextDocument document;
        document.setHtml(Q(ResultsText(WizardOutputStyle::Html, true)));
        document.print(&printer);
    });
    layout->addWidget(resultsLabel_);
    layout->addWidget(grid_, 1);
    layout->addLayout(buttons);
    return page;
}

// ---- answers and widgets ----

void TAmpvaneWizardForm::ShowAnswers() {
    showing_ = true;
    const WizardAnswers& a = answers_;
    planeName_->setText(Q(a.planeName));
    motorsGroup_->button(std::clamp(a.motors, 1, 4))->setChecked(true);
    levelGroup_->button(static_cast<int>(a.level))->setChecked(true);
    timeGroup_->button(static_cast<int>(a.flyingTime))->setChecked(true);
    span_->setText(Q(a.wingSpan));
    area_->setText(Q(a.wingArea));
    weight_->setText(Q(a.emptyWeight));
    spanUnit_->setCurrentIndex(static_cast<int>(a.spanUnit));
    areaUnit_->setCurrentIndex(static_cast<int>(a.areaUnit));
    weightUnit_->setCurrentIndex(static_cast<int>(a.weightUnit));
    airfoilGroup_->button(static_cast<int>(a.airfoil))->setChecked(true);
    thicknessGroup_->button(static_cast<int>(a.thickness))->setChecked(true);
    elevation_->setText(Q(a.elevation));
    pressure_->setText(Q(a.pressure));
    temperature_->setText(Q(a.temperature));
    elevationUnit_->setCurrentIndex(static_cast<int>(a.elevationUnit));
    pressureUnit_->setCurrentIndex(static_cast<int>(a.pressureUnit));
    temperatureUnit_->setCurrentIndex(static_cast<int>(a.temperatureUnit));
    motorGroup_->button(static_cast<int>(a.motorChoice))->setChecked(true);
    const int maker = manufacturer_->findText(Q(a.manufacturer));
    manufacturer_->setCurrentIndex(maker < 0 ? 0 : maker);
    motorName_->setText(Q(a.motorName));
    driveGroup_->button(static_cast<int>(a.drive))->setChecked(true);
    specificGear_->setText(Q(a.specificGear));
    sizeGroup_->button(static_cast<int>(a.size))->setChecked(true);
    diameter_->setText(Q(a.diameter));
    pitch_->setText(Q(a.pitch));
    propUnit_->setCurrentIndex(static_cast<int>(a.propUnit));
    batteryGroup_->button(static_cast<int>(a.battery))->setChecked(true);
    maxCells_->setCurrentIndex(std::clamp(a.maxCellsIndex, 0, maxCells_->count() - 1));
    cellName_->setText(Q(a.cellName));
    series_->setText(Q(a.seriesCells));
    parallel_->setText(Q(a.parallelCells));
    showing_ = false;
    UpdateChoicePanels();
}

void TAmpvaneWizardForm::ReadAnswers() {
    WizardAnswers& a = answers_;
    a.planeName = S(planeName_->text());
    a.motors = std::max(1, motorsGroup_->checkedId());
    a.level = static_cast<WizardLevel>(levelGroup_->checkedId());
    a.flyingTime = static_cast<WizardFlyingTime>(timeGroup_->checkedId());
    a.wingSpan = S(span_->text());
    a.wingArea = S(area_->text());
    a.emptyWeight = S(weight_->text());
    a.spanUnit = static_cast<SpanUnit>(spanUnit_->currentIndex());
    a.areaUnit = static_cast<AreaUnit>(areaUnit_->currentIndex());
    a.weightUnit = static_cast<WeightUnit>(weightUnit_->currentIndex());
    a.airfoil = static_cast<WizardAirfoil>(airfoilGroup_->checkedId());
    a.thickness = static_cast<WizardThickness>(thicknessGroup_->checkedId());
    a.elevation = S(elevation_->text());
    a.pressure = S(pressure_->text());
    a.temperature = S(temperature_->text());
    a.elevationUnit = static_cast<ElevationUnit>(elevationUnit_->currentIndex());
    a.pressureUnit = static_cast<PressureUnit>(pressureUnit_->currentIndex());
    a.temperatureUnit = static_cast<TemperatureUnit>(temperatureUnit_->currentIndex());
    a.motorChoice = static_cast<WizardMotorChoice>(motorGroup_->checkedId());
    a.manufacturer = S(manufacturer_->currentText());
    a.drive = static_cast<WizardDriveChoice>(driveGroup_->checkedId());
    a.specificGear = S(specificGear_->text());
    a.size = static_cast<WizardSizeChoice>(sizeGroup_->checkedId());
    a.diameter = S(diameter_->text());
    a.pitch = S(pitch_->text());
    a.propUnit = static_cast<PropSizeUnit>(propUnit_->currentIndex());
    a.battery = static_cast<WizardBatteryChoice>(batteryGroup_->checkedId());
    a.maxCellsIndex = maxCells_->currentIndex();
    a.seriesCells = S(series_->text());
    a.parallelCells = S(parallel_->text());
}

void TAmpvaneWizardForm::SetAnswers(const WizardAnswers& answers) {
    answers_ = answers;
    answersChanged_ = true;
    ShowAnswers();
}

void TAmpvaneWizardForm::RestoreAnswers(const std::string& wizardInfo) {
    if (!shownOnce_) return;
    RestoreWizardInfo(answers_, wizardInfo, manufacturers_);
    ShowAnswers();
}

void TAmpvaneWizardForm::ParameterChanged() {
    if (showing_) return;
    ReadAnswers();
    answersChanged_ = true;
    UpdateChoicePanels();
}

void TAmpvaneWizardForm::AirframeParameterChanged() {
    if (showing_) return;
    planeChanged_ = true;
    ReadAnswers();
    answersChanged_ = true;
}

void TAmpvaneWizardForm::UpdateChoicePanels() {
    const WizardAnswers& a = answers_;
    advancedPanel_->setVisible(a.advancedShown);
    advancedButton_->setText(a.advancedShown ? tr("Hide Advanced S&ettings") : tr("Show Advanced S&ettings"));
    const bool specificMotor = a.motorChoice == WizardMotorChoice::SpecificMotor;
    manufacturerPanel_->setVisible(!specificMotor);
    motorPanel_->setVisible(specificMotor);
    motorGroup_->button(4)->setText(specificMotor ? tr("Specific Motor (select above right)") : tr("Specific Motor"));
    gearPanel_->setVisible(a.drive == WizardDriveChoice::SpecificGear);
    driveGroup_->button(3)->setText(a.drive == WizardDriveChoice::SpecificGear ? tr("Specific Gear Ratio:")
                                                                              : tr("Specific Gear Ratio"));
    sizePanel_->setVisible(a.size != WizardSizeChoice::AnySize);
    for (int i = 1; i <= 2; ++i) {
        const bool chosen = static_cast<int>(a.size) == i;
        sizeGroup_->button(i)->setText(Q(SizeChoiceCaption(static_cast<WizardSizeChoice>(i))) + (chosen ? ":" : ""));
    }
    const bool specificBattery = a.battery == WizardBatteryChoice::SpecificBattery;
    cellPanel_->setVisible(specificBattery);
    maxCellsPanel_->setVisible(!specificBattery);
    batteryGroup_->button(5)->setText(specificBattery ? tr("Specific Battery (specify at right)") : tr("Specific Battery"));
}

// ---- lists, copy and clear ----

void TAmpvaneWizardForm::LoadLists() {
    NullMessageSink quiet;
    if (env_.tables) db_ = ReadWizardDatabase(*env_.tables);
    const std::string folder = env_.dataFolder.string();
    prefixes_ = ReadManufacturerPrefixes(folder, env_.locale, quiet);
    cells_ = LoadWizardCells(db_, ReadWizardCellList(folder, env_.locale, quiet));
    manufacturers_ = WizardManufacturers(db_.motors, prefixes_);
    showing_ = true;
    manufacturer_->clear();
    for (const std::string& maker : manufacturers_) manufacturer_->addItem(Q(maker));
    showing_ = false;
}

void TAmpvaneWizardForm::ImportButtonClick() {
    if (!env_.session) return;
    WizardCopySource source;
    if (env_.settings) {
        source.metricDimensions = MetricLengthsAndWeights(*env_.settings);
        source.metricPropSizes = MetricPropellerSizes(*env_.settings);
        source.metricTempPress = MetricTemperatureAndPressure(*env_.settings);
        source.elevation = env_.settings->elevation;
        source.temperature = env_.settings->temperature;
        source.pressure = env_.settings->pressure;
    }
    CopyPlaneFromWorkbench(answers_, env_.session->Fields(), source, manufacturers_, env_.locale);
    planeChanged_ = false;
    answersChanged_ = true;
    ShowAnswers();
}

void TAmpvaneWizardForm::ClearButtonClick() {
    const bool metric = env_.settings && MetricLengthsAndWeights(*env_.settings);
    const bool metricTempPress = env_.settings && MetricTemperatureAndPressure(*env_.settings);
    ClearWizardAnswers(answers_, metric, metricTempPress);
    planeChanged_ = true;
    answersChanged_ = true;
    ShowAnswers();
}

void TAmpvaneWizardForm::showEvent(QShowEvent* event) {
    if (!shownOnce_) {
        shownOnce_ = true;
        LoadLists();
        ImportButtonClick();
        answers_.advancedShown = env_.settings && env_.settings->advancedWizard;
        UpdateChoicePanels();
        SetCurrentPage(0);
        // One size for every page (the largest page's), so that the dialog does not jump between pages.
        const QSize size = sizeHint().expandedTo(minimumSizeHint());
        setMinimumSize(size);
        resize(size.expandedTo(this->size()));
    }
    QDialog::showEvent(event);
    WizardPagesChange(CurrentPage());
}

// ---- navigation and search ----

int TAmpvaneWizardForm::CurrentPage() const { return pages_->currentIndex(); }

void TAmpvaneWizardForm::SetCurrentPage(int page) {
    page = std::clamp(page, 0, kResultsPage);
    if (page == pages_->currentIndex()) WizardPagesChange(page);
    else pages_->setCurrentIndex(page);
}

void TAmpvaneWizardForm::UpdateNavigation() {
    const int page = CurrentPage();
    backButton_->setVisible(page > 0);
    nextButton_->setVisible(page < kResultsPage);
    nextButton_->setText(page == kResultsPage - 1 ? tr("Fi&nish") : tr("&Next"));
}

void TAmpvaneWizardForm::UpdateCaption() {
    setWindowTitle(QString::fromLatin1(kCaptionPrefix) + tr(kPages[CurrentPage()].title));
}

void TAmpvaneWizardForm::WizardPagesChange(int page) {
    UpdateNavigation();
    UpdateCaption();
    if (searching_) return;
    if (answersChanged_ && page == kResultsPage) {
        SearchPowerSystems();
        if (answersChanged_) {
            if (!focusControl_.empty()) {
                const std::string focus = focusControl_;
                SetCurrentPage(PageOfControl(focus));
                if (QWidget* control = findChild<QWidget*>(Q(focus))) control->setFocus();
                Message message = ErrorMessage(storedMessage_);
                message.buttons = OkButton | HelpButton;
                message.helpTopic = kWizardHelp;
                Messages().Report(message);
            } else {
                SetCurrentPage(previousPage_ == kResultsPage ? 0 : previousPage_);
                Message message = InformationMessage(std::string(kInterruptedMessage));
                message.buttons = OkButton | HelpButton;
                message.helpTopic = kWizardHelp;
                Messages().Report(message);
            }
            return;
        }
    }
    previousPage_ = CurrentPage();
}

void TAmpvaneWizardForm::SearchPowerSystems() {
    searching_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    sortColumn_ = kResultColumns - 1;
    sortDescending_ = false;
    rows_.clear();
    search_ = {};
    grid_->hide();
    grid_->setRowCount(0);
    resultsLabel_->clear();
    focusControl_.clear();
    storedMessage_.clear();
    if (db_.motors.empty() && env_.tables) LoadLists();

    ReadAnswers();
    auto read = ReadSearchSettings(answers_, db_, cells_, env_.locale, Messages());
    if (!read.settings) {
        storedMessage_ = read.failure.message;
        focusControl_ = read.failure.focus;
        settings_.reset();
    } else {
        settings_ = std::move(read.settings);
        WizardSearchControl control;
        progress_->Attach(&control);
        progress_->show();
        emit SearchStarting();
        // The search runs on workers; this loop keeps the windows painting and Cancel working.
        QEventLoop loop;
        std::jthread worker([&] {
            search_ = ampvane::SearchPowerSystems(*settings_, db_, control, env_.threads);
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        loop.exec();
        worker.join();
        if (search_.outcome == WizardSearchOutcome::Found) {
            // The raw list is not needed once ranked: handed over rather than copied.
            auto ranked = RankResults(std::move(search_.results), control);
            if (ranked && !control.Cancelled()) {
                bestRating_ = search_.bestRating;
                rows_ = ResultRows(*ranked, settings_->motors, env_.settings && MetricPropellerSizes(*env_.settings),
                                   bestRating_, env_.locale);
                FillGrid();
                resultsLabel_->setText(Q(WizardSummary(search_.counters.analysed, settings_->restrictionText,
                                                       rows_.size(), env_.locale)));
                answersChanged_ = false;
            } else {
                rows_.clear();
            }
        } else if (search_.outcome == WizardSearchOutcome::NothingFound) {
            storedMessage_ = WizardFailureMessage(*settings_, search_, env_.locale);
            focusControl_ = levelGroup_->checkedButton() ? S(levelGroup_->checkedButton()->objectName()) : "";
            if (!focusControl_.empty()) focusControl_ = "PerformanceLevel";
        }
        progress_->Detach();
        progress_->hide();
    }
    QApplication::restoreOverrideCursor();
    searching_ = false;
}

void TAmpvaneWizardForm::FillGrid() {
    const auto header = ResultsHeader(settings_ ? settings_->motors : 1);
    QStringList labels;
    for (const auto& h : header) labels << Q(h);
    grid_->setHorizontalHeaderLabels(labels);
    grid_->setRowCount(static_cast<int>(rows_.size()));
    for (int r = 0; r < static_cast<int>(rows_.size()); ++r)
        for (int c = 0; c < kResultColumns; ++c) {
            auto* item = new QTableWidgetItem(Q(rows_[static_cast<std::size_t>(r)].cells[static_cast<std::size_t>(c)]));
            QFont font = item->font();
            font.setBold(c == sortColumn_);
            item->setFont(font);
            grid_->setItem(r, c, item);
        }
    QFont headerFont = grid_->horizontalHeader()->font();
    for (int c = 0; c < kResultColumns; ++c) {
        QFont f = headerFont;
        f.setBold(true);
        if (auto* item = grid_->horizontalHeaderItem(c)) item->setFont(f);
    }
    grid_->setVisible(!rows_.empty());
    if (!rows_.empty()) grid_->selectRow(0);
}

void TAmpvaneWizardForm::SortResults(int column, bool descending) {
    if (column < 0 || column >= kResultColumns || rows_.empty()) return;
    SortResultRows(rows_, column, descending, env_.locale.decimal);
    sortColumn_ = column;
    sortDescending_ = descending;
    FillGrid();
}

// ---- results ----

bool TAmpvaneWizardForm::AcceptResult(int row, bool closeAfter) {
    acceptedMark_ = false;
    if (row < 0 || row >= static_cast<int>(rows_.size()) || !env_.session || !settings_) return false;
    if (!env_.session->AcceptWizardResult(rows_[static_cast<std::size_t>(row)], answers_, *settings_, planeChanged_))
        return false;
    acceptedMark_ = true;
    acceptedProject_ = env_.session->ProjectText();
    if (closeAfter) accept();
    return true;
}

void TAmpvaneWizardForm::InflightOpinionClick(bool opinion) {
    // The row replaces the workbench's components before the report: unsaved changes of the user's
    // own are asked about first (another plane is asked about inside the acceptance, and what this
    // window's last acceptance wrote needs no question).
    if (env_.session && env_.session->Fields().Text(WorkbenchControl::AirframeNameEdit) == answers_.planeName &&
        env_.session->ProjectText() != acceptedProject_ && !env_.session->ConfirmDiscardOrSave())
        return;
    if (AcceptResult(grid_->currentRow(), false) && acceptedMark_ && env_.computeReport) env_.computeReport(opinion);
}

std::string TAmpvaneWizardForm::ResultsText(WizardOutputStyle style, bool allRows) const {
    std::vector<WizardRow> rows;
    if (allRows) rows = rows_;
    else if (grid_->currentRow() >= 0 && grid_->currentRow() < static_cast<int>(rows_.size()))
        rows.push_back(rows_[static_cast<std::size_t>(grid_->currentRow())]);
    return WriteWizardResults(style, answers_, settings_ ? settings_->motors : answers_.motors, rows, FooterDateTime(),
                              env_.locale);
}

bool TAmpvaneWizardForm::SaveResults(const std::string& fileName, int filterIndex) {
    const std::string text = ResultsText(ChooseWizardOutputStyle(fileName, filterIndex), true);
    const std::string error = WriteFileAtomically(fileName, text);
    if (error.empty()) return true;
    Message message = ErrorMessage("The file \"" + fileName + "\" could not be opened for writing. " +
                                   "Another application may have it open, or the disk might not be writable.");
    message.buttons = OkButton | HelpButton;
    message.helpTopic = 908;
    Messages().Report(message);
    return false;
}

void TAmpvaneWizardForm::CopyOneOrMoreResults(bool allRows) {
    QApplication::clipboard()->setText(Q(ResultsText(WizardOutputStyle::Text, allRows)));
}

void TAmpvaneWizardForm::ShowResultsMenu(const QPoint& position) {
    const int row = grid_->rowAt(position.y());
    if (row < 0) return;
    grid_->selectRow(row);
    popup_->popup(grid_->viewport()->mapToGlobal(position));
}

void TAmpvaneWizardForm::wheelEvent(QWheelEvent* event) {
    if (CurrentPage() == kResultsPage && grid_->rowCount() > 0) {
        const int row = std::clamp(grid_->currentRow() + (event->angleDelta().y() < 0 ? 1 : -1), 0, grid_->rowCount() - 1);
        grid_->selectRow(row);
    }
    event->accept();
}

} // namespace ampvane
