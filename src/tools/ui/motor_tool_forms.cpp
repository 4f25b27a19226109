// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/ui/motor_tool_forms.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <memory>
#include <tuple>

#include "data/comp_data_module.h"

namespace ampvane {

using C = WorkbenchControl;

// ---- test data ----------------------------------------------------------------------------------

TTestDataInputForm::TTestDataInputForm(const ToolEnvironment& environment, QWidget* parent)
    : TToolForm(environment, QStringLiteral("Test Data Input"), kTestDataHelpTopic, parent) {
    setObjectName(QStringLiteral("TestDataInputForm"));
    auto* v = new QVBoxLayout(this);
    auto* type = new QGroupBox(QStringLiteral("Type of Data:"), this);
    auto* typeRow = new QHBoxLayout(type);
    freeRunningRadio_ = new QRadioButton(QStringLiteral("&Free Running and Under Load"), type);
    freeRunningRadio_->setObjectName(QStringLiteral("FreeRunningRadioButton"));
    bestEfficiencyRadio_ = new QRadioButton(QStringLiteral("&Best Efficiency and Other"), type);
    bestEfficiencyRadio_->setObjectName(QStringLiteral("BestEfficiencyRadioButton"));
    freeRunningRadio_->setChecked(true);
    typeRow->addWidget(freeRunningRadio_);
    typeRow->addWidget(bestEfficiencyRadio_);
    v->addWidget(type);

    auto* points = new QHBoxLayout;
    const char* names[6] = {"FreeRunningVoltageEdit", "FreeRunningCurrentEdit", "FreeRunningRPMEdit",
                            "UnderLoadVoltageEdit",   "UnderLoadCurrentEdit",   "UnderLoadRPMEdit"};
    const char* labels[3] = {"Voltage:", "Current:", "RPM:"};
    const char* units[3] = {"V", "A", "rpm"};
    for (int group = 0; group < 2; ++group) {
        auto* box = new QGroupBox(this);
        box->setObjectName(group == 0 ? QStringLiteral("FreeRunningGroup") : QStringLiteral("UnderLoadGroup"));
        auto* g = new QGridLayout(box);
        for (int i = 0; i < 3; ++i) {
            auto* edit = new QLineEdit(box);
            edit->setObjectName(QString::fromLatin1(names[group * 3 + i]));
            g->addWidget(new QLabel(QString::fromLatin1(labels[i]), box), i, 0);
            g->addWidget(edit, i, 1);
            g->addWidget(new QLabel(QString::fromLatin1(units[i]), box), i, 2);
            inputs_[group * 3 + i] = edit;
        }
        (group == 0 ? freeRunningGroup_ : underLoadGroup_) = box;
        points->addWidget(box);
    }
    v->addLayout(points);
    poorData_ = StatusLabel(Q(kPoorDataText), QStringLiteral("PoorDataLabel"));
    badData_ = StatusLabel(Q(kBadDataText), QStringLiteral("BadDataLabel"));
    auto* status = new QGridLayout;
    status->addWidget(poorData_, 0, 0);
    status->addWidget(badData_, 0, 0);
    v->addLayout(status);
    auto* results = new QGroupBox(QStringLiteral("Motor Parameters:"), this);
    auto* rg = new QGridLayout(results);
    std::tie(motorConstant_, idleCurrent_, armatureResistance_) = MotorConstantEdits(rg, 0, true);
    v->addWidget(results);
    v->addLayout(ButtonRow());
    SetApplyEnabled(false);
    for (QLineEdit* edit : inputs_) OnEdited({edit}, [this] { InputParameterChange(); });
    for (QRadioButton* radio : {freeRunningRadio_, bestEfficiencyRadio_})
        connect(radio, &QRadioButton::clicked, this, [this] { FreeRunningRadioButtonClick(true); });
    FreeRunningRadioButtonClick(false);
}

void TTestDataInputForm::showEvent(QShowEvent* event) {
    FreeRunningRadioButtonClick(false);
    TToolForm::showEvent(event);
}

TestDataInput TTestDataInputForm::Input() const {
    TestDataInput input;
    std::string* texts[6] = {&input.freeRunningVoltage, &input.freeRunningCurrent, &input.freeRunningRpm,
                             &input.underLoadVoltage,   &input.underLoadCurrent,   &input.underLoadRpm};
    for (int i = 0; i < 6; ++i) *texts[i] = S(inputs_[i]->text());
    input.bestEfficiency = bestEfficiencyRadio_->isChecked();
    return input;
}

void TTestDataInputForm::FreeRunningRadioButtonClick(bool recompute) {
    const TestDataGroupCaptions captions = TestDataCaptions(bestEfficiencyRadio_->isChecked());
    freeRunningGroup_->setTitle(Q(captions.point1));
    underLoadGroup_->setTitle(Q(captions.point2));
    if (recompute) InputParameterChange();
}

void TTestDataInputForm::InputParameterChange() {
    const TestDataResult r = ComputeMotorFromTests(Input(), Locale(), Messages());
    poorData_->setVisible(r.poorData);
    badData_->setVisible(r.badData);
    motorConstant_->setText(Q(r.motorConstant));
    idleCurrent_->setText(Q(r.idleCurrent));
    armatureResistance_->setText(Q(r.armatureResistance));
    SetApplyEnabled(r.ApplyEnabled());
}

void TTestDataInputForm::ApplyButtonClick() {
    ApplyToWorkbench([this](WorkbenchFields& fields) {
        ApplyMotorConstants(S(motorConstant_->text()), S(idleCurrent_->text()), S(armatureResistance_->text()), fields);
    });
}

// ---- catalogue data -----------------------------------------------------------------------------

TCatalogDataInputForm::TCatalogDataInputForm(const ToolEnvironment& environment, QWidget* parent)
    : TToolForm(environment, QStringLiteral("Catalog Data Input"), kCatalogDataHelpTopic, parent) {
    setObjectName(QStringLiteral("CatalogDataInputForm"));
    auto* v = new QVBoxLayout(this);
    auto* note = new QLabel(Q(kCatalogNote), this);
    note->setWordWrap(true);
    v->addWidget(note);
    auto* g = new QGridLayout;
    voltage_ = InputEdit(g, 0, 0, QStringLiteral("Nominal Voltage:"), QStringLiteral("NominalVoltageEdit"),
                         QStringLiteral("V"));
    rpm_ = InputEdit(g, 1, 0, QStringLiteral("Free Running RPM:"), QStringLiteral("FreeRunningRPMEdit"),
                     QStringLiteral("rpm"));
    maxEfficiency_ = InputEdit(g, 2, 0, QStringLiteral("Current at Max Efficiency:"),
                               QStringLiteral("MaxEfficiencyCurrentEdit"), QStringLiteral("A"));
    stall_ = InputEdit(g, 3, 0, QStringLiteral("Stall Current:"), QStringLiteral("StallCurrentEdit"),
                       QStringLiteral("A"));
    idle_ = InputEdit(g, 4, 0, QStringLiteral("No-load Current:"), QStringLiteral("IdleCurrentEdit"),
                      QStringLiteral("A"));
    motorConstant_ = ResultEdit(g, 5, 0, QStringLiteral("Motor Constant:"), QStringLiteral("MotorConstantEdit"),
                                QStringLiteral("rpm/V"));
    armatureResistance_ = ResultEdit(g, 6, 0, QStringLiteral("Resistance:"),
                                     QStringLiteral("ArmatureResistanceEdit"), QStringLiteral("\u03A9"));
    v->addLayout(g);
    inconsistent_ = StatusLabel(Q(kBadDataText), QStringLiteral("BadDataLabel"));
    v->addWidget(inconsistent_);
    v->addLayout(ButtonRow());
    OnEdited({voltage_, rpm_}, [this] { CatalogDataEditChange(); });
    for (auto [edit, which] : {std::pair{maxEfficiency_, CatalogCurrent::MaxEfficiency},
                               std::pair{stall_, CatalogCurrent::Stall}, std::pair{idle_, CatalogCurrent::Idle}})
        OnEdited({edit}, [this, which = which] { CurrentEditChange(which); });
    ShowCurrentStates();
    SetApplyEnabled(false);
}

void TCatalogDataInputForm::showEvent(QShowEvent* event) {
    CatalogDataEditChange();
    TToolForm::showEvent(event);
}

CatalogDataInput TCatalogDataInputForm::Input() const {
    return {S(voltage_->text()), S(rpm_->text()), S(maxEfficiency_->text()), S(stall_->text()), S(idle_->text()),
            computed_};
}

void TCatalogDataInputForm::ShowCurrentStates() {
    SetReadOnlyLook(maxEfficiency_, computed_ == CatalogCurrent::MaxEfficiency);
    SetReadOnlyLook(stall_, computed_ == CatalogCurrent::Stall);
    SetReadOnlyLook(idle_, computed_ == CatalogCurrent::Idle);
}

void TCatalogDataInputForm::CurrentEditChange(CatalogCurrent sender) {
    CatalogDataInput input = Input();
    CompleteCatalogCurrents(input, sender, Locale(), Messages());
    computed_ = input.computed;
    SetQuietly(maxEfficiency_, input.maxEfficiencyCurrent);
    SetQuietly(stall_, input.stallCurrent);
    SetQuietly(idle_, input.idleCurrent);
    ShowCurrentStates();
    CatalogDataEditChange();
}

void TCatalogDataInputForm::CatalogDataEditChange() {
    const CatalogDataInput input = Input();
    const CatalogDataResult r = ComputeMotorFromCatalog(input, Locale(), Messages());
    motorConstant_->setText(Q(r.motorConstant));
    armatureResistance_->setText(Q(r.armatureResistance));
    inconsistent_->setVisible(r.inconsistent);
    SetApplyEnabled(CatalogApplyEnabled(input, r));
}

void TCatalogDataInputForm::ApplyButtonClick() {
    if (!applyButton_->isEnabled()) return;
    ApplyToWorkbench([this](WorkbenchFields& fields) {
        ApplyMotorConstants(S(motorConstant_->text()), S(idle_->text()), S(armatureResistance_->text()), fields);
    });
}

// ---- motor designer -----------------------------------------------------------------------------

TBuildMotorInputForm::TBuildMotorInputForm(const ToolEnvironment& environment, QWidget* parent)
    : TToolForm(environment, QStringLiteral("Motor Designer"), kMotorDesignerHelpTopic, parent) {
    setObjectName(QStringLiteral("BuildMotorInputForm"));
    auto* v = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    auto* baseline = new QGroupBox(QStringLiteral("Baseline Motor:"), this);
    auto* bg = new QGridLayout(baseline);
    name_ = InputEdit(bg, 0, 0, QStringLiteral("Name:"), QStringLiteral("MotorNameEdit"));
    name_->setMaxLength(40);
    std::tie(kv_, io_, rm_) = MotorConstantEdits(bg, 1, false);
    weight_ = InputEdit(bg, 4, 0, QStringLiteral("Weight:"), QStringLiteral("MotorWeightEdit"));
    weightUnits_[0] = new QLabel(this);
    bg->addWidget(weightUnits_[0], 4, 2);
    openButton_ = new QPushButton(QStringLiteral("Open..."), baseline);
    openButton_->setObjectName(QStringLiteral("LoadMotorButton"));
    openButton_->setEnabled(false); // until the component tables are there
    connect(openButton_, &QPushButton::clicked, this, &TBuildMotorInputForm::LoadMotorButtonClick);
    name_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(name_, &QLineEdit::customContextMenuRequested, this, &TBuildMotorInputForm::ShowNamePopup);
    bg->addWidget(openButton_, 5, 1);
    auto* windings = new QGroupBox(QStringLiteral("Baseline Motor Windings:"), baseline);
    auto* wg = new QGridLayout(windings);
    windings_ = InputEdit(wg, 0, 0, QStringLiteral("Turns:"), QStringLiteral("MotorWindingsEdit"));
    gauge_ = InputEdit(wg, 1, 0, QStringLiteral("Wire Gauge:"), QStringLiteral("WireGaugeEdit"));
    bg->addWidget(windings, 6, 0, 1, 3);
    columns->addWidget(baseline);

    auto* build = new QGroupBox(QStringLiteral("Motor to Build:"), this);
    auto* ng = new QGridLayout(build);
    newName_ = InputEdit(ng, 0, 0, QStringLiteral("Name:"), QStringLiteral("NewMotorNameEdit"));
    newName_->setMaxLength(40);
    std::tie(newKv_, newIo_, newRm_) = MotorConstantEdits(ng, 1, true, QStringLiteral("New"));
    newWeight_ = ResultEdit(ng, 4, 0, QStringLiteral("Weight:"), QStringLiteral("NewMotorWeightEdit"));
    weightUnits_[1] = new QLabel(this);
    ng->addWidget(weightUnits_[1], 4, 2);
    auto* newWindingsBox = new QGroupBox(QStringLiteral("New Motor Windings:"), build);
    auto* nwg = new QGridLayout(newWindingsBox);
    newWindings_ = InputEdit(nwg, 0, 0, QStringLiteral("Turns:"), QStringLiteral("NewMotorWindingsEdit"));
    gaugeLabel_ = new QLabel(QStringLiteral("Wire Ga&uge:"), newWindingsBox);
    gaugeLabel_->setObjectName(QStringLiteral("NewWireGaugeLabel"));
    newGauge_ = new QLineEdit(newWindingsBox);
    newGauge_->setObjectName(QStringLiteral("NewWireGaugeEdit"));
    gaugeLabel_->setBuddy(newGauge_);
    nwg->addWidget(gaugeLabel_, 1, 0);
    nwg->addWidget(newGauge_, 1, 1);
    ng->addWidget(newWindingsBox, 6, 0, 1, 3);
    columns->addWidget(build);
    v->addLayout(columns);
    warning_ = StatusLabel(Q(kHighTurnsRatioText), QStringLiteral("WarningLabel"));
    v->addWidget(warning_);
    v->addLayout(ButtonRow());
    OnEdited({kv_, io_, rm_, weight_, windings_, gauge_, newWindings_, newGauge_}, [this] { MotorDataEditChange(); });
    SetApplyEnabled(false);
}

void TBuildMotorInputForm::showEvent(QShowEvent* event) {
    const QString weightUnit = Q(UnitLabelsFor(Units()).weight);
    for (QLabel* label : weightUnits_) label->setText(weightUnit);
    if (TrimText(S(name_->text())).empty()) {
        const WorkbenchFields& f = Fields();
        MotorDesignInput input = Input();
        input.baselineName = f.Text(C::MotorNameEdit);
        input.motorConstant = f.Text(C::MotorConstantEdit);
        input.idleCurrent = f.Text(C::IdleCurrentEdit);
        input.armatureResistance = f.Text(C::ArmatureResistanceEdit);
        input.motorWeight = f.Text(C::MotorWeightEdit);
        ShowBaseline(input);
    }
    TToolForm::showEvent(event);
}

void TBuildMotorInputForm::ShowBaseline(const MotorDesignInput& input) {
    loading_ = true;
    name_->setText(Q(input.baselineName));
    kv_->setText(Q(input.motorConstant));
    io_->setText(Q(input.idleCurrent));
    rm_->setText(Q(input.armatureResistance));
    weight_->setText(Q(input.motorWeight));
    windings_->setText(Q(input.windings));
    gauge_->setText(Q(input.wireGauge));
    loading_ = false;
    MotorDataEditChange();
}

void TBuildMotorInputForm::SetComponentData(TCompDataModule* data) {
    TToolForm::SetComponentData(data);
    openButton_->setEnabled(CanBrowseMotor());
}

void TBuildMotorInputForm::LoadMotorButtonClick() {
    if (!BrowseMotor(name_)) return;
    MotorDesignInput input = Input();
    LoadBaselineMotor(input, *data_->MotorTable(), Units(), Locale(), Messages());
    ShowBaseline(input);
}

void TBuildMotorInputForm::ShowNamePopup(const QPoint& position) {
    std::unique_ptr<QMenu> menu(name_->createStandardContextMenu());
    QAction* open = new QAction(QStringLiteral("&Open..."), menu.get());
    open->setEnabled(openButton_->isEnabled());
    connect(open, &QAction::triggered, this, &TBuildMotorInputForm::LoadMotorButtonClick);
    menu->insertAction(menu->actions().value(0), open);
    menu->insertSeparator(menu->actions().value(1));
    menu->exec(name_->mapToGlobal(position));
}

MotorDesignInput TBuildMotorInputForm::Input() const {
    return {S(name_->text()),     S(kv_->text()),      S(io_->text()),          S(rm_->text()),
            S(weight_->text()),   S(windings_->text()), S(gauge_->text()),      S(newWindings_->text()),
            S(newGauge_->text()), S(newName_->text())};
}

void TBuildMotorInputForm::MotorDataEditChange() {
    result_ = ComputeMotorDesign(Input(), result_, Locale(), Messages());
    newKv_->setText(Q(result_.newMotorConstant));
    newIo_->setText(Q(result_.newIdleCurrent));
    newRm_->setText(Q(result_.newArmatureResistance));
    newWeight_->setText(Q(result_.newMotorWeight));
    gaugeLabel_->setText(Q(result_.gaugeLabel));
    warning_->setVisible(result_.warning);
    SetApplyEnabled(result_.ApplyEnabled());
}

void TBuildMotorInputForm::ApplyButtonClick() {
    ApplyToWorkbench([this](WorkbenchFields& fields) { ApplyMotorDesign(Input(), result_, fields); });
}

} // namespace ampvane
