// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/ui/drive_tool_forms.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <set>

#include "common/ui/popup_refreshing_combo.h"
#include "data/comp_data_module.h"
#include "data/name_lookup.h"
#include "data/value_lists.h"
#include "help/ui/help_viewer.h"
#include "workbench/analysis_settings.h"

namespace ampvane {

using C = WorkbenchControl;

namespace {

// Two or three unit buttons side by side, one of them chosen.
QWidget* UnitChoice(QWidget* parent, std::initializer_list<QRadioButton*> buttons) {
    auto* holder = new QWidget(parent);
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    auto* group = new QButtonGroup(holder);
    for (QRadioButton* b : buttons) {
        b->setParent(holder);
        group->addButton(b);
        row->addWidget(b);
    }
    return holder;
}

} // namespace

// ---- bench test ---------------------------------------------------------------------------------

TBenchTestForm::TBenchTestForm(const ToolEnvironment& environment, const QString& title, int helpTopic,
                               QWidget* parent)
    : TToolForm(environment, title, helpTopic, parent) {}

QRadioButton* TBenchTestForm::UnitButton(const QString& caption, const QString& name) {
    auto* b = new QRadioButton(caption, this);
    b->setObjectName(name);
    connect(b, &QRadioButton::toggled, this, [this](bool on) {
        if (on && !loading_) ParameterChanged();
    });
    return b;
}

void TBenchTestForm::BuildBenchTest(QVBoxLayout* layout) {
    auto* motorRow = new QHBoxLayout;
    motorRow->addWidget(new QLabel(QStringLiteral("Test Motor:"), this));
    motorName_ = new QLineEdit(this);
    motorName_->setObjectName(QStringLiteral("MotorNameEdit"));
    motorName_->setReadOnly(true);
    motorName_->setMaxLength(40);
    motorRow->addWidget(motorName_, 1);
    selectButton_ = new QPushButton(QStringLiteral("&Select..."), this);
    selectButton_->setObjectName(QStringLiteral("LoadMotorButton"));
    selectButton_->setEnabled(false); // until the component tables are there
    connect(selectButton_, &QPushButton::clicked, this, &TBenchTestForm::LoadMotorButtonClick);
    motorName_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(motorName_, &QLineEdit::customContextMenuRequested, this, &TBenchTestForm::LoadMotorButtonClick);
    motorRow->addWidget(selectButton_);
    layout->addLayout(motorRow);

    auto* conditions = new QGroupBox(QStringLiteral("Assumed Test Conditions:"), this);
    auto* cg = new QVBoxLayout(conditions);
    const char* names[3] = {"ElevationLabel", "PressureLabel", "TemperatureLabel"};
    for (int i = 0; i < 3; ++i) {
        conditions_[i] = new QLabel(conditions);
        conditions_[i]->setObjectName(QString::fromLatin1(names[i]));
        cg->addWidget(conditions_[i]);
    }
    auto* note = new QHBoxLayout;
    note->setSpacing(0);
    for (const char* part : {"Performance calculations", " do not ", "take motor temperature into account."})
        note->addWidget(new QLabel(QString::fromLatin1(part), conditions));
    note->addStretch();
    cg->addLayout(note);
    optionsButton_ = new QPushButton(QStringLiteral("C&hange..."), conditions);
    optionsButton_->setObjectName(QStringLiteral("OptionsButton"));
    optionsButton_->setEnabled(static_cast<bool>(Environment().showOptions));
    connect(optionsButton_, &QPushButton::clicked, this, &TBenchTestForm::OptionsButtonClick);
    cg->addWidget(optionsButton_, 0, Qt::AlignLeft);
    layout->addWidget(conditions);
}

void TBenchTestForm::BuildMeasurements(QGridLayout* g, const QString& size1Label, const QString& size1Name,
                                       const QString& size2Label, const QString& size2Name) {
    voltage_ = InputEdit(g, 0, 0, QStringLiteral("Voltage:"), QStringLiteral("TerminalVoltageEdit"),
                         QStringLiteral("V"));
    current_ = InputEdit(g, 1, 0, QStringLiteral("Current:"), QStringLiteral("MotorCurrentEdit"), QStringLiteral("A"));
    const QString sizeLabels[2] = {size1Label, size2Label}, sizeNames[2] = {size1Name, size2Name};
    for (int i = 0; i < 2; ++i) {
        inButtons_[i] = UnitButton(QStringLiteral("in"), QStringLiteral("InButton%1").arg(i + 1));
        cmButtons_[i] = UnitButton(QStringLiteral("cm"), QStringLiteral("CMButton%1").arg(i + 1));
        sizes_[i] = InputEdit(g, 2 + i, 0, sizeLabels[i], sizeNames[i]);
        g->addWidget(UnitChoice(this, {inButtons_[i], cmButtons_[i]}), 2 + i, 2);
    }
    rpm_ = InputEdit(g, 4, 0, QStringLiteral("Speed:"), QStringLiteral("RPMEdit"));
    rpmLabel_ = new QLabel(Q(kRpmText), this);
    rpmLabel_->setObjectName(QStringLiteral("RPMLabel"));
    g->addWidget(rpmLabel_, 4, 2);
    estimateButton_ = new QPushButton(QStringLiteral("&Estimate RPM"), this);
    estimateButton_->setObjectName(QStringLiteral("EstimateRPMButton"));
    g->addWidget(estimateButton_, 4, 3);
    ozButton_ = UnitButton(QStringLiteral("oz"), QStringLiteral("OzButton1"));
    gButton_ = UnitButton(QStringLiteral("g"), QStringLiteral("GButton1"));
    nButton_ = UnitButton(QStringLiteral("N"), QStringLiteral("NButton1"));
    thrust_ = InputEdit(g, 5, 0, QStringLiteral("Thrust:"), QStringLiteral("ThrustEdit"));
    g->addWidget(UnitChoice(this, {ozButton_, gButton_, nButton_}), 5, 2);

    OnEdited({voltage_, current_, sizes_[0], sizes_[1], thrust_}, [this] { ParameterChanged(); });
    // A typed speed is a measured one.
    OnEdited({rpm_}, [this] {
        ShowRpmState(false);
        ParameterChanged(true);
    });
    connect(estimateButton_, &QPushButton::clicked, this, &TBenchTestForm::EstimateRPMButtonClick);
}

LengthUnit TBenchTestForm::SizeUnit(int size) const {
    return cmButtons_[size]->isChecked() ? LengthUnit::Centimetre : LengthUnit::Inch;
}

BenchMeasurements TBenchTestForm::Measurements() const {
    BenchMeasurements m;
    m.bench = bench_;
    m.terminalVoltage = S(voltage_->text());
    m.motorCurrent = S(current_->text());
    m.rpm = S(rpm_->text());
    m.thrust = S(thrust_->text());
    m.thrustUnit = ThrustUnit();
    m.rpmEstimated = rpmEstimated_;
    return m;
}

ForceUnit TBenchTestForm::ThrustUnit() const {
    return gButton_->isChecked() ? ForceUnit::Gram : nButton_->isChecked() ? ForceUnit::Newton : ForceUnit::Ounce;
}

void TBenchTestForm::OptionsButtonClick() {
    if (!Environment().showOptions) return;
    Environment().showOptions();
    RefreshConditions();
    ParameterChanged();
}

void TBenchTestForm::RefreshConditions() {
    const auto texts = TakeBenchConditions(bench_, AnalysisOptionsInputFrom(Options()), Locale());
    if (!texts) return;
    conditions_[0]->setText(Q(texts->elevation));
    conditions_[1]->setText(Q(texts->pressure));
    conditions_[2]->setText(Q(texts->temperature));
}

void TBenchTestForm::SetComponentData(TCompDataModule* data) {
    TToolForm::SetComponentData(data);
    selectButton_->setEnabled(CanBrowseMotor());
}

void TBenchTestForm::LookUpMotor(const std::string& name) {
    if (!data_ || !data_->MotorTable()) return;
    DbfTable& motors = *data_->MotorTable();
    if (!FindComponentByName(motors, name)) return;
    bench_.motorName = name;
    bench_.motor = {motors.Number("MOTORSTANT"), motors.Number("IDLECRRENT"), motors.Number("ARMATTANCE")};
    ParameterChanged();
}

void TBenchTestForm::LoadMotorButtonClick() {
    if (!BrowseMotor(motorName_)) return;
    const std::string name(TrimText(data_->MotorTable()->Name()));
    motorName_->setText(Q(name));
    LookUpMotor(name);
}

void TBenchTestForm::TakeBenchTest() {
    RefreshConditions();
    if (!TrimText(S(motorName_->text())).empty() && data_) {
        // The table may have changed while the window was hidden.
        bench_.motor = {};
        LookUpMotor(std::string(TrimText(S(motorName_->text()))));
    } else if (TrimText(S(motorName_->text())).empty()) {
        TakeWorkbenchMotor(bench_, Fields(), Locale(), Messages());
        motorName_->setText(Q(bench_.motorName));
    }
}

void TBenchTestForm::ShowRpmState(bool estimated) {
    rpmEstimated_ = estimated;
    rpmLabel_->setText(Q(estimated ? kRpmEstimatedText : kRpmText));
}

void TBenchTestForm::ShowSpeed(const std::string& rpm, bool estimated, bool estimateEnabled, bool fromRpmEdit) {
    estimateButton_->setEnabled(estimateEnabled);
    if (fromRpmEdit) return;
    if (rpm != S(rpm_->text())) SetQuietly(rpm_, rpm);
    ShowRpmState(estimated);
}

void TBenchTestForm::EstimateRPMButtonClick() {
    if (auto rpm = EstimatedRpm()) {
        SetQuietly(rpm_, *rpm);
        ShowRpmState(true);
        ParameterChanged(true);
        ShowRpmState(true);
    }
}

// ---- propeller ----------------------------------------------------------------------------------

TPropConstantForm::TPropConstantForm(const ToolEnvironment& environment, QWidget* parent)
    : TBenchTestForm(environment, QStringLiteral("Propeller Constant Estimator"), kPropConstantEstimatorHelpTopic, parent) {
    setObjectName(QStringLiteral("PropConstantForm"));
    auto* v = new QVBoxLayout(this);
    BuildBenchTest(v);
    auto* g = new QGridLayout;
    BuildMeasurements(g, QStringLiteral("Diameter:"), QStringLiteral("PropDiameterEdit"), QStringLiteral("Pitch:"),
                      QStringLiteral("PropPitchEdit"));
    diameter_ = sizes_[0];
    pitch_ = sizes_[1];
    gearRatio_ = InputEdit(g, 6, 0, QStringLiteral("Gear Ratio:"), QStringLiteral("GearRatioEdit"),
                           QStringLiteral(":1"));
    efficiency_ = new QComboBox(this);
    efficiency_->setObjectName(QStringLiteral("GearboxEfficiencyEdit"));
    efficiency_->setEditable(true);
    efficiency_->setMaxVisibleItems(10);
    g->addWidget(new QLabel(QStringLiteral("Gearbox Efficiency:"), this), 7, 0);
    g->addWidget(efficiency_, 7, 1);
    g->addWidget(new QLabel(QStringLiteral("%"), this), 7, 2);
    powerConst_ = ResultEdit(g, 8, 0, QStringLiteral("Power Const:"), QStringLiteral("PowerConstEdit"));
    thrustConst_ = ResultEdit(g, 9, 0, QStringLiteral("Thrust Const:"), QStringLiteral("ThrustConstEdit"));
    v->addLayout(g);
    warning_ = StatusLabel(QString(), QStringLiteral("WarningLabel"));
    v->addWidget(warning_);

    auto* lists = new QGroupBox(QStringLiteral("Add or Replace Constants in Lists:"), this);
    auto* lg = new QHBoxLayout(lists);
    propellerName_ = new QComboBox(lists);
    propellerName_->setObjectName(QStringLiteral("PropellerNameEdit"));
    propellerName_->setEditable(true);
    propellerName_->setMaxVisibleItems(10);
    auto* nameLabel = new QLabel(QStringLiteral("&Name to Use:"), lists);
    nameLabel->setBuddy(propellerName_);
    lg->addWidget(nameLabel);
    lg->addWidget(propellerName_, 1);
    addToList_ = new QPushButton(QStringLiteral("Update Lists"), lists);
    addToList_->setObjectName(QStringLiteral("AddToListButton"));
    addToList_->setEnabled(false);
    lg->addWidget(addToList_);
    v->addWidget(lists);

    auto* measured = new QGroupBox(QStringLiteral("From Measured Data:"), this);
    auto* mg = new QGridLayout(measured);
    auto* files = new QPushButton(QStringLiteral("Data &Files..."), measured);
    files->setObjectName(QStringLiteral("DataFilesButton"));
    files->setToolTip(QStringLiteral("Fit the constants to the static points of measured propeller data files"));
    connect(files, &QPushButton::clicked, this, &TPropConstantForm::DataFilesButtonClick);
    auto* stored = new PopupRefreshingCombo(measured);
    stored->beforePopup = [this] { FillStoredPropellers(); };
    storedPropeller_ = stored;
    storedPropeller_->setObjectName(QStringLiteral("StoredPropellerComboBox"));
    connect(storedPropeller_, &QComboBox::activated, this, [this](int index) {
        if (index > 0) FromStoredPropeller(S(storedPropeller_->itemText(index)));
    });
    mg->addWidget(files, 0, 0);
    mg->addWidget(new QLabel(QStringLiteral("or"), measured), 0, 1);
    mg->addWidget(storedPropeller_, 0, 2);
    mg->setColumnStretch(2, 1);
    fitNote_ = new QLabel(measured);
    fitNote_->setObjectName(QStringLiteral("FitNoteLabel"));
    fitNote_->setWordWrap(true);
    fitNote_->hide();
    mg->addWidget(fitNote_, 1, 0, 1, 3);
    v->addWidget(measured);
    v->addLayout(ButtonRow());

    OnEdited({gearRatio_}, [this] { ParameterChanged(); });
    connect(efficiency_, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        if (loading_) return;
        for (const auto& [name, value] : gearboxEntries_)
            if (S(text) == name) {
                loading_ = true;
                efficiency_->setEditText(Q(DropDownValueText(C::GearboxEfficiencyEdit, value, Locale())));
                loading_ = false;
                break;
            }
        typing_->Typed(efficiency_->lineEdit(), [this] { ParameterChanged(); });
    });
    connect(propellerName_, &QComboBox::editTextChanged, this,
            [this](const QString& text) { addToList_->setEnabled(!text.isEmpty()); });
    connect(addToList_, &QPushButton::clicked, this, &TPropConstantForm::AddToListButtonClick);
    FillGearboxList();
    FillNameList();
    FillStoredPropellers();
    SetApplyEnabled(false);
}

void TPropConstantForm::FillStoredPropellers() {
    const QString shown = storedPropeller_->currentIndex() > 0 ? storedPropeller_->currentText() : QString();
    storedPropeller_->clear();
    storedPropeller_->addItem(QStringLiteral("(a stored measured propeller)"));
    if (const WorkbenchSession* session = Environment().session)
        for (const std::string& name : session->MeasuredPropellers()) storedPropeller_->addItem(Q(name));
    storedPropeller_->setCurrentIndex(std::max(0, storedPropeller_->findText(shown)));
}

void TPropConstantForm::DataFilesButtonClick() {
    const QStringList chosen = QFileDialog::getOpenFileNames(
        this, QStringLiteral("Measured Propeller Data"), QString(),
        QStringLiteral("Propeller data (*.txt *.csv *.dat *.avprop);;All files (*)"));
    if (chosen.isEmpty()) return;
    std::vector<std::string> paths;
    for (const QString& path : chosen) paths.push_back(S(path));
    FromDataFiles(paths);
}

void TPropConstantForm::FromDataFiles(const std::vector<std::string>& paths) {
    ShowFit(FitPropConstants(ImportMeasuredData(paths, Input(), Locale()), Input(), Locale(), Messages()));
}

void TPropConstantForm::FromStoredPropeller(const std::string& name) {
    const WorkbenchSession* session = Environment().session;
    if (!session) return;
    ShowFit(FitPropConstants(session->LoadMeasuredPropeller(name), Input(), Locale(), Messages()));
}

void TPropConstantForm::ShowFit(const std::optional<PropConstantFit>& fit) {
    if (!fit) return;
    SetQuietly(diameter_, fit->diameter);
    SetQuietly(pitch_, fit->pitch);
    result_ = fit->result;
    powerConst_->setText(Q(result_.powerConstant));
    thrustConst_->setText(Q(result_.thrustConstant));
    warning_->setText(Q(result_.warning));
    warning_->setVisible(!result_.warning.empty());
    fitNote_->setText(Q(fit->note));
    fitNote_->show();
    SetApplyEnabled(result_.ApplyEnabled());
}

void TPropConstantForm::FillGearboxList() {
    NullMessageSink quiet;
    gearboxEntries_.clear();
    const QString text = efficiency_->currentText();
    loading_ = true;
    efficiency_->clear();
    for (const ValueListEntry& e :
         ValueListEntries(Environment().dataFolder, kGearboxEffList, Locale(), quiet)) {
        gearboxEntries_.emplace_back(e.label, e.first);
        efficiency_->addItem(Q(e.label));
    }
    efficiency_->setEditText(text);
    loading_ = false;
}

void TPropConstantForm::FillNameList() {
    NullMessageSink quiet;
    std::set<std::string> names;
    for (std::string_view list : {kPropConstList, kThrustConstList})
        for (const ValueListEntry& e : ValueListEntries(Environment().dataFolder, list, Locale(), quiet))
            names.insert(e.label);
    const QString text = propellerName_->currentText();
    propellerName_->clear();
    for (const std::string& name : names) propellerName_->addItem(Q(name));
    propellerName_->setEditText(text);
}

void TPropConstantForm::showEvent(QShowEvent* event) {
    const WorkbenchUnits units = Units();
    const Settings& settings = Options();
    loading_ = true;
    for (int i = 0; i < 2; ++i)
        if (sizes_[i]->text().isEmpty()) (units.metricPropSizes ? cmButtons_[i] : inButtons_[i])->setChecked(true);
    if (thrust_->text().isEmpty())
        (settings.measurementMode <= ImperialMetricTempPress ? ozButton_ : settings.forceInNewtons ? nButton_ : gButton_)
            ->setChecked(true);
    loading_ = false;
    TakeBenchTest();
    const WorkbenchFields& f = Fields();
    if (f.DrivePage() == kPropellerPage && diameter_->text().isEmpty() && pitch_->text().isEmpty() &&
        gearRatio_->text().isEmpty() && efficiency_->currentText().isEmpty()) {
        loading_ = true;
        diameter_->setText(Q(f.Text(C::PropellerDiameterFromEdit)));
        pitch_->setText(Q(f.Text(C::PropellerPitchFromEdit)));
        gearRatio_->setText(Q(f.Text(C::GearRatioFromEdit)));
        efficiency_->setEditText(Q(f.Text(C::GearboxEfficiencyEdit)));
        loading_ = false;
    }
    FillGearboxList();
    FillNameList();
    FillStoredPropellers();
    ParameterChanged();
    TToolForm::showEvent(event);
}

PropConstantInput TPropConstantForm::Input() const {
    PropConstantInput input;
    static_cast<BenchMeasurements&>(input) = Measurements();
    input.diameter = S(diameter_->text());
    input.pitch = S(pitch_->text());
    input.gearRatio = S(gearRatio_->text());
    input.gearboxEfficiency = S(efficiency_->currentText());
    input.diameterUnit = SizeUnit(0);
    input.pitchUnit = SizeUnit(1);
    return input;
}

std::optional<std::string> TPropConstantForm::EstimatedRpm() {
    return EstimatePropRpm(Input(), Locale(), Messages());
}

void TPropConstantForm::ParameterChanged(bool fromRpmEdit) {
    PropConstantInput input = Input();
    result_ = PropConstantChanged(input, fromRpmEdit, Locale(), Messages());
    if (fitNote_) fitNote_->hide(); // the bench test's constants replace fitted ones
    ShowSpeed(input.rpm, input.rpmEstimated, result_.estimateEnabled, fromRpmEdit);
    powerConst_->setText(Q(result_.powerConstant));
    thrustConst_->setText(Q(result_.thrustConstant));
    warning_->setText(Q(result_.warning));
    warning_->setVisible(!result_.warning.empty());
    SetApplyEnabled(result_.ApplyEnabled());
}

void TPropConstantForm::AddToListButtonClick() {
    const auto lines = PropListEntryLines(S(propellerName_->currentText()), result_, Locale(), Messages());
    if (!lines) return;
    propellerName_->setEditText(Q(lines->name));
    const auto& folder = Environment().dataFolder;
    AddOrReplaceListEntry(folder, kPropConstList, lines->powerLine, Messages());
    AddOrReplaceListEntry(folder, kThrustConstList, lines->thrustLine, Messages());
    FillNameList();
}

void TPropConstantForm::ApplyButtonClick() {
    if (!result_.ApplyEnabled()) return;
    ApplyToWorkbench([this](WorkbenchFields& fields) {
        ApplyPropConstants(Input(), result_, Units(), fields, Locale(), Messages());
    });
}

// ---- fan ----------------------------------------------------------------------------------------

TFanCoefficientForm::TFanCoefficientForm(const ToolEnvironment& environment, QWidget* parent)
    : TBenchTestForm(environment, QStringLiteral("Fan Coefficient Estimator"), kFanCoefficientHelpTopic, parent) {
    setObjectName(QStringLiteral("FanCoefficientForm"));
    auto* v = new QVBoxLayout(this);
    BuildBenchTest(v);
    auto* g = new QGridLayout;
    BuildMeasurements(g, QStringLiteral("Fan Diameter:"), QStringLiteral("FanDiameterEdit"),
                      QStringLiteral("Hub Diameter:"), QStringLiteral("HubDiameterEdit"));
    fanDiameter_ = sizes_[0];
    hubDiameter_ = sizes_[1];
    mphButton_ = UnitButton(QStringLiteral("mph"), QStringLiteral("MPHButton1"));
    msButton_ = UnitButton(QStringLiteral("m/s"), QStringLiteral("MSButton1"));
    efflux_ = InputEdit(g, 6, 0, QStringLiteral("Efflux Velocity:"), QStringLiteral("EffluxVelocityEdit"));
    g->addWidget(UnitChoice(this, {mphButton_, msButton_}), 6, 2);
    fanPitch_ = ResultEdit(g, 7, 0, QStringLiteral("Fan Pitch:"), QStringLiteral("FanPitchEdit"));
    pitchUnit_ = new QLabel(QStringLiteral("in"), this);
    pitchUnit_->setObjectName(QStringLiteral("InLabel1"));
    g->addWidget(pitchUnit_, 7, 2);
    thrustCoeff_ = ResultEdit(g, 8, 0, QStringLiteral("Thrust Coeff:"), QStringLiteral("ThrustCoeffEdit"));
    powerCoeff_ = ResultEdit(g, 9, 0, QStringLiteral("Power Coeff:"), QStringLiteral("PowerCoeffEdit"));
    v->addLayout(g);
    v->addLayout(ButtonRow());
    OnEdited({efflux_}, [this] { ParameterChanged(); });
    SetApplyEnabled(false);
}

void TFanCoefficientForm::showEvent(QShowEvent* event) {
    const WorkbenchUnits units = Units();
    const Settings& settings = Options();
    loading_ = true;
    for (int i = 0; i < 2; ++i) (units.metric ? cmButtons_[i] : inButtons_[i])->setChecked(true);
    if (thrust_->text().isEmpty())
        (units.metric ? (settings.forceInNewtons ? nButton_ : gButton_) : ozButton_)->setChecked(true);
    if (efflux_->text().isEmpty()) (units.metric ? msButton_ : mphButton_)->setChecked(true);
    pitchUnit_->setText(Q(UnitLabelsFor(units).length));
    const WorkbenchFields& f = Fields();
    if (f.DrivePage() == kDuctedFanPage) {
        fanDiameter_->setText(Q(f.Text(C::FanDiameterEdit)));
        hubDiameter_->setText(Q(f.Text(C::HubDiameterEdit)));
    }
    loading_ = false;
    TakeBenchTest();
    ParameterChanged();
    TToolForm::showEvent(event);
}

FanCoefficientInput TFanCoefficientForm::Input() const {
    FanCoefficientInput input;
    static_cast<BenchMeasurements&>(input) = Measurements();
    input.fanDiameter = S(fanDiameter_->text());
    input.hubDiameter = S(hubDiameter_->text());
    input.effluxVelocity = S(efflux_->text());
    input.fanDiameterUnit = SizeUnit(0);
    input.hubDiameterUnit = SizeUnit(1);
    input.velocityUnit = msButton_->isChecked() ? SpeedUnit::MetresPerSecond : SpeedUnit::Mph;
    input.workbenchMetric = Units().metric;
    return input;
}

std::optional<std::string> TFanCoefficientForm::EstimatedRpm() {
    return EstimateFanRpm(Input(), Locale(), Messages());
}

void TFanCoefficientForm::ParameterChanged(bool fromRpmEdit) {
    FanCoefficientInput input = Input();
    result_ = FanCoefficientChanged(input, fromRpmEdit, Locale(), Messages());
    ShowSpeed(input.rpm, input.rpmEstimated, result_.estimateEnabled, fromRpmEdit);
    fanPitch_->setText(Q(result_.fanPitch));
    thrustCoeff_->setText(Q(result_.thrustCoeff));
    powerCoeff_->setText(Q(result_.powerCoeff));
    SetApplyEnabled(result_.ApplyEnabled());
}

void TFanCoefficientForm::ApplyButtonClick() {
    if (!result_.ApplyEnabled()) return;
    ApplyToWorkbench([this](WorkbenchFields& fields) {
        ApplyFanCoefficients(Input(), result_, Units(), fields, Locale(), Messages());
    });
}

// ---- fan pitch ----------------------------------------------------------------------------------

TFanPitchMeasurementsForm::TFanPitchMeasurementsForm(const ToolEnvironment& environment, QWidget* parent)
    : TToolForm(environment, QStringLiteral("Fan Pitch Calculator"), kFanPitchHelpTopic, parent) {
    setObjectName(QStringLiteral("FanPitchMeasurementsForm"));
    auto* v = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Measurements:"), this);
    SetHelpTopic(group, kFanPitchMeasurementsHelpTopic);
    auto* gv = new QVBoxLayout(group);
    auto* note = new QLabel(Q(kFanPitchNote), group);
    note->setWordWrap(true);
    gv->addWidget(note);
    auto* g = new QGridLayout;
    diameter_ = InputEdit(g, 0, 0, QStringLiteral("Rotor Diameter:"), QStringLiteral("RotorDiameterEdit"));
    angle_ = InputEdit(g, 1, 0, QStringLiteral("Blade Angle:"), QStringLiteral("BladeAngleEdit"),
                       QStringLiteral("\u00B0"));
    width_ = InputEdit(g, 2, 0, QStringLiteral("Blade Width:"), QStringLiteral("BladeWidthEdit"));
    height_ = InputEdit(g, 3, 0, QStringLiteral("Blade Height:"), QStringLiteral("BladeHeightEdit"));
    gv->addLayout(g);
    v->addWidget(group);
    auto* r = new QGridLayout;
    pitch_ = ResultEdit(r, 0, 0, QStringLiteral("Pitch:"), QStringLiteral("PitchEdit"));
    v->addLayout(r);
    // The pitch comes out in the diameter's unit and goes into the workbench's fan pitch: both in the
    // workbench's length unit (width and height may be in any one unit, only their ratio counts).
    const std::pair<QGridLayout*, int> rows[] = {{g, 0}, {g, 2}, {g, 3}, {r, 0}};
    for (int i = 0; i < 4; ++i) {
        lengthUnits_[i] = new QLabel(this);
        lengthUnits_[i]->setObjectName(QStringLiteral("LengthUnitLabel%1").arg(i + 1));
        rows[i].first->addWidget(lengthUnits_[i], rows[i].second, 2);
    }
    v->addLayout(ButtonRow());
    disconnect(okButton_, nullptr, this, nullptr);
    disconnect(applyButton_, nullptr, this, nullptr);
    connect(okButton_, &QPushButton::clicked, this, [this] { OKApplyButtonClick(true); });
    connect(applyButton_, &QPushButton::clicked, this, [this] { OKApplyButtonClick(false); });
    OnEdited({diameter_, angle_, width_, height_}, [this] { RotorMeasurementChange(); });
    RotorMeasurementChange();
}

void TFanPitchMeasurementsForm::showEvent(QShowEvent* event) {
    for (QLabel* unit : lengthUnits_) unit->setText(Q(UnitLabelsFor(Units()).length));
    RotorMeasurementChange();
    TToolForm::showEvent(event);
}

void TFanPitchMeasurementsForm::RotorMeasurementChange() {
    const FanPitchResult r = ComputeFanPitch(
        {S(diameter_->text()), S(angle_->text()), S(width_->text()), S(height_->text())}, Locale(), Messages());
    SetReadOnlyLook(angle_, !r.angleEnabled);
    SetReadOnlyLook(width_, !r.sizeEnabled);
    SetReadOnlyLook(height_, !r.sizeEnabled);
    QPalette palette = angle_->palette();
    palette.setColor(QPalette::Text, r.angleRed ? QColor(Qt::red) : palette.color(QPalette::WindowText));
    angle_->setPalette(palette);
    pitch_->setText(Q(r.pitch));
    SetApplyEnabled(r.ApplyEnabled());
}

bool TFanPitchMeasurementsForm::OKApplyButtonClick(bool closeAfter) {
    typing_->Release();
    if (pitch_->text().isEmpty()) {
        Message message = ErrorMessage(std::string(kFanPitchMessage));
        message.buttons = OkButton | HelpButton;
        message.helpTopic = kFanPitchHelpTopic;
        Messages().Report(message);
        return false;
    }
    const std::string pitch = S(pitch_->text());
    ApplyToWorkbench([&pitch](WorkbenchFields& fields) { fields.SetText(C::FanPitchEdit, pitch); });
    if (closeAfter) close();
    return true;
}

void TFanPitchMeasurementsForm::ApplyButtonClick() { OKApplyButtonClick(false); }

} // namespace ampvane
