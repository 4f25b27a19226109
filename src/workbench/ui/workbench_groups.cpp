// SPDX-License-Identifier: GPL-3.0-or-later
// The workbench's six groups of fields and the hidden fields, as the window builds them.

#include "workbench/ui/parameter_input_form.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include "common/ui/qt_text.h"
#include "data/value_lists.h"
#include "workbench/ui/workbench_texts.h"

namespace ampvane {

namespace {
using C = WorkbenchControl;
} // namespace

// ---- groups -----------------------------------------------------------------------------------

QGroupBox* TParameterInputForm::MakeGroup(WorkbenchControl id, const QString& title) {
    auto* group = new QGroupBox(title, this);
    group->setObjectName(Q(ControlInfo(id).name));
    controls_[static_cast<std::size_t>(id)] = group;
    return group;
}

QLabel* TParameterInputForm::FieldRow(QGridLayout* grid, int row, const char* label, WorkbenchControl id,
                                      QLabel* unit) {
    auto* edit = MakeEdit(id);
    auto* caption = MakeLabel(QString::fromUtf8(label), edit);
    grid->addWidget(caption, row, 0);
    grid->addWidget(edit, row, 1);
    if (unit) grid->addWidget(unit, row, 2);
    return caption;
}

QGridLayout* TParameterInputForm::NameRowGrid(QGroupBox* group, WorkbenchControl nameId, const char* label,
                                               QLabel** caption, int nameSpan) {
    auto* g = new QGridLayout(group);
    auto* name = MakeEdit(nameId);
    QLabel* nameLabel = MakeLabel(QString::fromUtf8(label), name);
    if (caption) *caption = nameLabel;
    g->addWidget(nameLabel, 0, 0);
    g->addWidget(name, 0, 1, 1, nameSpan);
    return g;
}

QWidget* TParameterInputForm::BuildMotorGroup() {
    QGroupBox* group = MakeGroup(C::MotorGroup, QStringLiteral(" Motor "));
    QGridLayout* g = NameRowGrid(group, C::MotorNameEdit, "Name:");
    const auto row = [&](int r, const char* label, C id, QLabel* unit) { FieldRow(g, r, label, id, unit); };
    row(1, "Motor &Constant:", C::MotorConstantEdit, MakeUnitLabel(QStringLiteral("rpm/V")));
    row(2, "No-load Current:", C::IdleCurrentEdit, MakeUnitLabel(QStringLiteral("A")));
    row(3, "&Resistance:", C::ArmatureResistanceEdit, MakeUnitLabel(QString::fromUtf8(texts::kOhm)));
    auto* oz = MakeUnitLabel(QStringLiteral("oz"), QStringLiteral("OzLabel1"));
    weightLabels_.push_back(oz);
    row(4, "&Weight:", C::MotorWeightEdit, oz);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(MakeCheckBox(C::MotorBrushlessCheckBox, QStringLiteral("Brushless")));
    boxes->addWidget(MakeCheckBox(C::MotorOutRunnerCheckBox, QStringLiteral("Out-runner")));
    boxes->addStretch();
    g->addLayout(boxes, 5, 0, 1, 4);
    g->addWidget(ComponentButtons(QStringLiteral("LoadMotorButton"), QStringLiteral("SaveMotorButton"),
                                  QStringLiteral("ClearMotorButton")),
                 6, 0, 1, 4);
    auto* tools = new QHBoxLayout;
    tools->addWidget(ToolOpener(WorkbenchTool::TestData, MakeButton(QStringLiteral("Tests"), QStringLiteral("TestDataInputButton"), false)));
    tools->addWidget(ToolOpener(WorkbenchTool::CatalogData, MakeButton(QStringLiteral("Catalog"), QStringLiteral("CatalogDataButton"), false)));
    tools->addWidget(ToolOpener(WorkbenchTool::MotorDesigner, MakeButton(QStringLiteral("Design"), QStringLiteral("BuildMotorButton"), false)));
    tools->addStretch();
    g->addLayout(tools, 7, 0, 1, 4);
    g->setColumnStretch(3, 1);
    g->setRowStretch(8, 1);
    saveButtons_[C::MotorNameEdit] = group->findChild<QPushButton*>(QStringLiteral("SaveMotorButton"));
    return group;
}

QWidget* TParameterInputForm::BuildBatteryGroup() {
    QGroupBox* group = MakeGroup(C::BatteryGroup, QStringLiteral(" Battery "));
    QGridLayout* g = NameRowGrid(group, C::CellNameEdit, "Cell:", nullptr, 6);

    const auto countRow = [&](int r, const char* label, C from, C to, CountButton fromPlus, CountButton fromMinus,
                              CountButton toPlus, CountButton toMinus) {
        auto* fromEdit = MakeEdit(from);
        auto* toEdit = MakeEdit(to);
        const int narrow = fontMetrics().horizontalAdvance(QStringLiteral("000")) + 14;
        fromEdit->setFixedWidth(narrow);
        toEdit->setFixedWidth(narrow);
        g->addWidget(MakeLabel(QString::fromUtf8(label), fromEdit), r, 0);
        g->addWidget(fromEdit, r, 1);
        g->addWidget(MakeCountButtons(fromPlus, fromMinus), r, 2);
        g->addWidget(MakeLabel(QStringLiteral("to"), toEdit), r, 3, Qt::AlignRight);
        g->addWidget(toEdit, r, 4);
        g->addWidget(MakeCountButtons(toPlus, toMinus), r, 5);
    };
    countRow(1, "Series Cells:", C::NumberOfCellsFromEdit, C::NumberOfCellsToEdit, CountButton::NumCellsFromPlus,
             CountButton::NumCellsFromMinus, CountButton::NumCellsToPlus, CountButton::NumCellsToMinus);
    countRow(2, "Parallel Cells:", C::ParallelCellsFromEdit, C::ParallelCellsToEdit,
             CountButton::ParallelCellsFromPlus, CountButton::ParallelCellsFromMinus,
             CountButton::ParallelCellsToPlus, CountButton::ParallelCellsToMinus);

    auto* capacity = MakeEdit(C::CellCapacityEdit);
    auto* voltage = MakeEdit(C::CellVoltageEdit);
    voltage->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 14);
    g->addWidget(MakeLabel(QStringLiteral("Cell Capacity:"), capacity), 3, 0);
    g->addWidget(capacity, 3, 1, 1, 2);
    g->addWidget(MakeLabel(QStringLiteral("mAh @"), voltage), 3, 3);
    g->addWidget(voltage, 3, 4);
    g->addWidget(MakeUnitLabel(QStringLiteral("V")), 3, 5);

    auto* resistance = MakeEdit(C::CellResistanceEdit);
    g->addWidget(MakeLabel(QStringLiteral("Impedance:"), resistance), 4, 0);
    g->addWidget(resistance, 4, 1, 1, 2);
    g->addWidget(MakeUnitLabel(QString::fromUtf8(texts::kOhm)), 4, 3);

    auto* weight = MakeEdit(C::CellWeightEdit);
    auto* oz = MakeUnitLabel(QStringLiteral("oz"), QStringLiteral("OzLabel2"));
    weightLabels_.push_back(oz);
    auto* cRating = MakeEdit(C::CRatingEdit);
    cRating->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 14);
    g->addWidget(MakeLabel(QStringLiteral("Cell We&ight:"), weight), 5, 0);
    g->addWidget(weight, 5, 1, 1, 2);
    g->addWidget(oz, 5, 3);
    g->addWidget(cRating, 5, 4);
    QLabel* cUnit = MakeUnitLabel(QStringLiteral("C"), QStringLiteral("CRatingLabel"));
    g->addWidget(cUnit, 5, 5);
    // The field has no caption of its own: its tip says what the "C" after it means.
    for (QWidget* w : {static_cast<QWidget*>(cRating), static_cast<QWidget*>(cUnit)})
        w->setToolTip(QStringLiteral("\"C\" Rating: the most current a cell may give, as a multiple of its capacity"));

    auto* chemistry = new QComboBox(this);
    chemistry->setObjectName(QStringLiteral("CellTypeComboBox"));
    chemistry->addItems({QString(), QStringLiteral("NiCd"), QStringLiteral("NiMH"), QStringLiteral("LiPo"),
                         QStringLiteral("LiNP")});
    MarkControl(chemistry, C::CellTypeComboBox);
    connect(chemistry, &QComboBox::textActivated, this, [this](const QString& text) {
        if (showing_) return;
        fields_.SetText(C::CellTypeComboBox, S(text));
        ApplyCellChemistry(fields_, env_.locale);
        ShowFields();
    });
    controls_[static_cast<std::size_t>(C::CellTypeComboBox)] = chemistry;
    g->addWidget(MakeLabel(QStringLiteral("Chemistry:"), chemistry), 6, 0);
    g->addWidget(chemistry, 6, 1, 1, 3);

    g->addWidget(ComponentButtons(QStringLiteral("LoadCellButton"), QStringLiteral("SaveCellButton"),
                                  QStringLiteral("ClearBatteryButton")),
                 7, 0, 1, 7);
    g->setColumnStretch(6, 1);
    g->setRowStretch(8, 1);
    saveButtons_[C::CellNameEdit] = group->findChild<QPushButton*>(QStringLiteral("SaveCellButton"));
    return group;
}

QWidget* TParameterInputForm::BuildFilterGroup() {
    QGroupBox* group = MakeGroup(C::FilterGroup, QStringLiteral(" Filter "));
    auto* v = new QVBoxLayout(group);
    auto* top = new QGridLayout;
    auto* name = MakeEdit(C::FilterNameEdit);
    top->addWidget(MakeLabel(QStringLiteral("Name:"), name), 0, 0);
    top->addWidget(name, 0, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ComponentButtons(QStringLiteral("LoadFilterButton"), QStringLiteral("SaveFilterButton"),
                                        QStringLiteral("ClearFilterButton")));
    buttons->addWidget(MakeCheckBox(C::UseFilterCheckBox, QStringLiteral("Use It")));
    top->addLayout(buttons, 1, 0, 1, 2);
    v->addLayout(top);

    restrictionBox_ = new QScrollArea(this);
    restrictionBox_->setObjectName(QStringLiteral("RestrictionScrollBox"));
    restrictionBox_->setWidgetResizable(true);
    restrictionBox_->setFrameShape(QFrame::StyledPanel);
    auto* inner = new QWidget(restrictionBox_);
    auto* g = new QGridLayout(inner);
    g->setVerticalSpacing(4);
    struct Row {
        const char* label;
        C id;
        const char* unit;
        const char* unitName;
    };
    const Row rows[] = {
        {"Maximum Current:", C::MaxCurrentEdit, "A", nullptr},
        {"Maximum Loss:", C::MaxPowerLossEdit, "W", nullptr},
        {"Min Motor Efficiency:", C::MinEfficiencyEdit, "%", nullptr},
        {"Minimum Thrust:", C::MinThrustEdit, "oz", "ThrustLabel"},
        {"Min Pitch Speed:", C::MinSpeedEdit, "mph", "MPHLabel1"},
        {"Max Pitch Speed:", C::MaxSpeedEdit, "mph", "MPHLabel2"},
        {"Minimum Run Time:", C::MinTimeEdit, "sec", nullptr},
        {"Max Pitch Ratio:", C::MaxPitchRatioEdit, "diam", nullptr},
        {"Max Motor RPM:", C::MaxRPMEdit, "rpm", nullptr},
    };
    int r = 0;
    for (const Row& row : rows) {
        auto* edit = MakeEdit(row.id);
        edit->setParent(inner);
        auto* label = MakeLabel(QString::fromUtf8(row.label), edit);
        auto* unit = MakeUnitLabel(QString::fromUtf8(row.unit), row.unitName ? QString::fromUtf8(row.unitName) : QString());
        g->addWidget(label, r, 0);
        g->addWidget(edit, r, 1);
        g->addWidget(unit, r, 2);
        if (row.id == C::MinThrustEdit) thrustLabel_ = unit;
        if (row.id == C::MinSpeedEdit) speedLabels_[0] = unit;
        if (row.id == C::MaxSpeedEdit) speedLabels_[1] = unit;
        if (row.id == C::MaxPitchRatioEdit) {
            pitchRatioLabel_ = label;
            pitchRatioUnit_ = unit;
        }
        ++r;
    }
    g->setColumnStretch(3, 1);
    restrictionBox_->setWidget(inner);
    restrictionRowHeight_ = controls_[static_cast<std::size_t>(C::MaxCurrentEdit)]->sizeHint().height() +
                            g->verticalSpacing();
    // Every restriction shows at the default size (a preset limit applies as soon as "Use It" is
    // ticked, so none may hide below the fold); the box grows with the window.
    restrictionBox_->setMinimumHeight(restrictionRowHeight_ * 9 + 3 + 2 * restrictionBox_->frameWidth() +
                                      g->contentsMargins().top() + g->contentsMargins().bottom());
    v->addWidget(restrictionBox_, 1);
    saveButtons_[C::FilterNameEdit] = group->findChild<QPushButton*>(QStringLiteral("SaveFilterButton"));
    return group;
}

QWidget* TParameterInputForm::BuildDriveGroup() {
    QGroupBox* group = MakeGroup(C::Drive_SystemGroup, QStringLiteral(" Drive System "));
    auto* v = new QVBoxLayout(group);
    auto* nameRow = new QHBoxLayout;
    auto* name = MakeEdit(C::DriveSystemNameEdit);
    nameRow->addWidget(MakeLabel(QStringLiteral("Description:"), name));
    nameRow->addWidget(name, 1);
    v->addLayout(nameRow);

    drivePages_ = new QTabWidget(this);
    drivePages_->setObjectName(QStringLiteral("DriveSystemPages"));
    controls_[static_cast<std::size_t>(C::DriveSystemPages)] = drivePages_;

    // Propeller page.
    auto* prop = new QWidget(drivePages_);
    prop->setObjectName(QStringLiteral("PropellerPage"));
    auto* pg = new QGridLayout(prop);
    const auto rangeRow = [&](int r, const char* label, C from, C to, C by, const char* unitName) {
        auto* fromEdit = MakeEdit(from);
        auto* toEdit = MakeEdit(to);
        auto* byEdit = MakeEdit(by);
        pg->addWidget(MakeLabel(QString::fromUtf8(label), fromEdit), r, 0);
        pg->addWidget(fromEdit, r, 1);
        pg->addWidget(MakeLabel(QStringLiteral("to"), toEdit), r, 2, Qt::AlignRight);
        pg->addWidget(toEdit, r, 3);
        pg->addWidget(MakeLabel(QStringLiteral("by"), byEdit), r, 4, Qt::AlignRight);
        pg->addWidget(byEdit, r, 5);
        QLabel* unit = MakeUnitLabel(unitName ? QStringLiteral("in") : QStringLiteral(":1"),
                                     unitName ? QString::fromUtf8(unitName) : QString());
        pg->addWidget(unit, r, 6);
        return unit;
    };
    rangeRow(0, "&Gear Ratio:", C::GearRatioFromEdit, C::GearRatioToEdit, C::GearRatioByEdit, nullptr);
    propSizeLabels_[0] = rangeRow(1, "Propeller Diam:", C::PropellerDiameterFromEdit, C::PropellerDiameterToEdit,
                                  C::PropellerDiameterByEdit, "InLabel1");
    propSizeLabels_[1] = rangeRow(2, "Prope&ller Pitch:", C::PropellerPitchFromEdit, C::PropellerPitchToEdit,
                                  C::PropellerPitchByEdit, "InLabel2");
    auto* blades = MakeEdit(C::PropellerBladesEdit);
    pg->addWidget(MakeLabel(QStringLiteral("Num Blades:"), blades), 3, 0);
    pg->addWidget(blades, 3, 1);
    auto* pConst = MakeValueListCombo(C::PropConstantEdit, kPropConstList);
    auto* tConst = MakeValueListCombo(C::ThrustConstantEdit, kThrustConstList);
    pg->addWidget(MakeLabel(QStringLiteral("P.Const:"), pConst), 4, 0);
    pg->addWidget(pConst, 4, 1);
    pg->addWidget(MakeLabel(QStringLiteral("T.Const:"), tConst), 4, 2, 1, 1, Qt::AlignRight);
    pg->addWidget(tConst, 4, 3);
    pg->addWidget(ToolOpener(WorkbenchTool::PropConstant, MakeButton(QStringLiteral("Const..."), QStringLiteral("PropConstButton"), false)), 4, 4, 1, 2);
    auto* efficiency = MakeValueListCombo(C::GearboxEfficiencyEdit, kGearboxEffList);
    pg->addWidget(MakeLabel(QStringLiteral("G.B. Efficiency:"), efficiency), 5, 0);
    pg->addWidget(efficiency, 5, 1);
    auto* gbWeight = MakeEdit(C::GearboxWeightEdit);
    auto* oz3 = MakeUnitLabel(QStringLiteral("oz"), QStringLiteral("OzLabel3"));
    weightLabels_.push_back(oz3);
    auto* weightRow = new QHBoxLayout;
    auto* percent = new QLabel(QStringLiteral("%"), this);
    weightRow->addWidget(percent);
    weightRow->addStretch();
    weightRow->addWidget(MakeLabel(QStringLiteral("Weight:"), gbWeight));
    pg->addLayout(weightRow, 5, 2);
    pg->addWidget(gbWeight, 5, 3);
    pg->addWidget(oz3, 5, 4, 1, 2);
    // A measured propeller replaces the sizes and the two constants in the report; the list is read
    // from the data folder each time it drops down, so that a propeller imported meanwhile is there.
    measuredPropeller_ = new PopupRefreshingCombo(prop);
    measuredPropeller_->setObjectName(QStringLiteral("MeasuredPropellerComboBox"));
    measuredPropeller_->setToolTip(QStringLiteral("A propeller described by measured data instead of the two constants"));
    measuredPropeller_->beforePopup = [this] { FillMeasuredPropellers(); };
    connect(measuredPropeller_, &QComboBox::activated, this, [this](int index) {
        if (!showing_) session_.SetMeasuredPropeller(index <= 0 ? std::string() : S(measuredPropeller_->itemText(index)));
    });
    pg->addWidget(MakeLabel(QStringLiteral("Measured:"), measuredPropeller_), 6, 0);
    pg->addWidget(measuredPropeller_, 6, 1, 1, 5);
    pg->setColumnStretch(7, 1);
    pg->setRowStretch(7, 1);
    drivePages_->addTab(prop, QStringLiteral("Propeller"));

    // Ducted fan page.
    auto* fan = new QWidget(drivePages_);
    fan->setObjectName(QStringLiteral("DuctedFanPage"));
    auto* fg = new QGridLayout(fan);
    const auto fanField = [&](int r, int c, const char* label, C id, bool length, bool fanColour) {
        auto* edit = MakeEdit(id);
        auto* l = MakeLabel(QString::fromUtf8(label), edit);
        fg->addWidget(l, r, c);
        fg->addWidget(edit, r, c + 1);
        if (length) {
            auto* unit = MakeUnitLabel(QStringLiteral("in"), edit->objectName() + QStringLiteral("Unit"));
            lengthLabels_.push_back(unit);
            fg->addWidget(unit, r, c + 2);
        }
        if (fanColour) fanLabels_.push_back(l);
        return edit;
    };
    fanField(0, 0, "Fan Diameter:", C::FanDiameterEdit, true, false);
    fanField(0, 3, "Hub Diameter:", C::HubDiameterEdit, true, false);
    fanField(1, 0, "Fan Pitch:", C::FanPitchEdit, true, false);
    fanField(1, 3, "Weight:", C::FanWeightEdit, false, false);
    auto* oz4 = MakeUnitLabel(QStringLiteral("oz"), QStringLiteral("OzLabel4"));
    weightLabels_.push_back(oz4);
    fg->addWidget(oz4, 1, 5);
    fanField(2, 0, "Power Coeff:", C::FanPowerCoeffEdit, false, false);
    fanField(2, 3, "Thrust Coeff:", C::FanThrustCoeffEdit, false, false);
    fanField(3, 0, "Intake Diam:", C::IntakeDiameterEdit, true, true);
    fanField(3, 3, "Int. Length:", C::IntakeLengthEdit, true, true);
    fanField(4, 0, "Exhaust Diam:", C::ExhaustDiameterEdit, true, true);
    fanField(4, 3, "Exh. Length:", C::ExhaustLengthEdit, true, true);
    auto* fanButtons = new QHBoxLayout;
    fanButtons->addWidget(ToolOpener(WorkbenchTool::FanCoefficient, MakeButton(QStringLiteral("Coeff..."), QStringLiteral("FanCoeffButton"), false)));
    pitchButton_ = ToolOpener(WorkbenchTool::FanPitch, MakeButton(QStringLiteral("Pitch..."), QStringLiteral("PitchButton"), false));
    fanButtons->addWidget(pitchButton_);
    fanButtons->addStretch();
    fg->addLayout(fanButtons, 5, 0, 1, 6);
    fg->setColumnStretch(6, 1);
    fg->setRowStretch(6, 1);
    drivePages_->addTab(fan, QStringLiteral("Ducted Fan"));
    connect(drivePages_, &QTabWidget::currentChanged, this, &TParameterInputForm::DrivePageChanged);
    v->addWidget(drivePages_);

    auto* counts = new QHBoxLayout;
    for (auto [label, id] : {std::pair{"Num Props:", C::NumberOfPropsEdit}, std::pair{"Series Motors:", C::SeriesMotorsEdit},
                             std::pair{"Parallel Motors:", C::ParallelMotorsEdit}}) {
        auto* edit = MakeEdit(id);
        edit->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("000")) + 14);
        counts->addWidget(MakeLabel(QString::fromUtf8(label), edit));
        counts->addWidget(edit);
        counts->addSpacing(6);
    }
    counts->addStretch();
    v->addLayout(counts);
    v->addWidget(ComponentButtons(QStringLiteral("LoadDriveButton"), QStringLiteral("SaveDriveButton"),
                                  QStringLiteral("ClearDriveSystemButton")));
    saveButtons_[C::DriveSystemNameEdit] = group->findChild<QPushButton*>(QStringLiteral("SaveDriveButton"));
    return group;
}

QWidget* TParameterInputForm::BuildSpeedControlGroup() {
    QGroupBox* group = MakeGroup(C::Speed_ControlGroup, QStringLiteral(" Speed Control "));
    QGridLayout* g = NameRowGrid(group, C::ESCNameEdit, "Name:");
    const auto row = [&](int r, const char* label, C id, QLabel* unit) { FieldRow(g, r, label, id, unit); };
    row(1, "Resistance:", C::ESCResistanceEdit, MakeUnitLabel(QString::fromUtf8(texts::kOhm)));
    row(2, "Ma&ximum Current:", C::ESCMaxCurrentEdit, MakeUnitLabel(QStringLiteral("A")));
    auto* oz = MakeUnitLabel(QStringLiteral("oz"), QStringLiteral("OzLabel5"));
    weightLabels_.push_back(oz);
    row(3, "Weight:", C::ESCWeightEdit, oz);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(MakeCheckBox(C::ESCHighRateCheckBox, QStringLiteral("High-rate")));
    boxes->addWidget(MakeCheckBox(C::ESCBrushlessCheckBox, QStringLiteral("Brushless")));
    boxes->addStretch();
    g->addLayout(boxes, 4, 0, 1, 4);
    row(5, "Number of ESCs:", C::MultipleESCsEdit, nullptr);
    g->addWidget(ComponentButtons(QStringLiteral("LoadESCButton"), QStringLiteral("SaveESCButton"),
                                  QStringLiteral("ClearESCButton")),
                 6, 0, 1, 4);
    g->setColumnStretch(3, 1);
    g->setRowStretch(7, 1);
    saveButtons_[C::ESCNameEdit] = group->findChild<QPushButton*>(QStringLiteral("SaveESCButton"));
    return group;
}

QWidget* TParameterInputForm::BuildAirframeGroup() {
    QGroupBox* group = MakeGroup(C::AirframeGroup, QStringLiteral(" Airframe "));
    QLabel* nameLabel = nullptr;
    QGridLayout* g = NameRowGrid(group, C::AirframeNameEdit, "Name:", &nameLabel);
    airframeLabels_.push_back(nameLabel);
    const auto row = [&](int r, const char* label, C id, QLabel* unit) {
        airframeLabels_.push_back(FieldRow(g, r, label, id, unit));
    };
    auto* spanUnit = MakeUnitLabel(QStringLiteral("in"), QStringLiteral("WingSpanEditUnit"));
    lengthLabels_.push_back(spanUnit);
    row(1, "Wing Span:", C::WingSpanEdit, spanUnit);
    areaLabel_ = MakeUnitLabel(QStringLiteral("sq.in"), QStringLiteral("SqInLabel1"));
    row(2, "Wing Area:", C::WingAreaEdit, areaLabel_);
    auto* oz = MakeUnitLabel(QStringLiteral("oz"), QStringLiteral("OzLabel6"));
    weightLabels_.push_back(oz);
    row(3, "Empty Weight:", C::EmptyWeightEdit, oz);

    coeffBox_ = new QScrollArea(this);
    coeffBox_->setObjectName(QStringLiteral("CoeffScrollBox"));
    coeffBox_->setWidgetResizable(true);
    auto* inner = new QWidget(coeffBox_);
    auto* lines = new QVBoxLayout(inner);
    lines->setSpacing(0);
    lines->setContentsMargins(4, 2, 4, 2);
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    for (std::size_t i = 0; i < coeffLabels_.size(); ++i) {
        auto* line = new QLabel(inner);
        line->setObjectName(QStringLiteral("CoeffLabel%1").arg(i + 1));
        line->setFont(mono);
        coeffLabels_[i] = line;
        lines->addWidget(line);
    }
    lines->addStretch();
    coeffBox_->setWidget(inner);
    coeffBox_->setFixedWidth(QFontMetrics(mono).horizontalAdvance(QStringLiteral("Clmax=00.000")) + 30);
    // All eight lines show; the box grows with the window.
    coeffBox_->setMinimumHeight(QFontMetrics(mono).lineSpacing() * 8 + 12);
    g->addWidget(coeffBox_, 1, 3, 3, 1, Qt::AlignRight);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ComponentButtons(QStringLiteral("LoadAirframeButton"), QStringLiteral("SaveAirframeButton"),
                                        QStringLiteral("ClearAirframeButton")));
    buttons->addWidget(ToolOpener(WorkbenchTool::LiftCoefficient, MakeButton(QStringLiteral("Coeff..."), QStringLiteral("CLButton"), false)));
    g->addLayout(buttons, 4, 0, 1, 4);
    g->setColumnStretch(3, 1);
    g->setRowStretch(5, 1);
    saveButtons_[C::AirframeNameEdit] = group->findChild<QPushButton*>(QStringLiteral("SaveAirframeButton"));
    return group;
}

QWidget* TParameterInputForm::BuildHiddenFields() {
    auto* holder = new QWidget(this);
    holder->hide();
    for (C id : {C::TempConfigNameEdit, C::WizardInfoEdit, C::WireWizInfoEdit, C::AirfoilInfoEdit, C::DragInfoEdit}) {
        QLineEdit* edit = MakeEdit(id);
        edit->setParent(holder);
    }
    clipBuffer_ = new QPlainTextEdit(holder);
    clipBuffer_->setObjectName(QStringLiteral("TempClipBuf"));
    return holder;
}

void TParameterInputForm::FillMeasuredPropellers() {
    const bool wasShowing = showing_;
    showing_ = true;
    const std::string& chosen = fields_.MeasuredPropeller();
    measuredPropeller_->clear();
    measuredPropeller_->addItem(QStringLiteral("(none: the two constants)"));
    std::vector<std::string> names = session_.MeasuredPropellers();
    // A project may name a propeller this data folder does not hold; it shows, and the report says so.
    if (!chosen.empty() && std::find(names.begin(), names.end(), chosen) == names.end()) names.push_back(chosen);
    for (const std::string& name : names) measuredPropeller_->addItem(Q(name));
    measuredPropeller_->setCurrentIndex(chosen.empty() ? 0 : measuredPropeller_->findText(Q(chosen)));
    showing_ = wasShowing;
}

} // namespace ampvane
